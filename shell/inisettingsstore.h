#pragma once

#include "settingsstore.h"

#include <QString>
#include <QStringView>
#include <optional>

// The settings store where there is no registry: one INI file, "[section]" headers and "key=value"
// lines, read and written the way the office programs' own INI routines do. A value is the rest of its
// line with the surrounding blanks removed, taken literally: no escapes, so a hand-written "D:\new" or
// "0,05" reads back exactly as it stands; one pair of enclosing double quotes is dropped (and added on
// writing where a value would otherwise lose blanks or quotes). Section and key names compare without
// regard to case. Writing changes only the one line concerned and keeps the rest of the file (the
// office's own section, comments, order) as it was; the file is replaced atomically.
class IniSettingsStore : public SettingsStore
{
public:
    // Files larger than this are not the station's settings; they are read only this far and never
    // rewritten.
    static constexpr qint64 maximumFileSize = 1 << 20;

    explicit IniSettingsStore(QString filePath);

    // $XDG_CONFIG_HOME/Korvalen 3.5.ini (by default ~/.config/Korvalen 3.5.ini); "" when the platform
    // names no configuration folder.
    static QString userFilePath();

    QString filePath() const { return m_filePath; }

    QString value(const QString& section, const QString& key, const QString& defaultValue) const override;
    // Fails for a value with a line break (an INI line cannot hold one) and when the file cannot be
    // written; the file is then left as it was.
    bool setValue(const QString& section, const QString& key, const QString& value) override;

    // The INI rules on text, without the file.
    static std::optional<QString> findValue(QStringView text, QStringView section, QStringView key);
    static QString withValue(QStringView text, QStringView section, QStringView key, const QString& value);

private:
    QString m_filePath;
};
