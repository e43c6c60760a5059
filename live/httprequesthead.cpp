#include "httprequesthead.h"

#include <QList>

namespace {

bool isToken(QByteArrayView text)
{
    if (text.isEmpty())
        return false;
    for (const char c : text) {
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-'
            || c == '_' || c == '!' || c == '#' || c == '$' || c == '%' || c == '&' || c == '\'' || c == '*' || c == '+'
            || c == '.' || c == '^' || c == '`' || c == '|' || c == '~';
        if (!ok)
            return false;
    }
    return true;
}

// A request target as a path: printable ASCII, no spaces, beginning with "/".
bool isPath(QByteArrayView text)
{
    if (text.isEmpty() || text.front() != '/')
        return false;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u >= 0x7f)
            return false;
    }
    return true;
}

// A field value's characters: visible ASCII, spaces and tabs, and the bytes of UTF-8 some clients send.
bool isFieldValue(QByteArrayView text)
{
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && c != '\t') || u == 0x7f)
            return false;
    }
    return true;
}

bool containsToken(QByteArrayView list, QByteArrayView token)
{
    for (const QByteArrayView part : QByteArray(list.toByteArray()).split(',')) {
        if (part.trimmed().compare(token, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

HttpRequestHead::Result HttpRequestHead::parse(QByteArrayView bytes, qsizetype limit, HttpRequestHead& head)
{
    head = HttpRequestHead();
    // Blank lines before a request are allowed (a client's stray line end after a previous body).
    qsizetype start = 0;
    while (start + 1 < bytes.size() && bytes[start] == '\r' && bytes[start + 1] == '\n')
        start += 2;
    qsizetype end = -1;
    qsizetype endLength = 0;
    for (qsizetype i = start; i < bytes.size() && i < limit; ++i) {
        if (bytes[i] != '\n')
            continue;
        if (i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            end = i;
            endLength = 2;
            break;
        }
        if (i + 2 < bytes.size() && bytes[i + 1] == '\r' && bytes[i + 2] == '\n') {
            end = i;
            endLength = 3;
            break;
        }
    }
    if (end < 0 || end + endLength > limit) {
        // A request line that is already no request needs no more bytes to say so: garbage is answered at
        // once, not after the client has filled the head's limit.
        const QByteArrayView lead = bytes.sliced(start, std::min<qsizetype>(bytes.size() - start, 33));
        const qsizetype space = lead.indexOf(' ');
        const QByteArrayView method = space < 0 ? lead : lead.first(space);
        if (!lead.isEmpty() && (space == 0 || (space < 0 && lead.size() == 33) || !isToken(method)))
            return Result::Malformed;
        return bytes.size() >= limit ? Result::TooLarge : Result::Incomplete;
    }
    head.length = end + endLength;

    const QByteArrayView text = bytes.sliced(start, end + 1 - start);
    qsizetype lineStart = 0;
    bool requestLine = true;
    bool chunked = false;
    while (lineStart < text.size()) {
        qsizetype lineEnd = text.indexOf('\n', lineStart);
        if (lineEnd < 0)
            lineEnd = text.size();
        QByteArrayView line = text.sliced(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        if (requestLine) {
            requestLine = false;
            const qsizetype first = line.indexOf(' ');
            const qsizetype last = line.lastIndexOf(' ');
            if (first <= 0 || last == first)
                return Result::Malformed;
            head.method = line.first(first).toByteArray();
            QByteArrayView target = line.sliced(first + 1, last - first - 1);
            const QByteArrayView version = line.sliced(last + 1);
            // No method is longer than 32 characters: the same bound decides before the line has ended.
            if (!isToken(head.method) || head.method.size() > 32 || !isPath(target))
                return Result::Malformed;
            if (version == "HTTP/1.1")
                head.minorVersion = 1;
            else if (version == "HTTP/1.0")
                head.minorVersion = 0;
            else
                return Result::Malformed;
            const qsizetype query = target.indexOf('?');
            if (query >= 0)
                target = target.first(query);
            head.path = target.toByteArray();
            head.close = head.minorVersion == 0;
            continue;
        }
        if (line.isEmpty())
            break;
        // Folded lines are obsolete and a way to smuggle a field past a proxy: refused.
        if (line.front() == ' ' || line.front() == '\t')
            return Result::Malformed;
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            return Result::Malformed;
        const QByteArrayView name = line.first(colon);
        const QByteArrayView value = line.sliced(colon + 1).trimmed();
        if (!isToken(name) || !isFieldValue(value))
            return Result::Malformed;
        if (name.compare("Host", Qt::CaseInsensitive) == 0) {
            if (head.hasHost)
                return Result::Malformed; // two Hosts: which one would the check have passed?
            head.hasHost = true;
            head.host = value.toByteArray();
        } else if (name.compare("If-None-Match", Qt::CaseInsensitive) == 0) {
            head.ifNoneMatch = value.toByteArray();
        } else if (name.compare("Connection", Qt::CaseInsensitive) == 0) {
            if (containsToken(value, "close"))
                head.close = true;
            else if (containsToken(value, "keep-alive") && head.minorVersion == 0)
                head.close = false;
        } else if (name.compare("Content-Length", Qt::CaseInsensitive) == 0) {
            bool ok = false;
            const qint64 length = value.toByteArray().toLongLong(&ok);
            if (!ok || length < 0)
                return Result::Malformed;
            head.hasBody = head.hasBody || length > 0;
        } else if (name.compare("Transfer-Encoding", Qt::CaseInsensitive) == 0) {
            chunked = true;
        }
    }
    if (chunked)
        head.hasBody = true;
    return Result::Complete;
}
