#pragma once

#include <QByteArray>
#include <QTcpSocket>

// A web client on a real socket to 127.0.0.1, for the live page's tests: it sends raw bytes and reads raw
// answers, without blocking, since the server under test answers on the test's own thread.
namespace testsupport {

class HttpClient
{
public:
    explicit HttpClient(quint16 port);

    bool connected();
    void send(const QByteArray& bytes);
    // One answer (its head and the body its Content-Length gives; none for HEAD or 304); empty when the
    // connection closed first or nothing came in time.
    QByteArray answer(bool head = false, int timeout = 3000);
    // The server closed the connection (within the time given).
    bool closed(int timeout = 3000);
    QTcpSocket& socket() { return m_socket; }

private:
    QTcpSocket m_socket;
    QByteArray m_buffer;
};

// The status of an answer (0: none), one field's value, and the body.
int statusOf(const QByteArray& answer);
QByteArray field(const QByteArray& answer, const QByteArray& name);
QByteArray bodyOf(const QByteArray& answer);

} // namespace testsupport
