// Tests of the station's settings and the suite's folders: the two settings through the INI store as
// people and programs write it, the data folder from the office's "Database" section, and the special
// folders. Everything is written into temporary folders; XDG_CONFIG_HOME points into one, so the
// user's own settings are never touched.

#include "appstate.h"
#include "codepaden.h"
#include "files.h"
#include "inisettingsstore.h"
#include "knownfolders.h"
#include "registrysettingsstore.h"
#include "ringsettings.h"
#include "settingsstore.h"
#include "systemknownfolders.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QLocale>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

namespace {

// Special folders with fixed answers; an id without an answer fails ("").
class FakeFolders : public SpecialFolders
{
public:
    explicit FakeFolders(QHash<int, QString> paths = {})
        : m_paths(std::move(paths))
    {
    }
    QString folderPath(int folderId) const override
    {
        m_asked.append(folderId);
        return m_paths.value(folderId);
    }
    mutable QList<int> m_asked;

private:
    QHash<int, QString> m_paths;
};

const QString sep = QDir::separator();

QString folder(const QString& path)
{
    return QDir::toNativeSeparators(path) + sep;
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void scaleLoadsInEveryNotation_data();
    void scaleLoadsInEveryNotation();
    void riderDistanceFromTheStationsSection_data();
    void riderDistanceFromTheStationsSection();
    void scaleSavesInTheSystemsNotation_data();
    void scaleSavesInTheSystemsNotation();

    void installPathIndex_data();
    void installPathIndex();
    void failedFolderQuery_data();
    void failedFolderQuery();

    void roundTrip_data();
    void roundTrip();
    void savingKeepsTheRestOfTheFile();
    void savingAddsWhatIsMissing_data();
    void savingAddsWhatIsMissing();
    void namesIgnoreCase();
    void unstorablePathFollowsNoFile();
    void oversizedFileIsNeverRewritten();
    void ansiFileReads();
    void lineEndsAreKept_data();
    void lineEndsAreKept();
    void untouchedLinesKeepTheirBytes_data();
    void untouchedLinesKeepTheirBytes();
    void readOnlyFileIsNotReplaced();

    void routinesUseTheConfigurationFolder();
    void specialFolderNames_data();
    void specialFolderNames();
    void systemFoldersHaveNoTrailingSeparator();
#ifdef Q_OS_WIN
    void registryIsSharedWithTheOffice_data();
    void registryIsSharedWithTheOffice();
#endif

private:
    QString iniPath() const
    {
        return m_dir->filePath(QStringLiteral("Korvalen 3.5.ini"));
    }
    bool writeIni(const QByteArray& text) const
    {
        return testsupport::writeFile(iniPath(), text);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestSettings::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    testsupport::useOwnSettings(m_dir->path());
}

void TestSettings::scaleLoadsInEveryNotation_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<double>("scale");

    const QByteArray head = "[Baldovenaar]\nlastfile=\n";
    QTest::newRow("decimal comma, unquoted") << head + "scale=0,05\n" << 0.05;
    QTest::newRow("decimal comma, quoted") << head + "scale=\"0,05\"\n" << 0.05;
    QTest::newRow("decimal point") << head + "scale=0.05\n" << 0.05;
    QTest::newRow("no leading zero") << head + "scale=.05\n" << 0.05;
    QTest::newRow("blanks around") << head + "scale =  0.04  \n" << 0.04;
    QTest::newRow("trailing text") << head + "scale=0.03 (zoom)\n" << 0.03;
    QTest::newRow("no digits") << head + "scale=abc\n" << 0.005;
    QTest::newRow("empty") << head + "scale=\n" << 0.005;
    QTest::newRow("above the range") << head + "scale=0.2\n" << 0.1;
    QTest::newRow("below the range") << head + "scale=0.001\n" << 0.005;
    QTest::newRow("negative") << head + "scale=-0.05\n" << 0.005;
    QTest::newRow("absent: default") << head << 0.025;
    QTest::newRow("no file: default") << QByteArray() << 0.025;
    QTest::newRow("only in another section") << QByteArray("[Database]\nscale=0.09\n") << 0.025;
}

void TestSettings::scaleLoadsInEveryNotation()
{
    QFETCH(QByteArray, file);
    QFETCH(double, scale);
    if (!file.isNull())
        QVERIFY(writeIni(file));

    AppState state;
    leesinstellingen(state, IniSettingsStore(iniPath()));
    QCOMPARE(state.scale, scale);
}

void TestSettings::riderDistanceFromTheStationsSection_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("distance");

