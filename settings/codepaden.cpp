#include "codepaden.h"

#include "appstate.h"
#include "numbers.h"
#include "settingsstore.h"
#include "systemknownfolders.h"
#include "zoomfactor.h"

#include <QDir>
#include <QStringView>

namespace {

QString sectionBaldovenaar()
{
    return QStringLiteral("Baldovenaar");
}

QString sectionDatabase()
{
    return QStringLiteral("Database");
}

struct NamedFolder
{
    QStringView name;
    int id;
};

constexpr NamedFolder namedFolders[] = {
    { u"USER_DESKTOP", SpecialFolders::UserDesktop },
    { u"USER_APPDATA", SpecialFolders::UserAppData },
    { u"USER_LOCAL_APPDATA", SpecialFolders::UserLocalAppData },
    { u"USER_DOCUMENTS", SpecialFolders::UserDocuments },
    { u"USER_PICTURES", SpecialFolders::UserPictures },
    { u"COMMON_PROGRAMS", SpecialFolders::CommonPrograms },
    { u"COMMON_APPDATA", SpecialFolders::CommonAppData },
    { u"COMMON_DOCUMENTS", SpecialFolders::CommonDocuments },
    { u"PROGRAM_FILES", SpecialFolders::ProgramFiles },
    { u"NETWORK", SpecialFolders::Network },
    { u"NETHOOD", SpecialFolders::NetHood },
};

QString withSeparator(QString folder)
{
    const QChar separator = QDir::separator();
    if (!folder.endsWith(separator))
        folder += separator;
    return folder;
}

} // namespace

int specialFolderId(const QString& name)
{
    const QString upper = name.toUpper();
    for (const NamedFolder& folder : namedFolders) {
        if (folder.name == upper)
            return folder.id;
    }
    return SpecialFolders::UserDesktop;
}

QString specialemap(const SpecialFolders& folders, const QString& name)
{
    return folders.folderPath(specialFolderId(name));
}

QString specialemap(const QString& name)
{
    return specialemap(SystemSpecialFolders(), name);
}

void bepaalpaden(AppState& state, const SettingsStore& store, const SpecialFolders& folders)
{
    int index = 0;
    // An index beyond 16 bits fails to convert; the data folder is then the user's documents folder.
    if (const auto rounded = platform::roundToInt16(platform::leadingNumber(
            store.value(sectionDatabase(), QStringLiteral("InstallPathIndex"), QStringLiteral("0")))))
        index = *rounded;
    if (index < 0 || index > 2)
        index = 0;

    QString datamap;
    if (index == 2) {
        datamap = QDir::toNativeSeparators(store.value(sectionDatabase(), QStringLiteral("InstallPath"), QString()));
    } else {
        const QString documents
            = specialemap(folders, index == 0 ? QStringLiteral("USER_DOCUMENTS") : QStringLiteral("COMMON_DOCUMENTS"));
        datamap = withSeparator(QDir::toNativeSeparators(documents))
            + withSeparator(QStringLiteral("Mijn Korvalen 3.5 bestanden"));
    }
    state.datamap = withSeparator(datamap);
    state.gedeeldemap = state.datamap + withSeparator(QStringLiteral("GEDEELD"));
}

double scaleFromSetting(const QString& text)
{
    QString notation = text;
    notation.replace(u',', u'.');
    return zoomfactor::clamp(platform::leadingNumber(notation));
}

QString scaleToSetting(double scale, const QLocale& locale)
{
    // Plain digits whatever the locale (a locale's own digits would not read back); of the system's
    // notation only a decimal comma is taken over, which the loader accepts.
    // Fifteen significant digits, as the office programs write numbers; never an exponent, which the
    // loader would not read.
    QString text = QString::number(scale, 'g', 15);
    if (text.contains(u'e')) {
        text = QString::number(scale, 'f', 20);
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    if (locale.decimalPoint() == QStringLiteral(","))
        text.replace(u'.', u',');
    return text;
}

void leesinstellingen(AppState& state, const SettingsStore& store)
{
    state.setBestandspad(store.value(sectionBaldovenaar(), QStringLiteral("lastfile"), QString()));
    state.scale = scaleFromSetting(store.value(sectionBaldovenaar(), QStringLiteral("scale"), QStringLiteral("0.025")));
}

bool bewaarinstellingen(const AppState& state, SettingsStore& store)
{
    bool saved = store.setValue(sectionBaldovenaar(), QStringLiteral("lastfile"), state.bestandspad());
    // A path the store cannot hold must not leave the previous file to be followed at the next start.
    if (!saved)
        store.setValue(sectionBaldovenaar(), QStringLiteral("lastfile"), QString());
    saved = store.setValue(sectionBaldovenaar(), QStringLiteral("scale"), scaleToSetting(state.scale)) && saved;
    return saved;
}

void bepaalpaden(AppState& state)
{
    const std::unique_ptr<SettingsStore> store = SettingsStore::forUser();
    bepaalpaden(state, *store, SystemSpecialFolders());
}

void leesinstellingen(AppState& state)
{
    const std::unique_ptr<SettingsStore> store = SettingsStore::forUser();
    leesinstellingen(state, *store);
}

void bewaarinstellingen(const AppState& state)
{
    const std::unique_ptr<SettingsStore> store = SettingsStore::forUser();
    bewaarinstellingen(state, *store);
}
