#include "clock.h"
#include "cp1252.h"
#include "democlass.h"
#include "fileattributes.h"
#include "files.h"
#include "kantoorcommand.h"
#include "publication.h"
#include "publishedorder.h"
#include "startercsv.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace kantoor;

// The office stand-in: the file it writes must be one the station reads as the office's own, and it must
// refuse input that would give a broken file or a file in the wrong place.
class TestKantoor : public QObject
{
    Q_OBJECT

private slots:
    void fileLines_data();
    void fileLines();
    void fileBytes_data();
    void fileBytes();
    void positions();
    void csv_data();
    void csv();
    void csvRefused_data();
    void csvRefused();
    void classId_data();
    void classId();
    void dutchDate_data();
    void dutchDate();
    void demoClass();
    void command_data();
    void command();
    void commandRefused_data();
    void commandRefused();
    void touchRewritesUnchanged();
    void edit_data();
    void edit();
    void editRefused_data();
    void editRefused();
    void warnsOfFilesTheStationConfuses();
    void writeFailureLeavesNoTrace();
    void linkedClassFileIsNotWrittenThrough_data();
    void linkedClassFileIsNotWrittenThrough();

private:
    static PublishedOrder smallOrder();
};

PublishedOrder TestKantoor::smallOrder()
{
    PublishedOrder order;
    order.owner = QStringLiteral("Eigenaar");
    order.wnr = QStringLiteral("12");
    order.rid = QStringLiteral("7");
    order.order = QStringLiteral("1");
    order.titel = QStringLiteral("Dressuur L1");
    order.datum = QStringLiteral("maandag 7 december 2026");
    order.begintijd = QStringLiteral("10:30");
    order.editvolgorde = QStringLiteral("1");
    order.editnietgestart = QStringLiteral("0");
    order.header = jumpingHeader();
    return order;
}

void TestKantoor::fileLines_data()
{
    QTest::addColumn<QStringList>("line");
    QTest::addColumn<QString>("expectedRij");

    QTest::newRow("short line padded to 11 fields")
        << QStringList { "1001", "1", "101" } << QString("rij:1001\t1\t101\t\t\t\t\t\t\t\t");
    QTest::newRow("full line kept") << QStringList { "k", "1", "2", "3", "4", "5", "6", "7", "8", "N", "N" }
                                    << QString("rij:k\t1\t2\t3\t4\t5\t6\t7\t8\tN\tN");
    QTest::newRow("tab in a field would shift the columns")
        << QStringList { "k", "1", "a\tb" } << QString("rij:k\t1\ta b\t\t\t\t\t\t\t\t");
    QTest::newRow("line break in a field would end the line")
        << QStringList { "k", "1", "a\r\nb" } << QString("rij:k\t1\ta  b\t\t\t\t\t\t\t\t");
    QTest::newRow("fields beyond the eleventh dropped") << QStringList { "k", "1", "2", "3", "4", "5", "6", "7", "8",
        "9", "10", "11" } << QString("rij:k\t1\t2\t3\t4\t5\t6\t7\t8\t9\t10");
}

void TestKantoor::fileLines()
{
    QFETCH(QStringList, line);
    QFETCH(QString, expectedRij);

    PublishedOrder order = smallOrder();
    order.lines.push_back(line);
    const QStringList lines = runningOrderLines(order);

    const QStringList expectedHead { "owner:Eigenaar", "wnr:12", "rid:7", "order:1", "titel:Dressuur L1",
        "datum:maandag 7 december 2026", "begintijd:10:30", "editvolgorde:1", "editnietgestart:0",
        "rij:Key\tVolg\tNr\tRuiter\tPaard\tVereniging\tCat\tHoogte\tTijd\tStatus\tNG" };
    QCOMPARE(lines.mid(0, expectedHead.size()), expectedHead);
    QCOMPARE(lines.size(), expectedHead.size() + 1);
    QCOMPARE(lines.last(), expectedRij);
}