    QTest::newRow("absent: the default") << QByteArray("[Baldovenaar]\nscale=0.05\n") << 2;
    QTest::newRow("three") << QByteArray("[Baldovenaar]\nruiterafstand=3\n") << 3;
    QTest::newRow("zero switches the warning off") << QByteArray("[Baldovenaar]\nruiterafstand=0\n") << 0;
    QTest::newRow("blanks around") << QByteArray("[Baldovenaar]\nruiterafstand =  4 \n") << 4;
    QTest::newRow("negative: the default") << QByteArray("[Baldovenaar]\nruiterafstand=-1\n") << 2;
    QTest::newRow("no number: the default") << QByteArray("[Baldovenaar]\nruiterafstand=twee\n") << 2;
    QTest::newRow("beyond 99: the default") << QByteArray("[Baldovenaar]\nruiterafstand=100\n") << 2;
    QTest::newRow("only in the office's section") << QByteArray("[Database]\nruiterafstand=5\n") << 2;
}

void TestSettings::riderDistanceFromTheStationsSection()
{
    QFETCH(QByteArray, file);
    QFETCH(int, distance);
    QVERIFY(writeIni(file));
    QCOMPARE(ringsettings::riderDistance(IniSettingsStore(iniPath())), distance);
}

void TestSettings::scaleSavesInTheSystemsNotation_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<double>("scale");
    QTest::addColumn<QString>("text");

    QTest::newRow("decimal point") << QLocale::c() << 0.025 << "0.025";
    QTest::newRow("decimal comma") << QLocale(QLocale::Dutch, QLocale::Netherlands) << 0.025 << "0,025";
    QTest::newRow("zoomed, comma") << QLocale(QLocale::German) << 0.025 * 1.2 << "0,03";
    QTest::newRow("zoomed twice") << QLocale::c() << 0.025 * 0.9 * 0.9 << "0.02025";
    // Eastern Arabic digits and the Arabic decimal separator would not read back.
    QTest::newRow("own digits") << QLocale(QLocale::Arabic, QLocale::Egypt) << 0.1 << "0.1";
    QTest::newRow("lower bound") << QLocale::c() << 0.005 << "0.005";
    QTest::newRow("never loaded") << QLocale::c() << 0.0 << "0";
    QTest::newRow("tiny, no exponent") << QLocale::c() << 0.00001 << "0.00001";
}

void TestSettings::scaleSavesInTheSystemsNotation()
{
    QFETCH(QLocale, locale);
    QFETCH(double, scale);
    QFETCH(QString, text);

    QCOMPARE(scaleToSetting(scale, locale), text);
    QCOMPARE(scaleFromSetting(text), std::clamp(scale, 0.005, 0.1));
}

void TestSettings::installPathIndex_data()
{
    QTest::addColumn<QByteArray>("database");
    QTest::addColumn<QString>("datamap");

    const QString user = folder(QStringLiteral("/home/ring/Documents")) + "Mijn Korvalen 3.5 bestanden" + sep;
    const QString common = folder(QStringLiteral("/home/Public")) + "Mijn Korvalen 3.5 bestanden" + sep;
    const QString install = folder(QStringLiteral("/srv/korvalen"));

    const QByteArray path = "InstallPath=/srv/korvalen\n";
    QTest::newRow("absent: user's documents") << QByteArray() << user;
    QTest::newRow("0") << "InstallPathIndex=0\n" + path << user;
    QTest::newRow("1: all users' documents") << "InstallPathIndex=1\n" + path << common;
    QTest::newRow("2: InstallPath") << "InstallPathIndex=2\n" + path << install;
    QTest::newRow("1.6 rounds to 2") << "InstallPathIndex=1.6\n" + path << install;
    QTest::newRow("2.5 rounds to even 2") << "InstallPathIndex=2.5\n" + path << install;
    QTest::newRow("0.5 rounds to even 0") << "InstallPathIndex=0.5\n" + path << user;
    QTest::newRow("1,6 is 1: a comma is no decimal point") << "InstallPathIndex=1,6\n" + path << common;
    QTest::newRow("-1 behaves as 0") << "InstallPathIndex=-1\n" + path << user;
    QTest::newRow("7 behaves as 0") << "InstallPathIndex=7\n" + path << user;
    QTest::newRow("beyond 16 bits behaves as 0") << "InstallPathIndex=70000\n" + path << user;
    QTest::newRow("text behaves as 0") << "InstallPathIndex=abc\n" + path << user;
    QTest::newRow("InstallPath ending in a separator")
        << QByteArray("InstallPathIndex=2\nInstallPath=/srv/korvalen/\n") << install;
    QTest::newRow("InstallPath with a backslash, as written")
        << QByteArray("InstallPathIndex=2\nInstallPath=/srv/new\\data\n") << folder(QStringLiteral("/srv/new\\data"));
    QTest::newRow("empty InstallPath: a single separator") << QByteArray("InstallPathIndex=2\nInstallPath=\n") << sep;
    QTest::newRow("absent InstallPath: a single separator") << QByteArray("InstallPathIndex=2\n") << sep;
}

