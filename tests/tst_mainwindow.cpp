#include "clock.h"
#include "codepaden.h"
#include "flexgrid.h"
#include "frmbaldovenaar.h"
#include "testsupport.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

const QDateTime written(QDate(2026, 12, 7), QTime(9, 0, 0));

QByteArray classFile(const QString& owner, int starters, bool withPermissions = true)
{
    QString text;
    if (!owner.isEmpty())
        text += "owner:" + owner + "\r\nwnr:12\r\nrid:" + owner.left(3) + "\r\n";
    if (withPermissions)
        text += "editvolgorde:1\r\neditnietgestart:1\r\n";
    text += "titel:Dressuur L1\r\nrij:key\tnr\tNr\tRuiter\tPaard\r\n";
    for (int i = 1; i <= starters; ++i)
        text += QStringLiteral("rij:%1\t%2\t%2\tRuiter %2\tPaard %2\r\n").arg(2000 + i).arg(i);
    return text.toLatin1();
}

struct DialogCall
{
    QString title;
    QString folder;
    QString filter;
};

} // namespace

// The main window's life: first start, the open command, the re-read timer and what reaches the
// settings at exit. The file dialog is replaced by a stand-in that answers as the user would.
class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstStartShowsTheEmptyView();
    void openAndCancel_data();
    void openAndCancel();
    void chooseAndCloseAtOnce();
    void closingAfterTheFileVanished();
    void anotherFileStartsWithoutThePreviousIdentity();
    void rewrittenFileIsShownWithinOneTick();
    void tickDoesNotOverlapItself();
    void fileMenu();

private:
    std::unique_ptr<FrmBaldovenaar> makeWindow();
    QString classPath(const QString& id = "0001") const
    {
        return m_shared->filePath(QStringLiteral("baldovenaar rst-%1.dvz").arg(id));
    }

    std::unique_ptr<QTemporaryDir> m_config;
    std::unique_ptr<QTemporaryDir> m_shared;
    platform::FixedClock m_clock { QDateTime(QDate(2026, 12, 7), QTime(10, 0, 0)) };
    QList<DialogCall> m_calls;
    std::optional<QString> m_answer;
};

void TestMainWindow::init()
{
    m_config = std::make_unique<QTemporaryDir>();
    m_shared = std::make_unique<QTemporaryDir>();
    QVERIFY(m_config->isValid() && m_shared->isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config->path()));
    m_calls.clear();
    m_answer.reset();
}

void TestMainWindow::cleanup()
{
    m_shared.reset();
    m_config.reset();
}

std::unique_ptr<FrmBaldovenaar> TestMainWindow::makeWindow()
{
    FrmBaldovenaar::Options options;
    options.showSplash = false;
    // The files are written whole before the window reads them.
    options.settleTime = 0;
    options.clock = &m_clock;
    options.chooseFile = [this](const QString& title, const QString& folder, const QString& filter) {
        m_calls.append({ title, folder, filter });
        return m_answer;
    };
    auto window = std::make_unique<FrmBaldovenaar>(std::move(options));
    window->Form_Load();
    return window;
}

void TestMainWindow::firstStartShowsTheEmptyView()
{
    auto window = makeWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QCOMPARE(window->windowTitle(), QString("Korvalen Baldovenaar"));
    QVERIFY(!window->grid1()->isVisible());
    QCOMPARE(window->lblTitel()->text(), QString());
    QVERIFY(window->timer1()->isActive());
    QCOMPARE(window->timer1()->interval(), 5000);
    QCOMPARE(window->state().bestandspad, QString());
    QVERIFY(window->state().gedeeldemap.endsWith("GEDEELD" + QString(QDir::separator())));
}

void TestMainWindow::openAndCancel_data()
{
    QTest::addColumn<bool>("following");
    QTest::newRow("no file followed: the dialog starts in the shared folder") << false;
    QTest::newRow("a file followed: the dialog starts in its folder") << true;
}

void TestMainWindow::openAndCancel()
{
    QFETCH(bool, following);
    auto window = makeWindow();
    if (following) {
        QVERIFY(testsupport::writeFile(classPath(), classFile("Ruitersport Oost", 3), written));
        window->state().bestandspad = classPath();
        window->toonbestand(true);
    }
    window->btnKnop_Click(0);
    QCOMPARE(m_calls.size(), 1);
    QCOMPARE(m_calls[0].title, QString("Kies het gedeelde bestand..."));
    QCOMPARE(m_calls[0].folder, following ? m_shared->path() + "/" : window->state().gedeeldemap);
    QCOMPARE(m_calls[0].filter, QString("baldovenaar bestanden (baldovenaar?rst-*.dvz)"));
    QVERIFY(window->timer1()->isActive());
    QCOMPARE(window->state().bestandspad, following ? classPath() : QString());
    QCOMPARE(window->gridTable(1).rows(), following ? 4 : 2);
}

