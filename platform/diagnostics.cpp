#include "diagnostics.h"

// Warnings and worse would be on by default; the station logs only at the info level, so it says nothing
// unless a rule switches the category on.
Q_LOGGING_CATEGORY(lcFollow, "baldovenaar.follow", QtWarningMsg)
Q_LOGGING_CATEGORY(lcSend, "baldovenaar.send", QtWarningMsg)
