#pragma once

#include "fileattributes.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

namespace platform {

// Which files a listing returns, as the Windows folder listing's attribute filter does: a normal
// listing leaves hidden and system files out, a hidden listing includes them. Folders are never listed.
enum class Listing { Normal, IncludeHidden };

// Windows wildcard matching: '*' any run of characters (also none), '?' exactly one character, letters
// match regardless of case; every other character ('[' and ']' included) stands for itself.
bool matchesWildcard(QStringView pattern, QStringView name);

// The names (not paths) of the files in `folder` that match `pattern`, in the order an NTFS folder
// returns them: by their upper-cased form, compared code unit by code unit ("_" after letters).
// `folder` may end in a separator or not; an empty folder means the current folder. A folder that
// cannot be read gives an empty list.
QStringList listFolder(const QString& folder, const QString& pattern, Listing which = Listing::Normal);

// The first name of listFolder(), or nothing.
std::optional<QString> firstMatch(const QString& folder, const QString& pattern, Listing which = Listing::Normal);

// The first name of a normal listing with the look at it that told it is shown (its stamp, modification time
// and attributes): on a share the check of the followed file asks the server nothing more than this.
struct LookedMatch
{
    QString name;
    FileLook look;
};
std::optional<LookedMatch> firstMatchLooked(const QString& folder, const QString& pattern);

} // namespace platform
