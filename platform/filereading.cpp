#include "filereading.h"

#include "faults.h"
#include "paths.h"

#include <QFile>
#include <QFileInfo>
#include <optional>

#ifndef Q_OS_WIN
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {

namespace {

QString notAFile()
{
    return QStringLiteral("geen gewoon bestand");
}

// Why a path is not even opened: the system would cut it short at a NUL (and open another file), or a
// test made the open fail.
std::optional<QString> refusedBeforeOpen(const QString& path)
{
    if (endsEarlyForTheSystem(path))
        return invalidNameReason();
    return faults::check(faults::Operation::Open, path);
}

} // namespace

#ifdef Q_OS_WIN

// Windows has no FIFOs in a folder.
FileRead readFileStart(const QString& path, qint64 maxBytes)
{
    FileRead result;
    if (const auto refused = refusedBeforeOpen(path)) {
        result.error = *refused;
        return result;
    }
    if (!QFileInfo(path).isFile()) {
        result.error = notAFile();
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = file.errorString();
        return result;
    }
    result.opened = true;
    if (const auto injected = faults::check(faults::Operation::Read, path)) {
        result.error = *injected;
        return result;
    }
    result.bytes = file.read(qMax<qint64>(0, qMin(file.size(), maxBytes)));
    if (file.error() != QFileDevice::NoError)
        result.error = file.errorString();
    return result;
}

#else

FileRead readFileStart(const QString& path, qint64 maxBytes)
{
    FileRead result;
    if (const auto refused = refusedBeforeOpen(path)) {
        result.error = *refused;
        return result;
    }
    const QByteArray native = QFile::encodeName(path);
    // Non-blocking, so that opening a FIFO returns at once; the type is checked on what was opened, so a
    // file swapped for something else after a look at its name is caught too.
    int fd;
    do {
        fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        result.error = qt_error_string(errno);
        return result;
    }
    struct stat info = {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        result.error = notAFile();
        return result;
    }
    result.opened = true;
    if (const auto injected = faults::check(faults::Operation::Read, path)) {
        ::close(fd);
        result.error = *injected;
        return result;
    }
    // The size is a hint only: the file may grow or shrink while it is read.
    const qint64 expected = qBound<qint64>(0, qint64(info.st_size), maxBytes);
    result.bytes.reserve(expected);
    char buffer[64 * 1024];
    while (result.bytes.size() < maxBytes) {
        const ssize_t count
            = ::read(fd, buffer, size_t(qMin<qint64>(qint64(sizeof buffer), maxBytes - result.bytes.size())));
        if (count < 0) {
            if (errno == EINTR)
                continue;
            result.error = qt_error_string(errno);
            break;
        }
        if (count == 0)
            break;
        result.bytes.append(buffer, qsizetype(count));
    }
    ::close(fd);
    return result;
}

#endif

} // namespace platform
