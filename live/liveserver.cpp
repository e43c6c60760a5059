#include "liveserver.h"

#include "httprequesthead.h"
#include "liveconnection.h"
#include "livefeed.h"
#include "livepagesource.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace {

QByteArray reason(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 304:
        return "Not Modified";
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 421:
        return "Misdirected Request";
    case 431:
        return "Request Header Fields Too Large";
    default:
        return "Error";
    }
}

// The host of a Host field, without its port and brackets, in lower case.
QString hostName(const QByteArray& field)
{
    QByteArray host = field.trimmed().toLower();
    if (host.startsWith('[')) {
        const qsizetype end = host.indexOf(']');
        if (end < 0)
            return QString();
        const QByteArray rest = host.mid(end + 1);
        if (!rest.isEmpty() && !rest.startsWith(':'))
            return QString();
        host = host.mid(1, end - 1);
    } else if (host.count(':') == 1) {
        host.truncate(host.indexOf(':'));
    }
    if (host.endsWith('.'))
        host.chop(1);
    return QString::fromLatin1(host);
}

// If-None-Match holds this tag (or "*"), weak or strong.
bool matches(const QByteArray& ifNoneMatch, const QByteArray& etag)
{
    if (ifNoneMatch.isEmpty() || etag.isEmpty())
        return false;
    for (QByteArray tag : ifNoneMatch.split(',')) {
        tag = tag.trimmed();
        if (tag.startsWith("W/"))
            tag = tag.mid(2);
        if (tag == "*" || tag == etag)
            return true;
    }
    return false;
}

} // namespace

LiveServer::LiveServer(LiveFeed& feed, QObject* parent)
    : QObject(parent)
    , m_feed(feed)
    , m_page(livepage::html())
    , m_policy(livepage::policy(m_page))
{
    m_clock.start();
    m_listener = new QTcpServer(this);
    connect(m_listener, &QTcpServer::newConnection, this, &LiveServer::acceptConnections);
    m_sweep = new QTimer(this);
    m_sweep->setObjectName(QStringLiteral("liveSweep"));
    connect(m_sweep, &QTimer::timeout, this, &LiveServer::sweep);
    setLimits(m_limits);
}

LiveServer::~LiveServer()
{
    close();
}

void LiveServer::setLimits(const Limits& limits)
{
    m_limits = limits;
    // A connection is closed within a quarter of its time after it ran out.
    m_sweep->setInterval(std::max(10, std::min(limits.idleMs, limits.headMs) / 4));
}

void LiveServer::setHostNames(const QStringList& names)
{
    m_hostNames.clear();
    for (const QString& name : names)
        m_hostNames.insert(hostName(name.toLatin1()));
}

bool LiveServer::listen(const QHostAddress& address, quint16 port)
{
    close();
    m_error.clear();
    m_portInUse = false;
    if (!m_listener->listen(address, port)) {
        m_error = m_listener->errorString();
        m_portInUse = m_listener->serverError() == QAbstractSocket::AddressInUseError;
        return false;
    }
    m_sweep->start();
    return true;
}

void LiveServer::close()
{
    m_listener->close();
    m_sweep->stop();
    const QSet<LiveConnection*> connections = m_connections;
    for (LiveConnection* connection : connections)
        connection->abort();
    m_connections.clear();
    m_perClient.clear();
}

bool LiveServer::isListening() const
{
    return m_listener->isListening();
}

QHostAddress LiveServer::address() const
{
    return m_listener->serverAddress();
}

quint16 LiveServer::port() const
{
    return m_listener->serverPort();
}

void LiveServer::acceptConnections()
{
    while (QTcpSocket* socket = m_listener->nextPendingConnection()) {
        const QHostAddress client = socket->peerAddress();
        int& count = m_perClient[client];
        if (int(m_connections.size()) >= m_limits.total || count >= m_limits.perClient) {
            if (count == 0)
                m_perClient.remove(client);
            // Closed unanswered: an answer would cost what the limit is there to save.
            socket->abort();
            socket->deleteLater();
            continue;
        }
        ++count;
        auto* connection = new LiveConnection(socket, *this);
        m_connections.insert(connection);
        connect(connection, &LiveConnection::finished, this, &LiveServer::connectionFinished);
        // Bytes that came with the connection are read now.
        if (socket->bytesAvailable() > 0)
            QMetaObject::invokeMethod(socket, &QTcpSocket::readyRead, Qt::QueuedConnection);
    }
}

void LiveServer::connectionFinished(LiveConnection* connection)
{
    if (!m_connections.remove(connection))
        return;
    const auto found = m_perClient.find(connection->client());
    if (found != m_perClient.end() && --found.value() <= 0)
        m_perClient.erase(found);
}

void LiveServer::sweep()
{
    const qint64 now = m_clock.elapsed();
    const QSet<LiveConnection*> connections = m_connections;
    for (LiveConnection* connection : connections)
        connection->sweep(now);
}

bool LiveServer::hostAllowed(const QByteArray& host) const
{
    const QString name = hostName(host);
    return !name.isEmpty() && m_hostNames.contains(name);
}

LiveServer::Answer LiveServer::make(
    int status, const QByteArray& type, const QByteArray& body, bool head, bool close, const QByteArray& fields) const
{
    Answer answer;
    answer.status = status;
    answer.close = close;
    answer.head = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason(status) + "\r\n";
    if (!type.isEmpty())
        answer.head += "Content-Type: " + type + "\r\n";
    if (status != 304)
        answer.head += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    answer.head += "Content-Security-Policy: " + m_policy
        + "\r\n"
          "X-Content-Type-Options: nosniff\r\n"
          "Referrer-Policy: no-referrer\r\n";
    answer.head += fields;
    if (close)
        answer.head += "Connection: close\r\n";
    answer.head += "\r\n";
    if (!head && status != 304)
        answer.body = body;
    return answer;
}

LiveServer::Answer LiveServer::refusal(int status) const
{
    return make(status, "text/plain; charset=utf-8", reason(status) + '\n', false, true);
}

LiveServer::Answer LiveServer::answer(const HttpRequestHead& request) const
{
    const QByteArray text = "text/plain; charset=utf-8";
    const bool isHead = request.method == "HEAD";
    // A refused request ends its connection: whatever it sent after its head is not read.
    if (request.method != "GET" && !isHead)
        return make(405, text, reason(405) + '\n', false, true, "Allow: GET, HEAD\r\n");
    if (!request.hasHost && request.minorVersion == 1)
        return make(400, text, reason(400) + '\n', isHead, true);
    if (!hostAllowed(request.host))
        return make(421, text, reason(421) + '\n', isHead, true);

    // A body (which a GET has no use for) is never read: the connection ends after the answer instead.
    const bool close = request.close || request.hasBody;
    const QByteArray& path = request.path;
    if (path == "/" || path == "/index.html" || path == "/tv" || path == "/tv.html")
        return make(200, "text/html; charset=utf-8", m_page, isHead, close, "Cache-Control: no-cache\r\n");
    if (path == "/api/stand") {
        const QByteArray etag = m_feed.etag();
        const QByteArray fields = "Cache-Control: no-store\r\nETag: " + etag + "\r\n";
        if (matches(request.ifNoneMatch, etag))
            return make(304, QByteArray(), QByteArray(), true, close, fields);
        return make(200, "application/json; charset=utf-8", m_feed.json(), isHead, close, fields);
    }
    // A page's missing icon is no reason to end its connection.
    return make(404, text, reason(404) + '\n', isHead, close);
}
