// Hostile input from every side the station takes input from, driven through the station object: a
// running-order file whose rid, owner or line keys hold path separators, wildcards, control characters or
// 64 KB of text; a followed path that is a folder, a FIFO, a device or a link to one; a settings file
// holding a megabyte in one value, binary bytes, or that is no file at all. Whatever comes in, the station
// does not crash or hang, and writes or deletes nothing outside the followed folder (inside it, only its
// own class's mutation files).
#include "classfile.h"
#include "codepaden.h"
#include "columns.h"
#include "cp1252.h"
#include "files.h"
#include "inisettingsstore.h"
#include "mutatiebestand.h"
#include "stationfixture.h"

#include "registrysettingsstore.h"
#include "settingsstore.h"
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <memory>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif
#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

namespace {

// Every entry below a folder with what it holds: the name, its kind, and for a file its bytes' hash.
QStringList tree(const QString& root)
{
    QStringList entries;
    QDirIterator it(
        root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        QString entry = path.mid(root.size());
        if (info.isSymLink())
            entry += QStringLiteral(" -> ") + info.symLinkTarget();
        else if (info.isDir())
            entry += u'/';
        else if (info.isFile())
            entry += u' '
                + QString::fromLatin1(
                    QCryptographicHash::hash(testsupport::readFile(path), QCryptographicHash::Md5).toHex());
        entries << entry;
    }
    entries.sort();
    return entries;
}

// The entries of one of this class's mutation files: they may come and go in the followed folder.
bool isOwnMutationFile(const QString& entry, const QString& rid)
{
    const QString name = entry.section(u' ', 0, 0).section(u'/', -1);
    const std::optional<MutationFileName> parsed = parseMutationFileName(name);
    return entry.startsWith(QStringLiteral("/GEDEELD/")) && entry.count(u'/') == 2 && parsed
        && parsed->rid == safeRid(rid);
}

} // namespace

class TestHostileInput : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void hostileFieldsStayInTheFollowedFolder_data();
    void hostileFieldsStayInTheFollowedFolder();
    void followedPathThatIsNoFileShowsTheEmptyView_data();
    void followedPathThatIsNoFileShowsTheEmptyView();
#ifdef Q_OS_WIN
    void hostileRegistryValuesStartTheStation_data();
    void hostileRegistryValuesStartTheStation();
#else
    void hostileSettingsFileStartsTheStation_data();
    void hostileSettingsFileStartsTheStation();
#endif
    void settingsFileThatIsNoFileIsLeftAlone_data();
    void settingsFileThatIsNoFileIsLeftAlone();

private:
    // The station as at start-up: its settings read, the grids set up, the followed file read.
    Station& startStation();
    QString root() const
    {
        return m_kit->rootFolder();
    }
    QString settingsPath() const
    {
        return m_kit->configFolder() + QStringLiteral("/Korvalen 3.5.ini");
    }
    void writeSettings(const QByteArray& bytes);

    std::unique_ptr<testsupport::StationFixture> m_kit;
};

void TestHostileInput::init()
{
    m_kit = std::make_unique<testsupport::StationFixture>();
    QVERIFY(m_kit->isValid());
    // Around the followed folder GEDEELD: another folder, and files shaped like mutation files one level up,
    // that a name built from the rid must never reach.
    QDir root(m_kit->rootFolder());
    QVERIFY(root.mkpath(QStringLiteral("GEDEELD/a")));
    QVERIFY(root.mkpath(QStringLiteral("elders")));
    for (const QString& name : { QStringLiteral("20261207-100000-x-baldovenaar-s.mut"), QStringLiteral("x"),
             QStringLiteral("elders/20261206-100000-7-baldovenaar-h.mut"),
             QStringLiteral("GEDEELD/20261207-090000-8-baldovenaar-s.mut") })
        QVERIFY(testsupport::writeFile(root.filePath(name), "van een ander\r\n"));
}

void TestHostileInput::cleanup()
{
    m_kit.reset();
}

Station& TestHostileInput::startStation()
{
    Station& station = m_kit->makeStation();
    station.start();
    return station;
}

void TestHostileInput::writeSettings(const QByteArray& bytes)
{
    QVERIFY(testsupport::writeFile(settingsPath(), bytes));
}

