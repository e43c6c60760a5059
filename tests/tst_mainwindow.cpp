#include "classfile.h"
#include "codepaden.h"
#include "daylog.h"
#include "files.h"
#include "flexgrid.h"
#include "handleidingvenster.h"
#include "helpmenu.h"
#include "logboekvenster.h"
#include "runorderfiledialog.h"
#include "statusline.h"
#include "windowfixture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>
#include <QUrl>

namespace {

const QDateTime written(QDate(2026, 12, 7), QTime(9, 0, 0));

QByteArray classFile(int starters)
{
    QStringList keys;
    for (int i = 1; i <= starters; ++i)
        keys << QString::number(2000 + i);
    return testsupport::classBytes(keys.join(u' '));
}

} // namespace

// The main window's life: first start, the open command and its dialog, the File menu, what the tick
// paints and what reaches the settings at exit. The file dialog is replaced by a stand-in that answers as
// the user would. The flows behind them are tested on the station object (tst_station).
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
    void tickRepaintsOnlyWhatChanged_data();
    void tickRepaintsOnlyWhatChanged();
    void fileMenu();
    void refusedNames_data();
    void refusedNames();
    void openDialogTakesANameNotYetPublished_data();
    void openDialogTakesANameNotYetPublished();
    void leavingWorkTheOfficeHasNotGotAsksFirst_data();
    void leavingWorkTheOfficeHasNotGotAsksFirst();
    void statusLineSaysWhereTheWorkStands();
    void logWindowFollowsTheDay();

private:
    QString classPath(const QString& id = "0001") const { return m_kit->classPath(id); }
    Station& station() { return m_kit->station(); }

    std::unique_ptr<testsupport::WindowFixture> m_kit;
};

void TestMainWindow::init()
{
    m_kit = std::make_unique<testsupport::WindowFixture>();
    QVERIFY(m_kit->isValid());
}

void TestMainWindow::cleanup()
{
    m_kit.reset();
}

void TestMainWindow::firstStartShowsTheEmptyView()
{
    FrmBaldovenaar& window = m_kit->makeWindow();
    QCOMPARE(window.windowTitle(), QString("Korvalen Baldovenaar"));
    QVERIFY(!m_kit->grid()->isVisible());
    QCOMPARE(m_kit->label("lblTitel")->text(), QString());
    QVERIFY(station().timer1()->isActive());
    QCOMPARE(station().timer1()->interval(), 5000);
    QCOMPARE(station().state().bestandspad(), QString());
    QVERIFY(station().state().gedeeldemap.endsWith("GEDEELD" + QString(QDir::separator())));
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
    FrmBaldovenaar& window = m_kit->makeWindow(false);
    if (following) {
        QVERIFY(testsupport::writeFile(classPath(), classFile(3), written));
        station().beginOpen();
        station().finishOpen(classPath());
    }
    window.btnKnop_Click(knoppen::Openen);
    const auto& calls = m_kit->dialogCalls;
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls[0].title, QString("Kies het gedeelde bestand..."));
    QCOMPARE(calls[0].folder, following ? m_kit->sharedFolder() + "/" : station().state().gedeeldemap);
    QCOMPARE(calls[0].filter, QString("baldovenaar bestanden (baldovenaar?rst-*.dvz)"));
    QVERIFY(station().timer1()->isActive());
    QCOMPARE(station().state().bestandspad(), following ? classPath() : QString());
    QCOMPARE(station().working().rows(), following ? 4 : 2);
}

void TestMainWindow::chooseAndCloseAtOnce()
{
    QVERIFY(testsupport::writeFile(classPath(), classFile(3), written));
    FrmBaldovenaar& window = m_kit->makeWindow(false);
    m_kit->answer = classPath();
    window.mnuBestandSub_Click(0);
    QCOMPARE(station().working().rows(), 4);
    QCOMPARE(window.windowTitle(), QString("Korvalen Baldovenaar - baldovenaar rst-0001 (Ruitersport Oost)"));
    QVERIFY(window.close());
    AppState next;
    leesinstellingen(next);
    QCOMPARE(next.bestandspad(), classPath());
    // And the next start shows it at once.
    m_kit->makeWindow(false);
    QCOMPARE(station().working().rows(), 4);
}

