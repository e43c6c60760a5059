#include "livepagesource.h"

#include <QCryptographicHash>
#include <QFile>

// Q_INIT_RESOURCE must be used outside any namespace.
static void registerPage()
{
    // A static library's resources are registered explicitly, whatever the linker keeps; twice is harmless.
    Q_INIT_RESOURCE(livepage);
}

namespace livepage {

namespace {

// The SHA-256 sources of every element `tag` of the page, as a policy lists them.
QByteArray hashes(const QByteArray& page, const QByteArray& tag)
{
    QByteArray sources;
    const QByteArray open = '<' + tag + '>';
    const QByteArray close = "</" + tag + '>';
    qsizetype from = 0;
    while (true) {
        const qsizetype start = page.indexOf(open, from);
        if (start < 0)
            break;
        const qsizetype end = page.indexOf(close, start + open.size());
        if (end < 0)
            break;
        const QByteArray code = page.mid(start + open.size(), end - start - open.size());
        sources += " 'sha256-" + QCryptographicHash::hash(code, QCryptographicHash::Sha256).toBase64() + '\'';
        from = end + close.size();
    }
    return sources;
}

} // namespace

QByteArray html()
{
    registerPage();
    QFile file(QStringLiteral(":/baldovenaar/live.html"));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

QByteArray policy(const QByteArray& page)
{
    return "default-src 'self'; script-src 'self'" + hashes(page, "script") + "; style-src 'self'"
        + hashes(page, "style") + "; img-src 'self' data:; base-uri 'none'; form-action 'none'; frame-ancestors 'none'";
}

} // namespace livepage
