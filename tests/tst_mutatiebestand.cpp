// Tests of the mutation files: the six lines byte for byte, the names and how they are recognised, what a
// send and the clean-up leave in the folder, and the faults a send must survive: a reader of the folder
// during sends, a resend in the same second, a rid that tries to leave the folder, a copy that fails.

#include "clock.h"
#include "columns.h"
#include "faults.h"
#include "fileattributes.h"
#include "files.h"
#include "filewriting.h"
#include "folderlisting.h"
#include "gridtable.h"
#include "mutatiebestand.h"
#include "runorderfile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <atomic>
#include <cerrno>
#include <memory>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

using namespace platform;

namespace {

// The system's codes for a folder that is read-only, a full disk and no rights, as the file layer reports them.
#ifdef Q_OS_WIN
constexpr int readOnlyCode = ERROR_WRITE_PROTECT;
constexpr int diskFullCode = ERROR_DISK_FULL;
constexpr int noRightsCode = ERROR_ACCESS_DENIED;
#else
constexpr int readOnlyCode = EROFS;
constexpr int diskFullCode = ENOSPC;
constexpr int noRightsCode = EACCES;
#endif

const QDateTime sendTime(QDate(2026, 12, 7), QTime(10, 15, 30));
const QString sName = QStringLiteral("20261207-101530-12-baldovenaar-s.mut");
const QString hName = QStringLiteral("20261207-101530-12-baldovenaar-h.mut");

// A data row with the key in column 0 and the mark in column 10.
QString line(const QString& key, const QString& mark)
{
    return key + QStringLiteral("\t1\t2\tRuiter\tPaard\tClub\tB\t1.20\t\t") + u'\t' + mark;
}

// A working grid: a header row, then the given rows (pairs of key and mark).
std::unique_ptr<GridTable> gridOf(const QList<QStringList>& rows)
{
    auto grid = std::make_unique<GridTable>();
    grid->setCols(column::Count);
    grid->addItem(u"sleutel\tnr");
    for (const QStringList& row : rows)
        grid->addItem(line(row.value(0), row.value(1)));
    grid->setFixedRows(1);
    return grid;
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

// A file of an earlier send, hidden as a send leaves it.
// An earlier send: a file of that name whose second line holds the rid its name carries (or the one given:
// another class whose rid is made safe to the same name).
void plant(const QString& folder, const QString& name, const std::optional<QString>& rid = std::nullopt)
{
    const std::optional<MutationFileName> parsed = parseMutationFileName(name);
    const QString ridLine = rid.value_or(parsed ? parsed->rid : QString());
    QVERIFY(testsupport::writeFile(folder + name,
        "wnr:oud\r\nrid:" + ridLine.toLatin1() + "\r\norder:A\r\nnotstarted:\r\nstarted:A\r\ntext:\r\n"));
    QVERIFY(setFileAttributes(folder + name, AttrHidden | AttrArchive));
}

// A followed class in a temporary folder "GEDEELD".
struct Station
{
    QTemporaryDir root;
    QString folder = root.path() + QStringLiteral("/GEDEELD/");
    AppState state;
    FixedClock clock { sendTime };

    Station()
    {
        QDir(root.path()).mkdir(QStringLiteral("GEDEELD"));
        state.setBestandspad(folder + QStringLiteral("baldovenaar rst-0001.dvz"));
        state.wnr = QStringLiteral("7");
        state.rid = QStringLiteral("12");
        state.klasbekend = true;
    }
};

// Whether bytes are a whole mutation file: exactly six lines, each ended by CR LF, "text:" last.
bool isWholeFile(const QByteArray& bytes)
{
    return bytes.startsWith("wnr:") && bytes.endsWith("\r\ntext:\r\n") && bytes.count("\r\n") == 6;
}

} // namespace

class TestMutatiebestand : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { faults::clear(); }

    void content_data();
    void content();
    void keysFromAFileComeOutByteForByte();
    void names_data();
    void names();
    void longRidsAreCappedAndKeptApart();
    void parseNames_data();
    void parseNames();

    void cleanUp_data();
    void cleanUp();
    void classesWhoseRidsLookAlikeKeepTheirFiles_data();
    void classesWhoseRidsLookAlikeKeepTheirFiles();
    void pathWithoutFolderMeansTheCurrentFolder();

