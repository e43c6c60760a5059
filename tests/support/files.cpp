#include "files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <QSettings>
#include <qt_windows.h>
#endif

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

#ifdef Q_OS_WIN

namespace {

// The test's own key under the real HKEY_CURRENT_USER, removed when the next one is made and at exit.
class OwnUserKey
{
public:
    ~OwnUserKey() { remove(); }

    void renew()
    {
        remove();
        m_name = QStringLiteral("Software\\Baldovenaar tests\\%1-%2").arg(GetCurrentProcessId()).arg(++m_count);
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, reinterpret_cast<const wchar_t*>(m_name.utf16()), 0, nullptr, 0,
                KEY_ALL_ACCESS, nullptr, &key, nullptr)
            != ERROR_SUCCESS)
            qFatal("cannot make the test's registry key %s", qPrintable(m_name));
        RegOverridePredefKey(HKEY_CURRENT_USER, key);
        RegCloseKey(key);
    }

private:
    void remove()
    {
        // HKEY_CURRENT_USER is the user's own again before the test's key goes.
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        if (!m_name.isEmpty())
            RegDeleteTreeW(HKEY_CURRENT_USER, reinterpret_cast<const wchar_t*>(m_name.utf16()));
        if (!m_name.isEmpty())
            RegDeleteKeyW(HKEY_CURRENT_USER, reinterpret_cast<const wchar_t*>(m_name.utf16()));
        m_name.clear();
    }

    QString m_name;
    int m_count = 0;
};

OwnUserKey ownUserKey;

} // namespace

#endif

void useOwnSettings(const QString& folder)
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder));
#ifdef Q_OS_WIN
    ownUserKey.renew();
#endif
}

bool makeSymbolicLink(const QString& target, const QString& link)
{
#ifdef Q_OS_WIN
    const std::wstring from = QDir::toNativeSeparators(link).toStdWString();
    const std::wstring to = QDir::toNativeSeparators(target).toStdWString();
    const DWORD flags
        = SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE | (QFileInfo(target).isDir() ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0);
    return CreateSymbolicLinkW(from.c_str(), to.c_str(), flags) && QFileInfo(link).isSymLink();
#else
    return QFile::link(target, link);
#endif
}

bool underWine()
{
#ifdef Q_OS_WIN
    static const bool wine = [] {
        const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        return ntdll && GetProcAddress(ntdll, "wine_get_version");
    }();
    return wine;
#else
    return false;
#endif
}

QString savedSettings(const QString& folder)
{
#ifdef Q_OS_WIN
    Q_UNUSED(folder);
    QSettings settings(
        QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Korvalen 3.5\\Baldovenaar"),
        QSettings::NativeFormat);
    QString text;
    for (const char* key : { "lastfile", "scale" }) {
        const QVariant value = settings.value(QLatin1String(key));
        if (value.isValid())
            text += QLatin1String(key) + u'=' + value.toString() + u'\n';
    }
    return text.isEmpty() ? text : QStringLiteral("[Baldovenaar]\n") + text;
#else
    return QString::fromUtf8(readFile(QDir(folder).filePath(QStringLiteral("Korvalen 3.5.ini"))));
#endif
}

} // namespace testsupport
