#include "kantoorcommand.h"

#include "classedits.h"
#include "clock.h"
#include "democlass.h"
#include "officeserver.h"
#include "publication.h"
#include "publishedorder.h"
#include "startercsv.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

namespace kantoor {

namespace {

constexpr int ExitWriteFailed = 1;
constexpr int ExitRefused = 2;

const QString defaultClassId = QStringLiteral("0001");

QString description()
{
    return QStringLiteral("The office stand-in of Baldovenaar: writes the running-order file of a class,\n"
                          "\"baldovenaar rst-<ID>.dvz\", into a folder, and takes the ring's changes in, as\n"
                          "the competition office does.\n"
                          "\n"
                          "Commands:\n"
                          "  publish  write the class (the bundled sample class of 40 starters, or --csv)\n"
                          "           dated today; the options below change its header values and starters.\n"
                          "  edit     change the class as it stands in its file, as the office does between\n"
                          "           two publications: header values, --remove, --insert-after/--starter,\n"
                          "           --set, --order (applied in that order); positions numbered afresh.\n"
                          "  touch    rewrite the class's existing file unchanged (new modification time\n"
                          "           and archive attribute), as the office does when it saves again.\n"
                          "  serve    every --interval ms, take in the newest mutation file of --kind that\n"
                          "           the station wrote for each class in the folder, publish the class\n"
                          "           anew (after a new order with planned times from its start time and\n"
                          "           the interval its times show, or --start-interval) and remove the\n"
                          "           mutation files taken in; one line per mutation on standard\n"
                          "           output, refusals on standard error. Stops on Ctrl-C (SIGINT) or\n"
                          "           SIGTERM.\n"
                          "\n"
                          "The file is Windows-1252 text with CR LF line ends, written through a temporary\n"
                          "file and renamed, so the station never reads half a file (edit --in-place\n"
                          "rewrites the file itself instead, as some office programs do).\n"
                          "\n"
                          "CSV starter list (--csv): UTF-8 or Windows-1252 text, one line of the running\n"
                          "order per line, in start sequence; fields separated by ';' (or ',' when the\n"
                          "file has no ';'), a field in double quotes may hold the separator:\n"
                          "    key;nr;ruiter;paard;vereniging;cat;hoogte;tijd;status;ng\n"
                          "key is the unique line key (the office's start-list id); a line with key P is\n"
                          "a pause line, its text in the ruiter field (P;;Pauze - parcours ophogen).\n"
                          "Missing trailing fields stay empty; the running position is numbered here.\n"
                          "A first line starting with # holds the column titles in the same order\n"
                          "(#key;Nr;Ruiter;Paard;Land;...); later lines starting with # are comments.\n"
                          "\n"
                          "Exit status: 0 done, 1 the file could not be written, 2 refused (bad command\n"
                          "line or input; nothing written).");
}

struct Options
{
    QCommandLineOption folder { QStringLiteral("folder"),
        QStringLiteral("The shared folder to write into (must exist)."), QStringLiteral("DIR") };
    QCommandLineOption classId { QStringLiteral("class"),
        QStringLiteral("Class identifier in the file name (default 0001)."), QStringLiteral("ID") };
    QCommandLineOption csv { QStringLiteral("csv"), QStringLiteral("Starters from this CSV file (format above)."),
        QStringLiteral("FILE") };
    QCommandLineOption owner { QStringLiteral("owner"), QStringLiteral("Owner shown in the station's title."),
        QStringLiteral("TEXT") };
    QCommandLineOption wnr { QStringLiteral("wnr"), QStringLiteral("Competition number."), QStringLiteral("TEXT") };
    QCommandLineOption rid { QStringLiteral("rid"),
        QStringLiteral("Class number the station puts in its mutation file names (default: the class "
                       "identifier)."),
        QStringLiteral("TEXT") };
    QCommandLineOption titel { QStringLiteral("titel"), QStringLiteral("Title of the class."), QStringLiteral("TEXT") };
    QCommandLineOption datum { QStringLiteral("datum"),
        QStringLiteral("Date line (default: today in Dutch, e.g. maandag 7 december 2026)."), QStringLiteral("TEXT") };
    QCommandLineOption begintijd { QStringLiteral("begintijd"), QStringLiteral("Start time (default 10:30)."),
        QStringLiteral("TEXT") };
    QCommandLineOption editvolgorde { QStringLiteral("editvolgorde"),
        QStringLiteral("1 lets the ring reorder lines, another number does not (default 1)."), QStringLiteral("N") };
    QCommandLineOption editnietgestart { QStringLiteral("editnietgestart"),
        QStringLiteral("1 lets the ring mark starters as not started (default 1)."), QStringLiteral("N") };
    QCommandLineOption remove { QStringLiteral("remove"),
        QStringLiteral("Leave out the line with this key (repeatable)."), QStringLiteral("KEY") };
    QCommandLineOption insertAfter { QStringLiteral("insert-after"),
        QStringLiteral("Insert the matching --starter after the line with this key (repeatable, in pairs)."),
        QStringLiteral("KEY") };
    QCommandLineOption starter { QStringLiteral("starter"),
        QStringLiteral("A line to insert, as a CSV line (key;nr;ruiter;paard;...)."), QStringLiteral("LINE") };
    QCommandLineOption set { QStringLiteral("set"),
        QStringLiteral("edit: column COLUMN (2 to 10, or its title, e.g. Paard) of the line with key KEY gets "
                       "TEXT (repeatable)."),
        QStringLiteral("KEY:COLUMN=TEXT") };
    QCommandLineOption order { QStringLiteral("order"),
        QStringLiteral("edit: the starters in this order, every starter's key once, separated by commas; "
                       "pause lines keep their places."),
        QStringLiteral("KEY,KEY,...") };
    QCommandLineOption inPlace { QStringLiteral("in-place"),
        QStringLiteral("edit: rewrite the file itself instead of writing a new file and renaming it.") };
    QCommandLineOption kind { QStringLiteral("kind"),
        QStringLiteral("serve: the mutation files to take in, s (main program, default) or h (satellite)."),
        QStringLiteral("s|h") };
    QCommandLineOption interval { QStringLiteral("interval"),
        QStringLiteral("serve: milliseconds between two looks at the folder (default 1000)."), QStringLiteral("MS") };
    QCommandLineOption startInterval { QStringLiteral("start-interval"),
        QStringLiteral("serve: the time between two starters for the planned times of a new order, in minutes "
                       "(2) or minutes and seconds (1:30); default: what the class's published times show."),
        QStringLiteral("M[:SS]") };