void TestMainWindow::chooseAndCloseAtOnce()
{
    QVERIFY(testsupport::writeFile(classPath(), classFile("Ruitersport Oost", 3), written));
    {
        auto window = makeWindow();
        m_answer = classPath();
        window->mnuBestandSub_Click(0);
        QCOMPARE(window->gridTable(1).rows(), 4);
        QCOMPARE(window->windowTitle(), QString("Korvalen Baldovenaar - baldovenaar rst-0001 (Ruitersport Oost)"));
        QVERIFY(window->close());
    }
    AppState next;
    leesinstellingen(next);
    QCOMPARE(next.bestandspad, classPath());
    // And the next start shows it at once.
    auto window = makeWindow();
    QCOMPARE(window->gridTable(1).rows(), 4);
}

void TestMainWindow::closingAfterTheFileVanished()
{
    QVERIFY(testsupport::writeFile(classPath(), classFile("Ruitersport Oost", 3), written));
    auto window = makeWindow();
    m_answer = classPath();
    window->kiesbestand();
    QVERIFY(QFile::remove(classPath()));
    window->Timer1_Timer();
    QCOMPARE(window->windowTitle(), QString("Korvalen Baldovenaar"));
    QVERIFY(window->close());
    // The office may publish the class again: the station keeps following it.
    AppState next;
    leesinstellingen(next);
    QCOMPARE(next.bestandspad, classPath());
}

void TestMainWindow::anotherFileStartsWithoutThePreviousIdentity()
{
    QVERIFY(testsupport::writeFile(classPath("0001"), classFile("Ruitersport Oost", 3), written));
    QVERIFY(testsupport::writeFile(classPath("0002"), classFile(QString(), 2, false), written));
    auto window = makeWindow();
    m_answer = classPath("0001");
    window->kiesbestand();
    QCOMPARE(window->state().owner, QString("Ruitersport Oost"));
    QCOMPARE(int(window->state().editvolgorde), 1);
    m_answer = classPath("0002");
    window->kiesbestand();
    QCOMPARE(window->state().owner, QString());
    QCOMPARE(window->state().wnr, QString());
    QCOMPARE(window->state().rid, QString());
    QCOMPARE(int(window->state().editvolgorde), 0);
    QCOMPARE(int(window->state().editnietgestart), 0);
    QCOMPARE(window->windowTitle(), QString("Korvalen Baldovenaar - baldovenaar rst-0002 ()"));
    QCOMPARE(window->state().zoekpatroon, QString("baldovenaar rst-0002*.dvz"));
}

void TestMainWindow::rewrittenFileIsShownWithinOneTick()
{
    QVERIFY(testsupport::writeFile(classPath(), classFile("Ruitersport Oost", 3), written));
    auto window = makeWindow();
    m_answer = classPath();
    window->kiesbestand();
    QVERIFY(testsupport::writeFile(classPath(), classFile("Ruitersport Oost", 5), written.addSecs(60)));
    window->Timer1_Timer();
    QCOMPARE(window->gridTable(1).rows(), 6);
    QCOMPARE(window->gridTable(1).textMatrix(5, 3), QString("Ruiter 5"));
    QCOMPARE(window->mutatieColour(), quint32(0x0000FF00));
}

void TestMainWindow::tickDoesNotOverlapItself()
{
    QVERIFY(testsupport::writeFile(classPath(), classFile("Ruitersport Oost", 3), written));
    auto window = makeWindow();
    m_answer = classPath();
    window->kiesbestand();
    QVERIFY(testsupport::writeFile(classPath(), classFile("Ruitersport Oost", 5), written.addSecs(60)));
    window->state().timerbezig = true;
    window->Timer1_Timer();
    QCOMPARE(window->gridTable(1).rows(), 4);
    window->state().timerbezig = false;
    window->Timer1_Timer();
    QCOMPARE(window->gridTable(1).rows(), 6);
    QVERIFY(!window->state().timerbezig);
}

void TestMainWindow::fileMenu()
{
    auto window = makeWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    const QList<QAction*> top = window->menuBar()->actions();
    QCOMPARE(top.size(), 2);
    QCOMPARE(top[0]->text(), QString("&Bestand"));
    QCOMPARE(top[1]->text(), QString("&Help"));
    QVERIFY(!top[1]->menu());
    top[1]->trigger();
    QVERIFY(window->isVisible());
    QVERIFY(m_calls.isEmpty());
    const QList<QAction*> items = top[0]->menu()->actions();
    QCOMPARE(items.size(), 3);
    QCOMPARE(items[0]->text(), QString("&Openen"));
    QVERIFY(items[1]->isSeparator());
    QCOMPARE(items[2]->text(), QString("&Afsluiten"));
    items[0]->trigger();
    QCOMPARE(m_calls.size(), 1);
    items[2]->trigger();
    QVERIFY(!window->isVisible());
    QVERIFY(QFile::exists(m_config->filePath("Korvalen 3.5.ini")));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
