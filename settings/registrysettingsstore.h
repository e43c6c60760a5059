#pragma once

#include <QtGlobal>

#ifdef Q_OS_WIN

#include "settingsstore.h"

#include <QString>

// The settings store on Windows: HKEY_CURRENT_USER\Software\VB and VBA Program Settings\Korvalen 3.5,
// one subkey per section, string values, where the suite's office programs keep theirs.
class RegistrySettingsStore : public SettingsStore
{
public:
    RegistrySettingsStore();

    QString value(const QString& section, const QString& key, const QString& defaultValue) const override;
    bool setValue(const QString& section, const QString& key, const QString& value) override;

private:
    QString m_path;
};

#endif
