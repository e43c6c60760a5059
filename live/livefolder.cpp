#include "livefolder.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

LiveFolder::LiveFolder(const QString& folder)
    : m_folder(folder)
{
}

bool LiveFolder::exists() const
{
    return !m_folder.isEmpty() && QFileInfo(m_folder).isDir();
}

bool LiveFolder::writePage(const QByteArray& page)
{
    return write(QStringLiteral("index.html"), page) && write(QStringLiteral("tv.html"), page);
}

bool LiveFolder::writeStand(const QByteArray& json)
{
    if (!exists()) {
        m_error = QStringLiteral("De map bestaat niet: %1").arg(QDir::toNativeSeparators(m_folder));
        return false;
    }
    // The page asks for "api/stand" relative to itself, so the JSON lives in a folder of that name.
    if (!QDir(m_folder).mkpath(QStringLiteral("api"))) {
        m_error = QStringLiteral("De map %1 kan niet worden gemaakt")
                      .arg(QDir::toNativeSeparators(QDir(m_folder).filePath(QStringLiteral("api"))));
        return false;
    }
    return write(QStringLiteral("api/stand"), json);
}

bool LiveFolder::write(const QString& name, const QByteArray& bytes)
{
    if (!exists()) {
        m_error = QStringLiteral("De map bestaat niet: %1").arg(QDir::toNativeSeparators(m_folder));
        return false;
    }
    const QString path = QDir(m_folder).filePath(name);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        m_error = QStringLiteral("%1 kan niet worden geschreven: %2")
                      .arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    // A web server runs as another user: the files must be readable for it, as a copied file would be.
    QFile::setPermissions(
        path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    m_error.clear();
    return true;
}
