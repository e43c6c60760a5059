#pragma once

#include <QByteArrayView>
#include <QString>

namespace platform {

// What became of a file operation: no error when it worked, otherwise the reason in the system's words
// (never empty then), for a message to the user.
struct FileResult
{
    QString error;
    bool ok() const { return error.isEmpty(); }
};

// The name a file is written under before it is moved into place: the final name followed by ".tmp".
// Whatever pattern the office reads the final names with, the temporary name ends in another extension,
// and so does its Windows short name ("…~1.TMP"), so no reader takes it for a finished file.
QString temporaryPathFor(const QString& path);

// Writes a file whole, so that a reader of the folder sees either the previous file or the new one, never
// a part: the bytes go to the temporary name in the same folder (a leftover of an earlier attempt is
// removed first), are flushed to the disk, the file gets `attributes` (FileAttribute bits), and is then
// moved over `path` in one step, replacing a file of that name whatever its attributes. On failure
// nothing is left under the temporary name and `path` is as it was. That the attributes could not be set
// does not count as failure: the content still reaches its reader.
[[nodiscard]] FileResult writeFileWhole(const QString& path, QByteArrayView bytes, int attributes);

// Deletes a file after resetting its attributes to normal (Windows refuses to delete a read-only file).
FileResult removeFile(const QString& path);

} // namespace platform
