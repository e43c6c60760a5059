#include "httpclient.h"

#include <QHostAddress>
#include <QList>
#include <QTest>

namespace testsupport {

HttpClient::HttpClient(quint16 port)
{
    m_socket.connectToHost(QHostAddress(QHostAddress::LocalHost), port);
}

bool HttpClient::connected()
{
    return QTest::qWaitFor([this] { return m_socket.state() == QAbstractSocket::ConnectedState; }, 3000);
}

void HttpClient::send(const QByteArray& bytes)
{
    m_socket.write(bytes);
    m_socket.flush();
}

QByteArray HttpClient::answer(bool head, int timeout)
{
    QByteArray result;
    (void)QTest::qWaitFor(
        [&] {
            m_buffer += m_socket.readAll();
            const qsizetype end = m_buffer.indexOf("\r\n\r\n");
            if (end < 0)
                return m_socket.state() == QAbstractSocket::UnconnectedState;
            qsizetype length = 0;
            const QByteArray fields = m_buffer.left(end).toLower();
            const qsizetype at = fields.indexOf("content-length:");
            if (at >= 0 && !head && !fields.startsWith("http/1.1 304"))
                length = fields.mid(at + 15, fields.indexOf("\r\n", at) - at - 15).trimmed().toLongLong();
            if (m_buffer.size() < end + 4 + length)
                return false;
            result = m_buffer.left(end + 4 + length);
            m_buffer.remove(0, result.size());
            return true;
        },
        timeout);
    return result;
}

bool HttpClient::closed(int timeout)
{
    return QTest::qWaitFor(
        [this] {
            m_buffer += m_socket.readAll();
            return m_socket.state() == QAbstractSocket::UnconnectedState;
        },
        timeout);
}

int statusOf(const QByteArray& answer)
{
    return answer.startsWith("HTTP/1.1 ") ? answer.mid(9, 3).toInt() : 0;
}

QByteArray field(const QByteArray& answer, const QByteArray& name)
{
    const QByteArray head = answer.left(answer.indexOf("\r\n\r\n") + 2);
    for (const QByteArray& line : head.split('\n')) {
        if (line.toLower().startsWith(name.toLower() + ':'))
            return line.mid(name.size() + 1).trimmed();
    }
    return QByteArray();
}

QByteArray bodyOf(const QByteArray& answer)
{
    return answer.mid(answer.indexOf("\r\n\r\n") + 4);
}

} // namespace testsupport