void TestSettings::installPathIndex()
{
    QFETCH(QByteArray, database);
    QFETCH(QString, datamap);
    if (!database.isNull())
        QVERIFY(writeIni("[Database]\n" + database));

    const FakeFolders folders({ { SpecialFolders::UserDocuments, QStringLiteral("/home/ring/Documents") },
        { SpecialFolders::CommonDocuments, QStringLiteral("/home/Public") } });
    AppState state;
    bepaalpaden(state, IniSettingsStore(iniPath()), folders);
    QCOMPARE(state.datamap, datamap);
    QCOMPARE(state.gedeeldemap, datamap + "GEDEELD" + sep);
}

void TestSettings::failedFolderQuery_data()
{
    QTest::addColumn<QByteArray>("index");
    QTest::newRow("user's documents") << QByteArray("0");
    QTest::newRow("all users' documents") << QByteArray("1");
}

void TestSettings::failedFolderQuery()
{
    QFETCH(QByteArray, index);
    QVERIFY(writeIni("[Database]\nInstallPathIndex=" + index + "\n"));

    AppState state;
    bepaalpaden(state, IniSettingsStore(iniPath()), FakeFolders());
    QCOMPARE(state.datamap, sep + "Mijn Korvalen 3.5 bestanden" + sep);
    QCOMPARE(state.gedeeldemap, sep + "Mijn Korvalen 3.5 bestanden" + sep + "GEDEELD" + sep);
}

void TestSettings::roundTrip_data()
{
    QTest::addColumn<QString>("bestandspad");
    QTest::addColumn<double>("scale");

    QTest::newRow("backslashes") << QStringLiteral("D:\\new\\tabel\\rst-Springen klasse 1.dvz") << 0.025;
    QTest::newRow("UNC path") << QStringLiteral("\\\\server\\gedeeld\\rst-a.dvz") << 0.0225;
    QTest::newRow("commas and semicolons") << QStringLiteral("/data/a,b;c=d/rst-x.dvz") << 0.03;
    QTest::newRow("blanks at both ends") << QStringLiteral("  /data/rst-x.dvz  ") << 0.1;
    QTest::newRow("quoted") << QStringLiteral("\"/data/rst-x.dvz\"") << 0.005;
    QTest::newRow("accents") << QStringLiteral("/data/Écurie Ünal/rst-x.dvz") << 0.04;
    QTest::newRow("hash and brackets") << QStringLiteral("#[Database]") << 0.05;
    QTest::newRow("no file followed") << QString() << 0.025;
}

void TestSettings::roundTrip()
{
    QFETCH(QString, bestandspad);
    QFETCH(double, scale);

    AppState saved;
    saved.setBestandspad(bestandspad);
    saved.scale = scale;
    IniSettingsStore store(iniPath());
    QVERIFY(bewaarinstellingen(saved, store));

    AppState loaded;
    leesinstellingen(loaded, store);
    QCOMPARE(loaded.bestandspad(), bestandspad);
    QCOMPARE(loaded.scale, scale);
}

