#include "systemknownfolders.h"

#include <QDir>
#include <QStandardPaths>
#include <QStringList>
#include <QtGlobal>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#include <shlobj.h>
#ifdef _MSC_VER
#pragma comment(lib, "shell32.lib")
#endif
#endif

namespace {

QString cleaned(const QString& path)
{
    if (path.isEmpty())
        return QString();
    QString result = QDir::toNativeSeparators(path);
    const QChar separator = QDir::separator();
    while (result.size() > 1 && result.endsWith(separator) && !result.endsWith(QStringLiteral(":\\")))
        result.chop(1);
    return result;
}

#ifndef Q_OS_WIN
// The system-wide folder of a kind: the last of its standard locations, when there is one beside the
// user's own.
QString systemWide(QStandardPaths::StandardLocation location)
{
    const QStringList locations = QStandardPaths::standardLocations(location);
    if (locations.size() < 2)
        return QString();
    return locations.constLast();
}
#endif

} // namespace

QString SystemSpecialFolders::folderPath(int folderId) const
{
#ifdef Q_OS_WIN
    wchar_t buffer[MAX_PATH] = {};
    // No token: the current user's folders (a token of -1 would give the Default User's profile).
    if (SHGetFolderPathW(nullptr, folderId, nullptr, SHGFP_TYPE_CURRENT, buffer) != S_OK)
        return QString();
    return cleaned(QString::fromWCharArray(buffer));
#else
    switch (folderId) {
    case UserDocuments:
        return cleaned(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    case UserDesktop:
        return cleaned(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
    case UserAppData:
    case UserLocalAppData:
        return cleaned(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    case UserPictures:
        return cleaned(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation));
    case CommonDocuments:
        return cleaned(QStandardPaths::writableLocation(QStandardPaths::PublicShareLocation));
    case CommonPrograms:
        return cleaned(systemWide(QStandardPaths::ApplicationsLocation));
    case CommonAppData:
        return cleaned(systemWide(QStandardPaths::GenericDataLocation));
    case ProgramFiles:
        return QStringLiteral("/opt");
    default:
        return QString();
    }
#endif
}
