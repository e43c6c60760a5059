// Tests of the platform layer: numbers as the suite reads them, the Windows-1252 code page and line
// splitting, the clocks, the file-attribute handshake (emulation, and the SMB client's extended attribute
// where the file system lets a test write one), the Windows-style folder listing, writing a file whole
// and the injected faults.

#include "clock.h"
#include "cp1252.h"
#include "faults.h"
#include "fileattributes.h"
#include "filereading.h"
#include "files.h"
#include "filewriting.h"
#include "folderlisting.h"
#include "numbers.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScopeGuard>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <limits>

#ifdef Q_OS_LINUX
// Only to plant and inspect "user.cifs.dosattrib" as an SMB mount would show it.
#include <sys/stat.h>
#include <sys/xattr.h>
#endif

using namespace platform;

namespace {

// A fixed local time in the past, so that "later" modification times in the tests are unambiguous.
const QDateTime baseTime(QDate(2026, 12, 7), QTime(9, 30, 0));

QString pathIn(const QTemporaryDir& dir, const QString& name)
{
    return dir.filePath(name);
}

} // namespace

// "a.mut" beside "A.mut": outside Windows two files; on Windows, whose names ignore case, one and the same.
QString caseTwin()
{
#ifdef Q_OS_WIN
    return QStringLiteral("a.mut");
#else
    return QString();
#endif
}

class TestPlatform : public QObject
{
    Q_OBJECT

private slots:
    // numbers
    void leadingNumber_data();
    void leadingNumber();
    void leadingNumberOfHugeTexts_data();
    void leadingNumberOfHugeTexts();
    void roundToInt16_data();
    void roundToInt16();

    // cp1252
    void decodeCp1252_data();
    void decodeCp1252();
    void everyByteRoundTrips();
    void encodeCp1252_data();
    void encodeCp1252();
    void splitLines_data();
    void splitLines();
    void splitLinesOfLargeTexts_data();
    void splitLinesOfLargeTexts();
    void joinLinesCrLf_data();
    void joinLinesCrLf();

    // clock
    void fixedClockStandsStillAndCountsPauses();
    void systemClockBlocksWithoutEventLoop();

    // file attributes
    void attributeHandshake_data();
    void attributeHandshake();
    void attributesOfWhatIsNoFile_data();
    void attributesOfWhatIsNoFile();
    void attributesFollowTheFileNotTheSpelling();
    void setIfUnchangedRefusesAChangedFile_data();
    void setIfUnchangedRefusesAChangedFile();
    void fileStampTellsAChange_data();
    void fileStampTellsAChange();
    void lastModifiedIsLocalTime();
    void dosAttribDecode_data();
    void dosAttribDecode();
    void dosAttribForSet_data();
    void dosAttribForSet();
#ifdef Q_OS_LINUX
    void emulationWritesNothing();
    void smbAttributePathIsUsedWhenPresent();
#endif

    // folder listing
    void matchesWildcard_data();
    void matchesWildcard();
    void matchesWildcardIsNotExponential();
    void listFolder_data();
    void listFolder();
    void folderSpellings_data();
    void folderSpellings();
    void unreadableFolderListsNothing();
#ifdef Q_OS_LINUX
    void listingTakesFilesAndLinksToFiles();
#endif

    // writing files whole, injected faults
    void writeFileWholeReplacesAnyTarget_data();
    void writeFileWholeReplacesAnyTarget();
    void injectedFaults_data();
    void injectedFaults();

    // reading a file, hostile paths
    void readFileStartReadsOnlyRegularFiles_data();
    void readFileStartReadsOnlyRegularFiles();
    void pathWithNulNamesNoOtherFile();

private:
    static void makeListingFolder(const QTemporaryDir& dir);
};

// ---------------------------------------------------------------------------------------------- numbers

void TestPlatform::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("plain integer") << "12" << 12.0;
    QTest::newRow("decimal then letters") << "0.05abc" << 0.05;
    QTest::newRow("comma is no decimal point") << "1,5" << 1.0;
    QTest::newRow("point without integer digits") << ".05" << 0.05;
    QTest::newRow("negative") << "-1" << -1.0;
    QTest::newRow("explicit plus") << "+3.5" << 3.5;
    QTest::newRow("negative fraction only") << "-.5" << -0.5;
    QTest::newRow("letters only") << "abc" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("sign only") << "-" << 0.0;
    QTest::newRow("point only") << "." << 0.0;
    QTest::newRow("sign and point only") << "+." << 0.0;
    QTest::newRow("spaces around") << "  12  " << 12.0;
    QTest::newRow("tabs and spaces before") << "\t \t7x" << 7.0;
    QTest::newRow("second point ends the number") << "1.2.3" << 1.2;
    QTest::newRow("trailing point") << "12." << 12.0;
    QTest::newRow("leading zeros") << "0012" << 12.0;
    QTest::newRow("exponent is not read") << "1e3" << 1.0;
    QTest::newRow("space between sign and digits") << "- 5" << 0.0;
    QTest::newRow("two signs") << "--5" << 0.0;
    QTest::newRow("newline is not skipped") << "\n5" << 0.0;
    QTest::newRow("non-breaking space is not skipped") << QStringLiteral(u"\u00a05") << 0.0;
    QTest::newRow("full-width digits are no digits") << QStringLiteral(u"\uff11\uff12") << 0.0;
    QTest::newRow("rounds to nearest double") << "0.1" << 0.1;
    QTest::newRow("long fraction") << "3.14159265358979323846264338327950288" << 3.14159265358979323846;
}

void TestPlatform::leadingNumber()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    const double value = platform::leadingNumber(text);
    QCOMPARE(value, expected);
    if (expected == 0.0)
        QVERIFY2(!std::signbit(value), "zero must not come out as negative zero");
}

void TestPlatform::leadingNumberOfHugeTexts_data()
{
    const qsizetype tenMegabytes = 10 * 1024 * 1024;
    const double infinity = std::numeric_limits<double>::infinity();
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("10 MB of nines overflows") << QString(tenMegabytes, u'9') << infinity;
    QTest::newRow("10 MB of nines, negative") << (u'-' + QString(tenMegabytes, u'9')) << -infinity;
    QTest::newRow("10 MB of zeros") << QString(tenMegabytes, u'0') << 0.0;
    QTest::newRow("10 MB of leading zeros before 7") << (QString(tenMegabytes, u'0') + u'7') << 7.0;
    QTest::newRow("tiny fraction underflows to 0") << ("0." + QString(tenMegabytes, u'0') + u'1') << 0.0;
    QTest::newRow("10 MB fraction of threes") << ("0." + QString(tenMegabytes, u'3')) << (1.0 / 3.0);
    QTest::newRow("just above the largest double") << (u'2' + QString(308, u'0')) << infinity;
}

void TestPlatform::leadingNumberOfHugeTexts()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(platform::leadingNumber(text), expected);
}