    void readerNeverSeesAPartialFile();
    void resendInTheSameSecondReplacesBothCopies();
    void hostileRidStaysInItsFolder_data();
    void hostileRidStaysInItsFolder();
    void failedCopyIsReported_data();
    void failedCopyIsReported();
};

void TestMutatiebestand::content_data()
{
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::addColumn<QString>("wnr");
    QTest::addColumn<QString>("rid");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("one marked among three")
        << QList<QStringList> { { "A", "" }, { "B", "N" }, { "C", "" } } << "7"
        << "12"
        << "" << QByteArray("wnr:7\r\nrid:12\r\norder:A\tB\tC\r\nnotstarted:B\r\nstarted:A\tC\r\ntext:\r\n");
    QTest::newRow("no data rows") << QList<QStringList> {} << "7"
                                  << "12"
                                  << ""
                                  << QByteArray("wnr:7\r\nrid:12\r\norder:\r\nnotstarted:\r\nstarted:\r\ntext:\r\n");
    QTest::newRow("pause lines fall by their mark")
        << QList<QStringList> { { "P", "" }, { "A", "N" }, { "P", "N" } } << "7"
        << "12"
        << "" << QByteArray("wnr:7\r\nrid:12\r\norder:P\tA\tP\r\nnotstarted:A\tP\r\nstarted:P\r\ntext:\r\n");
    QTest::newRow("only an exact N marks")
        << QList<QStringList> { { "A", "n" }, { "B", "NN" }, { "C", " N" }, { "D", "x" } } << "7"
        << "12"
        << "" << QByteArray("wnr:7\r\nrid:12\r\norder:A\tB\tC\tD\r\nnotstarted:\r\nstarted:A\tB\tC\tD\r\ntext:\r\n");
    QTest::newRow("keys, wnr and rid untrimmed, may be empty")
        << QList<QStringList> { { " A ", "" }, { "", "N" } } << ""
        << " r "
        << "" << QByteArray("wnr:\r\nrid: r \r\norder: A \t\r\nnotstarted:\r\nstarted: A \r\ntext:\r\n");
    QTest::newRow("line breaks in the free text become byte 8")
        << QList<QStringList> { { "A", "" } } << "7"
        << "12"
        << "a\r\nb\nc\rd"
        << QByteArray("wnr:7\r\nrid:12\r\norder:A\r\nnotstarted:\r\nstarted:A\r\ntext:a\bb\bc\bd\r\n");
}

void TestMutatiebestand::content()
{
    QFETCH(QList<QStringList>, rows);
    QFETCH(QString, wnr);
    QFETCH(QString, rid);
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    const auto grid = gridOf(rows);
    MutationRecord record = mutationRecord(*grid, wnr, rid);
    record.text = text;
    QCOMPARE(mutationBytes(record), expected);
    // A send writes the same bytes straight from the grid (the station never fills in the free text).
    if (text.isEmpty())
        QCOMPARE(mutationBytes(*grid, wnr, rid), expected);
}