void TestHostileInput::hostileFieldsStayInTheFollowedFolder_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    const QList<std::pair<QString, QString>> values {
        { QStringLiteral("backslashes up"), QStringLiteral("..\\..\\x") },
        { QStringLiteral("slashes up"), QStringLiteral("../../x") },
        { QStringLiteral("absolute"), QStringLiteral("/x") },
        { QStringLiteral("into a subfolder"), QStringLiteral("a/b") },
        { QStringLiteral("wildcards"), QStringLiteral("*?*") },
        { QStringLiteral("a drive and a device"), QStringLiteral("C:\\CON") },
        { QStringLiteral("control characters"), QString::fromUtf16(u"\x01\x1b[2J\x7f\x08") },
        { QStringLiteral("64 KB"), QString(65536, u'x') },
    };
    for (const char* field : { "rid", "owner", "key" }) {
        for (const auto& [name, value] : values)
            QTest::addRow("%s: %s", field, qPrintable(name)) << field << value;
    }
}

void TestHostileInput::hostileFieldsStayInTheFollowedFolder()
{
    QFETCH(QString, field);
    QFETCH(QString, value);
    kantoor::PublishedOrder order = testsupport::classOrder("1001 1002 1003");
    if (field == u"rid")
        order.rid = value;
    if (field == u"owner")
        order.owner = value;
    const QString rid = order.rid;
    const QString hostileKey = field == u"key" ? value : QStringLiteral("1002");
    QVERIFY(testsupport::setCell(order, "1002", column::Key, hostileKey));
    QVERIFY(m_kit->publish(kantoor::runningOrderBytes(order)));
    const QStringList before = tree(root());

    // Openen, a move, a mark, a send; then Openen again and closing, which clear the class's files.
    Station& s = startStation();
    s.beginOpen();
    s.finishOpen(m_kit->classPath());
    QCOMPARE(s.working().textMatrix(2, column::Key), hostileKey);
    testsupport::selectRow(s, 1);
    s.verplaatsregel(regels::Richting::Omlaag);
    s.wisselnietgestart();
    QVERIFY(s.verzendmutatie().written);

    QStringList added = tree(root());
    for (const QString& entry : before)
        QVERIFY2(added.removeOne(entry), qPrintable("gone: " + entry.left(200)));
    QCOMPARE(added.size(), 2);
    for (const QString& entry : std::as_const(added)) {
        QVERIFY2(isOwnMutationFile(entry, rid), qPrintable(entry.left(200)));
        // The file holds the key's bytes as the running-order file had them.
        const QString name = entry.section(u' ', 0, 0).section(u'/', -1);
        const QByteArray bytes = testsupport::readFile(m_kit->sharedFolder() + u'/' + name);
        QVERIFY(bytes.contains("\r\norder:" + platform::encodeCp1252(hostileKey) + "\t1001\t1003\r\n"));
    }
    s.beginOpen();
    s.finishOpen(m_kit->classPath());
    QCOMPARE(tree(root()), before);
    QVERIFY(s.buttons().verzenden); // the ring's unsent work came back from the journal
    s.unload();
    QCOMPARE(tree(root()), before);
}

void TestHostileInput::followedPathThatIsNoFileShowsTheEmptyView_data()
{
    QTest::addColumn<QString>("what");
    QTest::newRow("a folder") << "folder";
#ifdef Q_OS_UNIX
    QTest::newRow("a FIFO") << "fifo";
    QTest::newRow("a link to a FIFO") << "fifo link";
    QTest::newRow("a link to a folder") << "folder link";
    QTest::newRow("a link to an endless device") << "device link";
    QTest::newRow("a link to itself") << "loop";
#endif
}

void TestHostileInput::followedPathThatIsNoFileShowsTheEmptyView()
{
    QFETCH(QString, what);
    const QString path = m_kit->classPath();
#ifdef Q_OS_UNIX
    const QString aside = root() + QStringLiteral("/elders/doel");
    if (what == u"fifo" || what == u"fifo link")
        QCOMPARE(::mkfifo(QFile::encodeName(what == u"fifo" ? path : aside).constData(), 0600), 0);
    if (what == u"folder link")
        QVERIFY(QDir().mkdir(aside));
    if (what.endsWith(u"link"))
        QVERIFY(QFile::link(what == u"device link" ? QStringLiteral("/dev/zero") : aside, path));
    if (what == u"loop")
        QVERIFY(QFile::link(path, path));
#endif
    if (what == u"folder")
        QVERIFY(QDir().mkdir(path));
    QVERIFY(SettingsStore::forUser()->setValue(QStringLiteral("Baldovenaar"), QStringLiteral("lastfile"), path));
    const QStringList before = tree(root());

    Station& s = startStation();
    for (int tick = 0; tick < 2; ++tick) {
        QVERIFY(!s.listShown());
        QCOMPARE(s.caption(), QString("Korvalen Baldovenaar"));
        QCOMPARE(s.buttons(), Station::Buttons());
        s.Timer1_Timer();
    }
    s.unload();
    QCOMPARE(tree(root()), before);
    QVERIFY(testsupport::savedSettings(m_kit->configFolder()).contains("lastfile=" + path));
}