void TestSettings::savingKeepsTheRestOfTheFile()
{
    // The office's own section, hand-written with backslashes, and the comments must survive a save.
    const QByteArray before = "; Korvalen 3.5\r\n"
                              "[Database]\r\n"
                              "InstallPathIndex=2\r\n"
                              "InstallPath=D:\\new\\Korvalen\r\n"
                              "\r\n"
                              "[Baldovenaar]\r\n"
                              "lastfile=D:\\oud.dvz\r\n"
                              "scale=0,05\r\n"
                              "\r\n"
                              "[Overig]\r\n"
                              "lastfile=blijft\r\n";
    QVERIFY(writeIni(before));

    AppState state;
    state.setBestandspad(QStringLiteral("D:\\nieuw.dvz"));
    state.scale = 0.03;
    IniSettingsStore store(iniPath());
    QVERIFY(bewaarinstellingen(state, store));

    QByteArray expected = before;
    expected.replace("lastfile=D:\\oud.dvz", "lastfile=D:\\nieuw.dvz");
    expected.replace("scale=0,05", "scale=" + scaleToSetting(0.03).toUtf8());
    QCOMPARE(testsupport::readFile(iniPath()), expected);

    AppState folders;
    bepaalpaden(folders, store, FakeFolders());
    QCOMPARE(folders.datamap, QStringLiteral("D:\\new\\Korvalen") + sep);
}

void TestSettings::savingAddsWhatIsMissing_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("no file") << QByteArray() << QByteArray("[Baldovenaar]\nlastfile=/a.dvz\nscale=0.025\n");
    QTest::newRow("no section") << QByteArray("[Database]\nInstallPathIndex=1")
                                << QByteArray("[Database]\nInstallPathIndex=1\n\n[Baldovenaar]\nlastfile=/a.dvz\n"
                                              "scale=0.025\n");
    QTest::newRow("section without the keys")
        << QByteArray("[Baldovenaar]\nander=1\n\n[Database]\nInstallPathIndex=1\n")
        << QByteArray("[Baldovenaar]\nander=1\nlastfile=/a.dvz\nscale=0.025\n\n[Database]\nInstallPathIndex=1\n");
}

void TestSettings::savingAddsWhatIsMissing()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    if (!before.isNull())
        QVERIFY(writeIni(before));

    AppState state;
    state.setBestandspad(QStringLiteral("/a.dvz"));
    state.scale = 0.025;
    IniSettingsStore store(iniPath());
    const bool commaSystem = scaleToSetting(0.025) != QStringLiteral("0.025");
    QVERIFY(bewaarinstellingen(state, store));
    QByteArray expected = after;
    if (commaSystem)
        expected.replace("scale=0.025", "scale=0,025");
    QCOMPARE(testsupport::readFile(iniPath()), expected);
}

void TestSettings::namesIgnoreCase()
{
    // Section and key names are not case-sensitive for the office programs' INI routines either.
    QVERIFY(writeIni("[BALDOVENAAR]\nLastFile=/x.dvz\n[database]\ninstallpathindex=2\ninstallpath=/srv/k\n"));
    IniSettingsStore store(iniPath());
    AppState state;
    leesinstellingen(state, store);
    bepaalpaden(state, store, FakeFolders());
    QCOMPARE(state.bestandspad(), QStringLiteral("/x.dvz"));
    QCOMPARE(state.datamap, folder(QStringLiteral("/srv/k")));

    state.setBestandspad(QStringLiteral("/y.dvz"));
    QVERIFY(bewaarinstellingen(state, store));
    const QByteArray text = testsupport::readFile(iniPath());
    QVERIFY2(text.contains("LastFile=/y.dvz\n") && !text.contains("lastfile="), text.constData());
}

void TestSettings::unstorablePathFollowsNoFile()
{
    // A Linux file name may hold a line break, which an INI line cannot: the next start must then
    // follow no file rather than the one followed before.
    QVERIFY(writeIni("[Baldovenaar]\nlastfile=/oud.dvz\nscale=0.05\n"));
    AppState state;
    state.setBestandspad(QStringLiteral("/data/rst-\nx.dvz"));
    state.scale = 0.04;
    IniSettingsStore store(iniPath());
    QVERIFY(!bewaarinstellingen(state, store));

    AppState loaded;
    leesinstellingen(loaded, store);
    QCOMPARE(loaded.bestandspad(), QString());
    QCOMPARE(loaded.scale, 0.04);
}