// A running-order file whose keys hold every byte 0x80..0xFF (and low control bytes and a NUL) goes
// through the reader and the grid into both copies unchanged, in a folder, with a pinned clock.
void TestMutatiebestand::keysFromAFileComeOutByteForByte()
{
    const QByteArray file
        = testsupport::readFile(QStringLiteral(BALDOVENAAR_TEST_DATA "/baldovenaar rst-sleutels.dvz"));
    QVERIFY(!file.isEmpty());
    const RunOrderContent content = parseRunOrderBytes(file);
    GridTable grid;
    grid.setCols(column::Count);
    for (const QString& rij : content.rijen)
        grid.addItem(rij);
    grid.setFixedRows(1);

    Station station;
    station.state.wnr = content.wnr.value();
    station.state.rid = content.rid.value();
    const SendResult result = verzendmutatie(station.state, grid, station.clock);
    QVERIFY(result.written && !result.skipped && result.failures.empty());
    QCOMPARE(station.state.bestandsmap(), station.folder);
    QCOMPARE(station.clock.pausedMilliseconds(), 500);

    QByteArray key[10];
    for (int k = 0; k < 8; ++k)
        for (int b = 0; b < 16; ++b)
            key[k] += char(0x80 + 16 * k + b);
    key[8] = "x\x01\x02\x03\x04\x05\x06\x07\x08\x0b\x0c\x0e\x0f\x10\x11\x12\x13\x14\x15\x16\x17\x18\x19\x1a\x1b\x1c\x1d"
             "\x1e\x1f\x7f";
    key[9] = QByteArray("a\0b", 3);
    const QByteArray expected = "wnr:W\xe9"
                                "dstrijd\x80 7\r\nrid:R\xef"
                                "d-12\r\norder:"
        + key[0] + '\t' + key[1] + "\tP\t" + key[2] + '\t' + key[3] + '\t' + key[4] + "\tP\t" + key[5] + '\t' + key[6]
        + '\t' + key[7] + '\t' + key[8] + '\t' + key[9] + "\r\nnotstarted:" + key[0] + '\t' + key[2] + "\tP\t" + key[7]
        + '\t' + key[9] + "\r\nstarted:" + key[1] + "\tP\t" + key[3] + '\t' + key[4] + '\t' + key[5] + '\t' + key[6]
        + '\t' + key[8] + "\r\ntext:\r\n";
    const QStringList names { QString::fromUtf8("20261207-101530-R\u00efd-12-baldovenaar-h.mut"),
        QString::fromUtf8("20261207-101530-R\u00efd-12-baldovenaar-s.mut") };
    QCOMPARE(filesIn(station.folder), names);
    for (const QString& name : names) {
        QCOMPARE(testsupport::readFile(station.folder + name), expected);
        QCOMPARE(fileAttributes(station.folder + name), std::optional<int>(AttrHidden | AttrArchive));
    }
    QVERIFY(listFolder(station.folder, QStringLiteral("*.mut")).isEmpty()); // hidden from a normal listing
}

void TestMutatiebestand::names_data()
{
    QTest::addColumn<QString>("rid");
    QTest::addColumn<QChar>("kind");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain") << "12" << QChar(u's') << "20261207-101530-12-baldovenaar-s.mut";
    QTest::newRow("kind h, hyphens kept") << "x-12" << QChar(u'h') << "20261207-101530-x-12-baldovenaar-h.mut";
    QTest::newRow("empty rid: two hyphens") << "" << QChar(u's') << "20261207-101530--baldovenaar-s.mut";
    QTest::newRow("backslash path") << "..\\x" << QChar(u's') << "20261207-101530-.._x-baldovenaar-s.mut";
    QTest::newRow("slash path") << "../x" << QChar(u's') << "20261207-101530-.._x-baldovenaar-s.mut";
    QTest::newRow("wildcards") << "*?" << QChar(u's') << "20261207-101530-__-baldovenaar-s.mut";
    QTest::newRow("not allowed on Windows") << "<>:\"|" << QChar(u's') << "20261207-101530-_____-baldovenaar-s.mut";
    QTest::newRow("control characters") << QString::fromUtf16(u"a\tb\x01\x7f\x81\x9f") << QChar(u's')
                                        << "20261207-101530-a_b____-baldovenaar-s.mut";
    QTest::newRow("dots, spaces and letters kept")
        << QString::fromUtf16(u" .R\u00efd\u20ac. ") << QChar(u's')
        << QString::fromUtf16(u"20261207-101530- .R\u00efd\u20ac. -baldovenaar-s.mut");
}

void TestMutatiebestand::names()
{
    QFETCH(QString, rid);
    QFETCH(QChar, kind);
    QFETCH(QString, expected);
    QCOMPARE(mutationFileName(QStringLiteral("20261207"), QStringLiteral("101530"), rid, kind), expected);
}

void TestMutatiebestand::longRidsAreCappedAndKeptApart()
{
    const QString exact(maxRidInName, u'r');
    QCOMPARE(safeRid(exact), exact);
    const QString huge(65536, u'r');
    const QString capped = safeRid(huge);
    QCOMPARE(capped.size(), maxRidInName);
    QVERIFY(capped.startsWith(QString(maxRidInName - 9, u'r') + u'~'));
    QVERIFY(safeRid(huge + u'x') != capped);
    QVERIFY(safeRid(exact + u'/') != safeRid(exact + u'_'));
}