void TestMainWindow::closingAfterTheFileVanished()
{
    QVERIFY(testsupport::writeFile(classPath(), classFile(3), written));
    FrmBaldovenaar& window = m_kit->makeWindow(false);
    m_kit->answer = classPath();
    window.kiesbestand();
    QVERIFY(QFile::remove(classPath()));
    station().Timer1_Timer();
    // The class goes on: its last list stays, greyed, under its title.
    QCOMPARE(window.windowTitle(), QString("Korvalen Baldovenaar - baldovenaar rst-0001 (Ruitersport Oost)"));
    QVERIFY(m_kit->grid()->isStale());
    QVERIFY(window.close());
    // The office may publish the class again: the station keeps following it.
    AppState next;
    leesinstellingen(next);
    QCOMPARE(next.bestandspad(), classPath());
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
    QVERIFY(testsupport::writeFile(classPath(), classFile(30), written));
    FrmBaldovenaar& window = m_kit->makeWindow();
    m_kit->answer = classPath();
    window.kiesbestand();
    struct PaintCounter : QObject
    {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* event) override
        {
            paints += event->type() == QEvent::Paint;
            return false;
        }
    } grid, indicator;
    m_kit->grid()->viewport()->installEventFilter(&grid);
    m_kit->label("lblMutatie")->installEventFilter(&indicator);
    QTest::qWait(100);
    grid.paints = indicator.paints = 0;
    if (rewritten)
        QVERIFY(testsupport::writeFile(classPath(), classFile(31), written.addSecs(60)));
    station().Timer1_Timer();
    QTest::qWait(100);
    QCOMPARE(grid.paints > 0, rewritten);
    QCOMPARE(indicator.paints > 0, rewritten);
    QCOMPARE(station().working().rows(), rewritten ? 32 : 31);
}