#ifdef Q_OS_WIN

// Windows keeps the settings in the registry, which the office programs share: values of any size and type can
// stand there, put there by another program or a damaged profile.
void TestHostileInput::hostileRegistryValuesStartTheStation_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("data");

    const auto text = [](const QString& value) { // as REG_SZ holds it: UTF-16 with its closing NUL
        return QByteArray(reinterpret_cast<const char*>(value.utf16()), (value.size() + 1) * 2);
    };
    const QString megabyte(1000 * 1000, u'a');
    QTest::newRow("a 1 MB followed path") << "Baldovenaar"
                                          << "lastfile" << int(REG_SZ) << text("C:\\" + megabyte + ".dvz");
    QTest::newRow("a 1 MB zoom factor") << "Baldovenaar"
                                        << "scale" << int(REG_SZ) << text("0.0" + QString(1000 * 1000, u'7'));
    QTest::newRow("a 1 MB data folder") << "Database"
                                        << "InstallPath" << int(REG_SZ) << text(megabyte);
    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary += char((i * 131 + i / 256) & 0xFF);
    QTest::newRow("binary bytes for the followed path") << "Baldovenaar"
                                                        << "lastfile" << int(REG_BINARY) << binary;
    QTest::newRow("a number for the zoom factor") << "Baldovenaar"
                                                  << "scale" << int(REG_DWORD) << QByteArray("\x05\x00\x00\x00", 4);
    QTest::newRow("a string without its closing NUL") << "Baldovenaar"
                                                      << "lastfile" << int(REG_SZ) << QByteArray("C\0:\0\\", 5);
    QTest::newRow("a NUL in the followed folder")
        << "Baldovenaar"
        << "lastfile" << int(REG_SZ)
        << text(QDir::toNativeSeparators(QDir::tempPath()) + QStringLiteral("\\a") + QChar(0) + "b\\x.dvz");
}

void TestHostileInput::hostileRegistryValuesStartTheStation()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(int, type);
    QFETCH(QByteArray, data);
    const std::wstring subkey
        = (QStringLiteral("Software\\VB and VBA Program Settings\\Korvalen 3.5\\") + section).toStdWString();
    // The data folder is read only with the office's choice of its own folder.
    const std::wstring database = L"Software\\VB and VBA Program Settings\\Korvalen 3.5\\Database";
    QCOMPARE(RegSetKeyValueW(HKEY_CURRENT_USER, database.c_str(), L"InstallPathIndex", REG_SZ, L"2", 4),
        LSTATUS(ERROR_SUCCESS));
    QCOMPARE(RegSetKeyValueW(HKEY_CURRENT_USER, subkey.c_str(), key.toStdWString().c_str(), DWORD(type),
                 data.constData(), DWORD(data.size())),
        LSTATUS(ERROR_SUCCESS));
    const QStringList outside = tree(root());

    Station& s = startStation();
    QVERIFY(!s.listShown());
    const double scale = s.state().scale;
    QVERIFY(scale >= 0.005 && scale <= 0.1);
    s.Timer1_Timer();
    const QString lastfile = s.state().bestandspad();
    s.unload();

    // Nothing written outside; the station's values saved as strings, as it read them.
    QCOMPARE(tree(root()), outside);
    const RegistrySettingsStore store;
    QCOMPARE(store.value("Baldovenaar", "lastfile", "?"), lastfile);
    QCOMPARE(scaleFromSetting(store.value("Baldovenaar", "scale", "?")), scale);
}

#else