void TestKantoor::fileBytes_data()
{
    QTest::addColumn<QString>("titel");
    QTest::addColumn<QByteArray>("titelLine");
    QTest::addColumn<QString>("unencodable");

    QTest::newRow("plain") << QString("Springen") << QByteArray("titel:Springen\r\n") << QString();
    QTest::newRow("accents as single bytes")
        << QString::fromUtf8("Zoë Hermès") << QByteArray("titel:Zo\xEB Herm\xE8s\r\n") << QString();
    QTest::newRow("euro sign is 0x80") << QString::fromUtf8("€ 25") << QByteArray("titel:\x80 25\r\n") << QString();
    QTest::newRow("line break in a header value stays on one line")
        << QString("twee\nregels") << QByteArray("titel:twee regels\r\n") << QString();
    QTest::newRow("character without a byte becomes ? and is reported") << QString::fromUtf8("Łódź")
                                                                        << QByteArray("titel:?\xF3"
                                                                                      "d?\r\n")
                                                                        << QString::fromUtf8("Łź");
}

void TestKantoor::fileBytes()
{
    QFETCH(QString, titel);
    QFETCH(QByteArray, titelLine);
    QFETCH(QString, unencodable);

    PublishedOrder order = smallOrder();
    order.titel = titel;
    order.lines.push_back({ "1001", "1", "101", QString::fromUtf8("Sanne de Vries") });
    const QByteArray bytes = runningOrderBytes(order);

    QVERIFY2(bytes.contains("\r\n" + titelLine), bytes.constData());
    QVERIFY(bytes.endsWith("rij:1001\t1\t101\tSanne de Vries\t\t\t\t\t\t\t\r\n"));
    QCOMPARE(bytes.count("\r\n"), 11);
    QCOMPARE(bytes.count('\n'), 11);
    QCOMPARE(unencodableCharacters(order), unencodable);
}

void TestKantoor::positions()
{
    PublishedOrder order;
    order.lines = { { "P", "9" }, { "1001", "x" }, { "1002" }, { "P", "" }, { "1003", "" } };
    numberPositions(order);

    QStringList column1;
    for (const QStringList& line : order.lines) {
        QCOMPARE(line.size(), column::Count);
        column1 << line.at(column::Position);
    }
    QCOMPARE(column1, (QStringList { "", "1", "2", "", "3" }));
}

void TestKantoor::csv_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("header");
    QTest::addColumn<QList<QStringList>>("lines");

    QTest::newRow("semicolons, fields into columns 0 and 2 to 10")
        << QByteArray("1001;101;Sanne de Vries;Quibus;LR De Heuvelrijders;M;1.10;10:30;;N\n") << QStringList()
        << QList<QStringList> { { "1001", "", "101", "Sanne de Vries", "Quibus", "LR De Heuvelrijders", "M", "1.10",
               "10:30", "", "N" } };
    QTest::newRow("commas when there is no semicolon, short lines padded")
        << QByteArray("1001,101,Sanne\r\n1002,102\r\n") << QStringList()
        << QList<QStringList> { { "1001", "", "101", "Sanne", "", "", "", "", "", "", "" },
               { "1002", "", "102", "", "", "", "", "", "", "", "" } };
    QTest::newRow("quoted separators and doubled quotes")
        << QByteArray("1001;\"1;2\";\"Vries, \"\"de\"\"\"\n") << QStringList()
        << QList<QStringList> { { "1001", "", "1;2", "Vries, \"de\"", "", "", "", "", "", "", "" } };
    QTest::newRow("title line, comments, blank lines, pause lines, trimmed fields")
        << QByteArray("#key;Nr;Ruiter;Paard;Land\n\n1001 ; 101 ; Anna \n# tweede groep\nP;;Pauze\n   \nP;;Pauze\n")
        << QStringList { "key", "Volg", "Nr", "Ruiter", "Paard", "Land", "", "", "", "", "" }
        << QList<QStringList> { { "1001", "", "101", "Anna", "", "", "", "", "", "", "" },
               { "P", "", "", "Pauze", "", "", "", "", "", "", "" },
               { "P", "", "", "Pauze", "", "", "", "", "", "", "" } };
    QTest::newRow("UTF-8 with byte-order mark")
        << QByteArray("\xEF\xBB\xBF"
                      "1001;101;Zo\xC3\xAB\n")
        << QStringList()
        << QList<QStringList> { { "1001", "", "101", QString::fromUtf8("Zoë"), "", "", "", "", "", "", "" } };
    QTest::newRow("Windows-1252 when not UTF-8") << QByteArray("1001;101;Zo\xEB;\x80\n") << QStringList()
                                                 << QList<QStringList> { { "1001", "", "101", QString::fromUtf8("Zoë"),
                                                        QString::fromUtf8("€"), "", "", "", "", "", "" } };
    QTest::newRow("empty text gives an empty class") << QByteArray() << QStringList() << QList<QStringList>();
}

