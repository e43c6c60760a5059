#include "systemerrors.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#else
#include <cerrno>
#endif

namespace platform {

namespace {

struct CommonReason
{
    int code;
    const char* dutch;
};

#ifdef Q_OS_WIN
// The system's words for an error code, as the file layer reports them (FormatMessage).
QString systemText(int code)
{
    wchar_t* buffer = nullptr;
    const DWORD length
        = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
            nullptr, DWORD(code), 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    const QString text = length > 0 ? QString::fromWCharArray(buffer, int(length)).trimmed() : QString();
    LocalFree(buffer);
    return text;
}

const CommonReason commonReasons[] = {
    { ERROR_DISK_FULL, "de schijf is vol" },
    { ERROR_HANDLE_DISK_FULL, "de schijf is vol" },
    { ERROR_ACCESS_DENIED, "geen rechten om in deze map te schrijven" },
    { ERROR_PATH_NOT_FOUND, "de map bestaat niet (meer)" },
    { ERROR_BAD_NETPATH, "de map bestaat niet (meer)" },
    { ERROR_DIRECTORY, "dit is geen map" },
    { ERROR_WRITE_PROTECT, "de map is alleen-lezen" },
    { ERROR_NETNAME_DELETED, "de verbinding met de gedeelde map is verbroken" },
    { ERROR_UNEXP_NET_ERR, "de verbinding met de gedeelde map is verbroken" },
};
#else
QString systemText(int code)
{
    return qt_error_string(code);
}

const CommonReason commonReasons[] = {
    { ENOSPC, "de schijf is vol" },
    { EDQUOT, "de schijf is vol" },
    { EACCES, "geen rechten om in deze map te schrijven" },
    { EPERM, "geen rechten om in deze map te schrijven" },
    { ENOENT, "de map bestaat niet (meer)" },
    { ENOTDIR, "dit is geen map" },
    { EROFS, "de map is alleen-lezen" },
    { EIO, "de verbinding met de gedeelde map is verbroken" },
};
#endif

} // namespace

QString reasonInDutch(const QString& text)
{
    for (const CommonReason& reason : commonReasons) {
        if (systemText(reason.code) == text)
            return QStringLiteral("%1: %2").arg(QString::fromUtf8(reason.dutch), text);
    }
    return text;
}

} // namespace platform
