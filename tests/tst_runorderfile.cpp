#include "cp1252.h"
#include "gridtable.h"
#include "paths.h"
#include "runorderfile.h"

#include <QRandomGenerator>
#include <QTest>

// The reader of running-order files: keys, values, labels, permissions and "rij" lines, and the split
// of a path into folder and base name.
class TestRunOrderFile : public QObject
{
    Q_OBJECT

private slots:
    void headerValues_data();
    void headerValues();
    void labels_data();
    void labels();
    void permissions_data();
    void permissions();
    void rijLines_data();
    void rijLines();
    void splitRijColumns_data();
    void splitRijColumns();
    void lineEndsAndBytes_data();
    void lineEndsAndBytes();
    void tooManyLinesAreIgnored();
    void bytesReadAsDecodedLines_data();
    void bytesReadAsDecodedLines();
    void splitspad_data();
    void splitspad();
    void extension_data();
    void extension();
    void zoekpatroon();
};

void TestRunOrderFile::headerValues_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("owner");
    QTest::addColumn<QString>("wnr");
    QTest::addColumn<QString>("rid");

    QTest::newRow("plain") << QStringList { "owner:Jan", "wnr:12", "rid:7" } << "Jan" << "12" << "7";
    QTest::newRow("capitals and spaces around the colon")
        << QStringList { "Owner : Jan Jansen", " WNR:  12 ", "Rid:7" } << "Jan Jansen" << "12" << "7";
    QTest::newRow("later line overrides") << QStringList { "owner:A", "owner:B" } << "B" << QString() << QString();
    QTest::newRow("value keeps further colons and tabs")
        << QStringList { "owner:a:b\tc" } << "a:b\tc" << QString() << QString();
    QTest::newRow("tabs are not trimmed") << QStringList { "owner:\tX\t" } << "\tX\t" << QString() << QString();
    QTest::newRow("line without colon ignored")
        << QStringList { "owner Jan", "rid" } << QString() << QString() << QString();
    QTest::newRow("unknown and spaces-only keys ignored")
        << QStringList { "eigenaar:Jan", "   :Jan", ":Jan" } << QString() << QString() << QString();
    QTest::newRow("empty value is a value") << QStringList { "owner:A", "owner:" } << "" << QString() << QString();
}

void TestRunOrderFile::headerValues()
{
    QFETCH(QStringList, lines);
    const RunOrderContent content = parseRunOrder(lines);
    QFETCH(QString, owner);
    QFETCH(QString, wnr);
    QFETCH(QString, rid);
    QCOMPARE(content.owner.has_value(), !owner.isNull());
    QCOMPARE(content.owner.value_or(QString()), owner);
    QCOMPARE(content.wnr.has_value(), !wnr.isNull());
    QCOMPARE(content.wnr.value_or(QString()), wnr);
    QCOMPARE(content.rid.has_value(), !rid.isNull());
    QCOMPARE(content.rid.value_or(QString()), rid);
}

void TestRunOrderFile::labels_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("titel"); // null: not set
    QTest::addColumn<QString>("datum");
    QTest::addColumn<QString>("begintijd");

    QTest::newRow("all three") << QStringList { "titel:Klasse M", "datum:7 dec", "begintijd:10:30" } << "Klasse M"
                               << "7 dec" << "10:30";
    QTest::newRow("empty titel empties the title")
        << QStringList { "titel:Oud", "titel:" } << "" << QString() << QString();
    QTest::newRow("empty datum leaves it") << QStringList { "datum:" } << QString() << QString() << QString();
    QTest::newRow("empty datum after a value keeps the value")
        << QStringList { "datum:maandag", "datum:" } << QString() << "maandag" << QString();
    QTest::newRow("begintijd keeps its own colon")
        << QStringList { "begintijd : 10:30" } << QString() << QString() << "10:30";
}

void TestRunOrderFile::labels()
{
    QFETCH(QStringList, lines);
    const RunOrderContent content = parseRunOrder(lines);
    QFETCH(QString, titel);
    QFETCH(QString, datum);
    QFETCH(QString, begintijd);
    QCOMPARE(content.titel.has_value(), !titel.isNull());
    QCOMPARE(content.titel.value_or(QString()), titel);
    QCOMPARE(content.datum.has_value(), !datum.isNull());
    QCOMPARE(content.datum.value_or(QString()), datum);
    QCOMPARE(content.begintijd.has_value(), !begintijd.isNull());
    QCOMPARE(content.begintijd.value_or(QString()), begintijd);
}