void TestMainWindow::fileMenu()
{
    FrmBaldovenaar& window = m_kit->makeWindow();
    auto item = [&window](const char* name) { return window.findChild<QAction*>(QLatin1String(name)); };
    // Help > Handleiding: the Dutch guide, formatted, with its pictures, in a window of the station.
    item("mnuHandleiding")->trigger();
    QVERIFY(window.helpMenu().handleiding() && window.helpMenu().handleiding()->isVisible());
    QCOMPARE(
        window.helpMenu().handleiding()->title(), QStringLiteral("Baldovenaar: handleiding voor de ringmedewerker"));
    QTextDocument* guide = window.helpMenu().handleiding()->browser()->document();
    int pictures = 0;
    for (QTextBlock block = guide->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextImageFormat image = it.fragment().charFormat().toImageFormat();
            if (image.isValid() && !guide->resource(QTextDocument::ImageResource, QUrl(image.name())).isNull())
                ++pictures;
        }
    }
    QVERIFY2(pictures >= 2, "the guide's pictures are found beside it");
    // Help > Over Baldovenaar: the version and the suite, in a message.
    item("mnuOverBaldovenaar")->trigger();
    QCOMPARE(m_kit->messages.size(), 1);
    QVERIFY(m_kit->messages[0].contains(QStringLiteral("versie %1").arg(QStringLiteral(BALDOVENAAR_VERSION))));
    QVERIFY(m_kit->messages[0].contains(QStringLiteral("Korvalen 3.5")));
    QVERIFY(window.isVisible());
    QVERIFY(m_kit->dialogCalls.isEmpty());
    item("mnuBestandSub0")->trigger();
    QCOMPARE(m_kit->dialogCalls.size(), 1);
    // Today's day log, in a window of the station, read-only; written to before, so there is something to show.
    item("mnuLogboek")->trigger();
    QVERIFY(window.logboek() && window.logboek()->isVisible());
    QVERIFY(window.logboek()->view()->isReadOnly());
    QCOMPARE(window.logboek()->day(), station().dayLog().today());
    item("mnuBestandSub3")->trigger();
    QVERIFY(!window.isVisible());
    // The log and the guide close with the station.
    QVERIFY(!window.logboek()->isVisible());
    QVERIFY(!window.helpMenu().handleiding()->isVisible());
    QVERIFY(testsupport::savedSettings(m_kit->configFolder()).contains("scale="));
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

    QVERIFY(testsupport::writeFile(classPath("0001"), classFile(3), written));
    FrmBaldovenaar& window = m_kit->makeWindow(true, true);

    // The official types the name and presses Enter; a refusal is read and closed, then the dialog
    // (still open) cancelled.
    QString title;
    QString folder;
    QStringList filters;
    QString message;
    bool stayed = false;
    QTimer::singleShot(0, &window, [&] {
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
    window.kiesbestand();

    QCOMPARE(title, QStringLiteral("Kies het gedeelde bestand..."));
    QCOMPARE(folder, QDir(m_kit->sharedFolder()).absolutePath());
    QCOMPARE(filters, QStringList { QStringLiteral("baldovenaar bestanden (baldovenaar?rst-*.dvz)") });
    QVERIFY(station().timer1()->isActive());
    QCOMPARE(stayed, !taken);
    QCOMPARE(message, taken ? QString() : RunOrderFileDialog::refusal(typed));
    if (!taken) {
        QCOMPARE(station().state().bestandspad(), QString());
        return;
    }
    const QString typedPath = m_kit->sharedFolder() + "/" + typed;
    QCOMPARE(QDir::cleanPath(station().state().bestandspad()), QDir::cleanPath(typedPath));
    if (typed.endsWith(QStringLiteral("0001.dvz"))) {
        QCOMPARE(station().working().rows(), 4);
        return;
    }
    // Followed before it exists: the empty view until the office publishes it.
    QVERIFY(!m_kit->grid()->isVisible());
    QVERIFY(testsupport::writeFile(typedPath, classFile(5), written));
    station().Timer1_Timer();
    QVERIFY(m_kit->grid()->isVisible());
    QCOMPARE(station().working().rows(), 6);
}

void TestMainWindow::leavingWorkTheOfficeHasNotGotAsksFirst_data()
{
    QTest::addColumn<QString>("work"); // "none", "unsent", "sent"
    QTest::addColumn<QString>("how"); // "close", "open", "stop"
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("left");

    QTest::newRow("nothing unsent: closes without a question") << "none"
                                                               << "close" << false << false << true;
    QTest::newRow("a move not sent, No: stays open, the send file and the move kept")
        << "unsent"
        << "close" << false << true << false;
    QTest::newRow("a move not sent, Yes: closes") << "unsent"
                                                  << "close" << true << true << true;
    QTest::newRow("a send not taken in, No: stays") << "sent"
                                                    << "close" << false << true << false;
    QTest::newRow("a send not taken in, Openen, No: no dialog, the class stays") << "sent"
                                                                                 << "open" << false << true << false;
    QTest::newRow("a send not taken in, Openen, Yes: the dialog") << "sent"
                                                                  << "open" << true << true << true;
    // A logout or shutdown asks nothing: the journal keeps the work.
    QTest::newRow("a stop signal: closes without a question") << "sent"
                                                              << "stop" << false << false << true;
}

void TestMainWindow::leavingWorkTheOfficeHasNotGotAsksFirst()
{
    QFETCH(QString, work);
    QFETCH(QString, how);
    QFETCH(bool, answer);
    QVERIFY(testsupport::writeFile(classPath(), classFile(3), written));
    FrmBaldovenaar& window = m_kit->makeWindow();
    m_kit->answer = classPath();
    window.kiesbestand();
    if (work != u"none") {
        m_kit->clickRow(1);
        window.btnVerplaatsregels_MouseDown(regels::Richting::Omlaag);
        window.btnVerplaatsregels_MouseUp();
    }
    if (work == u"sent")
        window.btnKnop_Click(knoppen::Verzenden);
    const QStringList files = m_kit->mutationFiles();
    m_kit->answerYes = answer;
    m_kit->dialogCalls.clear();

    if (how == u"close")
        window.close();
    else if (how == u"open")
        window.kiesbestand();
    else
        window.stop();

    QFETCH(bool, asked);
    QFETCH(bool, left);
    QCOMPARE(m_kit->questions.size(), asked ? 1 : 0);
    if (how == u"open") {
        QCOMPARE(m_kit->dialogCalls.size(), left ? 1 : 0);
        return;
    }
    QCOMPARE(window.isVisible(), !left);
    QCOMPARE(window.isUnloaded(), left);
    if (!left) {
        QCOMPARE(m_kit->mutationFiles(), files);
        QVERIFY(station().hasUnsentWork());
    }
}

void TestMainWindow::statusLineSaysWhereTheWorkStands()
{
    QVERIFY(testsupport::writeFile(classPath(), classFile(3), written));
    FrmBaldovenaar& window = m_kit->makeWindow();
    auto* line = window.findChild<StatusLine*>(QStringLiteral("statusLine"));
    QVERIFY(line);
    QVERIFY(line->text().startsWith(QStringLiteral("Geen klasse gekozen")));
    m_kit->answer = classPath();
    window.kiesbestand();
    QCOMPARE(line->text(), QString());
    m_kit->clickRow(1);
    window.btnKnop_Click(knoppen::NietGestart);
    QCOMPARE(line->text(), QStringLiteral("Nog niet verzonden: 1 starter anders dan de lijst van het secretariaat"));
    QCOMPARE(line->tone(), StatusTone::Waiting);
    window.btnKnop_Click(knoppen::Verzenden);
    QCOMPARE(line->text(), QStringLiteral("Verzonden om 10:00:00, wacht op het secretariaat"));
}

void TestMainWindow::logWindowFollowsTheDay()
{
    FrmBaldovenaar& window = m_kit->makeWindow();
    // The station's own lines, written as the station writes them, into its log.
    DayLog log(station().dayLog().folder(), m_kit->clock);
    // A day's worth of lines today, and yesterday's log beside it.
    for (int i = 0; i < 300; ++i)
        log.append(QStringLiteral("Springen klasse M"), QStringLiteral("regel %1").arg(i));
    QFile yesterday(log.fileFor(log.today().addDays(-1)));
    QVERIFY(yesterday.open(QIODevice::WriteOnly));
    yesterday.write("16:00:00\tSpringen klasse M\tgisteren\n");
    yesterday.close();

    window.findChild<QAction*>(QStringLiteral("mnuLogboek"))->trigger();
    LogboekVenster* logboek = window.logboek();
    QVERIFY(logboek && logboek->isVisible());
    QPlainTextEdit* view = logboek->view();
    QScrollBar* bar = view->verticalScrollBar();
    QVERIFY(view->toPlainText().endsWith(QStringLiteral("regel 299")));
    QTRY_VERIFY(bar->maximum() > 0);
    QCOMPARE(bar->value(), bar->maximum());

    // A new line: at the bottom at the window's next look, and the view follows it.
    log.append(QStringLiteral("Springen klasse M"), QStringLiteral("verzonden"));
    QTRY_VERIFY_WITH_TIMEOUT(view->toPlainText().endsWith(QStringLiteral("verzonden")), 3000);
    QCOMPARE(bar->value(), bar->maximum());
    // Scrolled up to read an earlier line, the official is left there.
    bar->setValue(0);
    log.append(QStringLiteral("Springen klasse M"), QStringLiteral("nog een"));
    logboek->follow();
    QVERIFY(view->toPlainText().endsWith(QStringLiteral("nog een")));
    QCOMPARE(bar->value(), 0);

    // Read-only: a key changes nothing. The search finds, and Kopiëren copies what it found.
    const QString shown = view->toPlainText();
    QTest::keyClicks(view, QStringLiteral("x"));
    QCOMPARE(view->toPlainText(), shown);
    logboek->searchField()->setText(QStringLiteral("regel 150"));
    QTest::keyClick(logboek->searchField(), Qt::Key_Return);
    QCOMPARE(view->textCursor().selectedText(), QStringLiteral("regel 150"));
    logboek->copy();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("regel 150"));
    logboek->searchField()->setText(QStringLiteral("niet in het logboek"));
    QVERIFY(!logboek->find());

    // Yesterday's log, chosen above it.
    QComboBox* days = logboek->daysBox();
    QCOMPARE(days->count(), 2);
    days->setCurrentIndex(1);
    QCOMPARE(logboek->day(), log.today().addDays(-1));
    QVERIFY(view->toPlainText().endsWith(QStringLiteral("gisteren")));
    QVERIFY(!view->toPlainText().contains(QStringLiteral("regel")));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
