#include "logboekvenster.h"

#include "daylog.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Enter in the search field finds the next, Shift+Enter the one before.
class SearchKeys : public QObject
{
public:
    SearchKeys(LogboekVenster* window, QObject* parent)
        : QObject(parent)
        , m_window(window)
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                m_window->find(key->modifiers() & Qt::ShiftModifier);
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    LogboekVenster* m_window;
};

} // namespace

LogboekVenster::LogboekVenster(const DayLog& log, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_log(log)
{
    setObjectName(QStringLiteral("frmLogboek"));
    setWindowTitle(QStringLiteral("Logboek"));
    setAttribute(Qt::WA_QuitOnClose, false);

    m_days = new QComboBox(this);
    m_days->setObjectName(QStringLiteral("cboDag"));
    m_days->setToolTip(QStringLiteral("Het logboek van een eerdere dag"));
    auto* dayLabel = new QLabel(QStringLiteral("&Dag:"), this);
    dayLabel->setBuddy(m_days);
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("txtZoeken"));
    m_search->setPlaceholderText(QStringLiteral("Zoeken (Enter: volgende, Shift+Enter: vorige)"));
    m_search->setClearButtonEnabled(true);
    m_search->installEventFilter(new SearchKeys(this, m_search));
    auto* searchLabel = new QLabel(QStringLiteral("&Zoeken:"), this);
    searchLabel->setBuddy(m_search);
    m_notFound = new QLabel(this);
    m_notFound->setObjectName(QStringLiteral("lblNietGevonden"));
    m_copy = new QPushButton(QStringLiteral("&Kopiëren"), this);
    m_copy->setObjectName(QStringLiteral("btnKopieren"));
    m_copy->setToolTip(QStringLiteral("Kopieer de gekozen regels, of zonder keuze het hele logboek van de dag"));
    m_view = new QPlainTextEdit(this);
    m_view->setObjectName(QStringLiteral("txtLogboek"));
    m_view->setReadOnly(true);
    m_view->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Room for a day of work; a longer log drops its oldest lines from the view, never the file.
    m_view->setMaximumBlockCount(200000);
    // Read-only, yet the keyboard walks the lines and selects them for copying.
    m_view->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    QFont fixed(QStringLiteral("monospace"));
    fixed.setStyleHint(QFont::TypeWriter);
    m_view->setFont(fixed);
    m_view->setTabStopDistance(QFontMetricsF(fixed).horizontalAdvance(u'0') * 10);

    auto* top = new QHBoxLayout;
    top->addWidget(dayLabel);
    top->addWidget(m_days, 1);
    top->addSpacing(12);
    top->addWidget(searchLabel);
    top->addWidget(m_search, 2);
    top->addWidget(m_notFound);
    top->addWidget(m_copy);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_view, 1);

    // Esc closes it, as a viewer beside the main window does.
    connect(new QShortcut(QKeySequence::Cancel, this), &QShortcut::activated, this, &QWidget::close);
    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("logboekTimer"));
    m_timer->setInterval(followInterval);
    connect(m_timer, &QTimer::timeout, this, &LogboekVenster::follow);
    connect(m_days, &QComboBox::currentIndexChanged, this, &LogboekVenster::dayChosen);
    connect(m_copy, &QPushButton::clicked, this, &LogboekVenster::copy);
    connect(m_search, &QLineEdit::textChanged, this, [this] { m_notFound->clear(); });

    resize(900, 560);
    showToday();
}

QString LogboekVenster::dayText(const QDate& day, const QDate& today)
{
    const QString text = QLocale(QLocale::Dutch).toString(day, QStringLiteral("dddd d MMMM yyyy"));
    return day == today ? text + QStringLiteral(" (vandaag)") : text;
}

void LogboekVenster::fillDays()
{
    // Filled anew, not chosen by the official.
    const QSignalBlocker quiet(m_days);
    const QDate today = m_log.today();
    QList<QDate> days = m_log.days();
    // Today is there to choose also before anything was logged today.
    if (!days.contains(today))
        days.prepend(today);
    m_days->clear();
    for (const QDate& day : days)
        m_days->addItem(dayText(day, today), day);
    const int shown = m_days->findData(m_day);
    m_days->setCurrentIndex(shown >= 0 ? shown : 0);
}

void LogboekVenster::showToday()
{
    showDay(m_log.today());
}

void LogboekVenster::dayChosen(int index)
{
    const QDate day = m_days->itemData(index).toDate();
    if (day.isValid() && day != m_day)
        showDay(day);
}

void LogboekVenster::showDay(const QDate& day)
{
    m_day = day;
    m_followsToday = day == m_log.today();
    fillDays();
    m_view->clear();
    m_reader.emplace(m_log.fileFor(day));
    follow();
    m_view->moveCursor(QTextCursor::End);
    m_view->verticalScrollBar()->setValue(m_view->verticalScrollBar()->maximum());
}

void LogboekVenster::follow()
{
    if (!m_reader)
        return;
    // Past midnight, the window that showed today goes on with the new day's log.
    if (m_followsToday && m_log.today() != m_day) {
        showToday();
        return;
    }
    QScrollBar* bar = m_view->verticalScrollBar();
    // The view follows the newest line while it shows it; an official reading further up is left there.
    const bool atEnd = bar->value() >= bar->maximum();
    const DayLogReader::Update update = m_reader->readNew();
    if (update.restarted)
        m_view->clear();
    if (update.truncated)
        m_view->appendPlainText(
            QStringLiteral("(het begin van dit logboek is weggelaten: het is te groot om te tonen)"));
    if (update.lines.isEmpty())
        return;
    // appendPlainText moves the view only when it stood at the end already.
    m_view->appendPlainText(update.lines.join(u'\n'));
    if (atEnd)
        bar->setValue(bar->maximum());
}

bool LogboekVenster::find(bool backward)
{
    const QString text = m_search->text();
    if (text.isEmpty())
        return false;
    QTextDocument::FindFlags flags;
    if (backward)
        flags |= QTextDocument::FindBackward;
    bool found = m_view->find(text, flags);
    if (!found) {
        // Round again from the other end.
        QTextCursor cursor = m_view->textCursor();
        cursor.movePosition(backward ? QTextCursor::End : QTextCursor::Start);
        m_view->setTextCursor(cursor);
        found = m_view->find(text, flags);
    }
    m_notFound->setText(found ? QString() : QStringLiteral("niet gevonden"));
    return found;
}

void LogboekVenster::copy()
{
    const QTextCursor cursor = m_view->textCursor();
    const QString text = cursor.hasSelection() ? cursor.selection().toPlainText() : m_view->toPlainText();
    QApplication::clipboard()->setText(text);
}

void LogboekVenster::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    follow();
    m_timer->start();
}

void LogboekVenster::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    m_timer->stop();
}