void TestPlatform::roundToInt16_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("converts");
    QTest::addColumn<int>("expected");

    QTest::newRow("1.4 rounds down") << 1.4 << true << 1;
    QTest::newRow("1.6 rounds up") << 1.6 << true << 2;
    QTest::newRow("half to even, down") << 2.5 << true << 2;
    QTest::newRow("half to even, up") << 3.5 << true << 4;
    QTest::newRow("1.5 to 2") << 1.5 << true << 2;
    QTest::newRow("0.5 to 0") << 0.5 << true << 0;
    QTest::newRow("-0.5 to 0") << -0.5 << true << 0;
    QTest::newRow("-1.5 to -2") << -1.5 << true << -2;
    QTest::newRow("-2.5 to -2") << -2.5 << true << -2;
    QTest::newRow("largest") << 32767.0 << true << 32767;
    QTest::newRow("just under largest half") << 32767.4 << true << 32767;
    QTest::newRow("largest half rounds out of range") << 32767.5 << false << 0;
    QTest::newRow("above range") << 40000.0 << false << 0;
    QTest::newRow("smallest") << -32768.0 << true << -32768;
    QTest::newRow("smallest half rounds to even, in range") << -32768.5 << true << -32768;
    QTest::newRow("below smallest half") << -32768.6 << false << 0;
    QTest::newRow("below range") << -32769.0 << false << 0;
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << false << 0;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << false << 0;
    QTest::newRow("minus infinity") << -std::numeric_limits<double>::infinity() << false << 0;
}

void TestPlatform::roundToInt16()
{
    QFETCH(double, value);
    QFETCH(bool, converts);
    QFETCH(int, expected);
    const std::optional<qint16> result = platform::roundToInt16(value);
    QCOMPARE(result.has_value(), converts);
    if (converts)
        QCOMPARE(int(*result), expected);
}

// ----------------------------------------------------------------------------------------------- cp1252

void TestPlatform::decodeCp1252_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");

    QTest::newRow("ascii") << QByteArray("Ab 1:") << QStringLiteral("Ab 1:");
    QTest::newRow("nul and controls") << QByteArray("\x00\x09\x0d\x0a", 4) << QStringLiteral(u"\u0000\t\r\n");
    QTest::newRow("euro 0x80") << QByteArray("\x80") << QStringLiteral(u"\u20ac");
    QTest::newRow("undefined 0x81 passes through") << QByteArray("\x81") << QStringLiteral(u"\u0081");
    QTest::newRow("undefined 0x8D passes through") << QByteArray("\x8d") << QStringLiteral(u"\u008d");
    QTest::newRow("undefined 0x8F passes through") << QByteArray("\x8f") << QStringLiteral(u"\u008f");
    QTest::newRow("undefined 0x90 passes through") << QByteArray("\x90") << QStringLiteral(u"\u0090");
    QTest::newRow("undefined 0x9D passes through") << QByteArray("\x9d") << QStringLiteral(u"\u009d");
    QTest::newRow("S caron 0x8A") << QByteArray("\x8a") << QStringLiteral(u"\u0160");
    QTest::newRow("Y diaeresis 0x9F") << QByteArray("\x9f") << QStringLiteral(u"\u0178");
    QTest::newRow("non-breaking space 0xA0") << QByteArray("\xa0") << QStringLiteral(u"\u00a0");
    QTest::newRow("e acute 0xE9") << QByteArray("\xe9") << QStringLiteral(u"\u00e9");
    QTest::newRow("y diaeresis 0xFF") << QByteArray("\xff") << QStringLiteral(u"\u00ff");
    QTest::newRow("Dutch name") << QByteArray("Ren\xe9\x65 B\xf6hm") << QStringLiteral(u"Ren\u00e9e B\u00f6hm");
    QTest::newRow("empty") << QByteArray() << QString();
}

void TestPlatform::decodeCp1252()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QCOMPARE(platform::decodeCp1252(bytes), expected);
}

void TestPlatform::everyByteRoundTrips()
{
    QByteArray all(256, Qt::Uninitialized);
    for (int byte = 0; byte < 256; ++byte)
        all[byte] = char(byte);
    const QString decoded = platform::decodeCp1252(all);
    QCOMPARE(decoded.size(), 256);
    QCOMPARE(platform::encodeCp1252(decoded), all);
    // One byte at a time too, and every byte to a different character.
    QSet<QChar> seen;
    for (int byte = 0; byte < 256; ++byte) {
        const QByteArray one(1, char(byte));
        const QString text = platform::decodeCp1252(one);
        QCOMPARE(text.size(), 1);
        QCOMPARE(platform::encodeCp1252(text), one);
        seen.insert(text.front());
    }
    QCOMPARE(seen.size(), 256);
}

void TestPlatform::encodeCp1252_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("ascii") << QStringLiteral("wnr:12") << QByteArray("wnr:12");
    QTest::newRow("euro") << QStringLiteral(u"\u20ac") << QByteArray("\x80");
    QTest::newRow("latin-1 letters") << QStringLiteral(u"\u00e9\u00f6\u00ff") << QByteArray("\xe9\xf6\xff");
    QTest::newRow("typographic quotes") << QStringLiteral(u"\u201cx\u201d") << QByteArray("\x93x\x94");
    QTest::newRow("C1 0x80 has no byte (0x80 is the euro)") << QStringLiteral(u"\u0080") << QByteArray("?");
    QTest::newRow("C1 0x9E has no byte") << QStringLiteral(u"\u009e") << QByteArray("?");
    QTest::newRow("c circumflex unmappable") << QStringLiteral(u"a\u0109b") << QByteArray("a?b");
    QTest::newRow("CJK unmappable") << QStringLiteral(u"\u6f22") << QByteArray("?");
    QTest::newRow("surrogate pair is one character") << QStringLiteral(u"x\U0001F40Ey") << QByteArray("x?y");
    QTest::newRow("lone high surrogate") << QString(QChar(0xD83D)) << QByteArray("?");
    QTest::newRow("lone low surrogate") << QString(QChar(0xDC0E)) << QByteArray("?");
    QTest::newRow("empty") << QString() << QByteArray();
}

void TestPlatform::encodeCp1252()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(platform::encodeCp1252(text), expected);
}

