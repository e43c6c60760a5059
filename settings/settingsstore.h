#pragma once

#include <QString>
#include <memory>

// The per-user settings store the station shares with the suite's office programs, addressed by
// section and key under the application "Korvalen 3.5". Values are plain strings, given back exactly as
// they were written. On Windows it is the registry key the office programs use; elsewhere an INI file
// in the user's configuration folder.
class SettingsStore
{
public:
    static QString applicationName() { return QStringLiteral("Korvalen 3.5"); }

    virtual ~SettingsStore();

    // The value of a key, or defaultValue when the key (or the whole store) is absent or unreadable.
    virtual QString value(const QString& section, const QString& key, const QString& defaultValue) const = 0;
    // Stores a value; false when it could not be stored (nothing is changed then).
    virtual bool setValue(const QString& section, const QString& key, const QString& value) = 0;

    // The current user's store on this platform.
    static std::unique_ptr<SettingsStore> forUser();
};