void TestKantoor::csv()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, header);
    QFETCH(QList<QStringList>, lines);

    const StarterCsv csv = parseStarterCsv(text);
    QCOMPARE(csv.error, QString());
    // The title of column 1 is filled in by the publisher.
    QStringList gotHeader = csv.header;
    if (!gotHeader.isEmpty())
        gotHeader[1] = "Volg";
    QCOMPARE(gotHeader, header);
    QCOMPARE(QList<QStringList>(csv.lines.begin(), csv.lines.end()), lines);
}

void TestKantoor::csvRefused_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("error");

    QTest::newRow("duplicate key") << QByteArray("1001;1\n1002;2\n1001;3\n")
                                   << QString("line 3: the key \"1001\" occurs more than once");
    QTest::newRow("empty key") << QByteArray("1001;1\n;2\n") << QString("line 2: the key (first field) is empty");
    QTest::newRow("eleven fields") << QByteArray("1;2;3;4;5;6;7;8;9;10;11\n")
                                   << QString("line 1: 11 fields, at most 10 "
                                              "(key;nr;ruiter;paard;vereniging;cat;hoogte;tijd;status;ng)");
    QTest::newRow("quote left open") << QByteArray("1001;\"open\n") << QString("line 1: a quote is not closed");

    QByteArray tooMany;
    for (int i = 0; i <= PublishedOrder::MaxLines; ++i)
        tooMany += QByteArray::number(i + 1) + ";x\n";
    QTest::newRow("more lines than the station holds") << tooMany << QString("line 32768: more than 32767 lines");
}

void TestKantoor::csvRefused()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, error);

    const StarterCsv csv = parseStarterCsv(text);
    QCOMPARE(csv.error, error);
    QVERIFY(csv.lines.empty());
}

void TestKantoor::classId_data()
{
    QTest::addColumn<QString>("classId");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("office's number") << QString("0001") << true;
    QTest::newRow("letters, digits, dash, space inside") << QString("A-7 b") << true;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("climbs out of the folder") << QString("../x") << false;
    QTest::newRow("slash") << QString("a/b") << false;
    QTest::newRow("backslash") << QString("a\\b") << false;
    QTest::newRow("drive colon") << QString("c:x") << false;
    QTest::newRow("wildcard star") << QString("*") << false;
    QTest::newRow("wildcard question mark") << QString("x?") << false;
    QTest::newRow("control character") << QString("a\nb") << false;
    QTest::newRow("trailing dot") << QString("x.") << false;
    QTest::newRow("trailing space") << QString("x ") << false;
    QTest::newRow("too long") << QString(65, 'x') << false;
}

void TestKantoor::classId()
{
    QFETCH(QString, classId);
    QFETCH(bool, accepted);

    QCOMPARE(classIdProblem(classId).isEmpty(), accepted);
    if (accepted)
        QCOMPARE(runningOrderFileName(classId), "baldovenaar rst-" + classId + ".dvz");
}

void TestKantoor::dutchDate_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("text");

    QTest::newRow("monday in december") << QDate(2026, 12, 7) << QString("maandag 7 december 2026");
    QTest::newRow("new year's day on a friday") << QDate(2027, 1, 1) << QString("vrijdag 1 januari 2027");
    QTest::newRow("sunday in march") << QDate(2026, 3, 29) << QString("zondag 29 maart 2026");
    QTest::newRow("invalid date") << QDate() << QString();
}