void TestRunOrderFile::permissions_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("editvolgorde"); // -99: not set

    QTest::newRow("one") << QStringList { "editvolgorde:1" } << 1;
    QTest::newRow("two") << QStringList { "editvolgorde:2" } << 2;
    QTest::newRow("1.4 rounds to 1") << QStringList { "editvolgorde:1.4" } << 1;
    QTest::newRow("2.5 rounds to even") << QStringList { "editvolgorde:2.5" } << 2;
    QTest::newRow("leading number") << QStringList { "editvolgorde:12abc" } << 12;
    QTest::newRow("decimal comma is no point") << QStringList { "editvolgorde:1,9" } << 1;
    QTest::newRow("word gives 0") << QStringList { "editvolgorde:ja" } << 0;
    QTest::newRow("out of range keeps the earlier value")
        << QStringList { "editvolgorde:1", "editvolgorde:40000" } << 1;
    QTest::newRow("out of range alone sets nothing") << QStringList { "editvolgorde:-32769" } << -99;
    QTest::newRow("lowest 16-bit value") << QStringList { "editvolgorde:-32768" } << -32768;
    QTest::newRow("absent") << QStringList { "owner:x" } << -99;
}

void TestRunOrderFile::permissions()
{
    QFETCH(QStringList, lines);
    QFETCH(int, editvolgorde);
    const RunOrderContent content = parseRunOrder(lines);
    QCOMPARE(content.editvolgorde.has_value(), editvolgorde != -99);
    if (content.editvolgorde)
        QCOMPARE(int(*content.editvolgorde), editvolgorde);
    QStringList nietgestart = lines;
    nietgestart.replaceInStrings("editvolgorde", "editnietgestart");
    const RunOrderContent other = parseRunOrder(nietgestart);
    QCOMPARE(other.editnietgestart.has_value(), editvolgorde != -99);
    QVERIFY(!other.editvolgorde.has_value());
}

void TestRunOrderFile::rijLines_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("rijen");

    QTest::newRow("in file order") << QStringList { "rij:h0\th1", "owner:x", "rij:1\t1", "RIJ:2\t2" }
                                   << QStringList { "h0\th1", "1\t1", "2\t2" };
    QTest::newRow("bare word rij ignored") << QStringList { "rij", "rij:a" } << QStringList { "a" };
    QTest::newRow("empty first field keeps its place")
        << QStringList { "rij:\tB\tC", "rij: \tB " } << QStringList { "\tB\tC", "\tB" };
    QTest::newRow("none") << QStringList { "titel:x" } << QStringList {};
}

void TestRunOrderFile::rijLines()
{
    QFETCH(QStringList, lines);
    QFETCH(QStringList, rijen);
    const RunOrderContent content = parseRunOrder(lines);
    QCOMPARE(QStringList(content.rijen.begin(), content.rijen.end()), rijen);
}

void TestRunOrderFile::splitRijColumns_data()
{
    QTest::addColumn<QString>("rij");
    QTest::addColumn<QStringList>("fields");

    QTest::newRow("three fields") << "a\tb\tc"
                                  << QStringList { "a", "b", "c", "", "", "", "", "", "", "", "" };
    QTest::newRow("more than eleven fields") << "0\t1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\t12"
                                             << QStringList { "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10" };
    QTest::newRow("empty first field") << "\tB"
                                       << QStringList { "", "B", "", "", "", "", "", "", "", "", "" };
    QTest::newRow("empty") << "" << QStringList { "", "", "", "", "", "", "", "", "", "", "" };
}

void TestRunOrderFile::splitRijColumns()
{
    QFETCH(QString, rij);
    QFETCH(QStringList, fields);
    GridTable grid;
    grid.setCols(11);
    QVERIFY(grid.addItem(rij));
    QStringList cells;
    for (int c = 0; c < grid.cols(); ++c)
        cells << grid.textMatrix(0, c);
    QCOMPARE(cells, fields);
}