    QList<QCommandLineOption> headerValues() const
    {
        return { owner, wnr, rid, titel, datum, begintijd, editvolgorde, editnietgestart };
    }
    QList<QCommandLineOption> lineEdits() const { return { remove, insertAfter, starter }; }
    QList<QCommandLineOption> all() const
    {
        return headerValues() + lineEdits()
            + QList<QCommandLineOption> { csv, set, order, inPlace, kind, interval, startInterval };
    }
    // The options each command takes besides --folder (and --class, which every command but serve takes).
    QList<QCommandLineOption> takenBy(const QString& command) const
    {
        if (command == QLatin1String("publish"))
            return headerValues() + lineEdits() + QList<QCommandLineOption> { csv };
        if (command == QLatin1String("edit"))
            return headerValues() + lineEdits() + QList<QCommandLineOption> { set, order, inPlace };
        if (command == QLatin1String("serve"))
            return { kind, interval, startInterval };
        return {};
    }
};

const QStringList commands
    = { QStringLiteral("publish"), QStringLiteral("edit"), QStringLiteral("touch"), QStringLiteral("serve") };

// Applies --remove and --insert-after/--starter; false with the problem in `problem`.
bool applyEdits(PublishedOrder& order, const QCommandLineParser& parser, const Options& options, QString& problem)
{
    for (const QString& key : parser.values(options.remove)) {
        problem = removeLine(order, key);
        if (!problem.isEmpty())
            return false;
    }
    const QStringList after = parser.values(options.insertAfter);
    const QStringList starters = parser.values(options.starter);
    if (after.size() != starters.size()) {
        problem = QStringLiteral("every --insert-after needs one --starter");
        return false;
    }
    for (qsizetype i = 0; i < after.size(); ++i) {
        const std::optional<QStringList> fields = splitCsvLine(
            starters.at(i), starters.at(i).contains(QLatin1Char(';')) ? QLatin1Char(';') : QLatin1Char(','));
        if (!fields || fields->size() > StarterCsv::Fields) {
            problem = QStringLiteral("--starter \"%1\" is not a line of at most %2 fields")
                          .arg(starters.at(i))
                          .arg(StarterCsv::Fields);
            return false;
        }
        problem = insertLine(order, after.at(i), cellsFromCsvFields(*fields));
        if (!problem.isEmpty()) {
            problem = QStringLiteral("--starter \"%1\": %2").arg(starters.at(i), problem);
            return false;
        }
    }
    return true;
}

bool isNumber(const QString& text)
{
    bool ok = false;
    text.trimmed().toDouble(&ok);
    return ok;
}

// The header values of the command line; false with the problem in `problem`.
bool applyHeaderValues(
    PublishedOrder& order, const QCommandLineParser& parser, const Options& options, QString& problem)
{
    const std::pair<const QCommandLineOption*, QString*> texts[] = { { &options.owner, &order.owner },
        { &options.wnr, &order.wnr }, { &options.rid, &order.rid }, { &options.titel, &order.titel },
        { &options.datum, &order.datum }, { &options.begintijd, &order.begintijd },
        { &options.editvolgorde, &order.editvolgorde }, { &options.editnietgestart, &order.editnietgestart } };
    for (const auto& [option, field] : texts) {
        if (parser.isSet(*option))
            *field = parser.value(*option);
    }
    for (const QString* permission : { &order.editvolgorde, &order.editnietgestart }) {
        if (!isNumber(*permission)) {
            problem = QStringLiteral("an edit permission must be a number, not \"%1\"").arg(*permission);
            return false;
        }
    }
    if (QString ridIssue = ridProblem(order.rid); !ridIssue.isEmpty()) {
        problem = ridIssue;
        return false;
    }
    return true;
}

// The class described by the command line; false with the problem in `problem`.
bool buildOrder(PublishedOrder& order, const QCommandLineParser& parser, const Options& options, const QString& classId,
    const QDate& today, QString& problem)
{
    order = demoOrder(today);
    order.rid = classId;
    if (parser.isSet(options.csv)) {
        const QString path = parser.value(options.csv);
        QFile file(path);
        if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
            problem = QStringLiteral("cannot read the CSV file %1").arg(QDir::toNativeSeparators(path));
            return false;
        }
        const StarterCsv csv = parseStarterCsv(file.readAll());
        if (!csv.error.isEmpty()) {
            problem = QStringLiteral("%1, %2").arg(QDir::toNativeSeparators(path), csv.error);
            return false;
        }
        if (!csv.header.isEmpty()) {
            order.header = csv.header;
            order.header[column::Position] = jumpingHeader().at(column::Position);
        }
        order.lines = csv.lines;
    }