void TestSettings::oversizedFileIsNeverRewritten()
{
    QByteArray big = "[Baldovenaar]\nscale=0.05\n[Data]\n";
    while (big.size() <= IniSettingsStore::maximumFileSize)
        big += "regel=" + QByteArray(100, 'x') + '\n';
    QVERIFY(writeIni(big));

    IniSettingsStore store(iniPath());
    AppState loaded;
    leesinstellingen(loaded, store);
    QCOMPARE(loaded.scale, 0.05);

    QVERIFY(!store.setValue(QStringLiteral("Baldovenaar"), QStringLiteral("scale"), QStringLiteral("0.06")));
    QCOMPARE(testsupport::readFile(iniPath()), big);
}

void TestSettings::ansiFileReads()
{
    // Saved by a Windows editor in the ANSI code page: "é" is the single byte 0xE9.
    QVERIFY(writeIni("[Database]\r\nInstallPathIndex=2\r\nInstallPath=/srv/\xe9quipe\r\n"));
    AppState state;
    bepaalpaden(state, IniSettingsStore(iniPath()), FakeFolders());
    QCOMPARE(state.datamap, folder(QStringLiteral("/srv/équipe")));
}

void TestSettings::lineEndsAreKept_data()
{
    QTest::addColumn<QByteArray>("end");
    QTest::addColumn<bool>("lastLineEnded");

    QTest::newRow("CR LF") << QByteArray("\r\n") << true;
    QTest::newRow("LF") << QByteArray("\n") << true;
    QTest::newRow("CR") << QByteArray("\r") << true;
    QTest::newRow("CR, last line without an end") << QByteArray("\r") << false;
}

void TestSettings::lineEndsAreKept()
{
    QFETCH(QByteArray, end);
    QFETCH(bool, lastLineEnded);

    const QByteArray before = "[Database]" + end + "InstallPathIndex=2" + end + "InstallPath=/srv/k" + end + end
        + "[Baldovenaar]" + end + "lastfile=/oud.dvz" + end + "scale=0,05" + (lastLineEnded ? end : QByteArray());
    QVERIFY(writeIni(before));
    IniSettingsStore store(iniPath());
    AppState state;
    bepaalpaden(state, store, FakeFolders());
    leesinstellingen(state, store);
    QCOMPARE(state.datamap, folder(QStringLiteral("/srv/k")));
    QCOMPARE(state.bestandspad(), QStringLiteral("/oud.dvz"));
    QCOMPARE(state.scale, 0.05);

    // The changed lines keep their place and their end; a missing key is added with the file's end.
    state.setBestandspad(QStringLiteral("/nieuw.dvz"));
    state.scale = 0.03;
    QVERIFY(bewaarinstellingen(state, store));
    QVERIFY(store.setValue(QStringLiteral("Baldovenaar"), QStringLiteral("ander"), QStringLiteral("1")));
    const QByteArray expected = "[Database]" + end + "InstallPathIndex=2" + end + "InstallPath=/srv/k" + end + end
        + "[Baldovenaar]" + end + "lastfile=/nieuw.dvz" + end + "scale=" + scaleToSetting(0.03).toUtf8() + end
        + "ander=1" + end;
    QCOMPARE(testsupport::readFile(iniPath()), expected);
}

void TestSettings::untouchedLinesKeepTheirBytes_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("datamap"); // from the office's section, when the file has one

    // Saved by a Windows editor in the ANSI code page: "é" is the single byte 0xE9, "€" 0x80.
    const QByteArray ansi = "; caf\xe9 \x80 5\r\n[Database]\r\nInstallPathIndex=2\r\nInstallPath=/srv/\xe9quipe\r\n"
                            "[Baldovenaar]\r\nlastfile=/oud.dvz\r\n";
    QTest::newRow("Windows-1252 lines") << ansi << folder(QStringLiteral("/srv/équipe"));
    const QByteArray withBom = "\xef\xbb\xbf[Baldovenaar]\nlastfile=/oud.dvz\n[Database]\nInstallPathIndex=2\n"
                               "InstallPath=/srv/\xc3\xa9quipe\n";
    QTest::newRow("UTF-8 with a byte order mark") << withBom << folder(QStringLiteral("/srv/équipe"));
    QTest::newRow("bytes Windows-1252 leaves undefined")
        << QByteArray("[Overig]\nnaam=\x81\x8d\x8f\x90\x9d\n[Baldovenaar]\nlastfile=/oud.dvz\n") << QString();
}

