#pragma once

#include <QChar>

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

} // namespace platform