void TestRunOrderFile::lineEndsAndBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("owner");
    QTest::addColumn<int>("rijen");

    QTest::newRow("CR LF") << QByteArray("owner:A\r\nrij:h\r\nrij:1\r\n") << "A" << 2;
    QTest::newRow("LF only") << QByteArray("owner:A\nrij:h\nrij:1\n") << "A" << 2;
    QTest::newRow("CR only") << QByteArray("owner:A\rrij:h\rrij:1\r") << "A" << 2;
    QTest::newRow("last line without end") << QByteArray("rij:h\r\nowner:A") << "A" << 1;
    QTest::newRow("Windows-1252 bytes") << QByteArray("owner:Ren\xe9 \x80\r\n") << QString::fromUtf8("René €") << 0;
    QTest::newRow("NUL bytes stay in the value") << QByteArray("owner:a\0b\r\n", 11) << QString("a") + QChar(0) + "b"
                                                 << 0;
    QTest::newRow("binary garbage") << QByteArray("\xff\xfe\x00\x01::\x81\x8d\r\r\n\n", 12) << QString() << 0;
}

void TestRunOrderFile::lineEndsAndBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, owner);
    QFETCH(int, rijen);
    const RunOrderContent content = parseRunOrderBytes(bytes);
    QCOMPARE(content.owner.value_or(QString()), owner);
    QCOMPARE(int(content.rijen.size()), rijen);
}

void TestRunOrderFile::tooManyLinesAreIgnored()
{
    QByteArray bytes;
    for (int i = 0; i < 100000; ++i)
        bytes += "rij:" + QByteArray::number(i) + "\r\n";
    bytes += "owner:after the lines\r\n";
    bytes += "rij:" + QByteArray(10 * 1024 * 1024, 'x') + "\r\n";
    const RunOrderContent content = parseRunOrderBytes(bytes);
    QCOMPARE(int(content.rijen.size()), maxRijen);
    QCOMPARE(content.rijen.back(), QString::number(maxRijen - 1));
    QCOMPARE(content.owner.value_or(QString()), QString("after the lines"));
}

void TestRunOrderFile::bytesReadAsDecodedLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("keys in capitals, spaced")
        << QByteArray("  Owner : Jan \r\nRIJ:a\tb\r\nrIj :  c\t \r\nTitel:\r\nDATUM:\r\nbegintijd: 10:30 \r\n");
    QTest::newRow("mixed line ends") << QByteArray("rij:1\rrij:2\nrij:3\r\n\r\n\n\rrij:4\r\r\nrij:5");
    QTest::newRow("colons and tabs in values") << QByteArray("rij::\t:\t\r\nwnr:\t12\t\r\nrid:a:b\r\n");
    QTest::newRow("numbers") << QByteArray("editvolgorde:1.4\r\neditnietgestart: 12abc\r\neditvolgorde:x\r\n");
    QTest::newRow("key too long, key empty, no colon") << QByteArray("abcdefghijklmnopq:1\r\n :x\r\nrij\r\nrij:ok\r\n");
    QTest::newRow("a key of sixteen letters") << QByteArray("editnietgestartx:1\r\nrij:after\r\n");
    QTest::newRow("bytes above 0x7F") << QByteArray("owner:\x80\x81\x9f\xe9\xff\r\nrij:\x8a\t\xc9\r\n");
    QTest::newRow("a byte above 0x7F in a key") << QByteArray("r\xc9j:1\r\nrij:2\r\n");
    QTest::newRow("NUL bytes") << QByteArray("owner:a\0b\r\nrij\0:x\r\nrij:\0\r\n", 25);
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("only line ends") << QByteArray("\r\n\r\r\n\n");
    // Random lines of the characters that matter to the reader.
    const char alphabet[] = "rijRIJownerOWNERdatum:: \t\t\r\n\r\n\x80\x9d\xe9\x00 1.";
    for (quint32 seed = 1; seed <= 8; ++seed) {
        QRandomGenerator random(seed);
        QByteArray bytes;
        for (int i = 0; i < 4000; ++i)
            bytes += alphabet[random.bounded(int(sizeof alphabet) - 1)];
        QTest::newRow(qPrintable(QStringLiteral("random bytes %1").arg(seed))) << bytes;
    }
}

