#include "folderlisting.h"

#include "faults.h"
#include "fileattributes.h"

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

QStringList listFolder(const QString& folder, const QString& pattern, Listing which)
{
    if (faults::check(faults::Operation::List, folder))
        return {};
    const QString directory = folder.isEmpty() ? QStringLiteral(".") : folder;
    QString prefix; // what goes before a name to make it a path
    if (!folder.isEmpty())
        prefix = isSeparator(folder.back()) ? folder : folder + u'/';

    // The iterator's own filters are made wide (Hidden: Unix dot-files, which are ordinary files to the
    // office, and Windows hidden files; System: Windows system files), and what counts as a file is decided
    // here: regular files and links to them, not folders, fifos, sockets or broken links. Whether a file is
    // hidden or system is decided by its attributes below.
    QDirIterator it(directory, QDir::Files | QDir::Hidden | QDir::System);
    QStringList names;
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (!matchesWildcard(pattern, name) || !it.fileInfo().isFile())
            continue;
        if (which == Listing::Normal) {
            const auto attributes = fileAttributes(prefix + name);
            if (!attributes || (*attributes & (AttrHidden | AttrSystem)))
                continue;
        }
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

std::optional<QString> firstMatch(const QString& folder, const QString& pattern, Listing which)
{
    const QStringList names = listFolder(folder, pattern, which);
    if (names.isEmpty())
        return std::nullopt;
    return names.first();
}

} // namespace platform
