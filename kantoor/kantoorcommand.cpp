#include "kantoorcommand.h"

#include "clock.h"
#include "democlass.h"
#include "publication.h"
#include "publishedorder.h"
#include "startercsv.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kantoor {

namespace {

constexpr int ExitWriteFailed = 1;
constexpr int ExitRefused = 2;

const QString defaultClassId = QStringLiteral("0001");

QString description()
{
    return QStringLiteral("The office stand-in of Baldovenaar: writes the running-order file of a class,\n"
                          "\"baldovenaar rst-<ID>.dvz\", into a folder, as the competition office does.\n"
                          "\n"
                          "Commands:\n"
                          "  publish  write the class (the bundled sample class of 40 starters, or --csv)\n"
                          "           dated today; the options below change its header values and starters.\n"
                          "  touch    rewrite the class's existing file unchanged (new modification time\n"
                          "           and archive attribute), as the office does when it saves again.\n"
                          "\n"
                          "The file is Windows-1252 text with CR LF line ends, written through a temporary\n"
                          "file and renamed, so the station never reads half a file.\n"
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

    QList<QCommandLineOption> publishOnly() const
    {
        return { csv, owner, wnr, rid, titel, datum, begintijd, editvolgorde, editnietgestart, remove, insertAfter,
            starter };
    }
};

// The index of the one line with this key, or -1 with the problem in `problem`.
qsizetype lineWithKey(const PublishedOrder& order, const QString& key, QString& problem)
{
    qsizetype found = -1;
    for (qsizetype i = 0; i < qsizetype(order.lines.size()); ++i) {
        if (order.lines[std::size_t(i)].value(column::Key) != key)
            continue;
        if (found >= 0) {
            problem = QStringLiteral("the key \"%1\" stands on more than one line").arg(key);
            return -1;
        }
        found = i;
    }
    if (found < 0)
        problem = QStringLiteral("no line has the key \"%1\"").arg(key);
    return found;
}

bool hasKey(const PublishedOrder& order, const QString& key)
{
    for (const QStringList& line : order.lines) {
        if (line.value(column::Key) == key)
            return true;
    }
    return false;
}

// Applies --remove and --insert-after/--starter; false with the problem in `problem`.
bool applyEdits(PublishedOrder& order, const QCommandLineParser& parser, const Options& options, QString& problem)
{
    for (const QString& key : parser.values(options.remove)) {
        const qsizetype index = lineWithKey(order, key, problem);
        if (index < 0)
            return false;
        order.lines.erase(order.lines.begin() + index);
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
        const QStringList cells = cellsFromCsvFields(*fields);
        const QString& key = cells.at(column::Key);
        if (key.isEmpty() || (!isPauseKey(key) && hasKey(order, key))) {
            problem = QStringLiteral("--starter \"%1\" needs a key of its own").arg(starters.at(i));
            return false;
        }
        if (order.lines.size() >= PublishedOrder::MaxLines) {
            problem = QStringLiteral("the class cannot hold more than %1 lines").arg(PublishedOrder::MaxLines);
            return false;
        }
        const qsizetype index = lineWithKey(order, after.at(i), problem);
        if (index < 0)
            return false;
        order.lines.insert(order.lines.begin() + index + 1, cells);
    }
    return true;
}

bool isNumber(const QString& text)
{
    bool ok = false;
    text.trimmed().toDouble(&ok);
    return ok;
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
    if (!applyEdits(order, parser, options, problem))
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
        return ExitWriteFailed;
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
    parser.addOptions(options.publishOnly());
    parser.addPositionalArgument(
        QStringLiteral("command"), QStringLiteral("publish or touch"), QStringLiteral("<publish|touch>"));

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
    if (positional.size() != 1 || (command != QLatin1String("publish") && command != QLatin1String("touch"))) {
        err << "kantoor: "
            << (positional.isEmpty() ? QStringLiteral("no command given")
                                     : QStringLiteral("expected one command, publish or touch, not \"%1\"")
                                           .arg(positional.join(QLatin1Char(' '))))
            << Qt::endl
            << "Try 'kantoor --help'." << Qt::endl;
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
    const QString classId = parser.isSet(options.classId) ? parser.value(options.classId) : defaultClassId;
    if (const QString problem = classIdProblem(classId); !problem.isEmpty()) {
        err << "kantoor: " << problem << Qt::endl;
        return ExitRefused;
    }

    if (command == QLatin1String("touch")) {
        for (const QCommandLineOption& option : options.publishOnly()) {
            if (parser.isSet(option)) {
                err << "kantoor: touch rewrites the file as it is; --" << option.names().constFirst()
                    << " belongs to publish" << Qt::endl;
                return ExitRefused;
            }
        }
        return touch(folder, classId, out, err);
    }
    return publish(parser, options, folder, classId, out, err, clock.now().date());
}

} // namespace kantoor
