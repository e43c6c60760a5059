#pragma once

#include <QLoggingCategory>

// The station's logging categories, for whoever must find out at a show why a station does what it does
// (why it does not pick up the office's file, what a send wrote) without a debugger. Both are off by
// default: nothing is logged unless switched on, for example
//
//     QT_LOGGING_RULES="baldovenaar.*=true" baldovenaar
//
// baldovenaar.follow: every check of the followed file: the look-up, the date, the attributes and where they
//                     come from (the system's, the SMB client's or the emulation), whether the file is read and
//                     why, whether the read counts and why, and whether the list replaced or was merged; then
//                     "shown: sha1 <hex> of <name>": the SHA-1 of the bytes whose list is now on screen.
// baldovenaar.send:   every send and clean-up: the mutation files written, kept and removed, and every failure.
Q_DECLARE_LOGGING_CATEGORY(lcFollow)
Q_DECLARE_LOGGING_CATEGORY(lcSend)
