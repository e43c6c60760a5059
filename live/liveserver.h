#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QSet>
#include <QString>

struct HttpRequestHead;
class LiveConnection;
class LiveFeed;
class QTcpServer;
class QTimer;

// The live page's web server: plain HTTP/1.1 on one address and port of this machine, for anyone on the show's
// network, so it trusts nobody. It answers a fixed set of routes from bytes already in memory (the page, the
// order's JSON from its LiveFeed) and reads nothing from disk by a path in a request; GET and HEAD only, and
// nothing it answers changes the station.
//
// Its guards: the Host field must name this machine (a page from elsewhere whose name was pointed at this
// address gets 421); the request line and fields at most 8 KiB (431); at most 8 connections per client address
// and 256 in all (more are closed at once); a connection closed after 10 s without a byte either way, and one
// whose head has not ended 10 s after it began. A client that does not read gets no more than one answer
// queued, written out in slices as it reads, so nobody can make the station hold more than that. Every answer
// carries a content security policy that lets the page load nothing from elsewhere, and nosniff.
//
// It runs on the station's own thread: each request costs a parse of at most 8 KiB and a few writes, so the
// window keeps answering whatever arrives.
class LiveServer : public QObject
{
    Q_OBJECT

public:
    struct Limits
    {
        qsizetype headBytes = 8 * 1024;
        int perClient = 8;
        int total = 256;
        int idleMs = 10'000;
        int headMs = 10'000;
    };

    // One answer: the status line and fields, the body (empty for HEAD and 304), and whether the connection
    // closes after it.
    struct Answer
    {
        int status = 200;
        QByteArray head;
        QByteArray body;
        bool close = false;
    };

    explicit LiveServer(LiveFeed& feed, QObject* parent = nullptr);
    ~LiveServer() override;

    void setLimits(const Limits& limits);
    const Limits& limits() const { return m_limits; }
    // The names and addresses the Host field may carry (without a port), compared without case.
    void setHostNames(const QStringList& names);

    // Starts listening; false, with errorString(), when the address or port cannot be taken.
    bool listen(const QHostAddress& address, quint16 port);
    void close();
    bool isListening() const;
    QString errorString() const { return m_error; }
    // The last listen failed because another program has the port.
    bool portInUse() const { return m_portInUse; }
    QHostAddress address() const;
    quint16 port() const;

    int connectionCount() const { return int(m_connections.size()); }
    quint64 answered() const { return m_answered; }

    // The answer to a request head that was read whole.
    Answer answer(const HttpRequestHead& head) const;
    // The answer when no head could be read: 400 (not a request) or 431 (a head too large).
    Answer refusal(int status) const;

private:
    friend class LiveConnection;

    void acceptConnections();
    void connectionFinished(LiveConnection* connection);
    void sweep();
    bool hostAllowed(const QByteArray& host) const;
    Answer make(int status, const QByteArray& type, const QByteArray& body, bool head, bool close,
        const QByteArray& fields = QByteArray()) const;
    void counted() { ++m_answered; }

    LiveFeed& m_feed;
    Limits m_limits;
    QTcpServer* m_listener = nullptr;
    QTimer* m_sweep = nullptr;
    QElapsedTimer m_clock;
    QSet<QString> m_hostNames;
    QByteArray m_page;
    QByteArray m_policy;
    QString m_error;
    bool m_portInUse = false;
    QSet<LiveConnection*> m_connections;
    QHash<QHostAddress, int> m_perClient;
    quint64 m_answered = 0;
};