    if (!applyHeaderValues(order, parser, options, problem) || !applyEdits(order, parser, options, problem))
        return false;
    numberPositions(order);
    return true;
}

int publish(const QCommandLineParser& parser, const Options& options, const QString& folder, const QString& classId,
    QTextStream& out, QTextStream& err, const QDate& today)
{
    PublishedOrder order;
    QString problem;
    if (!buildOrder(order, parser, options, classId, today, problem)) {
        err << "kantoor: " << problem << Qt::endl;
        return ExitRefused;
    }
    if (const QString missing = unencodableCharacters(order); !missing.isEmpty())
        err << "kantoor: warning: Windows-1252 has no byte for " << missing << "; written as '?'" << Qt::endl;

    const Publication written = publishRunningOrder(folder, classId, runningOrderBytes(order));
    if (!written.ok) {
        err << "kantoor: " << written.error << Qt::endl;
        return written.refused ? ExitRefused : ExitWriteFailed;
    }
    out << QDir::toNativeSeparators(written.path) << Qt::endl;
    if (const QStringList others = namesSharingPrefix(folder, classId); !others.isEmpty()) {
        err << "kantoor: warning: the station cannot tell this file from " << others.join(QStringLiteral(", "))
            << " (same first 20 characters); use class identifiers that differ in their first 4 characters" << Qt::endl;
    }
    return 0;
}

int touch(const QString& folder, const QString& classId, QTextStream& out, QTextStream& err)
{
    QByteArray bytes;
    const Publication read = readRunningOrder(folder, classId, bytes);
    if (!read.ok) {
        err << "kantoor: " << read.error << Qt::endl;
        return ExitRefused;
    }
    const Publication written = publishRunningOrder(folder, classId, bytes);
    if (!written.ok) {
        err << "kantoor: " << written.error << Qt::endl;
        return ExitWriteFailed;
    }
    out << QDir::toNativeSeparators(written.path) << Qt::endl;
    return 0;
}

int edit(const QCommandLineParser& parser, const Options& options, const QString& folder, const QString& classId,
    QTextStream& out, QTextStream& err)
{
    QByteArray bytes;
    const Publication read = readRunningOrder(folder, classId, bytes);
    if (!read.ok) {
        err << "kantoor: " << read.error << Qt::endl;
        return ExitRefused;
    }
    PublishedOrder order = publishedOrderFromBytes(bytes);
    QString problem;
    bool done = applyHeaderValues(order, parser, options, problem) && applyEdits(order, parser, options, problem);
    for (const QString& assignment : parser.values(options.set)) {
        if (done)
            problem = setField(order, assignment);
        done = done && problem.isEmpty();
    }
    if (done && parser.isSet(options.order)) {
        problem = reorderStarters(order, parser.value(options.order).split(QLatin1Char(',')));
        done = problem.isEmpty();
    }
    if (!done) {
        err << "kantoor: " << problem << Qt::endl;
        return ExitRefused;
    }
    numberPositions(order);
    if (const QString missing = unencodableCharacters(order); !missing.isEmpty())
        err << "kantoor: warning: Windows-1252 has no byte for " << missing << "; written as '?'" << Qt::endl;

    const QByteArray newBytes = runningOrderBytes(order);
    const Publication written
        = parser.isSet(options.inPlace) ? rewriteInPlace(read.path, newBytes) : replaceFile(read.path, newBytes);
    if (!written.ok) {
        err << "kantoor: " << written.error << Qt::endl;
        return ExitWriteFailed;
    }
    out << QDir::toNativeSeparators(written.path) << Qt::endl;
    return 0;
}

int serve(
    const QCommandLineParser& parser, const Options& options, const QString& folder, QTextStream& out, QTextStream& err)
{
    const QString kind = parser.isSet(options.kind) ? parser.value(options.kind) : QStringLiteral("s");
    if (kind != QLatin1String("s") && kind != QLatin1String("h")) {
        err << "kantoor: --kind is s (the main program) or h (the satellite), not \"" << kind << "\"" << Qt::endl;
        return ExitRefused;
    }
    int interval = 1000;
    if (parser.isSet(options.interval)) {
        bool ok = false;
        interval = parser.value(options.interval).toInt(&ok);
        if (!ok || interval < 10 || interval > 3600 * 1000) {
            err << "kantoor: --interval is a number of milliseconds from 10 to 3600000, not \""
                << parser.value(options.interval) << "\"" << Qt::endl;
            return ExitRefused;
        }
    }
    std::optional<int> startInterval;
    if (parser.isSet(options.startInterval)) {
        static const QRegularExpression pattern(QStringLiteral("^(\\d{1,2})(?::([0-5]\\d))?$"));
        const QRegularExpressionMatch match = pattern.match(parser.value(options.startInterval));
        const int seconds = match.hasMatch() ? match.captured(1).toInt() * 60 + match.captured(2).toInt() : 0;
        if (seconds < 1 || seconds > 3600) {
            err << "kantoor: --start-interval is minutes (2) or minutes and seconds (1:30), at most 60 minutes, not \""
                << parser.value(options.startInterval) << "\"" << Qt::endl;
            return ExitRefused;
        }
        startInterval = seconds;
    }
    if (!QCoreApplication::instance()) {
        err << "kantoor: serve needs an application object" << Qt::endl;
        return ExitRefused;
    }
    OfficeServer server(folder, kind.at(0), out, err);
    server.setStartInterval(startInterval);
    return server.serve(interval);
}

} // namespace