void TestHostileInput::hostileSettingsFileStartsTheStation_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("rewritten"); // the station's two lines are saved at close, the rest kept

    const QByteArray megabyte(1000 * 1000, 'a');
    QTest::newRow("a 1 MB followed path") << "[Baldovenaar]\r\nlastfile=/" + megabyte + ".dvz\r\n" << true;
    QTest::newRow("a 1 MB zoom factor") << "[Baldovenaar]\r\nscale=0.0" + QByteArray(1000 * 1000, '7') + "\r\n" << true;
    QTest::newRow("a 1 MB data folder") << "[Database]\r\nInstallPathIndex=2\r\nInstallPath=" + megabyte + "\r\n"
                                        << true;
    QTest::newRow("a 2 MB file: never rewritten") << "[Baldovenaar]\r\nscale=0.05\r\n" + megabyte + megabyte << false;
    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary += char((i * 131 + i / 256) & 0xFF);
    QTest::newRow("binary bytes") << binary << true;
    QTest::newRow("binary bytes inside the section") << "[Baldovenaar]\r\nlastfile=" + binary
            + "\r\nscale=" + binary.left(64) + "\r\n" << true;
    QTest::newRow("a NUL in the followed folder") << QByteArray("[Baldovenaar]\nlastfile=")
            + QFile::encodeName(QDir::tempPath())
            + QByteArray("/a\0b/x.dvz\n", 11) << true;
}

void TestHostileInput::hostileSettingsFileStartsTheStation()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, rewritten);
    writeSettings(bytes);
    const QStringList outside = tree(root());

    Station& s = startStation();
    QVERIFY(!s.listShown());
    const double scale = s.state().scale;
    QVERIFY(scale >= 0.005 && scale <= 0.1);
    s.Timer1_Timer();
    const QString lastfile = s.state().bestandspad();
    s.unload();

    QCOMPARE(tree(root()), outside);
    QCOMPARE(tree(m_kit->configFolder()).size(), 1); // no temporary file left beside the settings
    const QByteArray after = testsupport::readFile(settingsPath());
    if (!rewritten) {
        QCOMPARE(after, bytes);
        return;
    }
    // The station's values read back as it saved them, and every other line of the file is still there, byte
    // for byte.
    IniSettingsStore store(settingsPath());
    QCOMPARE(store.value("Baldovenaar", "lastfile", "?"), lastfile);
    QCOMPARE(scaleFromSetting(store.value("Baldovenaar", "scale", "?")), scale);
    const auto otherLines = [](const QByteArray& text) {
        QList<QByteArray> lines;
        for (const QByteArray& line : text.split('\n')) {
            for (const QByteArray& part : line.split('\r')) {
                const QByteArray trimmed = part.trimmed().toLower();
                if (!trimmed.isEmpty() && !trimmed.startsWith("scale=") && !trimmed.startsWith("lastfile=")
                    && trimmed != "[baldovenaar]")
                    lines << part;
            }
        }
        return lines;
    };
    QCOMPARE(otherLines(after), otherLines(bytes));
}

#endif

void TestHostileInput::settingsFileThatIsNoFileIsLeftAlone_data()
{
    QTest::addColumn<QString>("what");
    QTest::newRow("a folder") << "folder";
#ifdef Q_OS_UNIX
    QTest::newRow("a FIFO: never waited on") << "fifo";
    QTest::newRow("a link to an endless device") << "device";
#endif
}

void TestHostileInput::settingsFileThatIsNoFileIsLeftAlone()
{
    QFETCH(QString, what);
    // In place of the settings file (where the settings live in a file at all: on Windows they are in the
    // registry, and the thing in the file's place must still be left alone).
    QVERIFY(!QFileInfo::exists(settingsPath()) || QFile::remove(settingsPath()));
    if (what == u"folder")
        QVERIFY(QDir().mkdir(settingsPath()));
#ifdef Q_OS_UNIX
    if (what == u"fifo")
        QCOMPARE(::mkfifo(QFile::encodeName(settingsPath()).constData(), 0600), 0);
    if (what == u"device")
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), settingsPath()));
#endif
    const QStringList before = tree(m_kit->configFolder());
    // The station starts as without settings, and leaves the thing in the file's place as it found it.
    Station& s = startStation();
    QCOMPARE(s.state().bestandspad(), QString());
    QCOMPARE(s.state().scale, 0.025);
    s.unload();
    QCOMPARE(tree(m_kit->configFolder()), before);
}

QTEST_GUILESS_MAIN(TestHostileInput)
#include "tst_hostileinput.moc"