void TestKantoor::dutchDate()
{
    QFETCH(QDate, date);
    QFETCH(QString, text);
    QCOMPARE(kantoor::dutchDate(date), text);
}

void TestKantoor::demoClass()
{
    const PublishedOrder order = demoOrder(QDate(2026, 12, 7));

    QCOMPARE(order.datum, QString("maandag 7 december 2026"));
    QCOMPARE(order.editvolgorde, QString("1"));
    QCOMPARE(order.editnietgestart, QString("1"));
    QCOMPARE(order.header.size(), column::Count);
    QCOMPARE(order.header.at(9), QString("Status"));
    QCOMPARE(order.header.at(10), QString("NG"));
    QCOMPARE(unencodableCharacters(order), QString());

    // Unique keys, positions 1..n without gaps, pauses splitting the starters into three groups.
    QSet<QString> keys;
    int starters = 0;
    int pauses = 0;
    bool previousWasPause = true;
    for (const QStringList& line : order.lines) {
        QCOMPARE(line.size(), column::Count);
        if (line.at(0) == "P") {
            QVERIFY2(!previousWasPause, "a pause line at the top or after another pause");
            ++pauses;
            QVERIFY(line.at(1).isEmpty());
            QVERIFY(!line.at(3).isEmpty());
            previousWasPause = true;
            continue;
        }
        previousWasPause = false;
        QVERIFY2(!keys.contains(line.at(0)), qPrintable(line.at(0)));
        keys.insert(line.at(0));
        QCOMPARE(line.at(1), QString::number(++starters));
        QVERIFY(!line.at(3).isEmpty() && !line.at(4).isEmpty());
    }
    QVERIFY(!previousWasPause);
    QCOMPARE(pauses, 2);
    QCOMPARE(starters, 40);
}

namespace {

struct CommandRun
{
    int status = -1;
    QString out;
    QString err;
};

CommandRun runCommand(const QStringList& arguments)
{
    CommandRun run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    const platform::FixedClock clock(QDateTime(QDate(2026, 12, 7), QTime(9, 0)));
    run.status = runKantoor(QStringList { "kantoor" } + arguments, out, err, clock);
    out.flush();
    err.flush();
    return run;
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

void TestKantoor::command_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QStringList>("expectedLines");

    QTest::newRow("demo class, defaults")
        << QStringList {} << QByteArray() << QString("baldovenaar rst-0001.dvz")
        << QStringList { "rid:0001", "titel:Springen klasse M - rubriek 7", "datum:maandag 7 december 2026",
               "begintijd:10:30", "editvolgorde:1", "editnietgestart:1",
               "rij:1001\t1\t101\tSanne de Vries\tQuibus van de Heuvelhoeve\tLR De Heuvelrijders\tM\t1.10\t10:30\t\t" };
    QTest::newRow("header values overridden, rid follows the class")
        << QStringList { "--class", "0042", "--titel", "Dressuur", "--datum", "", "--begintijd", "14:00",
               "--editvolgorde", "2", "--editnietgestart", "0", "--owner", "Mij", "--wnr", "9" }
        << QByteArray() << QString("baldovenaar rst-0042.dvz")
        << QStringList { "owner:Mij", "wnr:9", "rid:0042", "titel:Dressuur", "datum:", "begintijd:14:00",
               "editvolgorde:2", "editnietgestart:0" };
    QTest::newRow("starters from CSV, positions numbered")
        << QStringList { "--csv", "@csv", "--rid", "" }
        << QByteArray("#key;Nr;Ruiter\n7;70;Anna\nP;;Pauze\n8;80;Bert\n") << QString("baldovenaar rst-0001.dvz")
        << QStringList { "rid:", "rij:key\tVolg\tNr\tRuiter\t\t\t\t\t\t\t", "rij:7\t1\t70\tAnna\t\t\t\t\t\t\t",
               "rij:P\t\t\tPauze\t\t\t\t\t\t\t", "rij:8\t2\t80\tBert\t\t\t\t\t\t\t" };
    QTest::newRow("remove and insert, positions follow")
        << QStringList { "--csv", "@csv", "--remove", "7", "--insert-after", "8", "--starter", "9;90;Cor" }
        << QByteArray("7;70;Anna\n8;80;Bert\n") << QString("baldovenaar rst-0001.dvz")
        << QStringList { "rij:8\t1\t80\tBert\t\t\t\t\t\t\t", "rij:9\t2\t90\tCor\t\t\t\t\t\t\t" };
}

void TestKantoor::command()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, csv);
    QFETCH(QString, fileName);
    QFETCH(QStringList, expectedLines);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString shared = dir.filePath("GEDEELD");
    QVERIFY(QDir().mkpath(shared));
    const QString csvPath = dir.filePath("starters.csv");
    QVERIFY(testsupport::writeFile(csvPath, csv));
    arguments.replaceInStrings("@csv", csvPath);

    const CommandRun run = runCommand(QStringList { "publish", "--folder", shared } + arguments);
    QCOMPARE(run.err, QString());
    QCOMPARE(run.status, 0);
    const QString path = QDir(shared).filePath(fileName);
    QCOMPARE(run.out.trimmed(), QDir::toNativeSeparators(path));
    QCOMPARE(entries(shared), QStringList { fileName });

    const QByteArray bytes = testsupport::readFile(path);
    QVERIFY(bytes.endsWith("\r\n"));
    const QStringList lines = platform::decodeCp1252(bytes).split("\r\n");
    for (const QString& expected : expectedLines)
        QVERIFY2(lines.contains(expected), qPrintable(expected));
    QCOMPARE(QFileInfo(path).lastModified().date(), QDate::currentDate());
}