void TestPlatform::splitLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("empty text has no lines") << QString() << QStringList();
    QTest::newRow("one line without end") << "a" << QStringList { "a" };
    QTest::newRow("one line with CR LF") << "a\r\n" << QStringList { "a" };
    QTest::newRow("CR LF between") << "a\r\nb" << QStringList { "a", "b" };
    QTest::newRow("lone LF") << "a\nb\n" << QStringList { "a", "b" };
    QTest::newRow("lone CR") << "a\rb\r" << QStringList { "a", "b" };
    QTest::newRow("LF CR is two ends") << "a\n\rb" << QStringList { "a", "", "b" };
    QTest::newRow("mixed ends") << "a\r\nb\nc\rd" << QStringList { "a", "b", "c", "d" };
    QTest::newRow("two empty lines") << "\r\n\r\n" << QStringList { "", "" };
    QTest::newRow("only a line end") << "\n" << QStringList { "" };
    QTest::newRow("CR CR LF") << "a\r\r\nb" << QStringList { "a", "", "b" };
    QTest::newRow("trailing CR alone") << "a\r" << QStringList { "a" };
    QTest::newRow("tabs and spaces kept") << " a\tb \r\n" << QStringList { " a\tb " };
    QTest::newRow("other controls are no line end")
        << QStringLiteral(u"a\u000bb\u000cc\u0085d") << QStringList { QStringLiteral(u"a\u000bb\u000cc\u0085d") };
}

void TestPlatform::splitLines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QCOMPARE(platform::splitLines(text), expected);
}

void TestPlatform::splitLinesOfLargeTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("firstLength");

    QTest::newRow("one 10 MB line") << QString(10 * 1024 * 1024, u'x') << 1 << 10 * 1024 * 1024;
    QTest::newRow("3 MB of short CR LF lines") << QStringLiteral("rij:1\t2\t3\r\n").repeated(300000) << 300000 << 9;
    QTest::newRow("3 MB of lone CRs") << QString(3 * 1024 * 1024, u'\r') << 3 * 1024 * 1024 << 0;
}

void TestPlatform::splitLinesOfLargeTexts()
{
    QFETCH(QString, text);
    QFETCH(int, lines);
    QFETCH(int, firstLength);
    const QStringList result = platform::splitLines(text);
    QCOMPARE(result.size(), lines);
    QCOMPARE(result.first().size(), firstLength);
}

void TestPlatform::joinLinesCrLf_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("expected");

    QTest::newRow("no lines") << QStringList() << QString();
    QTest::newRow("one empty line") << QStringList { "" } << "\r\n";
    QTest::newRow("mutation file lines") << QStringList { "wnr:3", "rid:7", "text:" } << "wnr:3\r\nrid:7\r\ntext:\r\n";
}

void TestPlatform::joinLinesCrLf()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, expected);
    const QString joined = platform::joinLinesCrLf(lines);
    QCOMPARE(joined, expected);
    QCOMPARE(platform::splitLines(joined), lines);
}

// ------------------------------------------------------------------------------------------------ clock

void TestPlatform::fixedClockStandsStillAndCountsPauses()
{
    FixedClock clock;
    const QDateTime start(QDate(2026, 12, 7), QTime(10, 0, 0));
    QCOMPARE(clock.now(), start);
    QCOMPARE(clock.now(), start); // stands still
    QCOMPARE(clock.pausedMilliseconds(), 0);

    QElapsedTimer timer;
    timer.start();
    clock.pause(500);
    clock.pause(250);
    QVERIFY(timer.elapsed() < 200); // no real waiting
    QCOMPARE(clock.pausedMilliseconds(), 750);
    QCOMPARE(clock.now(), start.addMSecs(750));

    const QDateTime beforeMidnight(QDate(2026, 12, 7), QTime(23, 59, 59, 800));
    clock.setNow(beforeMidnight);
    QCOMPARE(clock.now(), beforeMidnight);
    clock.pause(500);
    QCOMPARE(clock.now().date(), QDate(2026, 12, 8));
    QCOMPARE(clock.pausedMilliseconds(), 1250);
}

void TestPlatform::systemClockBlocksWithoutEventLoop()
{
    SystemClock clock;
    const QDateTime before = QDateTime::currentDateTime();
    const QDateTime now = clock.now();
    QVERIFY(qAbs(before.msecsTo(now)) < 1000);
    QCOMPARE(now.timeSpec(), Qt::LocalTime);

    bool timerFired = false;
    QTimer::singleShot(0, this, [&timerFired] { timerFired = true; });
    QElapsedTimer timer;
    timer.start();
    clock.pause(60);
    QVERIFY(timer.elapsed() >= 55);
    QVERIFY2(!timerFired, "no event may be handled during the pause");
    QTRY_VERIFY(timerFired); // it fires once the event loop runs again
}

// -------------------------------------------------------------------------------------- file attributes

void TestPlatform::attributeHandshake_data()
{
    QTest::addColumn<int>("setTo"); // -1: never set by this process
    QTest::addColumn<QString>("change"); // what happens to the file after the set
    QTest::addColumn<int>("expected");

    QTest::newRow("new file reads archive") << -1 << "none" << 32;
    QTest::newRow("new file rewritten still archive") << -1 << "rewrite" << 32;
    QTest::newRow("set normal reads normal") << 0 << "none" << 0;
    QTest::newRow("set normal, file only read") << 0 << "read" << 0;
    QTest::newRow("set hidden and archive reads 34") << 34 << "none" << 34;
    QTest::newRow("set hidden reads hidden") << 2 << "none" << 2;
    QTest::newRow("set read-only and system") << 5 << "none" << 5;
    QTest::newRow("set archive reads archive") << 32 << "none" << 32;
    QTest::newRow("unknown bits are dropped") << (0x80 | 0x10 | 2) << "none" << 2;
    QTest::newRow("normal, then content rewritten") << 0 << "rewrite" << 32;
    QTest::newRow("normal, then same size with later time") << 0 << "touch" << 32;
    QTest::newRow("normal, then appended") << 0 << "append" << 32;
    QTest::newRow("hidden, then rewritten keeps hidden") << 2 << "rewrite" << 34;
    QTest::newRow("hidden and archive, then rewritten") << 34 << "rewrite" << 34;
    QTest::newRow("hidden, then replaced by another file") << 2 << "replace" << 32;
    QTest::newRow("normal, then deleted and written anew") << 0 << "recreate" << 32;
}

