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

} // namespace testsupport
