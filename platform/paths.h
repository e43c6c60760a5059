#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

namespace platform {

// Whether a character ends a folder in a path as the station splits one: "/" and "\" everywhere (the
// suite's office writes Windows paths), and ":" after a drive letter on Windows only. On other systems
// ":" is an ordinary character of a name (a mount such as /mnt/show:2026 is a legal folder).
constexpr bool isFolderSeparator(QChar c)
{
#ifdef Q_OS_WIN
    return c == u'/' || c == u'\\' || c == u':';
#else
    return c == u'/' || c == u'\\';
#endif
}

// Whether a path names something other than it says when handed to the system: the system ends a path at
// its first NUL character, so "a\0b" would name "a" (another file, or the folder the name lies in). Every
// file operation of this layer refuses such a path.
inline bool endsEarlyForTheSystem(QStringView path)
{
    return path.contains(QChar(u'\0'));
}

// The reason given for such a path.
inline QString invalidNameReason()
{
    return QStringLiteral("ongeldige bestandsnaam");
}

} // namespace platform
