#include "filewriting.h"

#include "faults.h"
#include "fileattributes.h"
#include "paths.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <QDir>
#include <qt_windows.h>
#include <string>
#else
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace platform {

namespace {

FileResult failure(const QString& reason)
{
    return FileResult { reason.isEmpty() ? QStringLiteral("onbekende oorzaak") : reason };
}

#ifdef Q_OS_WIN

// The path as Win32 takes it; long paths get the "\\?\" prefix that lifts the 260-character limit.
std::wstring win32Path(const QString& path)
{
    // The prefix also switches off Windows' own clean-up of "." and "..", so the path is cleaned here.
    QString native = QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    if (native.size() >= MAX_PATH - 12 && !native.startsWith(QLatin1String("\\\\?\\"))) {
        if (native.startsWith(QLatin1String("\\\\")))
            native = QStringLiteral("\\\\?\\UNC\\") + native.mid(2);
        else
            native = QStringLiteral("\\\\?\\") + native;
    }
    return native.toStdWString();
}

// The system's own words for the last error, in the language of the Windows installation.
QString lastErrorText()
{
    const DWORD code = GetLastError();
    wchar_t* buffer = nullptr;
    const DWORD length
        = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
            nullptr, code, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    const QString text = length > 0 ? QString::fromWCharArray(buffer, int(length)).trimmed()
                                    : QStringLiteral("Windows-fout %1").arg(code);
    LocalFree(buffer);
    return text;
}

QString createAndWrite(const QString& path, QByteArrayView bytes)
{
    const std::wstring native = win32Path(path);
    HANDLE handle = CreateFileW(native.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return lastErrorText();
    QString error;
    if (const auto injected = faults::check(faults::Operation::Write, path))
        error = *injected;
    const char* data = bytes.data();
    qsizetype left = bytes.size();
    while (error.isEmpty() && left > 0) {
        const DWORD chunk = DWORD(qMin<qsizetype>(left, 1 << 20));
        DWORD written = 0;
        if (!WriteFile(handle, data, chunk, &written, nullptr)) {
            error = lastErrorText();
            break;
        }
        data += written;
        left -= written;
    }
    if (error.isEmpty() && !FlushFileBuffers(handle))
        error = lastErrorText();
    if (!CloseHandle(handle) && error.isEmpty())
        error = lastErrorText();
    if (!error.isEmpty())
        DeleteFileW(native.c_str());
    return error;
}

QString moveOver(const QString& from, const QString& to)
{
    const std::wstring target = win32Path(to);
    // A hidden, system or read-only target refuses to be replaced: give it normal attributes first.
    const DWORD current = GetFileAttributesW(target.c_str());
    constexpr DWORD refusing = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY;
    if (current != INVALID_FILE_ATTRIBUTES && !(current & FILE_ATTRIBUTE_DIRECTORY) && (current & refusing))
        SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!MoveFileExW(win32Path(from).c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return lastErrorText();
    return QString();
}

QString deleteFile(const QString& path)
{
    if (!DeleteFileW(win32Path(path).c_str()))
        return lastErrorText();
    return QString();
}

#else // not Q_OS_WIN

QString errnoText(int error)
{
    return qt_error_string(error);
}

QString createAndWrite(const QString& path, QByteArrayView bytes)
{
    const QByteArray native = QFile::encodeName(path);
    // A new file only (the leftover was removed just before), and never through a link planted under the
    // temporary name, so nothing is written outside the folder.
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0)
        return errnoText(errno);
    QString error;
    if (const auto injected = faults::check(faults::Operation::Write, path))
        error = *injected;
    const char* data = bytes.data();
    qsizetype left = bytes.size();
    while (error.isEmpty() && left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            error = errnoText(errno);
            break;
        }
        data += written;
        left -= written;
    }
    if (error.isEmpty() && ::fsync(fd) != 0)
        error = errnoText(errno);
    if (::close(fd) != 0 && error.isEmpty())
        error = errnoText(errno);
    if (!error.isEmpty())
        ::unlink(native.constData());
    return error;
}

// Makes a rename in the folder durable; where the file system cannot sync a folder, the rename stands
// as the file system keeps it.
void syncFolderOf(const QString& path)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

QString moveOver(const QString& from, const QString& to)
{
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        return errnoText(errno);
    syncFolderOf(to);
    return QString();
}

QString deleteFile(const QString& path)
{
    if (::unlink(QFile::encodeName(path).constData()) != 0)
        return errnoText(errno);
    return QString();
}

#endif // Q_OS_WIN

bool exists(const QString& path)
{
    // A dangling link counts too: it has to go before the temporary name can be created.
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

QString temporaryPathFor(const QString& path)
{
    return path + QStringLiteral(".tmp");
}

FileResult writeFileWhole(const QString& path, QByteArrayView bytes, int attributes)
{
    if (endsEarlyForTheSystem(path))
        return failure(invalidNameReason());
    const QString temporary = temporaryPathFor(path);
    // Left by an attempt that was cut short (a crash between writing and moving).
    if (exists(temporary))
        (void)removeFile(temporary);

    if (const auto injected = faults::check(faults::Operation::Open, temporary))
        return failure(*injected);
    if (const QString error = createAndWrite(temporary, bytes); !error.isEmpty())
        return failure(error);

    // The attributes go on before the move, so the final name never shows the file without them.
    setFileAttributes(temporary, attributes);

    QString error;
    if (const auto injected = faults::check(faults::Operation::Rename, path))
        error = *injected;
    else
        error = moveOver(temporary, path);
    if (!error.isEmpty()) {
        (void)removeFile(temporary);
        return failure(error);
    }
    noteRenamed(temporary, path);
    return FileResult {};
}

FileResult removeFile(const QString& path)
{
    if (endsEarlyForTheSystem(path))
        return failure(invalidNameReason());
    if (const auto injected = faults::check(faults::Operation::Remove, path))
        return failure(*injected);
    setFileAttributes(path, AttrNormal);
    if (const QString error = deleteFile(path); !error.isEmpty())
        return failure(error);
    noteRemoved(path);
    return FileResult {};
}

} // namespace platform