void TestKantoor::commandRefused_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");

    QTest::newRow("no command") << QStringList { "--folder", "@shared" } << 2 << QString("no command given");
    QTest::newRow("unknown command") << QStringList { "send", "--folder", "@shared" } << 2
                                     << QString("publish, edit, touch or serve");
    QTest::newRow("unknown option") << QStringList { "publish", "--map", "@shared" } << 2 << QString("map");
    QTest::newRow("no folder") << QStringList { "publish" } << 2 << QString("--folder DIR is required");
    QTest::newRow("folder does not exist")
        << QStringList { "publish", "--folder", "@shared/nergens" } << 2 << QString("does not exist");
    QTest::newRow("folder is a file") << QStringList { "publish", "--folder", "@program" } << 2
                                      << QString("is not a folder");
    QTest::newRow("class climbing out of the folder")
        << QStringList { "publish", "--folder", "@shared", "--class", "../../x" } << 2 << QString("class identifier");
    QTest::newRow("rid with a path separator")
        << QStringList { "publish", "--folder", "@shared", "--rid", "../x" } << 2 << QString("rid");
    QTest::newRow("CSV file missing") << QStringList { "publish", "--folder", "@shared", "--csv", "@shared/geen.csv" }
                                      << 2 << QString("cannot read the CSV file");
    QTest::newRow("CSV is a folder") << QStringList { "publish", "--folder", "@shared", "--csv", "@shared" } << 2
                                     << QString("cannot read the CSV file");
    QTest::newRow("permission not a number")
        << QStringList { "publish", "--folder", "@shared", "--editvolgorde", "ja" } << 2 << QString("number");
    QTest::newRow("remove an unknown key")
        << QStringList { "publish", "--folder", "@shared", "--remove", "999" } << 2 << QString("no line has the key");
    QTest::newRow("remove the ambiguous pause key")
        << QStringList { "publish", "--folder", "@shared", "--remove", "P" } << 2 << QString("more than one line");
    QTest::newRow("insert without a starter")
        << QStringList { "publish", "--folder", "@shared", "--insert-after", "1001" } << 2 << QString("--starter");
    QTest::newRow("insert a key that is taken") << QStringList { "publish", "--folder", "@shared", "--insert-after",
        "1001", "--starter", "1002;1;X" } << 2 << QString("key of its own");
    QTest::newRow("touch without a file")
        << QStringList { "touch", "--folder", "@shared" } << 2 << QString("cannot read");
    QTest::newRow("touch with a publish option")
        << QStringList { "touch", "--folder", "@shared", "--titel", "x" } << 2 << QString("belongs to publish");
    QTest::newRow("edit without a file") << QStringList { "edit", "--folder", "@shared", "--titel", "x" } << 2
                                         << QString("cannot read");
    QTest::newRow("publish with an edit option")
        << QStringList { "publish", "--folder", "@shared", "--in-place" } << 2 << QString("belongs to edit");
    QTest::newRow("serve with another kind")
        << QStringList { "serve", "--folder", "@shared", "--kind", "x" } << 2 << QString("--kind is s");
    QTest::newRow("serve with an interval that is no number")
        << QStringList { "serve", "--folder", "@shared", "--interval", "vaak" } << 2 << QString("--interval");
    QTest::newRow("serve with too short an interval")
        << QStringList { "serve", "--folder", "@shared", "--interval", "0" } << 2 << QString("--interval");
    QTest::newRow("serve with a start interval that is no time")
        << QStringList { "serve", "--folder", "@shared", "--start-interval", "2m" } << 2 << QString("--start-interval");
    QTest::newRow("serve with a start interval of seconds beyond a minute") << QStringList { "serve", "--folder",
        "@shared", "--start-interval", "1:75" } << 2 << QString("--start-interval");
    QTest::newRow("serve with a start interval of nothing") << QStringList { "serve", "--folder", "@shared",
        "--start-interval", "0:00" } << 2 << QString("--start-interval");
    QTest::newRow("a start interval is for serve only") << QStringList { "publish", "--folder", "@shared",
        "--start-interval", "2" } << 2 << QString("--start-interval");
    QTest::newRow("serve for one class") << QStringList { "serve", "--folder", "@shared", "--class", "0001" } << 2
                                         << QString("does not take --class");
}