// The reader works on the file's bytes without decoding whole lines first; it must read exactly what the
// decoded lines hold.
void TestRunOrderFile::bytesReadAsDecodedLines()
{
    QFETCH(QByteArray, bytes);
    const RunOrderContent expected = parseRunOrder(platform::splitLines(platform::decodeCp1252(bytes)));
    const RunOrderContent content = parseRunOrderBytes(bytes);
    QCOMPARE(content.owner, expected.owner);
    QCOMPARE(content.wnr, expected.wnr);
    QCOMPARE(content.rid, expected.rid);
    QCOMPARE(content.titel, expected.titel);
    QCOMPARE(content.datum, expected.datum);
    QCOMPARE(content.begintijd, expected.begintijd);
    QCOMPARE(content.editvolgorde, expected.editvolgorde);
    QCOMPARE(content.editnietgestart, expected.editnietgestart);
    QCOMPARE(QStringList(content.rijen.begin(), content.rijen.end()),
        QStringList(expected.rijen.begin(), expected.rijen.end()));
}

void TestRunOrderFile::splitspad_data()
{
    QTest::addColumn<QString>("pad");
    QTest::addColumn<QString>("map");
    QTest::addColumn<QString>("naam");

    QTest::newRow("windows path") << "C:\\Wedstrijd\\GEDEELD\\baldovenaar rst-0001.dvz" << "C:\\Wedstrijd\\GEDEELD\\"
                                  << "baldovenaar rst-0001";
    QTest::newRow("unix path") << "/srv/gedeeld/baldovenaar rst-0001.dvz" << "/srv/gedeeld/" << "baldovenaar rst-0001";
    QTest::newRow("bare name") << "baldovenaar rst-0001.dvz" << "" << "baldovenaar rst-0001";
    // A drive letter separates on Windows only; elsewhere ":" belongs to the name.
    const bool colonSeparates = platform::isFolderSeparator(u':');
    QTest::newRow("drive only") << "C:naam.dvz" << (colonSeparates ? "C:" : "") << (colonSeparates ? "naam" : "C:naam");
    QTest::newRow("colon in a folder name") << "/mnt/show:2026/GEDEELD/baldovenaar rst-0001.dvz"
                                            << "/mnt/show:2026/GEDEELD/" << "baldovenaar rst-0001";
    QTest::newRow("colon in a file name") << "/mnt/ring/klasse:2.dvz" << (colonSeparates ? "/mnt/ring/klasse:" : "/mnt/ring/")
                                          << (colonSeparates ? "2" : "klasse:2");
    QTest::newRow("two dots") << "a.b.dvz" << "" << "a.b";
    QTest::newRow("no dot") << "/x/naam" << "/x/" << "naam";
    QTest::newRow("ends in a separator") << "C:\\map\\" << "C:\\map\\" << "";
    QTest::newRow("spaces trimmed") << "  /x/a.dvz  " << "/x/" << "a";
    QTest::newRow("spaces only") << "   " << "" << "";
    QTest::newRow("dot first") << "/x/.dvz" << "/x/" << "";
}

void TestRunOrderFile::splitspad()
{
    QFETCH(QString, pad);
    const SplitPath split = ::splitspad(pad);
    QTEST(split.map, "map");
    QTEST(split.naam, "naam");
}

void TestRunOrderFile::extension_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("lower") << "/x/a.dvz" << true;
    QTest::newRow("capitals") << "/x/A.DVZ" << true;
    QTest::newRow("other") << "/x/a.dvx" << false;
    QTest::newRow("trailing space") << "/x/a.dvz " << false;
    QTest::newRow("short") << "dvz" << false;
}

void TestRunOrderFile::extension()
{
    QFETCH(QString, path);
    QTEST(hasRunOrderExtension(path), "accepted");
}

void TestRunOrderFile::zoekpatroon()
{
    QCOMPARE(zoekpatroonVoor("baldovenaar rst-0001"), QString("baldovenaar rst-0001*.dvz"));
    QCOMPARE(zoekpatroonVoor("baldovenaar rst-0001-extra"), QString("baldovenaar rst-0001*.dvz"));
    QCOMPARE(zoekpatroonVoor("kort"), QString("kort*.dvz"));
}

QTEST_GUILESS_MAIN(TestRunOrderFile)
#include "tst_runorderfile.moc"
