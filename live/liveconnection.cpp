#include "liveconnection.h"

#include "httprequesthead.h"
#include "liveserver.h"

#include <QTcpSocket>

namespace {

// What is handed to the socket at a time: a slow client holds no more than this in the station's buffers.
constexpr qsizetype slice = 64 * 1024;

} // namespace

LiveConnection::LiveConnection(QTcpSocket* socket, LiveServer& server)
    : QObject(&server)
    , m_server(server)
    , m_socket(socket)
    , m_client(socket->peerAddress())
{
    m_socket->setParent(this);
    // The socket reads no further ahead than one head, so a flood stays in the system's buffers, not here.
    m_socket->setReadBufferSize(server.limits().headBytes + 1);
    m_lastActivity = server.m_clock.elapsed();
    m_headStarted = m_lastActivity;
    connect(m_socket, &QTcpSocket::readyRead, this, &LiveConnection::readRequests);
    connect(m_socket, &QTcpSocket::bytesWritten, this, [this] {
        m_lastActivity = m_server.m_clock.elapsed();
        writeMore();
    });
    connect(m_socket, &QTcpSocket::disconnected, this, &LiveConnection::finish);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &LiveConnection::finish);
}

LiveConnection::~LiveConnection() = default;

void LiveConnection::sweep(qint64 now)
{
    const LiveServer::Limits& limits = m_server.limits();
    const bool slowHead = m_headStarted >= 0 && now - m_headStarted > limits.headMs;
    if (now - m_lastActivity > limits.idleMs || slowHead)
        abort();
}

void LiveConnection::abort()
{
    if (m_finished)
        return;
    m_socket->abort();
    finish();
}

void LiveConnection::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    m_socket->disconnect(this);
    emit finished(this);
    deleteLater();
}

void LiveConnection::readRequests()
{
    if (m_finished)
        return;
    const qsizetype limit = m_server.limits().headBytes;
    while (!m_closing && m_head.isEmpty() && m_body.isEmpty()) {
        if (m_buffer.size() < limit) {
            const QByteArray more = m_socket->read(limit - m_buffer.size());
            if (!more.isEmpty()) {
                m_lastActivity = m_server.m_clock.elapsed();
                if (m_headStarted < 0)
                    m_headStarted = m_lastActivity;
            }
            m_buffer += more;
        }
        if (m_buffer.isEmpty())
            return;
        HttpRequestHead head;
        switch (HttpRequestHead::parse(m_buffer, limit, head)) {
        case HttpRequestHead::Result::Incomplete:
            return;
        case HttpRequestHead::Result::TooLarge: {
            const LiveServer::Answer answer = m_server.refusal(431);
            queue(answer.head, answer.body, true);
            return;
        }
        case HttpRequestHead::Result::Malformed: {
            const LiveServer::Answer answer = m_server.refusal(400);
            queue(answer.head, answer.body, true);
            return;
        }
        case HttpRequestHead::Result::Complete:
            break;
        }
        m_buffer.remove(0, head.length);
        m_headStarted = m_buffer.isEmpty() ? -1 : m_server.m_clock.elapsed();
        const LiveServer::Answer answer = m_server.answer(head);
        queue(answer.head, answer.body, answer.close);
    }
}

void LiveConnection::queue(const QByteArray& head, const QByteArray& body, bool close)
{
    m_server.counted();
    m_head = head;
    m_body = body;
    m_written = 0;
    m_closeAfter = close;
    if (close) {
        // Nothing more is read from a connection that ends: what else it sends is not looked at.
        m_closing = true;
        m_headStarted = -1;
        m_buffer.clear();
    }
    writeMore();
}

void LiveConnection::writeMore()
{
    if (m_finished)
        return;
    while ((!m_head.isEmpty() || !m_body.isEmpty()) && m_socket->bytesToWrite() < slice) {
        if (!m_head.isEmpty()) {
            m_socket->write(m_head);
            m_head.clear();
            continue;
        }
        const qsizetype n = std::min(slice, m_body.size() - m_written);
        m_socket->write(m_body.constData() + m_written, n);
        m_written += n;
        if (m_written >= m_body.size()) {
            m_body.clear();
            m_written = 0;
        }
    }
    if (!m_head.isEmpty() || !m_body.isEmpty())
        return;
    if (m_closeAfter) {
        // The socket closes once what is queued has gone out.
        m_socket->disconnectFromHost();
        return;
    }
    // The answer is on its way: the next request, perhaps already here, is read now.
    if (m_socket->bytesAvailable() > 0 || !m_buffer.isEmpty())
        readRequests();
}
