#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// What a read of a file from its start gave.
struct FileRead
{
    bool opened = false; // the file was opened: it is a regular file (or a link to one) that may be read
    QByteArray bytes; // what was read
    QString error; // why it could not be opened or read to its end, in the system's words; empty when it was
    bool ok() const { return opened && error.isEmpty(); }
};

// Reads a regular file from its start, at most `maxBytes` bytes. A path that names anything else (a folder,
// a FIFO, a device, a socket, or a link to one) is refused without waiting: a FIFO put in place of the
// office's file would otherwise hold the station in its open until some program writes to it. Injected
// faults of the operations Open and Read (platform/faults.h) apply.
FileRead readFileStart(const QString& path, qint64 maxBytes);

} // namespace platform