void TestPlatform::attributeHandshake()
{
    QFETCH(int, setTo);
    QFETCH(QString, change);
    QFETCH(int, expected);
    SKIP_UNDER_WINE_WHEN_ARCHIVE_IS_RESET((setTo >= 0 && !(setTo & AttrArchive)) || !(expected & AttrArchive));

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = pathIn(dir, QStringLiteral("baldovenaar rst-0001.dvz"));
    QVERIFY(testsupport::writeFile(path, "titel:Springen\r\n", baseTime));
    QCOMPARE(fileAttributes(path), std::optional<int>(AttrArchive));

    if (setTo >= 0) {
        QVERIFY(setFileAttributes(path, setTo));
        QCOMPARE(fileAttributes(path), std::optional<int>(setTo & 0x27));
    }

    if (change == "rewrite") {
        QVERIFY(testsupport::writeFile(path, "titel:Dressuur, ronde 2\r\n", baseTime));
    } else if (change == "touch") {
        const QByteArray same = testsupport::readFile(path);
        QVERIFY(testsupport::writeFile(path, same, baseTime.addSecs(1)));
    } else if (change == "append") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::Append));
        QVERIFY(file.write("rij:1\r\n") == 7);
    } else if (change == "read") {
        QCOMPARE(testsupport::readFile(path), QByteArray("titel:Springen\r\n"));
    } else if (change == "replace") {
        // Written under another name and renamed over it, as a careful writer does.
        const QString temporary = pathIn(dir, QStringLiteral("nieuw.tmp"));
        QVERIFY(testsupport::writeFile(temporary, "titel:Springen\r\n", baseTime));
        QVERIFY(QFile::remove(path));
        QVERIFY(QFile::rename(temporary, path));
    } else if (change == "recreate") {
        // Another size: the file system may hand the freed inode to the new file, and within one clock
        // tick only the size tells the new file from the old one.
        QVERIFY(QFile::remove(path));
        QVERIFY(testsupport::writeFile(path, "titel:Nieuw\r\n", baseTime));
    } else {
        QCOMPARE(change, QStringLiteral("none"));
    }

    QCOMPARE(fileAttributes(path), std::optional<int>(expected));
    QCOMPARE(fileAttributes(path), std::optional<int>(expected)); // reading changes nothing
    QCOMPARE(bool(*fileAttributes(path) & AttrHidden), bool(expected & AttrHidden));
}

void TestPlatform::attributesOfWhatIsNoFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("folder") << "map.dvz";
    QTest::newRow("missing file") << "weg.dvz";
    QTest::newRow("file inside a missing folder") << "nergens/weg.dvz";
    QTest::newRow("empty path") << "";
}

void TestPlatform::attributesOfWhatIsNoFile()
{
    QFETCH(QString, name);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("map.dvz")));
    const QString path = name.isEmpty() ? QString() : pathIn(dir, name);

    QCOMPARE(fileAttributes(path), std::nullopt);
    QVERIFY(!setFileAttributes(path, AttrNormal));
    QCOMPARE(fileAttributes(path), std::nullopt); // also not after a set
    QCOMPARE(fileStamp(path), std::nullopt);
    QVERIFY(!setFileAttributesIfUnchanged(path, AttrNormal, FileStamp {}));
    if (name != "map.dvz")
        QCOMPARE(lastModified(path), std::nullopt);
}

void TestPlatform::attributesFollowTheFileNotTheSpelling()
{
    SKIP_UNDER_WINE_WHEN_ARCHIVE_IS_RESET(true);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    const QString path = pathIn(dir, QStringLiteral("sub/a.dvz"));
    QVERIFY(testsupport::writeFile(path, "x", baseTime));
    QVERIFY(setFileAttributes(path, AttrNormal));

    QCOMPARE(fileAttributes(dir.path() + QStringLiteral("/sub/./a.dvz")), std::optional<int>(0));
    QCOMPARE(fileAttributes(dir.path() + QStringLiteral("/sub/../sub/a.dvz")), std::optional<int>(0));
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    const std::optional<int> relative = fileAttributes(QStringLiteral("sub/a.dvz"));
    QVERIFY(QDir::setCurrent(previous));
    QCOMPARE(relative, std::optional<int>(0));
}

void TestPlatform::setIfUnchangedRefusesAChangedFile_data()
{
    QTest::addColumn<QString>("change"); // between taking the stamp and the conditional set
    QTest::addColumn<bool>("set");
    QTest::addColumn<int>("expected");

    QTest::newRow("unchanged file is reset") << "none" << true << 0;
    QTest::newRow("rewritten with other content") << "rewrite" << false << 32;
    QTest::newRow("same size, later time") << "touch" << false << 32;
    QTest::newRow("replaced by another file") << "replace" << false << 32;
}

void TestPlatform::setIfUnchangedRefusesAChangedFile()
{
    QFETCH(QString, change);
    QFETCH(bool, set);
    QFETCH(int, expected);
    SKIP_UNDER_WINE_WHEN_ARCHIVE_IS_RESET(!(expected & AttrArchive));

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = pathIn(dir, QStringLiteral("baldovenaar rst-0002.dvz"));
    QVERIFY(testsupport::writeFile(path, "rij:1\r\n", baseTime));

    // The station's read: stamp, read, and reset only what it read.
    const std::optional<FileStamp> stamp = fileStamp(path);
    QVERIFY(stamp);
    QCOMPARE(testsupport::readFile(path), QByteArray("rij:1\r\n"));
    if (change == "rewrite") {
        QVERIFY(testsupport::writeFile(path, "rij:1\r\nrij:2\r\n", baseTime));
    } else if (change == "touch") {
        QVERIFY(testsupport::setModified(path, baseTime.addSecs(2)));
    } else if (change == "replace") {
        const QString temporary = pathIn(dir, QStringLiteral("nieuw.tmp"));
        QVERIFY(testsupport::writeFile(temporary, "rij:1\r\n", baseTime));
        QVERIFY(QFile::remove(path));
        QVERIFY(QFile::rename(temporary, path));
    }

    QCOMPARE(setFileAttributesIfUnchanged(path, AttrNormal, *stamp), set);
    QCOMPARE(fileAttributes(path), std::optional<int>(expected));
}

void TestPlatform::fileStampTellsAChange_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("same");

    QTest::newRow("nothing done") << "none" << true;
    QTest::newRow("read only") << "read" << true;
    QTest::newRow("attributes set") << "attributes" << true;
    QTest::newRow("other size") << "rewrite" << false;
    QTest::newRow("same size, later time") << "touch" << false;
}

void TestPlatform::fileStampTellsAChange()
{
    QFETCH(QString, change);
    QFETCH(bool, same);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = pathIn(dir, QStringLiteral("a.dvz"));
    QVERIFY(testsupport::writeFile(path, "abc", baseTime));
    const std::optional<FileStamp> before = fileStamp(path);
    QVERIFY(before);
    QCOMPARE(before->size, 3);
    QCOMPARE(before->mtimeNs, baseTime.toMSecsSinceEpoch() * 1000000);
    QVERIFY(before->inode >= 0);

    if (change == "read")
        QCOMPARE(testsupport::readFile(path), QByteArray("abc"));
    else if (change == "attributes")
        QVERIFY(setFileAttributes(path, AttrHidden | AttrArchive));
    else if (change == "rewrite")
        QVERIFY(testsupport::writeFile(path, "abcd", baseTime));
    else if (change == "touch")
        QVERIFY(testsupport::writeFile(path, "xyz", baseTime.addMSecs(1)));

    const std::optional<FileStamp> after = fileStamp(path);
    QVERIFY(after);
    QCOMPARE(*after == *before, same);
}