void TestMutatiebestand::parseNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parsed"); // date|time|rid|kind|temporary, or "" for no mutation file

    QTest::newRow("plain") << "20261207-101530-12-baldovenaar-s.mut"
                           << "20261207|101530|12|s|0";
    QTest::newRow("empty rid") << "20261207-101530--baldovenaar-h.mut"
                               << "20261207|101530||h|0";
    QTest::newRow("rid with hyphens") << "20261207-101530-x-12-baldovenaar-s.mut"
                                      << "20261207|101530|x-12|s|0";
    QTest::newRow("rid like the tag") << "20261207-101530-a-baldovenaar-s-baldovenaar-h.mut"
                                      << "20261207|101530|a-baldovenaar-s|h|0";
    QTest::newRow("fixed parts in capitals") << "20261207-101530-Ab-BALDOVENAAR-S.MUT"
                                             << "20261207|101530|Ab|s|0";
    QTest::newRow("temporary copy") << "20261207-101530-12-baldovenaar-h.mut.tmp"
                                    << "20261207|101530|12|h|1";
    QTest::newRow("other kind") << "20261207-101530-12-baldovenaar-x.mut"
                                << "";
    QTest::newRow("kind missing") << "20261207-101530-12-baldovenaar-.mut"
                                  << "";
    QTest::newRow("other extension") << "20261207-101530-12-baldovenaar-s.mut.bak"
                                     << "";
    QTest::newRow("seven-digit date") << "2026127-101530-12-baldovenaar-s.mut"
                                      << "";
    QTest::newRow("short time") << "20261207-1015-12-baldovenaar-s.mut"
                                << "";
    QTest::newRow("letters for digits") << "2026120x-101530-12-baldovenaar-s.mut"
                                        << "";
    QTest::newRow("underscore for hyphen") << "20261207_101530-12-baldovenaar-s.mut"
                                           << "";
    QTest::newRow("something before the date") << "x20261207-101530-12-baldovenaar-s.mut"
                                               << "";
    QTest::newRow("no hyphen for the rid") << "20261207-101530-baldovenaar-s.mut"
                                           << "";
    QTest::newRow("running-order file") << "baldovenaar rst-0001.dvz"
                                        << "";
}

void TestMutatiebestand::parseNames()
{
    QFETCH(QString, name);
    QFETCH(QString, parsed);
    const std::optional<MutationFileName> result = parseMutationFileName(name);
    QCOMPARE(result.has_value(), !parsed.isEmpty());
    if (result) {
        QCOMPARE(QStringList({ result->date, result->time, result->rid, QString(result->kind),
                                 QString::number(result->temporary) })
                     .join(u'|'),
            parsed);
    }
}

