#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QString>
#include <optional>

namespace platform {

// DOS file attributes, as the office programs and the station use them as a handshake: the office's
// write sets "archive", the station's read resets the file to "normal".
enum FileAttribute : int {
    AttrNormal = 0,
    AttrReadOnly = 1,
    AttrHidden = 2,
    AttrSystem = 4,
    AttrArchive = 32,
};

// The attributes of a file, or nothing when the file cannot be examined (missing, a folder, no access).
//
// Windows: the real attributes. Linux on an SMB mount that offers "user.cifs.dosattrib": the real DOS
// attributes through that extended attribute. Elsewhere an emulation: a file counts as "archive set"
// while its identity and change stamp (device, inode, size, modification and change time) differ from
// the stamp recorded when this process last set its attributes; the other bits are remembered for
// files this process set them on. A file seen for the first time is "archive set".
std::optional<int> fileAttributes(const QString& path);

// Where fileAttributes() takes a file's attributes from: the system's own (Windows), the SMB client's DOS
// attributes, or the emulation. For diagnostics; the answer may change when the file is replaced.
enum class AttributeSource { System, SmbClient, Emulation };
AttributeSource attributeSource(const QString& path);
const char* attributeSourceName(AttributeSource source);

// Sets the attributes (a combination of FileAttribute values). Fails (false) when the file cannot be
// reached. On the SMB path "normal" is written as 0x80, since 0 means "no change" to the server.
bool setFileAttributes(const QString& path, int attributes);

// The file's last-modification time in local time, or nothing when it cannot be read.
std::optional<QDateTime> lastModified(const QString& path);

// The stamp that decides whether a file changed while it was read: size and modification time.
struct FileStamp
{
    qint64 size = -1;
    qint64 mtimeNs = -1;
    qint64 inode = -1;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};
std::optional<FileStamp> fileStamp(const QString& path);

// What one look at a file tells: its stamp, modification time and attributes, and where the attributes come
// from. On a share every call to the file system is a round trip to the server, so this asks for the file's
// metadata once (and, on Linux, once more for the SMB client's DOS attributes) where fileAttributes(),
// lastModified() and fileStamp() would ask three times. Nothing when the file cannot be examined.
struct FileLook
{
    FileStamp stamp;
    QDateTime modified; // local time
    int attributes = 0;
    AttributeSource source = AttributeSource::Emulation;
};
std::optional<FileLook> lookAtFile(const QString& path);

// Sets the attributes only while the file is still the one `expected` describes (typically the stamp taken
// before a read and found unchanged after it); false when the file has changed since or cannot be reached.
// On the emulation the check and the record use one and the same look at the file, so a write after it
// always shows as "archive set"; on the other paths a write in the instant between check and set can
// still be lost, as with the office programs' own handshake.
bool setFileAttributesIfUnchanged(const QString& path, int attributes, const FileStamp& expected);

// Tells the attribute layer that this process renamed a file (`from` now has the name `to`) or removed one.
// On Windows and on an SMB mount the file system keeps the attributes with the file by itself; the
// emulation moves the bits it remembers to the new name (so a copy made hidden under a temporary name
// reads hidden under its final one) and forgets a removed file.
void noteRenamed(const QString& from, const QString& to);
void noteRemoved(const QString& path);

// The value of the SMB client's "user.cifs.dosattrib" extended attribute, kept apart as pure functions so
// that they are tested without an SMB mount. The value is 4 bytes, little-endian.
namespace dosattrib {
// The value held in the 4 bytes, or nothing when there are not exactly 4.
std::optional<quint32> decode(QByteArrayView bytes);
// The 4 bytes, little-endian.
QByteArray encode(quint32 value);
// The FileAttribute bits of a DOS value (read-only, hidden, system, archive; others are dropped).
int toAttributes(quint32 value);
// The value to write: `previous` with read-only, hidden, system and archive replaced by `attributes`,
// other bits kept; 0x80 ("normal") when nothing would be left, since 0 means "no change" to the server.
quint32 forSet(quint32 previous, int attributes);
} // namespace dosattrib

} // namespace platform