void TestPlatform::lastModifiedIsLocalTime()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = pathIn(dir, QStringLiteral("a.dvz"));
    QVERIFY(testsupport::writeFile(path, "x", baseTime));
    const std::optional<QDateTime> modified = lastModified(path);
    QVERIFY(modified);
    QCOMPARE(modified->timeSpec(), Qt::LocalTime);
    QCOMPARE(*modified, baseTime);
    QCOMPARE(modified->toString(QStringLiteral("yyyyMMdd")), QStringLiteral("20261207"));
}

void TestPlatform::dosAttribDecode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<uint>("value");
    QTest::addColumn<int>("attributes");

    QTest::newRow("archive") << QByteArray("\x20\x00\x00\x00", 4) << true << 0x20u << 32;
    QTest::newRow("normal 0x80") << QByteArray("\x80\x00\x00\x00", 4) << true << 0x80u << 0;
    QTest::newRow("hidden and archive") << QByteArray("\x22\x00\x00\x00", 4) << true << 0x22u << 34;
    QTest::newRow("all four bits") << QByteArray("\x27\x00\x00\x00", 4) << true << 0x27u << 39;
    QTest::newRow("little-endian, high bits dropped") << QByteArray("\x21\x20\x00\x00", 4) << true << 0x2021u << 33;
    QTest::newRow("highest byte") << QByteArray("\x02\x00\x00\x80", 4) << true << 0x80000002u << 2;
    QTest::newRow("three bytes") << QByteArray("\x20\x00\x00", 3) << false << 0u << 0;
    QTest::newRow("eight bytes") << QByteArray(8, '\0') << false << 0u << 0;
    QTest::newRow("empty") << QByteArray() << false << 0u << 0;
}

void TestPlatform::dosAttribDecode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, valid);
    QFETCH(uint, value);
    QFETCH(int, attributes);

    const std::optional<quint32> decoded = dosattrib::decode(bytes);
    QCOMPARE(decoded.has_value(), valid);
    if (!valid)
        return;
    QCOMPARE(*decoded, value);
    QCOMPARE(dosattrib::toAttributes(*decoded), attributes);
    QCOMPARE(dosattrib::encode(*decoded), bytes);
}

void TestPlatform::dosAttribForSet_data()
{
    QTest::addColumn<uint>("previous");
    QTest::addColumn<int>("attributes");
    QTest::addColumn<uint>("expected");

    QTest::newRow("archive to normal writes 0x80") << 0x20u << 0 << 0x80u;
    QTest::newRow("normal to normal writes 0x80") << 0x80u << 0 << 0x80u;
    QTest::newRow("normal to hidden and archive") << 0x80u << 34 << 0x22u;
    QTest::newRow("hidden to normal") << 0x22u << 0 << 0x80u;
    QTest::newRow("read-only and system to archive") << 0x05u << 32 << 0x20u;
    QTest::newRow("other bits kept, no 0x80 beside them") << 0x2020u << 0 << 0x2000u;
    QTest::newRow("other bits kept beside new ones") << 0x2000u << 2 << 0x2002u;
    QTest::newRow("unknown requested bits ignored") << 0x20u << (0x80 | 0x10) << 0x80u;
}

void TestPlatform::dosAttribForSet()
{
    QFETCH(uint, previous);
    QFETCH(int, attributes);
    QFETCH(uint, expected);
    QCOMPARE(dosattrib::forSet(previous, attributes), quint32(expected));
}

#ifdef Q_OS_LINUX
void TestPlatform::emulationWritesNothing()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = pathIn(dir, QStringLiteral("a.mut"));
    const QByteArray native = QFile::encodeName(path);
    QVERIFY(testsupport::writeFile(path, "wnr:1\r\n", baseTime));
    struct stat before = {};
    QCOMPARE(::stat(native.constData(), &before), 0);

    QVERIFY(setFileAttributes(path, AttrHidden | AttrArchive));
    QVERIFY(setFileAttributes(path, AttrNormal));

    struct stat after = {};
    QCOMPARE(::stat(native.constData(), &after), 0);
    QCOMPARE(after.st_ctim.tv_sec, before.st_ctim.tv_sec);
    QCOMPARE(after.st_ctim.tv_nsec, before.st_ctim.tv_nsec);
    QCOMPARE(after.st_mode, before.st_mode);
    char buffer[16];
    QCOMPARE(::getxattr(native.constData(), "user.cifs.dosattrib", buffer, sizeof buffer), ssize_t(-1));
    QCOMPARE(fileAttributes(path), std::optional<int>(0));
}

// No SMB mount here: the attribute the SMB client would offer is planted as an ordinary user extended
// attribute, which sends fileAttributes and setFileAttributes down the SMB path.
void TestPlatform::smbAttributePathIsUsedWhenPresent()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = pathIn(dir, QStringLiteral("baldovenaar rst-0003.dvz"));
    const QByteArray native = QFile::encodeName(path);
    QVERIFY(testsupport::writeFile(path, "rij:1\r\n", baseTime));

    const auto plant = [&](quint32 value) {
        const QByteArray bytes = dosattrib::encode(value);
        return ::setxattr(native.constData(), "user.cifs.dosattrib", bytes.constData(), 4, 0) == 0;
    };
    const auto planted = [&]() -> quint32 {
        char buffer[16];
        if (::getxattr(native.constData(), "user.cifs.dosattrib", buffer, sizeof buffer) != 4)
            return 0xFFFFFFFF;
        return *dosattrib::decode(QByteArrayView(buffer, 4));
    };
    QCOMPARE(attributeSource(path), AttributeSource::Emulation);
    QVERIFY2(plant(0x2020), "the temporary folder's file system refuses user extended attributes");

    QCOMPARE(attributeSource(path), AttributeSource::SmbClient);
    QCOMPARE(fileAttributes(path), std::optional<int>(32));
    QVERIFY(setFileAttributes(path, AttrNormal));
    QCOMPARE(planted(), 0x2000u); // other bits kept, no 0x80 beside them
    QVERIFY(plant(0x20));
    QVERIFY(setFileAttributes(path, AttrNormal));
    QCOMPARE(planted(), 0x80u); // normal is written as 0x80, never 0
    QCOMPARE(fileAttributes(path), std::optional<int>(0));

    // The server, not the emulation, decides: a rewrite here does not change the planted value.
    QVERIFY(testsupport::writeFile(path, "rij:1\r\nrij:2\r\n", baseTime));
    QCOMPARE(fileAttributes(path), std::optional<int>(0));

    QVERIFY(setFileAttributes(path, AttrHidden | AttrArchive));
    QCOMPARE(planted(), 0x22u);
    QCOMPARE(fileAttributes(path), std::optional<int>(34));

    const std::optional<FileStamp> stamp = fileStamp(path);
    QVERIFY(stamp);
    QVERIFY(setFileAttributesIfUnchanged(path, AttrNormal, *stamp));
    QCOMPARE(planted(), 0x80u);

    // A value of another length is not the SMB client's: the emulation takes over.
    const char eight[8] = {};
    QCOMPARE(::setxattr(native.constData(), "user.cifs.dosattrib", eight, 8, 0), 0);
    QCOMPARE(fileAttributes(path), std::optional<int>(32));
    QCOMPARE(attributeSource(path), AttributeSource::Emulation);
}
#endif

