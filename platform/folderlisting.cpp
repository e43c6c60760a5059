#include "folderlisting.h"

#include "faults.h"
#include "fileattributes.h"
#include "paths.h"

#include <QDir>
#include <QDirIterator>
#include <algorithm>

namespace platform {

namespace {

// Upper case per UTF-16 code unit, as NTFS's upcase table works (no change of length, "ß" stays "ß").
char16_t upper(char16_t c)
{
    const char32_t u = QChar::toUpper(char32_t(c));
    return u <= 0xFFFF ? char16_t(u) : c;
}

bool sameLetter(QChar a, QChar b)
{
    return a == b || upper(a.unicode()) == upper(b.unicode());
}

QString upperCased(const QString& name)
{
    QString result = name;
    for (QChar& c : result)
        c = QChar(upper(c.unicode()));
    return result;
}

bool isSeparator(QChar c)
{
#ifdef Q_OS_WIN
    return c == u'/' || c == u'\\' || c == u':';
#else
    return c == u'/';
#endif
}

} // namespace

// Greedy matching that, on a mismatch, goes back only to the last '*' and lets it take one more character.
// Earlier stars never need to be revisited, so the work is at most pattern length times name length, also
// for patterns such as "*a*a*a*a*b" (a recursive matcher takes exponential time there).
bool matchesWildcard(QStringView pattern, QStringView name)
{
    qsizetype p = 0;
    qsizetype n = 0;
    qsizetype starPattern = -1; // position after the last '*' seen
    qsizetype starName = 0; // where that '*' began its run in the name
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            starPattern = ++p;
            starName = n;
        } else if (p < pattern.size() && (pattern[p] == u'?' || sameLetter(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (starPattern >= 0) {
            p = starPattern;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

namespace {

// The names in `folder` that match `pattern` and are files (regular files and links to them), sorted as an
// NTFS folder returns them, with what goes before a name to make it a path. Nothing is asked of each file
// beyond what the folder's listing tells: on a share every further question is a round trip to the server.
QStringList sortedMatches(const QString& folder, const QString& pattern, QString& prefix)
{
    if (faults::check(faults::Operation::List, folder) || endsEarlyForTheSystem(folder))
        return {};
    const QString directory = folder.isEmpty() ? QStringLiteral(".") : folder;
    if (!folder.isEmpty())
        prefix = isSeparator(folder.back()) ? folder : folder + u'/';

    // The iterator's own filters are made wide (Hidden: Unix dot-files, which are ordinary files to the
    // office, and Windows hidden files; System: Windows system files), and what counts as a file is decided
    // here: regular files and links to them, not folders, fifos, sockets or broken links. Whether a file is
    // hidden or system is decided by its attributes, by the caller.
    QDirIterator it(directory, QDir::Files | QDir::Hidden | QDir::System);
    QStringList names;
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (matchesWildcard(pattern, name) && it.fileInfo().isFile())
            names.append(name);
    }

    // The order an NTFS folder returns, made here because FAT, SMB and Unix folders return their own.
    // Names that differ only in case (possible outside Windows) are put in code-unit order for a stable result.
    QList<std::pair<QString, QString>> keyed;
    keyed.reserve(names.size());
    for (const QString& name : std::as_const(names))
        keyed.append({ upperCased(name), name });
    std::sort(keyed.begin(), keyed.end());
    QStringList sorted;
    sorted.reserve(keyed.size());
    for (const auto& entry : std::as_const(keyed))
        sorted.append(entry.second);
    return sorted;
}

// Whether a normal listing shows the file: its attributes can be read and it is neither hidden nor system.
bool shownNormally(const QString& path)
{
    const auto attributes = fileAttributes(path);
    return attributes && !(*attributes & (AttrHidden | AttrSystem));
}

} // namespace

QStringList listFolder(const QString& folder, const QString& pattern, Listing which)
{
    QString prefix;
    QStringList names = sortedMatches(folder, pattern, prefix);
    if (which == Listing::Normal)
        names.removeIf([&](const QString& name) { return !shownNormally(prefix + name); });
    return names;
}

std::optional<QString> firstMatch(const QString& folder, const QString& pattern, Listing which)
{
    QString prefix;
    // The attributes only of the names before the first one a normal listing shows: usually one file.
    for (const QString& name : sortedMatches(folder, pattern, prefix)) {
        if (which == Listing::IncludeHidden || shownNormally(prefix + name))
            return name;
    }
    return std::nullopt;
}

std::optional<LookedMatch> firstMatchLooked(const QString& folder, const QString& pattern)
{
    QString prefix;
    for (const QString& name : sortedMatches(folder, pattern, prefix)) {
        std::optional<FileLook> look = lookAtFile(prefix + name);
        if (look && !(look->attributes & (AttrHidden | AttrSystem)))
            return LookedMatch { name, *look };
    }
    return std::nullopt;
}

} // namespace platform
