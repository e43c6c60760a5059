#include "files.h"

#include <QFile>

namespace testsupport {

bool writeFile(const QString& path, const QByteArray& bytes, const QDateTime& modified)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    if (file.write(bytes) != bytes.size())
        return false;
    file.close();
    return !modified.isValid() || setModified(path, modified);
}

bool setModified(const QString& path, const QDateTime& modified)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    return file.setFileTime(modified, QFileDevice::FileModificationTime);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace testsupport