// --------------------------------------------------------------------------------------- folder listing

void TestPlatform::matchesWildcard_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("matches");

    // One row per line reads better than clang-format's breaks between two string literals.
    // clang-format off
    QTest::newRow("exact") << "a.dvz" << "a.dvz" << true;
    QTest::newRow("case-insensitive letters") << "BALDOVENAAR RST-*.DVZ" << "baldovenaar rst-0001.dvz" << true;
    QTest::newRow("star matches nothing") << "a*.dvz" << "a.dvz" << true;
    QTest::newRow("star matches a run") << "a*.dvz" << "abc.def.dvz" << true;
    QTest::newRow("star alone matches everything") << "*" << "x y.z" << true;
    QTest::newRow("star alone matches empty") << "*" << "" << true;
    QTest::newRow("empty pattern, empty name") << "" << "" << true;
    QTest::newRow("empty pattern, a name") << "" << "a" << false;
    QTest::newRow("question mark one character") << "a?c" << "abc" << true;
    QTest::newRow("question mark not none") << "a?c" << "ac" << false;
    QTest::newRow("question mark not two") << "a?c" << "abbc" << false;
    QTest::newRow("question mark at end needs one") << "ab?" << "ab" << false;
    QTest::newRow("wrong extension") << "*.dvz" << "a.mut" << false;
    QTest::newRow("extension must end the name") << "*.dvz" << "a.dvz.bak" << false;
    QTest::newRow("star dot star needs a dot") << "*.*" << "geenpunt" << false;
    QTest::newRow("brackets are ordinary") << "[1]*.mut" << "[1]a.mut" << true;
    QTest::newRow("brackets are no class") << "[12].mut" << "1.mut" << false;
    QTest::newRow("caret and backslash ordinary") << "a^\\b" << "A^\\B" << true;
    QTest::newRow("accented letters fold") << QStringLiteral(u"\u00c9*") << QStringLiteral(u"\u00e9t\u00e9") << true;
    QTest::newRow("sharp s is no SS") << "SS" << QStringLiteral(u"\u00df") << false;
    QTest::newRow("purge pattern") << "*-*-*-baldovenaar-*.mut" << "20261207-101500-77-baldovenaar-s.mut" << true;
    QTest::newRow("other class") << "*-*-77-baldovenaar-s.mut" << "20261207-101500-78-baldovenaar-s.mut" << false;
    QTest::newRow("empty rid") << "*-*--baldovenaar-h.mut" << "20261207-101500--baldovenaar-h.mut" << true;
    QTest::newRow("twenty-character prefix") << "baldovenaar rst-0001*.dvz" << "Baldovenaar RST-0001 bis.DVZ" << true;
    QTest::newRow("backtracking over a false start") << "*ab" << "aab" << true;
    QTest::newRow("consecutive stars") << "a**b" << "axxb" << true;
    QTest::newRow("star then question marks") << "*??" << "a" << false;
    // clang-format on
}

void TestPlatform::matchesWildcard()
{
    QFETCH(QString, pattern);
    QFETCH(QString, name);
    QFETCH(bool, matches);
    QCOMPARE(platform::matchesWildcard(pattern, name), matches);
}

void TestPlatform::matchesWildcardIsNotExponential()
{
    const QString name = QString(200000, u'a');
    QVERIFY(!platform::matchesWildcard(u"*a*a*a*a*a*a*a*a*a*a*a*a*b", name));
    QVERIFY(platform::matchesWildcard(u"*a*a*a*a*a*a*a*a*a*a*a*a*a", name));
    QVERIFY(!platform::matchesWildcard(u"*a*a*a*a*a*b", name + u'c'));
}

void TestPlatform::makeListingFolder(const QTemporaryDir& dir)
{
    QStringList files { "b.mut", "A.mut", "_x.mut", "a_b.mut", "Z.mut", "a.mut", ".punt.mut", "[1].mut",
        QStringLiteral(u"\u00e9.mut"), "verborgen.mut", "systeem.mut", "gemuteerd.mut", "lijst.dvz" };
    files.removeAll(caseTwin());
    for (const QString& name : files)
        QVERIFY(testsupport::writeFile(pathIn(dir, name), "x", baseTime));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("map.mut"))); // a folder named like the pattern
    QVERIFY(setFileAttributes(pathIn(dir, QStringLiteral("verborgen.mut")), AttrHidden));
    QVERIFY(setFileAttributes(pathIn(dir, QStringLiteral("systeem.mut")), AttrSystem | AttrArchive));
    QVERIFY(setFileAttributes(pathIn(dir, QStringLiteral("gemuteerd.mut")), AttrHidden | AttrArchive));
    QVERIFY(setFileAttributes(pathIn(dir, QStringLiteral("b.mut")), AttrReadOnly)); // read-only is listed
}

void TestPlatform::listFolder_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("includeHidden");
    QTest::addColumn<QStringList>("expected");

    const QString eAcute = QStringLiteral(u"\u00e9.mut");
    QTest::newRow("normal listing, NTFS order")
        << "*.mut" << false
        << QStringList { ".punt.mut", "A.mut", "a.mut", "a_b.mut", "b.mut", "Z.mut", "[1].mut", "_x.mut", eAcute };
    QTest::newRow("hidden listing adds hidden and system")
        << "*.mut" << true
        << QStringList { ".punt.mut", "A.mut", "a.mut", "a_b.mut", "b.mut", "gemuteerd.mut", "systeem.mut",
               "verborgen.mut", "Z.mut", "[1].mut", "_x.mut", eAcute };
    QTest::newRow("case-insensitive pattern") << "A*.MUT" << false << QStringList { "A.mut", "a.mut", "a_b.mut" };
    QTest::newRow("question mark") << "?.mut" << false << QStringList { "A.mut", "a.mut", "b.mut", "Z.mut", eAcute };
    QTest::newRow("brackets literal") << "[1]*" << false << QStringList { "[1].mut" };
    QTest::newRow("hidden file only in hidden listing") << "gem*" << false << QStringList {};
    QTest::newRow("hidden file in hidden listing") << "gem*" << true << QStringList { "gemuteerd.mut" };
    QTest::newRow("folder never listed") << "map.mut" << true << QStringList {};
    QTest::newRow("no match") << "*.xyz" << true << QStringList {};
    QTest::newRow("other extension") << "*.dvz" << false << QStringList { "lijst.dvz" };
}

