#include "fileattributes.h"

#include "faults.h"
#include "paths.h"

#include <QDir>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#include <string>
#else
#include <QFile>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <sys/stat.h>
#ifdef Q_OS_LINUX
#include <sys/xattr.h>
#endif
#endif

namespace platform {

namespace {

// The bits this layer reads and sets; everything else a file system reports is left out.
constexpr int knownBits = AttrReadOnly | AttrHidden | AttrSystem | AttrArchive;
constexpr quint32 dosNormal = 0x80;

} // namespace

namespace dosattrib {

std::optional<quint32> decode(QByteArrayView bytes)
{
    if (bytes.size() != 4)
        return std::nullopt;
    const auto byte = [&](int k) { return quint32(static_cast<unsigned char>(bytes[k])); };
    return byte(0) | (byte(1) << 8) | (byte(2) << 16) | (byte(3) << 24);
}

QByteArray encode(quint32 value)
{
    QByteArray bytes(4, Qt::Uninitialized);
    for (int k = 0; k < 4; ++k)
        bytes[k] = char((value >> (8 * k)) & 0xFF);
    return bytes;
}

int toAttributes(quint32 value)
{
    return int(value & quint32(knownBits));
}

quint32 forSet(quint32 previous, int attributes)
{
    const quint32 kept = previous & ~(quint32(knownBits) | dosNormal);
    const quint32 value = kept | quint32(attributes & knownBits);
    return value == 0 ? dosNormal : value;
}

} // namespace dosattrib

const char* attributeSourceName(AttributeSource source)
{
    switch (source) {
    case AttributeSource::System:
        return "the system's";
    case AttributeSource::SmbClient:
        return "the SMB client's (user.cifs.dosattrib)";
    case AttributeSource::Emulation:
        return "emulated";
    }
    return "?";
}

std::optional<QDateTime> lastModified(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return std::nullopt;
    const QDateTime modified = info.lastModified(); // local time
    if (!modified.isValid())
        return std::nullopt;
    return modified;
}

#ifdef Q_OS_WIN

// Windows: the file system's own attributes.
namespace {

std::wstring nativePath(const QString& path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

std::optional<BY_HANDLE_FILE_INFORMATION> fileInformation(const QString& path)
{
    if (endsEarlyForTheSystem(path))
        return std::nullopt;
    const std::wstring native = nativePath(path);
    // No access rights are needed to read the metadata; share everything so a writer is never blocked.
    HANDLE handle = CreateFileW(native.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info {};
    const BOOL ok = GetFileInformationByHandle(handle, &info);
    CloseHandle(handle);
    if (!ok || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return info;
}

FileStamp stampOf(const BY_HANDLE_FILE_INFORMATION& info)
{
    // FILETIME counts 100 ns since 1601-01-01; the stamp counts ns since 1970-01-01.
    constexpr qint64 epochDifference = 116444736000000000LL;
    const qint64 ticks = (qint64(info.ftLastWriteTime.dwHighDateTime) << 32) | info.ftLastWriteTime.dwLowDateTime;
    FileStamp stamp;
    stamp.size = (qint64(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    stamp.mtimeNs = (ticks - epochDifference) * 100;
    stamp.inode = (qint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return stamp;
}

} // namespace

std::optional<int> fileAttributes(const QString& path)
{
    if (faults::check(faults::Operation::GetAttributes, path) || endsEarlyForTheSystem(path))
        return std::nullopt;
    const DWORD attributes = GetFileAttributesW(nativePath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return int(attributes & knownBits);
}

bool setFileAttributes(const QString& path, int attributes)
{
    if (faults::check(faults::Operation::SetAttributes, path) || endsEarlyForTheSystem(path))
        return false;
    const std::wstring native = nativePath(path);
    const DWORD current = GetFileAttributesW(native.c_str());
    if (current == INVALID_FILE_ATTRIBUTES || (current & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    const DWORD wanted = DWORD(attributes & knownBits);
    return SetFileAttributesW(native.c_str(), wanted == 0 ? FILE_ATTRIBUTE_NORMAL : wanted) != 0;
}

std::optional<FileStamp> fileStamp(const QString& path)
{
    const auto info = fileInformation(path);
    if (!info)
        return std::nullopt;
    return stampOf(*info);
}

bool setFileAttributesIfUnchanged(const QString& path, int attributes, const FileStamp& expected)
{
    if (faults::check(faults::Operation::SetAttributes, path))
        return false;
    const auto stamp = fileStamp(path);
    if (!stamp || *stamp != expected)
        return false;
    return setFileAttributes(path, attributes);
}

AttributeSource attributeSource(const QString&)
{
    return AttributeSource::System;
}

std::optional<FileLook> lookAtFile(const QString& path)
{
    if (faults::check(faults::Operation::GetAttributes, path))
        return std::nullopt;
    const auto info = fileInformation(path);
    if (!info)
        return std::nullopt;
    FileLook look;
    look.stamp = stampOf(*info);
    look.modified = QDateTime::fromMSecsSinceEpoch(look.stamp.mtimeNs / 1000000);
    look.attributes = int(info->dwFileAttributes & knownBits);
    look.source = AttributeSource::System;
    return look;
}

// Windows keeps the attributes with the file through a rename, and forgets them with it.
void noteRenamed(const QString&, const QString&) { }

void noteRemoved(const QString&) { }

#else // not Q_OS_WIN

namespace {

// Everything the emulation compares: identity (device, inode) and change stamp.
struct Stamp
{
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = -1;
    qint64 mtimeNs = -1;
    qint64 ctimeNs = -1;
    friend bool operator==(const Stamp&, const Stamp&) = default;
};

qint64 nanoseconds(const struct timespec& time)
{
    return qint64(time.tv_sec) * 1000000000LL + time.tv_nsec;
}

// The stamp of a regular file (links followed), or nothing for a folder, a missing file and the like.
std::optional<Stamp> statFile(const QByteArray& nativePath)
{
    if (nativePath.contains('\0'))
        return std::nullopt; // the system would look at a file of a shorter name
    struct stat info = {};
    if (::stat(nativePath.constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    Stamp stamp;
    stamp.device = quint64(info.st_dev);
    stamp.inode = quint64(info.st_ino);
    stamp.size = qint64(info.st_size);
    stamp.mtimeNs = nanoseconds(info.st_mtim);
    stamp.ctimeNs = nanoseconds(info.st_ctim);
    return stamp;
}

FileStamp publicStamp(const Stamp& stamp)
{
    FileStamp result;
    result.size = stamp.size;
    result.mtimeNs = stamp.mtimeNs;
    result.inode = qint64(stamp.inode);
    return result;
}

// The SMB client's DOS attributes of a file, when its file system offers them.
std::optional<quint32> readDosAttrib(const QByteArray& nativePath)
{
#ifdef Q_OS_LINUX
    char buffer[16];
    const ssize_t length = ::getxattr(nativePath.constData(), "user.cifs.dosattrib", buffer, sizeof buffer);
    if (length != 4)
        return std::nullopt;
    return dosattrib::decode(QByteArrayView(buffer, 4));
#else
    Q_UNUSED(nativePath);
    return std::nullopt;
#endif
}

bool writeDosAttrib(const QByteArray& nativePath, quint32 previous, int attributes)
{
#ifdef Q_OS_LINUX
    const QByteArray value = dosattrib::encode(dosattrib::forSet(previous, attributes));
    return ::setxattr(nativePath.constData(), "user.cifs.dosattrib", value.constData(), size_t(value.size()), 0) == 0;
#else
    Q_UNUSED(nativePath);
    Q_UNUSED(previous);
    Q_UNUSED(attributes);
    return false;
#endif
}

// The emulation's memory, standing in for the file system's own attribute store: per file the stamp
// seen when this process last set its attributes, and the bits it set. Process-wide, as the
// attributes of a file are.
//
// Two choices beyond the rule "changed since the set: archive added to the remembered bits":
// - A file with another device or inode under the same name (replaced by a rename, or deleted and
//   created anew) is a file this process never set: it reads "archive" only, as a new file does on
//   Windows. (When the file system hands the freed inode to the new file, the plain rule applies.)
// - The stamp is only as fine as the file system's clock: a rewrite in place that keeps the size and
//   lands in the same clock tick as the recorded stamp (a few milliseconds on ext4, 2 s on FAT) cannot
//   be told from the recorded file; the office's next write shows again.
class Registry
{
public:
    static Registry& instance()
    {
        static Registry registry;
        return registry;
    }

    int attributes(const QString& key, const Stamp& stamp)
    {
        const QMutexLocker lock(&m_mutex);
        const auto it = m_entries.constFind(key);
        if (it == m_entries.cend())
            return AttrArchive; // never set by this process: as written by someone else
        if (it->stamp == stamp)
            return it->bits;
        if (it->stamp.device != stamp.device || it->stamp.inode != stamp.inode) {
            // Another file now has this name (replaced, or deleted and created anew): this process
            // never set its attributes.
            m_entries.erase(it);
            return AttrArchive;
        }
        return it->bits | AttrArchive; // written since: the write sets "archive", the rest stays
    }

    void record(const QString& key, const Stamp& stamp, int bits)
    {
        const QMutexLocker lock(&m_mutex);
        m_entries.insert(key, Entry { stamp, bits });
        if (m_entries.size() >= m_pruneAt) {
            forgetMissingFiles();
            m_pruneAt = qMax<qsizetype>(256, 2 * m_entries.size());
        }
    }

    // The file known as `fromKey` now has the name `toKey`; `stamp` is what it looks like there (a rename
    // changes its change time). What was recorded under `toKey` belonged to the file it replaced.
    void move(const QString& fromKey, const QString& toKey, const std::optional<Stamp>& stamp)
    {
        const QMutexLocker lock(&m_mutex);
        const auto it = m_entries.constFind(fromKey);
        const std::optional<Entry> moved = it == m_entries.cend() ? std::nullopt : std::optional<Entry>(*it);
        m_entries.remove(fromKey);
        m_entries.remove(toKey);
        if (moved && stamp && moved->stamp.device == stamp->device && moved->stamp.inode == stamp->inode)
            m_entries.insert(toKey, Entry { *stamp, moved->bits });
    }

    void forget(const QString& key)
    {
        const QMutexLocker lock(&m_mutex);
        m_entries.remove(key);
    }

private:
    struct Entry
    {
        Stamp stamp;
        int bits = 0;
    };

    // Mutation files come and go all day; entries of files that are gone only take memory.
    void forgetMissingFiles()
    {
        for (auto it = m_entries.begin(); it != m_entries.end();) {
            if (statFile(QFile::encodeName(it.key())))
                ++it;
            else
                it = m_entries.erase(it);
        }
    }

    QMutex m_mutex;
    QHash<QString, Entry> m_entries;
    qsizetype m_pruneAt = 256;
};

// The registry's key of a path: the canonical folder and the name, so that "a/./b", a relative path and
// a path through a linked folder name the same file, also once the file is gone. The canonical name of a
// folder is looked up once per process and kept: on a share each component of the path is one more round
// trip to the server at every check, and a folder that becomes a link to another one while the station runs
// is no folder the station follows.
QString canonicalFolder(const QString& absoluteFolder)
{
    static QMutex mutex;
    static QHash<QString, QString> known;
    {
        const QMutexLocker lock(&mutex);
        const auto it = known.constFind(absoluteFolder);
        if (it != known.cend())
            return *it;
    }
    const QString canonical = QFileInfo(absoluteFolder).canonicalFilePath();
    // A folder that cannot be resolved now (gone, unreachable) is asked again next time.
    if (!canonical.isEmpty()) {
        const QMutexLocker lock(&mutex);
        if (known.size() > 64)
            known.clear(); // a station follows a folder or two; this only keeps a strange day bounded
        known.insert(absoluteFolder, canonical);
    }
    return canonical;
}

QString registryKey(const QString& path)
{
    const QFileInfo info(path);
    const QString folder = canonicalFolder(info.absolutePath());
    if (folder.isEmpty())
        return info.absoluteFilePath();
    return folder == QLatin1String("/") ? folder + info.fileName() : folder + u'/' + info.fileName();
}

bool setAttributesOf(const QString& path, const QByteArray& native, const Stamp& stamp, int attributes)
{
    if (const auto dos = readDosAttrib(native))
        return writeDosAttrib(native, *dos, attributes);
    // Emulation: nothing is written to the file; the stamp just taken is remembered with the bits, so
    // any later write (which changes size, modification or change time) shows as "archive set".
    Registry::instance().record(registryKey(path), stamp, attributes & knownBits);
    return true;
}

} // namespace

std::optional<int> fileAttributes(const QString& path)
{
    if (const auto look = lookAtFile(path))
        return look->attributes;
    return std::nullopt;
}

bool setFileAttributes(const QString& path, int attributes)
{
    if (faults::check(faults::Operation::SetAttributes, path))
        return false;
    const QByteArray native = QFile::encodeName(path);
    const auto stamp = statFile(native);
    if (!stamp)
        return false;
    return setAttributesOf(path, native, *stamp, attributes);
}

std::optional<FileStamp> fileStamp(const QString& path)
{
    const auto stamp = statFile(QFile::encodeName(path));
    if (!stamp)
        return std::nullopt;
    return publicStamp(*stamp);
}

bool setFileAttributesIfUnchanged(const QString& path, int attributes, const FileStamp& expected)
{
    if (faults::check(faults::Operation::SetAttributes, path))
        return false;
    const QByteArray native = QFile::encodeName(path);
    const auto stamp = statFile(native);
    if (!stamp || publicStamp(*stamp) != expected)
        return false;
    return setAttributesOf(path, native, *stamp, attributes);
}

std::optional<FileLook> lookAtFile(const QString& path)
{
    if (faults::check(faults::Operation::GetAttributes, path))
        return std::nullopt;
    const QByteArray native = QFile::encodeName(path);
    const auto stamp = statFile(native);
    if (!stamp)
        return std::nullopt;
    FileLook look;
    look.stamp = publicStamp(*stamp);
    look.modified = QDateTime::fromMSecsSinceEpoch(stamp->mtimeNs / 1000000);
    if (const auto dos = readDosAttrib(native)) {
        look.attributes = dosattrib::toAttributes(*dos);
        look.source = AttributeSource::SmbClient;
    } else {
        look.attributes = Registry::instance().attributes(registryKey(path), *stamp);
        look.source = AttributeSource::Emulation;
    }
    return look;
}

AttributeSource attributeSource(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    if (statFile(native) && readDosAttrib(native))
        return AttributeSource::SmbClient;
    return AttributeSource::Emulation;
}

void noteRenamed(const QString& from, const QString& to)
{
    // On an SMB mount the server moved the real attributes with the file; only the emulation remembers.
    Registry::instance().move(registryKey(from), registryKey(to), statFile(QFile::encodeName(to)));
}

void noteRemoved(const QString& path)
{
    Registry::instance().forget(registryKey(path));
}

#endif // Q_OS_WIN

} // namespace platform
