#include "clock.h"
#include "codepaden.h"
#include "flexgrid.h"
#include "frmbaldovenaar.h"
#include "runorderfiledialog.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
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
    void tickRepaintsOnlyWhatChanged_data();
    void tickRepaintsOnlyWhatChanged();
    void fileMenu();
    void refusedNames_data();
    void refusedNames();
    void openDialogTakesANameNotYetPublished_data();
    void openDialogTakesANameNotYetPublished();

private:
    // With Qt's own open dialog, or (by default) a stand-in that answers m_answer.
    std::unique_ptr<FrmBaldovenaar> makeWindow(bool qtDialog = false);
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
    testsupport::useOwnSettings(m_config->path());
    m_calls.clear();
    m_answer.reset();
}

void TestMainWindow::cleanup()
{
    m_shared.reset();
    m_config.reset();
}

std::unique_ptr<FrmBaldovenaar> TestMainWindow::makeWindow(bool qtDialog)
{
    FrmBaldovenaar::Options options;
    options.showSplash = false;
    // The files are written whole before the window reads them.
    options.settleTime = 0;
    options.clock = &m_clock;
    if (!qtDialog) {
        options.chooseFile = [this](const QString& title, const QString& folder, const QString& filter) {
            m_calls.append({ title, folder, filter });
            return m_answer;
        };
    }
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

void TestMainWindow::tickRepaintsOnlyWhatChanged_data()
{
    QTest::addColumn<bool>("rewritten");
    QTest::newRow("the office wrote nothing: nothing is painted") << false;
    QTest::newRow("a changed list: the grid and the indicator are painted") << true;
}

// The tick runs every five seconds all day: when the office wrote nothing, it must leave the screen alone
// (no repaint of the grid or of the indicator).
void TestMainWindow::tickRepaintsOnlyWhatChanged()
{
    QFETCH(bool, rewritten);
    QVERIFY(testsupport::writeFile(classPath(), classFile("Ruitersport Oost", 30), written));
    auto window = makeWindow();
    m_answer = classPath();
    window->kiesbestand();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    struct PaintCounter : QObject
    {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* event) override
        {
            paints += event->type() == QEvent::Paint;
            return false;
        }
    } grid, indicator;
    window->grid1()->viewport()->installEventFilter(&grid);
    window->lblMutatie()->installEventFilter(&indicator);
    QTest::qWait(100);
    grid.paints = indicator.paints = 0;
    if (rewritten)
        QVERIFY(testsupport::writeFile(classPath(), classFile("Ruitersport Oost", 31), written.addSecs(60)));
    window->Timer1_Timer();
    QTest::qWait(100);
    QCOMPARE(grid.paints > 0, rewritten);
    QCOMPARE(indicator.paints > 0, rewritten);
    QCOMPARE(window->gridTable(1).rows(), rewritten ? 32 : 31);
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
    QVERIFY(testsupport::savedSettings(m_config->path()).contains("scale="));
}

void TestMainWindow::refusedNames_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("refusal"); // its start; "" when the name is taken

    const QString notRunOrder = QStringLiteral("is geen baldovenaar bestand: geef een naam die eindigt op \".dvz\"");
    QTest::newRow("published name") << QStringLiteral("/gedeeld/baldovenaar rst-0001.dvz") << QString();
    QTest::newRow("upper-case extension") << QStringLiteral("/gedeeld/BALDOVENAAR RST-0001.DVZ") << QString();
    QTest::newRow("any name with the extension") << QStringLiteral("/gedeeld/springen.dvz") << QString();
    QTest::newRow("wildcard in the folder only") << QStringLiteral("/ge*deeld/rst.dvz") << QString();
    QTest::newRow("no extension") << QStringLiteral("/gedeeld/baldovenaar rst-0001")
                                  << "\"baldovenaar rst-0001\" " + notRunOrder;
    QTest::newRow("another extension") << QStringLiteral("/gedeeld/rst-0001.dvz.txt")
                                       << "\"rst-0001.dvz.txt\" " + notRunOrder;
    QTest::newRow("extension without the dot")
        << QStringLiteral("/gedeeld/rst-0001dvz") << "\"rst-0001dvz\" " + notRunOrder;
    // The station would look up "*.dvz": any class in the folder.
    QTest::newRow("extension only") << QStringLiteral("/gedeeld/.dvz") << "\".dvz\" " + notRunOrder;
    QTest::newRow("asterisk") << QStringLiteral("/gedeeld/baldovenaar rst-*.dvz")
                              << "\"baldovenaar rst-*.dvz\": de naam van het bestand mag geen * of ? bevatten.";
    QTest::newRow("question mark") << QStringLiteral("/gedeeld/baldovenaar?rst-0001.dvz")
                                   << "\"baldovenaar?rst-0001.dvz\": de naam van het bestand mag geen * of ? bevatten.";
}

