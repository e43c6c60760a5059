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

// What the station saved in its own section of the store: the INI file's text; on Windows the same lines
// ("lastfile=...", "scale=...") made from the registry values there.
QString savedSettings(const QString& folder);

} // namespace testsupport