void TestPlatform::listFolder()
{
    QFETCH(QString, pattern);
    QFETCH(bool, includeHidden);
    QFETCH(QStringList, expected);
    expected.removeAll(caseTwin());

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    makeListingFolder(dir);
    const Listing which = includeHidden ? Listing::IncludeHidden : Listing::Normal;

    QCOMPARE(platform::listFolder(dir.path(), pattern, which), expected);
    const std::optional<QString> first = firstMatch(dir.path(), pattern, which);
    QCOMPARE(first.has_value(), !expected.isEmpty());
    if (first)
        QCOMPARE(*first, expected.first());
}

void TestPlatform::folderSpellings_data()
{
    QTest::addColumn<QString>("spelling"); // how the temporary folder is written
    QTest::newRow("without separator") << "plain";
    QTest::newRow("with trailing slash") << "slash";
    QTest::newRow("relative path") << "relative";
    QTest::newRow("empty means current folder") << "empty";
    QTest::newRow("dot") << "dot";
}

void TestPlatform::folderSpellings()
{
    QFETCH(QString, spelling);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("gedeeld")));
    const QString shared = dir.path() + QStringLiteral("/gedeeld");
    QVERIFY(testsupport::writeFile(shared + QStringLiteral("/b.mut"), "x", baseTime));
    QVERIFY(testsupport::writeFile(shared + QStringLiteral("/a.mut"), "x", baseTime));
    QVERIFY(testsupport::writeFile(shared + QStringLiteral("/h.mut"), "x", baseTime));
    QVERIFY(setFileAttributes(shared + QStringLiteral("/h.mut"), AttrHidden));

    QString folder;
    const QString previous = QDir::currentPath();
    if (spelling == "plain") {
        folder = shared;
    } else if (spelling == "slash") {
        folder = shared + u'/';
    } else if (spelling == "relative") {
        QVERIFY(QDir::setCurrent(dir.path()));
        folder = QStringLiteral("gedeeld");
    } else if (spelling == "empty") {
        QVERIFY(QDir::setCurrent(shared));
    } else if (spelling == "dot") {
        QVERIFY(QDir::setCurrent(shared));
        folder = QStringLiteral(".");
    }

    // The hidden filter needs each file's path, so the folder spelling must carry through to it.
    const QStringList normal = platform::listFolder(folder, QStringLiteral("*.MUT"));
    const QStringList hidden = platform::listFolder(folder, QStringLiteral("*.MUT"), Listing::IncludeHidden);
    const std::optional<QString> first = firstMatch(folder, QStringLiteral("*.mut"));
    QVERIFY(QDir::setCurrent(previous));

    QCOMPARE(normal, (QStringList { "a.mut", "b.mut" }));
    QCOMPARE(hidden, (QStringList { "a.mut", "b.mut", "h.mut" }));
    QCOMPARE(first, std::optional<QString>(QStringLiteral("a.mut")));
}

void TestPlatform::unreadableFolderListsNothing()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString missing = dir.path() + QStringLiteral("/bestaat-niet");
    QCOMPARE(platform::listFolder(missing, QStringLiteral("*")), QStringList());
    QCOMPARE(firstMatch(missing, QStringLiteral("*"), Listing::IncludeHidden), std::nullopt);
    const QString file = pathIn(dir, QStringLiteral("geen-map"));
    QVERIFY(testsupport::writeFile(file, "x"));
    QCOMPARE(platform::listFolder(file, QStringLiteral("*")), QStringList());
}

#ifdef Q_OS_LINUX
void TestPlatform::listingTakesFilesAndLinksToFiles()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(testsupport::writeFile(pathIn(dir, QStringLiteral("echt.mut")), "x", baseTime));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("map")));
    QVERIFY(QFile::link(pathIn(dir, QStringLiteral("echt.mut")), pathIn(dir, QStringLiteral("link.mut"))));
    QVERIFY(QFile::link(pathIn(dir, QStringLiteral("map")), pathIn(dir, QStringLiteral("maplink.mut"))));
    QVERIFY(QFile::link(pathIn(dir, QStringLiteral("weg")), pathIn(dir, QStringLiteral("kapot.mut"))));
    QCOMPARE(::mkfifo(QFile::encodeName(pathIn(dir, QStringLiteral("pijp.mut"))).constData(), 0600), 0);

    const QStringList expected { "echt.mut", "link.mut" };
    QCOMPARE(platform::listFolder(dir.path(), QStringLiteral("*.mut")), expected);
    QCOMPARE(platform::listFolder(dir.path(), QStringLiteral("*.mut"), Listing::IncludeHidden), expected);
}
#endif

// ------------------------------------------------------------------------- writing whole, injected faults

void TestPlatform::writeFileWholeReplacesAnyTarget_data()
{
    QTest::addColumn<QString>("target"); // what stands under the final name before: "", "hidden", "read-only"
    QTest::addColumn<QString>("leftover"); // what stands under the temporary name: "", "file", "link"

    QTest::newRow("new file") << ""
                              << "";
    QTest::newRow("hidden target") << "hidden"
                                   << "";
    QTest::newRow("read-only target") << "read-only"
                                      << "";
    QTest::newRow("leftover temporary copy") << "hidden"
                                             << "file";
#ifdef Q_OS_LINUX
    QTest::newRow("link planted under the temporary name") << ""
                                                           << "link";
#endif
}

void TestPlatform::writeFileWholeReplacesAnyTarget()
{
    QFETCH(QString, target);
    QFETCH(QString, leftover);
    QTemporaryDir dir;
    const QString path = pathIn(dir, QStringLiteral("a.mut"));
    const QString outside = pathIn(dir, QStringLiteral("outside"));
    QVERIFY(testsupport::writeFile(outside, "elsewhere"));
    if (!target.isEmpty()) {
        QVERIFY(testsupport::writeFile(path, "old content, longer than the new"));
        QVERIFY(setFileAttributes(path, target == u"hidden" ? AttrHidden | AttrArchive : AttrReadOnly));
    }
    if (leftover == u"file")
        QVERIFY(testsupport::writeFile(temporaryPathFor(path), "half"));
    else if (leftover == u"link")
        QVERIFY(QFile::link(outside, temporaryPathFor(path)));

    QVERIFY(writeFileWhole(path, "new\r\n", AttrHidden | AttrArchive).ok());
    QCOMPARE(testsupport::readFile(path), QByteArray("new\r\n"));
    QCOMPARE(fileAttributes(path), std::optional<int>(AttrHidden | AttrArchive));
    QVERIFY(!QFileInfo::exists(temporaryPathFor(path)) && !QFileInfo(temporaryPathFor(path)).isSymLink());
    QCOMPARE(testsupport::readFile(outside), QByteArray("elsewhere"));
    QVERIFY(removeFile(path).ok());
    QVERIFY(!QFileInfo::exists(path));
    QVERIFY(!removeFile(path).ok());
}

