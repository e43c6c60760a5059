// The live page's folder published by a real web server: Debian's nginx, with a configuration of its own in a
// temporary folder, on a free port of 127.0.0.1 only. The station writes the page and its JSON into the folder;
// a client reads them through nginx, and reads the official's change there within the page's two seconds.
#include "classfile.h"
#include "httpclient.h"
#include "livefeed.h"
#include "livepage.h"
#include "stationfixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

using testsupport::bodyOf;
using testsupport::field;
using testsupport::HttpClient;
using testsupport::statusOf;

class TestLiveNginx : public QObject
{
    Q_OBJECT

private slots:
    void changeReadThroughNginx();
};

void TestLiveNginx::changeReadThroughNginx()
{
    testsupport::StationFixture kit;
    Station& station = kit.makeStation();
    QVERIFY(kit.follow(testsupport::classBytes(QStringLiteral("a b c P d e"))));

    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString site = root.filePath(QStringLiteral("site"));
    QVERIFY(QDir(root.path()).mkdir(QStringLiteral("site")));
    LivePage page(station);
    LiveSettings settings;
    settings.on = true;
    settings.address = QStringLiteral("127.0.0.1");
    settings.port = 0;
    settings.folder = site;
    QVERIFY(page.start(settings));
    QVERIFY2(page.problem().isEmpty(), qPrintable(page.problem()));

    // A free port, found by taking one and letting it go.
    quint16 port = 0;
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress(QHostAddress::LocalHost), 0));
        port = probe.serverPort();
    }
    const QString config = QStringLiteral(R"(daemon off;
master_process off;
worker_processes 1;
pid %1/nginx.pid;
error_log %1/error.log;
events { worker_connections 32; }
http {
    access_log off;
    client_body_temp_path %1/body;
    proxy_temp_path %1/proxy;
    fastcgi_temp_path %1/fastcgi;
    uwsgi_temp_path %1/uwsgi;
    scgi_temp_path %1/scgi;
    types { text/html html; }
    server {
        listen 127.0.0.1:%2;
        root %3;
        location = /api/stand { default_type application/json; add_header Cache-Control no-store; }
    }
}
)")
                               .arg(root.path())
                               .arg(port)
                               .arg(site);
    QFile file(root.filePath(QStringLiteral("nginx.conf")));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(config.toUtf8()) > 0);
    file.close();
    QProcess nginx;
    nginx.setProcessChannelMode(QProcess::MergedChannels);
    nginx.start(QStringLiteral(NGINX_PROGRAM),
        { QStringLiteral("-p"), root.path(), QStringLiteral("-c"), file.fileName(), QStringLiteral("-e"),
            root.filePath(QStringLiteral("error.log")) });
    QVERIFY2(nginx.waitForStarted(), qPrintable(nginx.errorString()));
    const auto stop = qScopeGuard([&] {
        nginx.terminate();
        if (!nginx.waitForFinished(5000))
            nginx.kill();
    });

    auto get = [&](const QByteArray& path, const QByteArray& extra = QByteArray()) {
        HttpClient client(port);
        if (!client.connected())
            return QByteArray();
        client.send("GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n" + extra + "\r\n");
        return client.answer();
    };
    QByteArray answer;
    QTRY_VERIFY_WITH_TIMEOUT(statusOf(answer = get("/api/stand")) == 200, 5000);
    QCOMPARE(bodyOf(answer), page.feed()->json());
    QVERIFY(get("/tv.html").contains("Uw rugnummer"));
    // nginx answers the page's question with 304 while the file is the same.
    QCOMPARE(statusOf(get("/api/stand", "If-None-Match: " + field(answer, "ETag") + "\r\n")), 304);

    // The official moves the ring on: through nginx within two seconds.
    QElapsedTimer clock;
    clock.start();
    station.volgendeInDeRing();
    QTRY_VERIFY_WITH_TIMEOUT(
        QJsonDocument::fromJson(bodyOf(get("/api/stand")))[u"gereden"].toInt() == 1 && clock.elapsed() < 2000, 2000);
}

QTEST_GUILESS_MAIN(TestLiveNginx)
#include "tst_livenginx.moc"
