#include "registrysettingsstore.h"

#ifdef Q_OS_WIN

#include <QSettings>
#include <QVariant>

RegistrySettingsStore::RegistrySettingsStore()
    : m_path(QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\") + applicationName())
{
}

QString RegistrySettingsStore::value(const QString& section, const QString& key, const QString& defaultValue) const
{
    QSettings settings(m_path, QSettings::NativeFormat);
    settings.beginGroup(section);
    const QVariant value = settings.value(key);
    if (!value.isValid())
        return defaultValue;
    return value.toString();
}

bool RegistrySettingsStore::setValue(const QString& section, const QString& key, const QString& value)
{
    QSettings settings(m_path, QSettings::NativeFormat);
    settings.beginGroup(section);
    settings.setValue(key, value);
    settings.endGroup();
    settings.sync();
    return settings.status() == QSettings::NoError;
}

#endif