void TestSettings::untouchedLinesKeepTheirBytes()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, datamap);
    QVERIFY(writeIni(before));

    IniSettingsStore store(iniPath());
    const QString path = QStringLiteral("/data/Écurie/rst.dvz");
    QVERIFY(store.setValue(QStringLiteral("Baldovenaar"), QStringLiteral("lastfile"), path));
    // Only the changed line differs, written in UTF-8.
    QByteArray after = before;
    after.replace("lastfile=/oud.dvz", "lastfile=" + path.toUtf8());
    QCOMPARE(testsupport::readFile(iniPath()), after);

    // It reads back as written, beside lines in the ANSI code page.
    AppState state;
    leesinstellingen(state, store);
    QCOMPARE(state.bestandspad(), path);
    if (!datamap.isEmpty()) {
        bepaalpaden(state, store, FakeFolders());
        QCOMPARE(state.datamap, datamap);
    }
}

void TestSettings::readOnlyFileIsNotReplaced()
{
    const QByteArray before = "[Baldovenaar]\nlastfile=/oud.dvz\nscale=0.05\n";
    QVERIFY(writeIni(before));
    const QFileDevice::Permissions readOnly = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    QVERIFY(QFile::setPermissions(iniPath(), readOnly));

    // Reported as for a value that cannot be stored; the file stays as the user left it, also for a
    // user who could write it all the same (the superuser).
    AppState state;
    state.setBestandspad(QStringLiteral("/nieuw.dvz"));
    state.scale = 0.03;
    IniSettingsStore store(iniPath());
    QVERIFY(!bewaarinstellingen(state, store));
    QCOMPARE(testsupport::readFile(iniPath()), before);

    AppState loaded;
    leesinstellingen(loaded, store);
    QCOMPARE(loaded.bestandspad(), QStringLiteral("/oud.dvz"));
    QCOMPARE(loaded.scale, 0.05);
}

void TestSettings::routinesUseTheConfigurationFolder()
{
    AppState state;
    state.setBestandspad(QStringLiteral("C:\\Korvalen\\rst-x.dvz"));
    state.scale = 0.0375;
    bewaarinstellingen(state);
#ifdef Q_OS_WIN
    // Windows: the registry, under the test's own stand-in for HKEY_CURRENT_USER.
    QVERIFY(testsupport::savedSettings(m_dir->path()).contains(QStringLiteral("lastfile=") + state.bestandspad()));
#else
    QCOMPARE(IniSettingsStore::userFilePath(), iniPath());
    QVERIFY(QFile::exists(iniPath()));
#endif

    AppState loaded;
    leesinstellingen(loaded);
    QCOMPARE(loaded.bestandspad(), state.bestandspad());
    QCOMPARE(loaded.scale, state.scale);
}

void TestSettings::specialFolderNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("id");

    QTest::newRow("user's documents") << "USER_DOCUMENTS" << 5;
    QTest::newRow("lower case") << "user_documents" << 5;
    QTest::newRow("mixed case") << "Common_Documents" << 46;
    QTest::newRow("desktop") << "USER_DESKTOP" << 16;
    QTest::newRow("app data") << "USER_APPDATA" << 26;
    QTest::newRow("local app data") << "USER_LOCAL_APPDATA" << 28;
    QTest::newRow("pictures") << "USER_PICTURES" << 39;
    QTest::newRow("common programs") << "COMMON_PROGRAMS" << 23;
    QTest::newRow("common app data") << "COMMON_APPDATA" << 35;
    QTest::newRow("program files") << "PROGRAM_FILES" << 38;
    QTest::newRow("network") << "NETWORK" << 18;
    QTest::newRow("nethood") << "NETHOOD" << 19;
    QTest::newRow("unknown: the desktop") << "MY_MUSIC" << 16;
    QTest::newRow("empty: the desktop") << "" << 16;
}

void TestSettings::specialFolderNames()
{
    QFETCH(QString, name);
    QFETCH(int, id);

    const FakeFolders folders({ { id, QStringLiteral("/gevonden") } });
    QCOMPARE(specialemap(folders, name), QStringLiteral("/gevonden"));
    QCOMPARE(folders.m_asked, QList<int> { id });
}

