#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>

class LiveServer;
class QTcpSocket;

// One client's connection to the live page's server: it reads request heads (never more than the head's limit
// at a time), has the server answer each, and writes the answer out in slices while the client reads, so a
// client that stops reading holds one answer and no more. Requests that follow each other on the connection are
// answered in turn; one whose body the server would have to skip, or that was refused, is the last. The
// server's sweep closes it when it idles or its head takes too long.
class LiveConnection : public QObject
{
    Q_OBJECT

public:
    LiveConnection(QTcpSocket* socket, LiveServer& server);
    ~LiveConnection() override;

    QHostAddress client() const { return m_client; }
    // Closes the connection when it has been quiet, or its head unfinished, too long (`now` on the server's
    // clock, in ms).
    void sweep(qint64 now);
    // Closes at once, without waiting for what is queued.
    void abort();

signals:
    void finished(LiveConnection* connection);

private:
    void readRequests();
    void writeMore();
    void queue(const QByteArray& head, const QByteArray& body, bool close);
    void finish();

    LiveServer& m_server;
    QTcpSocket* m_socket = nullptr;
    QHostAddress m_client;
    QByteArray m_buffer;
    // The answer being written: its head and body (shared with the server's, never copied), and how far.
    QByteArray m_head;
    QByteArray m_body;
    qsizetype m_written = 0;
    bool m_closeAfter = false;
    bool m_closing = false;
    bool m_finished = false;
    qint64 m_lastActivity = 0;
    // When the head now being read began (its first byte, or the connection), -1 while none is awaited.
    qint64 m_headStarted = 0;
};