void TestPlatform::injectedFaults_data()
{
    QTest::addColumn<int>("operation");
    QTest::addColumn<QString>("pathPart");
    QTest::addColumn<bool>("fails");

    using O = faults::Operation;
    QTest::newRow("listing of the folder") << int(O::List) << "sub" << true;
    QTest::newRow("reading attributes") << int(O::GetAttributes) << "a.mut" << true;
    QTest::newRow("setting attributes") << int(O::SetAttributes) << "a.mut" << true;
    QTest::newRow("removing") << int(O::Remove) << "a.mut" << true;
    QTest::newRow("opening for a whole write") << int(O::Open) << "a.mut" << true;
    QTest::newRow("every path") << int(O::Remove) << "" << true;
    QTest::newRow("another path") << int(O::Remove) << "b.mut" << false;
}

void TestPlatform::injectedFaults()
{
    QFETCH(int, operation);
    QFETCH(QString, pathPart);
    QFETCH(bool, fails);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    const QString folder = pathIn(dir, QStringLiteral("sub"));
    const QString path = folder + QStringLiteral("/a.mut");
    QVERIFY(testsupport::writeFile(path, "old"));
    const auto guard = qScopeGuard([] { faults::clear(); });
    faults::inject(faults::Operation(operation), pathPart, QStringLiteral("reden"));

    bool failed = false;
    switch (faults::Operation(operation)) {
    case faults::Operation::List:
        failed = platform::listFolder(folder, QStringLiteral("*")).isEmpty();
        break;
    case faults::Operation::GetAttributes:
        failed = !fileAttributes(path);
        break;
    case faults::Operation::SetAttributes:
        failed = !setFileAttributes(path, AttrHidden);
        break;
    case faults::Operation::Remove:
        failed = removeFile(path).error == u"reden";
        break;
    default:
        failed = writeFileWhole(path, "new", AttrArchive).error == u"reden";
        break;
    }
    QCOMPARE(failed, fails);
    QCOMPARE(QFileInfo::exists(path), fails);
    if (fails)
        QCOMPARE(testsupport::readFile(path), QByteArray("old"));
    faults::clear();
    QVERIFY(!faults::check(faults::Operation(operation), path));
}

// ------------------------------------------------------------------------- reading a file, hostile paths

void TestPlatform::readFileStartReadsOnlyRegularFiles_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<bool>("opened");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("whole"); // read to its end (or to the limit) without an error

    QTest::newRow("a file") << "file" << true << QByteArray("rij:1\r\nrij:2\r\n") << true;
    QTest::newRow("an empty file") << "empty" << true << QByteArray() << true;
    QTest::newRow("a file longer than the limit: its start") << "long" << true << QByteArray(100, 'x') << true;
    QTest::newRow("no such file") << "missing" << false << QByteArray() << false;
    QTest::newRow("a folder") << "folder" << false << QByteArray() << false;
    QTest::newRow("the open fails (injected)") << "open fault" << false << QByteArray() << false;
    QTest::newRow("the read fails (injected)") << "read fault" << true << QByteArray() << false;
#ifdef Q_OS_LINUX
    QTest::newRow("a link to a file") << "link" << true << QByteArray("rij:1\r\nrij:2\r\n") << true;
    // Neither waits for a writer nor reads on without end.
    QTest::newRow("a FIFO without writer") << "fifo" << false << QByteArray() << false;
    QTest::newRow("a link to a FIFO") << "fifo link" << false << QByteArray() << false;
    QTest::newRow("an endless device") << "device" << false << QByteArray() << false;
#endif
}

void TestPlatform::readFileStartReadsOnlyRegularFiles()
{
    QFETCH(QString, what);
    QTemporaryDir dir;
    QString path = pathIn(dir, QStringLiteral("baldovenaar rst-0001.dvz"));
    const QByteArray content = what == u"long" ? QByteArray(1000, 'x') : QByteArray("rij:1\r\nrij:2\r\n");
    const auto guard = qScopeGuard([] { faults::clear(); });
    if (what == u"empty")
        QVERIFY(testsupport::writeFile(path, QByteArray()));
    else if (what != u"missing" && what != u"folder" && !what.startsWith(u"fifo") && what != u"device")
        QVERIFY(testsupport::writeFile(path, content));
    if (what == u"folder")
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("baldovenaar rst-0001.dvz")));
    if (what == u"open fault")
        faults::inject(faults::Operation::Open, QStringLiteral("rst-0001"), QStringLiteral("vergrendeld"));
    if (what == u"read fault")
        faults::inject(faults::Operation::Read, QStringLiteral("rst-0001"), QStringLiteral("netwerkfout"));
#ifdef Q_OS_LINUX
    if (what == u"link") {
        QVERIFY(QFile::rename(path, pathIn(dir, QStringLiteral("echt"))));
        QVERIFY(QFile::link(pathIn(dir, QStringLiteral("echt")), path));
    }
    if (what.startsWith(u"fifo")) {
        const QString fifo = what == u"fifo" ? path : pathIn(dir, QStringLiteral("pijp"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        if (fifo != path)
            QVERIFY(QFile::link(fifo, path));
    }
    if (what == u"device")
        path = QStringLiteral("/dev/zero");
#endif

    const FileRead read = readFileStart(path, 100);
    QTEST(read.opened, "opened");
    QTEST(read.bytes, "bytes");
    QTEST(read.ok(), "whole");
    QCOMPARE(read.error.isEmpty(), read.ok());
    if (what.endsWith(u"fault"))
        QCOMPARE(read.error, what == u"open fault" ? QString("vergrendeld") : QString("netwerkfout"));
}

void TestPlatform::pathWithNulNamesNoOtherFile()
{
    // The system would end the path at the NUL and act on "a" (or on the folder "sub"); every operation
    // refuses instead, and "a" and the folder stay as they are.
    QTemporaryDir dir;
    const QString a = pathIn(dir, QStringLiteral("a"));
    QVERIFY(testsupport::writeFile(a, "office"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    const QString nul = a + QChar(0) + QStringLiteral("b.mut");
    const QString inSub = pathIn(dir, QStringLiteral("sub")) + QChar(0) + QStringLiteral("/../x.mut");

    QVERIFY(!fileAttributes(nul));
    QVERIFY(!setFileAttributes(nul, AttrHidden));
    QVERIFY(!fileStamp(nul));
    QVERIFY(!readFileStart(nul, 100).opened);
    QVERIFY(!writeFileWhole(nul, "ring", AttrArchive).ok());
    QVERIFY(!writeFileWhole(inSub, "ring", AttrArchive).ok());
    QVERIFY(!removeFile(nul).ok());
    QCOMPARE(
        platform::listFolder(pathIn(dir, QStringLiteral("sub")) + QChar(0) + QStringLiteral("x"), QStringLiteral("*")),
        QStringList());
    QCOMPARE(testsupport::readFile(a), QByteArray("office"));
    QCOMPARE(fileAttributes(a), std::optional<int>(AttrArchive));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
        (QStringList { "a", "sub" }));
}

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