void TestMutatiebestand::cleanUp_data()
{
    QTest::addColumn<bool>("send"); // else wismutaties
    QTest::addColumn<QString>("bestandspad"); // "*" for the followed file in the station's folder
    QTest::addColumn<QString>("rid");
    QTest::addColumn<bool>("klasbekend");
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QStringList>("remaining");

    const QString s9 = QStringLiteral("20261207-090000-12-baldovenaar-s.mut");
    const QString h9 = QStringLiteral("20261207-090000-12-baldovenaar-h.mut");
    const QStringList otherClassesToday { "20261207-090000-13-baldovenaar-s.mut",
        "20261207-090000-x-12-baldovenaar-s.mut", "20261207-090000-112-baldovenaar-h.mut",
        "20261207-090000-12x-baldovenaar-s.mut", "20261207-090000-13-baldovenaar-s.mut.tmp" };
    const QStringList earlierDays { "20261206-235959-12-baldovenaar-s.mut", "20261130-080000-13-baldovenaar-h.mut",
        "20251207-101530-x-12-baldovenaar-s.mut", "20261208-080000-13-baldovenaar-s.mut",
        "20261206-090000-13-baldovenaar-h.mut.tmp" };
    const QStringList lookAlikes { "20261206-090000-12-baldovenaar-s.mut.bak", "20261206-090000-12-baldovenaar-x.mut",
        "2026126-090000-12-baldovenaar-s.mut", "x20261206-090000-12-baldovenaar-s.mut",
        "20261206_090000-12-baldovenaar-s.mut", "baldovenaar rst-0001.dvz" };
    const QStringList sent { hName, sName };

    QTest::newRow("send: an earlier send of today goes, per kind") << true << "*"
                                                                   << "12" << true << QStringList { s9, h9 } << sent;
    QTest::newRow("send: a later-named send of today goes (clock set back)")
        << true << "*"
        << "12" << true
        << QStringList { "20261207-113000-12-baldovenaar-s.mut", "20261207-113000-12-baldovenaar-h.mut" } << sent;
    QTest::newRow("send: a name listed after a newer one goes")
        << true << "*"
        << "12" << true
        << QStringList { "20261207-080000-12-baldovenaar-s.mut", "20261207-120000-12-baldovenaar-s.mut",
               "20261207-100000-12-baldovenaar-s.mut" }
        << sent;
    // Where the folder ignores case, this is the name the new copy may be listed under: it must stay.
    QTest::newRow("send: the same name in capitals stays")
        << true << "*"
        << "12" << true << QStringList { "20261207-101530-12-BALDOVENAAR-S.MUT" }
        << QStringList(sent + QStringList { "20261207-101530-12-BALDOVENAAR-S.MUT" });
    QTest::newRow("send: other classes of today stay")
        << true << "*"
        << "12" << true << otherClassesToday << QStringList(otherClassesToday + sent);
    QTest::newRow("send: earlier days of every class go") << true << "*"
                                                          << "12" << true << earlierDays << sent;
    QTest::newRow("send: names that merely look alike stay")
        << true << "*"
        << "12" << true << lookAlikes << QStringList(lookAlikes + sent);
    QTest::newRow("send: empty rid gives two hyphens")
        << true << "*"
        << "" << true << QStringList { "20261207-090000--baldovenaar-s.mut", s9 }
        << QStringList { "20261207-101530--baldovenaar-h.mut", "20261207-101530--baldovenaar-s.mut", s9 };
    QTest::newRow("send: this class's temporary copies go")
        << true << "*"
        << "12" << true << QStringList { s9 + ".tmp", "20261207-120000-12-baldovenaar-h.mut.tmp" } << sent;
    QTest::newRow("send: no file followed")
        << true << ""
        << "12" << true << QStringList { s9, earlierDays[1] } << QStringList { s9, earlierDays[1] };
    QTest::newRow("send: only spaces followed") << true << "  "
                                                << "12" << true << QStringList { s9 } << QStringList { s9 };
    QTest::newRow("send: class not known yet")
        << true << "*"
        << "12" << false << QStringList { s9, earlierDays[1] } << QStringList { s9, earlierDays[1] };
    QTest::newRow("wis: this class's files of every day and kind go")
        << false << "*"
        << "12" << true
        << QStringList(QStringList { s9, h9, s9 + ".tmp", earlierDays[0] } + otherClassesToday + lookAlikes)
        << QStringList(otherClassesToday + lookAlikes);
    QTest::newRow("wis: empty rid removes nothing")
        << false << "*"
        << "" << true << QStringList { "20261207-090000--baldovenaar-s.mut" }
        << QStringList { "20261207-090000--baldovenaar-s.mut" };
    QTest::newRow("wis: no file followed") << false << ""
                                           << "12" << true << QStringList { s9 } << QStringList { s9 };
}

void TestMutatiebestand::cleanUp()
{
    QFETCH(bool, send);
    QFETCH(QString, bestandspad);
    QFETCH(QString, rid);
    QFETCH(bool, klasbekend);
    QFETCH(QStringList, existing);
    QFETCH(QStringList, remaining);

    Station station;
    if (bestandspad != u"*")
        station.state.setBestandspad(bestandspad);
    station.state.rid = rid;
    station.state.klasbekend = klasbekend;
    for (const QString& name : existing)
        plant(station.folder, name);
    if (send) {
        const SendResult result = verzendmutatie(station.state, *gridOf({ { "A", "" } }), station.clock);
        QCOMPARE(result.skipped, bestandspad.trimmed().isEmpty() || !klasbekend);
        QCOMPARE(result.written, !result.skipped);
        QCOMPARE(station.clock.pausedMilliseconds(), result.skipped ? 0 : 500);
    } else {
        wismutaties(station.state);
    }
#ifdef Q_OS_WIN
    // Windows names ignore case: two names that differ only in it are one file, listed under either.
    const auto folded = [](QStringList names) {
        for (QString& name : names)
            name = name.toUpper();
        names.removeDuplicates();
        names.sort();
        return names;
    };
    QCOMPARE(folded(filesIn(station.folder)), folded(remaining));
#else
    remaining.sort();
    QCOMPARE(filesIn(station.folder), remaining);
#endif
}