void TestMainWindow::refusedNames()
{
    QFETCH(QString, path);
    QFETCH(QString, refusal);
    const QString given = RunOrderFileDialog::refusal(path);
    if (refusal.isEmpty())
        QCOMPARE(given, QString());
    else
        QVERIFY2(given.startsWith(refusal), qPrintable(given));
}

void TestMainWindow::openDialogTakesANameNotYetPublished_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("taken");

    QTest::newRow("a class not published yet") << "baldovenaar rst-0009.dvz" << true;
    QTest::newRow("a published class") << "baldovenaar rst-0001.dvz" << true;
    QTest::newRow("no extension: refused") << "baldovenaar rst-0009" << false;
    QTest::newRow("another extension: refused") << "baldovenaar rst-0009.txt" << false;
    QTest::newRow("a wildcard: refused") << "baldovenaar rst-*.dvz" << false;
}

void TestMainWindow::openDialogTakesANameNotYetPublished()
{
    QFETCH(QString, typed);
    QFETCH(bool, taken);

    QVERIFY(testsupport::writeFile(classPath("0001"), classFile("Ruitersport Oost", 3), written));
    auto window = makeWindow(true);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    window->state().gedeeldemap = QDir::toNativeSeparators(m_shared->path()) + QDir::separator();

    // The official types the name and presses Enter; a refusal is read and closed, then the dialog
    // (still open) cancelled.
    QString title;
    QString folder;
    QStringList filters;
    QString message;
    bool stayed = false;
    QTimer::singleShot(0, window.get(), [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        auto* edit = dialog ? dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
        if (!edit)
            return;
        title = dialog->windowTitle();
        folder = dialog->directory().absolutePath();
        filters = dialog->nameFilters();
        QTimer::singleShot(0, dialog, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                message = box->text();
                box->accept();
            }
        });
        edit->setText(typed);
        QTest::keyClick(edit, Qt::Key_Return);
        stayed = dialog->isVisible();
        if (stayed)
            dialog->reject();
    });
    window->kiesbestand();

    QCOMPARE(title, QStringLiteral("Kies het gedeelde bestand..."));
    QCOMPARE(folder, QDir(m_shared->path()).absolutePath());
    QCOMPARE(filters, QStringList { QStringLiteral("baldovenaar bestanden (baldovenaar?rst-*.dvz)") });
    QVERIFY(window->timer1()->isActive());
    QCOMPARE(stayed, !taken);
    QCOMPARE(message, taken ? QString() : RunOrderFileDialog::refusal(typed));
    if (!taken) {
        QCOMPARE(window->state().bestandspad, QString());
        return;
    }
    QCOMPARE(QDir::cleanPath(window->state().bestandspad), QDir::cleanPath(m_shared->filePath(typed)));
    if (typed.endsWith(QStringLiteral("0001.dvz"))) {
        QCOMPARE(window->gridTable(1).rows(), 4);
        return;
    }
    // Followed before it exists: the empty view until the office publishes it.
    QVERIFY(!window->grid1()->isVisible());
    QVERIFY(testsupport::writeFile(m_shared->filePath(typed), classFile("Ruitersport Oost", 5), written));
    window->Timer1_Timer();
    QVERIFY(window->grid1()->isVisible());
    QCOMPARE(window->gridTable(1).rows(), 6);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
