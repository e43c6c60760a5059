#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace testsupport {

// Writes bytes to a file (creating or truncating it) and sets its modification time; true on success.
bool writeFile(const QString& path, const QByteArray& bytes, const QDateTime& modified = QDateTime());

// Sets a file's modification time.
bool setModified(const QString& path, const QDateTime& modified);

// Reads a whole file, or an empty array.
QByteArray readFile(const QString& path);

// Gives the station's settings store a place of its own, empty, for the test that calls it: the INI file in
// `folder` (XDG_CONFIG_HOME) on Linux and the like; on Windows, where the store is the registry, a key of the
// test's own that takes the place of HKEY_CURRENT_USER for this process, so that no test reads or changes the
// user's settings or those of a test running beside it. The key of the call before is removed.
void useOwnSettings(const QString& folder);

// Whether the test runs under Wine rather than on Windows itself (ntdll has Wine's own export there). For the
// rows that cannot hold under Wine; each says why where it skips.
bool underWine();

// Makes `link` a symbolic link to `target`: on Windows an NTFS symbolic link (which may need Developer Mode, and
// which Wine 8 does not make: CreateSymbolicLinkW succeeds and leaves nothing), elsewhere a Unix one. True when
// the link is there.
bool makeSymbolicLink(const QString& target, const QString& link);

// What the station saved in its own section of the store: the INI file's text; on Windows the same lines
// ("lastfile=...", "scale=...") made from the registry values there.
QString savedSettings(const QString& folder);

} // namespace testsupport

// Wine 8 reports the archive attribute of every file on a Linux file system, whatever was set:
// SetFileAttributesW succeeds and GetFileAttributesW gives 0x20 again (hidden, system and read-only are kept,
// in the user.DOSATTRIB extended attribute), so under Wine the station reads the followed file again at every
// check. On Windows the rows that reset the attribute hold; under Wine they are skipped from this point on.
// A symbolic link for a test row, or the row skipped where the system makes none (see makeSymbolicLink()); on
// Linux and the like a link that cannot be made fails the row.
#ifdef Q_OS_WIN
#define MAKE_SYMBOLIC_LINK_OR_SKIP(target, link)                                                                       \
    if (!testsupport::makeSymbolicLink(target, link))                                                                  \
    QSKIP("no symbolic link can be made here: Wine 8 makes none, Windows only with Developer Mode or as "              \
          "administrator")
#else
#define MAKE_SYMBOLIC_LINK_OR_SKIP(target, link) QVERIFY(testsupport::makeSymbolicLink(target, link))
#endif

#define SKIP_UNDER_WINE_WHEN_ARCHIVE_IS_RESET(reset)                                                                   \
    if (testsupport::underWine() && (reset))                                                                           \
    QSKIP("Wine reports the archive attribute of every file on a Linux file system, whatever was set")
