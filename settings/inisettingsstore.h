#pragma once

#include "settingsstore.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <optional>

// The settings store where there is no registry: one INI file, "[section]" headers and "key=value"
// lines, read and written the way the office programs' own INI routines do. A value is the rest of its
// line with the surrounding blanks removed, taken literally: no escapes, so a hand-written "D:\new" or
// "0,05" reads back exactly as it stands; one pair of enclosing double quotes is dropped (and added on
// writing where a value would otherwise lose blanks or quotes). Section and key names compare without
// regard to case. Lines may end in CR LF, LF or CR, as any editor leaves them; a line is UTF-8 or, when
// it is not, Windows-1252. Writing changes only the one line concerned and keeps the rest of the file
// (the office's own section, comments, order, line ends and bytes) exactly as it was; the file is
// replaced atomically, never when the user made it read-only.
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
    // Fails for a value with a line break (an INI line cannot hold one), for a read-only file and when
    // the file cannot be written; the file is then left as it was.
    bool setValue(const QString& section, const QString& key, const QString& value) override;

    // The INI rules on the file's bytes, without the file.
    static std::optional<QString> findValue(QByteArrayView bytes, QStringView section, QStringView key);
    static QByteArray withValue(QByteArrayView bytes, QStringView section, QStringView key, const QString& value);

private:
    QString m_filePath;
};