void TestKantoor::commandRefused()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, message);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString shared = dir.filePath("a/b/GEDEELD");
    QVERIFY(QDir().mkpath(shared));
    arguments.replaceInStrings("@shared", shared);
    arguments.replaceInStrings("@program", QCoreApplication::applicationFilePath());

    const CommandRun run = runCommand(arguments);
    QCOMPARE(run.status, status);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QCOMPARE(run.out, QString());
    // Nothing written anywhere in the tree.
    QCOMPARE(entries(dir.path()), QStringList { "a" });
    QCOMPARE(entries(dir.filePath("a")), QStringList { "b" });
    QCOMPARE(entries(dir.filePath("a/b")), QStringList { "GEDEELD" });
    QCOMPARE(entries(shared), QStringList());
}

void TestKantoor::touchRewritesUnchanged()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("baldovenaar rst-0007.dvz");
    const QByteArray content("titel:Oud\r\nrij:\xE9\r\n");
    QVERIFY(testsupport::writeFile(path, content, QDateTime(QDate(2026, 1, 2), QTime(3, 4))));

    const CommandRun run = runCommand({ "touch", "--folder", dir.path(), "--class", "0007" });
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out.trimmed(), QDir::toNativeSeparators(path));
    QCOMPARE(testsupport::readFile(path), content);
    QCOMPARE(QFileInfo(path).lastModified().date(), QDate::currentDate());
    QCOMPARE(entries(dir.path()), QStringList { "baldovenaar rst-0007.dvz" });
}

void TestKantoor::warnsOfFilesTheStationConfuses()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());

    CommandRun run = runCommand({ "publish", "--folder", dir.path(), "--class", "00012" });
    QCOMPARE(run.status, 0);
    QCOMPARE(run.err, QString());
    run = runCommand({ "publish", "--folder", dir.path(), "--class", "0001" });
    QCOMPARE(run.status, 0);
    QVERIFY2(run.err.contains("cannot tell this file from baldovenaar rst-00012.dvz"), qPrintable(run.err));
    run = runCommand({ "publish", "--folder", dir.path(), "--class", "0002" });
    QCOMPARE(run.err, QString());
}

