#include "settingsstore.h"

#include "inisettingsstore.h"
#include "registrysettingsstore.h"

#include <QtGlobal>

SettingsStore::~SettingsStore() = default;

std::unique_ptr<SettingsStore> SettingsStore::forUser()
{
#ifdef Q_OS_WIN
    return std::make_unique<RegistrySettingsStore>();
#else
    return std::make_unique<IniSettingsStore>(IniSettingsStore::userFilePath());
#endif
}
