// The live page from the official's window: Beeld > "Live pagina op het netwerk" turns it on (and is remembered),
// the QR dialog and the rider board show the page's address, a port another program has is said in the status
// line while the station goes on, and the page is on again at the next start. Served on 127.0.0.1 only.
#include "beeldmenu.h"
#include "classfile.h"
#include "httpclient.h"
#include "livecommands.h"
#include "livefeed.h"
#include "livepage.h"
#include "liveqrdialog.h"
#include "riderboard.h"
#include "settingsstore.h"
#include "statusline.h"
#include "windowfixture.h"

#include <QAction>
#include <QApplication>
#include <QJsonDocument>
#include <QLabel>
#include <QTcpServer>
#include <QTest>

using testsupport::bodyOf;
using testsupport::HttpClient;
using testsupport::statusOf;

class TestLiveWindow : public QObject
{
    Q_OBJECT

private slots:
    void switchedOn_data();
    void switchedOn();
};

void TestLiveWindow::switchedOn_data()
{
    QTest::addColumn<bool>("portTaken");
    QTest::addColumn<bool>("onAtStart");

    QTest::newRow("from the menu") << false << false;
    QTest::newRow("on at start, as saved") << false << true;
    QTest::newRow("its port taken") << true << false;
}

void TestLiveWindow::switchedOn()
{
    QFETCH(bool, portTaken);
    QFETCH(bool, onAtStart);
    testsupport::WindowFixture kit;
    // A port of its own: one free now, or one another program holds.
    QTcpServer other;
    QVERIFY(other.listen(QHostAddress(QHostAddress::LocalHost), 0));
    const quint16 port = other.serverPort();
    if (!portTaken)
        other.close();
    auto store = SettingsStore::forUser();
    QVERIFY(store->setValue(QStringLiteral("Baldovenaar"), QStringLiteral("livepoort"), QString::number(port)));
    QVERIFY(store->setValue(QStringLiteral("Baldovenaar"), QStringLiteral("liveadres"), QStringLiteral("127.0.0.1")));
    QVERIFY(store->setValue(
        QStringLiteral("Baldovenaar"), QStringLiteral("livepagina"), onAtStart ? QStringLiteral("1") : QString()));

    FrmBaldovenaar& window = kit.makeWindow();
    QVERIFY(kit.openClass(testsupport::classBytes(QStringLiteral("a b c P d e"))));
    LiveCommands* live = &window.beeldMenu().live();
    QVERIFY(live);
    QCOMPARE(live->page().isOn(), onAtStart);
    QCOMPARE(live->qrAction()->isEnabled(), onAtStart);
    if (!onAtStart) {
        live->toggleAction()->trigger();
        QCOMPARE(
            store->value(QStringLiteral("Baldovenaar"), QStringLiteral("livepagina"), QString()), QStringLiteral("1"));
    }
    QVERIFY(live->page().isOn() && live->toggleAction()->isChecked());
    auto* status = window.findChild<StatusLine*>();
    QVERIFY(status);

    if (portTaken) {
        QVERIFY(live->url().isEmpty());
        QVERIFY2(
            status->text().contains(QStringLiteral("poort %1 is al in gebruik").arg(port)), qPrintable(status->text()));
        // The station goes on: the official still moves the ring.
        kit.station().volgendeInDeRing();
        QVERIFY(kit.station().listShown());
        return;
    }
    const QString url = QStringLiteral("http://127.0.0.1:%1/").arg(port);
    QCOMPARE(live->url(), url);
    QVERIFY(!status->text().contains(QStringLiteral("Live pagina")));

    // The dialog: the code and the address beside it (turning it on from the menu shows it at once).
    if (onAtStart)
        live->qrAction()->trigger();
    auto* dialog = window.findChild<LiveQrDialog*>();
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(dialog->shownUrl(), url);
    QCOMPARE(dialog->findChild<QLabel*>(QStringLiteral("liveAdres"))->text(), url);
    QVERIFY(!dialog->findChild<QLabel*>(QStringLiteral("liveQrCode"))->pixmap().isNull());
    dialog->close();

    // The rider board carries the code in its corner.
    window.findChild<QAction*>(QStringLiteral("mnuRuiterscherm"))->trigger();
    RiderBoard* board = window.ruiterscherm();
    QVERIFY(board && board->isVisible());
    QCOMPARE(board->liveUrl(), url);
    QVERIFY(!board->qrArea().isEmpty());

    // A phone asks the page's address, once the list just opened has reached the page.
    QTRY_VERIFY(!live->page().feed()->isPending());
    HttpClient phone(port);
    QVERIFY(phone.connected());
    phone.send("GET /api/stand HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    const QByteArray answer = phone.answer();
    QCOMPARE(statusOf(answer), 200);
    QCOMPARE(QJsonDocument::fromJson(bodyOf(answer))[u"titel"].toString(), kit.station().titel());

    // Off: the code goes from the board, the port is free again.
    live->toggleAction()->trigger();
    QVERIFY(!live->page().isOn());
    QVERIFY(board->qrArea().isEmpty());
    QVERIFY(phone.closed());
    QVERIFY(other.listen(QHostAddress(QHostAddress::LocalHost), port));
    QCOMPARE(store->value(QStringLiteral("Baldovenaar"), QStringLiteral("livepagina"), QString()), QStringLiteral("0"));
}

QTEST_MAIN(TestLiveWindow)
#include "tst_livewindow.moc"