void TestKantoor::writeFailureLeavesNoTrace()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // A folder where the file should go: the rename cannot replace it.
    QVERIFY(QDir(dir.path()).mkdir("baldovenaar rst-0001.dvz"));

    const CommandRun run = runCommand({ "publish", "--folder", dir.path() });
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.contains("cannot write"), qPrintable(run.err));
    QCOMPARE(run.out, QString());
    QCOMPARE(entries(dir.path()), QStringList { "baldovenaar rst-0001.dvz" });
    QVERIFY(QFileInfo(dir.filePath("baldovenaar rst-0001.dvz")).isDir());
}

namespace {

// A small class published from CSV: starters 1 and 2, a pause line, starter 3.
QString publishSmallClass(const QTemporaryDir& dir)
{
    const QString csv = dir.filePath("klein.csv");
    if (!testsupport::writeFile(
            csv, "#key;Nr;Ruiter;Paard\n1;11;Anna;Astra\n2;12;Bert;Bravo\nP;;Pauze\n3;13;Cor;Ciro\n"))
        return QString();
    const CommandRun run = runCommand({ "publish", "--folder", dir.path(), "--class", "0007", "--csv", csv });
    return run.status == 0 ? dir.filePath("baldovenaar rst-0007.dvz") : QString();
}

} // namespace

void TestKantoor::edit_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("expectedLines");

    QTest::newRow("a field by its column number and by its title")
        << QStringList { "--set", "1:4=Nieuw paard", "--set", "3:ruiter=Cor: de =C=" }
        << QStringList { "rij:1\t1\t11\tAnna\tNieuw paard\t\t\t\t\t\t", "rij:3\t3\t13\tCor: de =C=\tCiro\t\t\t\t\t\t" };
    QTest::newRow("reordered: the starters change places, the pause line stays, positions follow")
        << QStringList { "--order", "3,1,2" }
        << QStringList { "rij:3\t1\t13\tCor\tCiro\t\t\t\t\t\t", "rij:1\t2\t11\tAnna\tAstra\t\t\t\t\t\t",
               "rij:P\t\t\tPauze\t\t\t\t\t\t\t", "rij:2\t3\t12\tBert\tBravo\t\t\t\t\t\t" };
    QTest::newRow("a starter out, one in, the header values and permissions changed")
        << QStringList { "--remove", "1", "--insert-after", "3", "--starter", "4;14;Dirk", "--titel", "Finale",
               "--begintijd", "11:15", "--datum", "dinsdag", "--editvolgorde", "0" }
        << QStringList { "owner:Concours Hippique De Heuvelrug", "rid:0007", "order:1", "titel:Finale", "datum:dinsdag",
               "begintijd:11:15", "editvolgorde:0", "editnietgestart:1", "rij:2\t1\t12\tBert\tBravo\t\t\t\t\t\t",
               "rij:3\t2\t13\tCor\tCiro\t\t\t\t\t\t", "rij:4\t3\t14\tDirk\t\t\t\t\t\t\t" };
    QTest::newRow("in place") << QStringList { "--in-place", "--set", "2:Paard=Bravo II" }
                              << QStringList { "rij:2\t2\t12\tBert\tBravo II\t\t\t\t\t\t" };
}

void TestKantoor::edit()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, expectedLines);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = publishSmallClass(dir);
    QVERIFY(!path.isEmpty());
    const std::optional<platform::FileStamp> before = platform::fileStamp(path);
    QVERIFY(before);

    const CommandRun run = runCommand(QStringList { "edit", "--folder", dir.path(), "--class", "0007" } + arguments);
    QCOMPARE(run.err, QString());
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out.trimmed(), QDir::toNativeSeparators(path));
    const QByteArray bytes = testsupport::readFile(path);
    QVERIFY(bytes.endsWith("\r\n"));
    const QStringList lines = platform::decodeCp1252(bytes).split("\r\n");
    for (const QString& expected : expectedLines)
        QVERIFY2(lines.contains(expected), qPrintable(expected + "\n" + lines.join('\n')));
    QCOMPARE(lines.count("rij:key\tVolg\tNr\tRuiter\tPaard\t\t\t\t\t\t"), 1);
    // A rename gives a new file; in place the file stays the same one.
    QCOMPARE(platform::fileStamp(path)->inode == before->inode, arguments.contains("--in-place"));
    QCOMPARE(entries(dir.path()), (QStringList { "baldovenaar rst-0007.dvz", "klein.csv" }));
}