void TestMutatiebestand::classesWhoseRidsLookAlikeKeepTheirFiles_data()
{
    QTest::addColumn<bool>("send"); // else wismutaties
    QTest::addColumn<QByteArray>("content"); // of a file under the class's name ("a_b")
    QTest::addColumn<bool>("own"); // so it goes

    const QByteArray rest = "order:A\r\nnotstarted:\r\nstarted:A\r\ntext:\r\n";
    const struct
    {
        const char* name;
        QByteArray content;
        bool own;
    } files[] = {
        { "another class's rid", "wnr:7\r\nrid:a?b\r\n" + rest, false },
        { "another class's rid, LF line ends", "wnr:7\nrid:a/b\norder:A\n", false },
        { "the class's rid", "wnr:7\r\nrid:a*b\r\n" + rest, true },
        { "the class's rid, LF line ends", "wnr:7\nrid:a*b\norder:A\nnotstarted:\nstarted:A\ntext:\n", true },
        { "the class's rid, CR line ends", "wnr:7\rrid:a*b\r", true },
        { "empty", "", true },
        { "one line", "wnr:7", true },
        { "one line ended", "wnr:7\r\n", true },
        { "a second line that names no rid", "wnr:7\r\norder:A\r\n", true },
        { "the rid in other capitals", "wnr:7\r\nrid:A*B\r\n" + rest, false },
    };
    for (const bool send : { true, false }) {
        for (const auto& file : files)
            QTest::addRow("%s: %s", send ? "send" : "clean-up", file.name) << send << file.content << file.own;
    }
}

void TestMutatiebestand::classesWhoseRidsLookAlikeKeepTheirFiles()
{
    QFETCH(bool, send);
    QFETCH(QByteArray, content);
    QFETCH(bool, own);
    // "a*b", "a?b" and "a/b" are all "a_b" in a file name; only the second line tells them apart. What does
    // not name another class's rid there is the class's own, however malformed, and must not linger for an
    // office that takes the newest file by name.
    Station station;
    station.state.rid = QStringLiteral("a*b");
    station.state.klasbekend = true;
    const QString planted = QStringLiteral("20261207-090000-a_b-baldovenaar-s.mut");
    QVERIFY(testsupport::writeFile(station.folder + planted, content));
    QStringList remaining;
    if (!own)
        remaining << planted;
    if (send) {
        QVERIFY(verzendmutatie(station.state, *gridOf({ { "A", "" } }), station.clock).written);
        remaining << "20261207-101530-a_b-baldovenaar-h.mut"
                  << "20261207-101530-a_b-baldovenaar-s.mut";
    } else {
        wismutaties(station.state);
    }
    remaining.sort();
    QCOMPARE(filesIn(station.folder), remaining);
}

void TestMutatiebestand::pathWithoutFolderMeansTheCurrentFolder()
{
    Station station;
    const QString previous = QDir::currentPath();
    const auto restore = qScopeGuard([&] { QDir::setCurrent(previous); });
    QVERIFY(QDir::setCurrent(station.folder));
    station.state.setBestandspad(QStringLiteral("baldovenaar rst-0001.dvz"));
    plant(station.folder, QStringLiteral("20261207-090000-12-baldovenaar-s.mut"));

    QVERIFY(verzendmutatie(station.state, *gridOf({ { "A", "" } }), station.clock).written);
    QCOMPARE(station.state.bestandsmap(), QString());
    QCOMPARE(filesIn(station.folder), QStringList({ hName, sName }));
    wismutaties(station.state);
    QCOMPARE(filesIn(station.folder), QStringList());
}