void TestSettings::systemFoldersHaveNoTrailingSeparator()
{
    const SystemSpecialFolders folders;
    for (int id : { 5, 16, 23, 26, 28, 35, 38, 39, 46 }) {
        const QString path = folders.folderPath(id);
        if (path.size() > 1)
            QVERIFY2(!path.endsWith(sep), qPrintable(QString::number(id) + ": " + path));
    }
    QCOMPARE(specialemap(QStringLiteral("USER_DOCUMENTS")),
        QDir::toNativeSeparators(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)));
}

#ifdef Q_OS_WIN

namespace {

const wchar_t* const suiteKey = L"Software\\VB and VBA Program Settings\\Korvalen 3.5";

// A value as the office programs keep theirs (Visual Basic's SaveSetting): a string, under the suite's key.
bool writeOfficeValue(const wchar_t* section, const wchar_t* key, const QString& value)
{
    const std::wstring path = std::wstring(suiteKey) + L"\\" + section;
    const std::wstring text = value.toStdWString();
    return RegSetKeyValueW(
               HKEY_CURRENT_USER, path.c_str(), key, REG_SZ, text.c_str(), DWORD((text.size() + 1) * sizeof(wchar_t)))
        == ERROR_SUCCESS;
}

// A string value as the office programs read it (GetSetting), or nothing when it is absent or no string.
std::optional<QString> readOfficeValue(const wchar_t* section, const wchar_t* key)
{
    const std::wstring path = std::wstring(suiteKey) + L"\\" + section;
    wchar_t buffer[1024];
    DWORD size = sizeof buffer;
    if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), key, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return QString::fromWCharArray(buffer);
}

} // namespace

void TestSettings::registryIsSharedWithTheOffice_data()
{
    QTest::addColumn<QString>("index");
    QTest::addColumn<QString>("installPath");
    QTest::addColumn<QString>("datamap");

    QTest::newRow("the office's own folder") << "2"
                                             << "D:\\Wedstrijden"
                                             << "D:\\Wedstrijden\\";
    QTest::newRow("an index of 1.6 rounds to the own folder") << "1.6"
                                                              << "E:\\Korvalen\\"
                                                              << "E:\\Korvalen\\";
    QTest::newRow("the user's documents") << "0"
                                          << "D:\\Wedstrijden"
                                          << "C:\\Users\\ring\\Documents\\Mijn Korvalen 3.5 bestanden\\";
}

// The registry store reads the office's "Database" values as the office wrote them and keeps the station's two
// values as strings beside them, where the office programs read them.
void TestSettings::registryIsSharedWithTheOffice()
{
    QFETCH(QString, index);
    QFETCH(QString, installPath);
    QFETCH(QString, datamap);
    QVERIFY(writeOfficeValue(L"Database", L"InstallPathIndex", index));
    QVERIFY(writeOfficeValue(L"Database", L"InstallPath", installPath));

    RegistrySettingsStore store;
    AppState state;
    bepaalpaden(state, store, FakeFolders({ { SpecialFolders::UserDocuments, "C:\\Users\\ring\\Documents" } }));
    QCOMPARE(state.datamap, datamap);
    QCOMPARE(state.gedeeldemap, datamap + "GEDEELD\\");

    state.setBestandspad(state.gedeeldemap + "baldovenaar rst-0001.dvz");
    state.scale = 0.0375;
    QVERIFY(bewaarinstellingen(state, store));
    QCOMPARE(readOfficeValue(L"Baldovenaar", L"lastfile").value_or("(absent)"), state.bestandspad());
    QCOMPARE(readOfficeValue(L"Baldovenaar", L"scale").value_or("(absent)"), scaleToSetting(0.0375));
    // The office's section stays as the office left it.
    QCOMPARE(readOfficeValue(L"Database", L"InstallPath").value_or("(absent)"), installPath);
    QCOMPARE(readOfficeValue(L"Database", L"InstallPathIndex").value_or("(absent)"), index);

    AppState loaded;
    leesinstellingen(loaded, store);
    QCOMPARE(loaded.bestandspad(), state.bestandspad());
    QCOMPARE(loaded.scale, 0.0375);
}

#endif

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