int runKantoor(const QStringList& arguments, QTextStream& out, QTextStream& err, const platform::Clock& clock)
{
    const Options options;
    QCommandLineParser parser;
    parser.setApplicationDescription(description());
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(
        { QStringLiteral("h"), QStringLiteral("help") }, QStringLiteral("Show this help and stop."));
    parser.addOption(help);
    parser.addOptions({ options.folder, options.classId });
    parser.addOptions(options.all());
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("publish, edit, touch or serve"),
        QStringLiteral("<publish|edit|touch|serve>"));

    if (!parser.parse(arguments)) {
        err << "kantoor: " << parser.errorText() << Qt::endl << "Try 'kantoor --help'." << Qt::endl;
        return ExitRefused;
    }
    if (parser.isSet(help)) {
        out << parser.helpText();
        out.flush();
        return 0;
    }

    const QStringList positional = parser.positionalArguments();
    const QString command = positional.value(0);
    if (positional.size() != 1 || !commands.contains(command)) {
        err << "kantoor: "
            << (positional.isEmpty() ? QStringLiteral("no command given")
                                     : QStringLiteral("expected one command, publish, edit, touch or serve, not \"%1\"")
                                           .arg(positional.join(QLatin1Char(' '))))
            << Qt::endl
            << "Try 'kantoor --help'." << Qt::endl;
        return ExitRefused;
    }
    // An option another command takes is refused rather than ignored: the user expects it to act.
    const QList<QCommandLineOption> taken = options.takenBy(command);
    for (const QCommandLineOption& option : options.all()) {
        const QString name = option.names().constFirst();
        const bool takes = std::any_of(taken.cbegin(), taken.cend(),
            [&name](const QCommandLineOption& other) { return other.names().constFirst() == name; });
        if (parser.isSet(option) && !takes) {
            QStringList takers;
            for (const QString& other : commands) {
                const QList<QCommandLineOption> its = options.takenBy(other);
                if (std::any_of(its.cbegin(), its.cend(),
                        [&name](const QCommandLineOption& o) { return o.names().constFirst() == name; }))
                    takers << other;
            }
            err << "kantoor: " << command << " does not take --" << name << "; it belongs to "
                << takers.join(QStringLiteral(" and ")) << Qt::endl;
            return ExitRefused;
        }
    }
    if (command == QLatin1String("serve") && parser.isSet(options.classId)) {
        err << "kantoor: serve takes in the mutations of every class in the folder; it does not take --class"
            << Qt::endl;
        return ExitRefused;
    }
    if (!parser.isSet(options.folder) || parser.value(options.folder).isEmpty()) {
        err << "kantoor: --folder DIR is required: the shared folder to write into" << Qt::endl;
        return ExitRefused;
    }
    const QString folder = parser.value(options.folder);
    if (const QString problem = folderProblem(folder); !problem.isEmpty()) {
        err << "kantoor: " << problem << Qt::endl;
        return ExitRefused;
    }
    if (command == QLatin1String("serve"))
        return serve(parser, options, folder, out, err);

    const QString classId = parser.isSet(options.classId) ? parser.value(options.classId) : defaultClassId;
    if (const QString problem = classIdProblem(classId); !problem.isEmpty()) {
        err << "kantoor: " << problem << Qt::endl;
        return ExitRefused;
    }
    if (command == QLatin1String("touch"))
        return touch(folder, classId, out, err);
    if (command == QLatin1String("edit"))
        return edit(parser, options, folder, classId, out, err);
    return publish(parser, options, folder, classId, out, err, clock.now().date());
}

} // namespace kantoor
