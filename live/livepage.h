#pragma once

#include "livesettings.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>

class LiveFeed;
class LiveFolder;
class LiveServer;
class Station;

// The live page as the station offers it: while on, the order's JSON is kept up to date (LiveFeed), the web
// server listens on the chosen address and port (LiveServer), and when a folder is set the page and its JSON are
// written there at every change (LiveFolder). Off, none of them exists and the station does no work for it.
//
// What goes wrong (the port taken, the address gone, the folder missing) it says in one Dutch sentence for the
// status line; the station goes on as before either way.
class LivePage : public QObject
{
    Q_OBJECT

public:
    explicit LivePage(Station& station, QObject* parent = nullptr);
    ~LivePage() override;

    // Turns the page on with these settings (again, when it was on); false when neither the server nor the
    // folder could be started (problem() says why).
    bool start(const LiveSettings& settings);
    void stop();
    bool isOn() const { return m_on; }

    // The page's address while the server listens; empty otherwise.
    QString url() const { return m_url; }
    // What went wrong, for the status line; empty when all is well.
    QString problem() const { return m_problem; }

    LiveServer* server() const { return m_server.get(); }
    LiveFeed* feed() const { return m_feed.get(); }

signals:
    // On, off, another address, or a problem came or went.
    void changed();

private:
    void writeFolder();
    void setProblem(const QString& problem);

    Station& m_station;
    std::unique_ptr<LiveFeed> m_feed;
    std::unique_ptr<LiveServer> m_server;
    std::unique_ptr<LiveFolder> m_folder;
    bool m_on = false;
    QString m_url;
    QString m_problem;
    QString m_serverProblem;
};