// The office may read the folder at any moment: whatever it finds under a mutation name is a whole file.
void TestMutatiebestand::readerNeverSeesAPartialFile()
{
    Station station;
    QList<QStringList> rows;
    for (int k = 0; k < 20000; ++k)
        rows.append({ QString::number(100000 + k), k % 3 ? "" : "N" });
    const auto grid = gridOf(rows);

    std::atomic<bool> stop { false };
    std::atomic<int> whole { 0 };
    std::atomic<int> partial { 0 };
    std::unique_ptr<QThread> reader(QThread::create([&] {
        while (!stop.load()) {
            for (const QString& name : listFolder(station.folder, QStringLiteral("*.mut"), Listing::IncludeHidden)) {
                QFile file(station.folder + name);
                if (!file.open(QIODevice::ReadOnly))
                    continue; // pruned between listing and opening
                (isWholeFile(file.readAll()) ? whole : partial)++;
            }
        }
    }));
    reader->start();
    // Until the reader has had its chance, also on a busy machine.
    for (int send = 0; send < 100 || (whole.load() == 0 && send < 5000); ++send) {
        grid->setTextMatrix(1 + send, column::Mark, QStringLiteral("N"));
        station.clock.setNow(sendTime.addSecs(send));
        QVERIFY(verzendmutatie(station.state, *grid, station.clock).written);
    }
    stop = true;
    reader->wait();
    QCOMPARE(partial.load(), 0);
    QVERIFY(whole.load() > 0);
}

void TestMutatiebestand::resendInTheSameSecondReplacesBothCopies()
{
    Station station;
    const auto grid = gridOf({ { "A", "" }, { "B", "" } });
    QVERIFY(verzendmutatie(station.state, *grid, station.clock).written);
    grid->setTextMatrix(2, column::Mark, QStringLiteral("N"));
    QVERIFY(verzendmutatie(station.state, *grid, station.clock).written); // the pause keeps it in 10:15:30
    QCOMPARE(filesIn(station.folder), QStringList({ hName, sName }));
    for (const QString& name : { hName, sName }) {
        QCOMPARE(testsupport::readFile(station.folder + name),
            QByteArray("wnr:7\r\nrid:12\r\norder:A\tB\r\nnotstarted:B\r\nstarted:A\r\ntext:\r\n"));
        QCOMPARE(fileAttributes(station.folder + name), std::optional<int>(AttrHidden | AttrArchive));
    }
}

void TestMutatiebestand::hostileRidStaysInItsFolder_data()
{
    QTest::addColumn<QString>("rid");
    QTest::newRow("backslash up") << "..\\x";
    QTest::newRow("slash up") << "../x";
    QTest::newRow("absolute") << "/x";
    QTest::newRow("star") << "*";
    QTest::newRow("question mark") << "?";
    QTest::newRow("into a subfolder") << "a/b";
    QTest::newRow("dot dot") << "..";
    QTest::newRow("control characters") << QString::fromUtf16(u"\x01\t\x1f");
    QTest::newRow("64 KB") << QString(65536, u'x');
}