void TestKantoor::editRefused_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");

    QTest::newRow("a field of an unknown starter") << QStringList { "--set", "9:4=x" } << "no line has the key \"9\"";
    QTest::newRow("a field of the ambiguous pause key") << QStringList { "--remove", "1", "--insert-after", "2",
        "--starter", "P;;Pauze", "--set", "P:3=x" } << "more than one line";
    QTest::newRow("a column beyond the eleventh") << QStringList { "--set", "1:11=x" } << "no column \"11\"";
    QTest::newRow("a column title the class lacks") << QStringList { "--set", "1:Land=x" } << "no column \"Land\"";
    QTest::newRow("the key column") << QStringList { "--set", "1:0=9" } << "column 0 is the line key";
    QTest::newRow("the position column") << QStringList { "--set", "1:Volg=9" } << "column 1 is the running position";
    QTest::newRow("no column") << QStringList { "--set", "1=x" } << "is not KEY:COLUMN=TEXT";
    QTest::newRow("an order that lacks a starter")
        << QStringList { "--order", "2,1" } << "the key \"3\" of the class is missing from the order";
    QTest::newRow("an order that places the pause line")
        << QStringList { "--order", "P,2,1,3" } << "pause lines keep their places";
    QTest::newRow("an order after a removal still naming the removed starter")
        << QStringList { "--remove", "3", "--order", "2,1,3" } << "the key \"3\" in the order";
    QTest::newRow("a starter list") << QStringList { "--csv", "x.csv" } << "edit does not take --csv";
}

void TestKantoor::editRefused()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = publishSmallClass(dir);
    QVERIFY(!path.isEmpty());
    const QByteArray before = testsupport::readFile(path);
    const std::optional<platform::FileStamp> stamp = platform::fileStamp(path);

    const CommandRun run = runCommand(QStringList { "edit", "--folder", dir.path(), "--class", "0007" } + arguments);
    QCOMPARE(run.status, 2);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QCOMPARE(run.out, QString());
    QCOMPARE(testsupport::readFile(path), before);
    QCOMPARE(platform::fileStamp(path), stamp);
    QCOMPARE(entries(dir.path()), (QStringList { "baldovenaar rst-0007.dvz", "klein.csv" }));
}

void TestKantoor::linkedClassFileIsNotWrittenThrough_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("publish") << QStringList { "publish" };
    QTest::newRow("touch") << QStringList { "touch" };
    QTest::newRow("edit") << QStringList { "edit", "--titel", "x" };
    QTest::newRow("edit in place") << QStringList { "edit", "--in-place", "--titel", "x" };
}

void TestKantoor::linkedClassFileIsNotWrittenThrough()
{
    QFETCH(QStringList, arguments);

    // A link in the shared folder to a file outside it: writing the class would write that file.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString shared = dir.filePath("GEDEELD");
    QVERIFY(QDir().mkpath(shared));
    const QByteArray outside = "titel:Elders\r\nrij:a\r\n";
    QVERIFY(testsupport::writeFile(dir.filePath("elders.dvz"), outside));
    MAKE_SYMBOLIC_LINK_OR_SKIP(dir.filePath("elders.dvz"), QDir(shared).filePath("baldovenaar rst-0001.dvz"));

    const CommandRun run = runCommand(arguments + QStringList { "--folder", shared });
    QCOMPARE(run.status, 2);
    QVERIFY2(run.err.contains("is a link"), qPrintable(run.err));
    QCOMPARE(testsupport::readFile(dir.filePath("elders.dvz")), outside);
    QCOMPARE(entries(dir.path()), (QStringList { "GEDEELD", "elders.dvz" }));
    QCOMPARE(entries(shared), QStringList { "baldovenaar rst-0001.dvz" });
}

QTEST_GUILESS_MAIN(TestKantoor)
#include "tst_kantoor.moc"
