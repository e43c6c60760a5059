#pragma once

#include <QString>

namespace platform {

// The reason a file operation failed, for the official: the common reasons in Dutch (the disk is full, no
// rights, the folder is gone, not a folder, read-only, the connection to a share lost), followed by the
// system's own words, which a helpdesk can look up; any other reason as the system gave it.
// The reason is recognised by the system's own text for each error, so it holds in any language the
// system speaks.
QString reasonInDutch(const QString& text);

} // namespace platform