void TestMutatiebestand::hostileRidStaysInItsFolder()
{
    QFETCH(QString, rid);
    Station station;
    QDir(station.root.path()).mkpath(QStringLiteral("GEDEELD/a"));
    const QStringList others { "20261207-090000-12-baldovenaar-s.mut", "20261207-090000-x-baldovenaar-h.mut",
        "20261207-090000-.._x-12-baldovenaar-s.mut" };
    for (const QString& name : others)
        plant(station.folder, name);
    const auto everything = [&] {
        QStringList paths;
        QDirIterator it(station.root.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            paths.append(it.next());
        paths.sort();
        return paths;
    };
    const QStringList before = everything();

    station.state.rid = rid;
    QVERIFY(verzendmutatie(station.state, *gridOf({ { "A", "" } }), station.clock).written);
    QStringList added = everything();
    for (const QString& path : before)
        added.removeOne(path);
    QCOMPARE(added.size(), 2);
    for (const QString& path : added) {
        QCOMPARE(QFileInfo(path).absolutePath() + u'/', station.folder);
        const std::optional<MutationFileName> parsed = parseMutationFileName(QFileInfo(path).fileName());
        QVERIFY(parsed && parsed->rid == safeRid(rid));
        QCOMPARE(testsupport::readFile(path).split('\n').value(1), "rid:" + rid.toLatin1() + '\r');
    }
    wismutaties(station.state);
    QCOMPARE(everything(), before);
}

void TestMutatiebestand::failedCopyIsReported_data()
{
    QTest::addColumn<int>("operation"); // -1: the folder is gone
    QTest::addColumn<QString>("pathPart");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QStringList>("failedKinds");
    QTest::addColumn<QString>("dutch"); // the common reason as the official reads it, before the system's words

    QTest::newRow("write of s fails") << int(faults::Operation::Write) << "-s.mut"
                                      << "Schijf vol" << QStringList { "s" } << QString();
    QTest::newRow("move of h fails") << int(faults::Operation::Rename) << "-h.mut"
                                     << "Geen toegang" << QStringList { "h" } << QString();
    QTest::newRow("open of both fails") << int(faults::Operation::Open) << "baldovenaar-"
                                        << "Geen rechten" << QStringList { "s", "h" } << QString();
    QTest::newRow("the folder is read-only: no copy can be created")
        << int(faults::Operation::Open) << "baldovenaar-" << qt_error_string(readOnlyCode) << QStringList { "s", "h" }
        << "de map is alleen-lezen";
    QTest::newRow("the disk fills up during the second copy")
        << int(faults::Operation::Write) << "-h.mut" << qt_error_string(diskFullCode) << QStringList { "h" }
        << "de schijf is vol";
    QTest::newRow("no rights in the folder")
        << int(faults::Operation::Open) << "baldovenaar-" << qt_error_string(noRightsCode) << QStringList { "s", "h" }
        << "geen rechten om in deze map te schrijven";
    QTest::newRow("folder gone") << -1 << ""
                                 << "" << QStringList { "s", "h" } << "de map bestaat niet (meer)";
}

void TestMutatiebestand::failedCopyIsReported()
{
    QFETCH(int, operation);
    QFETCH(QString, pathPart);
    QFETCH(QString, reason);
    QFETCH(QStringList, failedKinds);
    QFETCH(QString, dutch);

    Station station;
    const QStringList earlier { "20261207-090000-12-baldovenaar-h.mut", "20261207-090000-12-baldovenaar-s.mut" };
    for (const QString& name : earlier)
        plant(station.folder, name);
    if (operation < 0)
        QVERIFY(QDir(station.folder).removeRecursively());
    else
        faults::inject(faults::Operation(operation), pathPart, reason);

    const SendResult result = verzendmutatie(station.state, *gridOf({ { "A", "" } }), station.clock);
    QVERIFY(!result.written && !result.skipped);
    QCOMPARE(station.clock.pausedMilliseconds(), 500);
    QCOMPARE(int(result.failures.size()), failedKinds.size());
    const QString message = verzendFoutmelding(result);
    QVERIFY(message.startsWith(
        failedKinds.size() == 2 ? "De wijziging is niet verzonden" : "De wijziging is niet volledig"));
    QVERIFY(message.contains(QDir::toNativeSeparators(QFileInfo(station.folder + "x").absolutePath())));
    for (std::size_t k = 0; k < result.failures.size(); ++k) {
        const MutationFailure& failure = result.failures[k];
        QCOMPARE(failure.path, station.folder + (failedKinds[int(k)] == u"s" ? sName : hName));
        QVERIFY(!failure.reason.isEmpty());
        if (!reason.isEmpty())
            QCOMPARE(failure.reason, reason);
        QVERIFY(message.contains(QFileInfo(failure.path).fileName()) && message.contains(failure.reason));
        const QString given = dutch.isEmpty() ? failure.reason : dutch + QStringLiteral(": ") + failure.reason;
        QVERIFY2(message.contains(QStringLiteral("(%1).").arg(given)), qPrintable(message));
    }
    if (operation >= 0) {
        // The copy that failed keeps its earlier file of today; the other one is replaced; nothing temporary stays.
        QStringList remaining;
        for (const QString& kind : { QStringLiteral("h"), QStringLiteral("s") })
            remaining.append(failedKinds.contains(kind) ? earlier[kind == u"s"] : (kind == u"s" ? sName : hName));
        remaining.sort();
        QCOMPARE(filesIn(station.folder), remaining);
    }
    QCOMPARE(verzendFoutmelding(SendResult { true, false, {}, {} }), QString());
}

QTEST_GUILESS_MAIN(TestMutatiebestand)
#include "tst_mutatiebestand.moc"
