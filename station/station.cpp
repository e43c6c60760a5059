#include "station.h"

#include "clock.h"
#include "codepaden.h"
#include "colourtable.h"
#include "columns.h"

#include <QTimer>

namespace {

// The grids as the load handler sets them up for a running order: one fixed header row, eleven columns
// with their alignments.
void setUpGrid(GridTable& grid)
{
    grid.setFixedCols(0);
    grid.setFixedRows(0);
    grid.setCols(column::Count);
    grid.setRows(2);
    grid.setFixedRows(1);
    grid.setFontName(QStringLiteral("Arial"));
    for (int c = 0; c < column::Count; ++c)
        grid.setColAlignment(c, column::alignment(c));
}

} // namespace

Station::Station(QObject* parent)
    : Station(Options(), parent)
{
}

Station::Station(Options options, QObject* parent)
    : QObject(parent)
    , m_mutatieColour(colours::white)
    , m_caption(RunOrderLoader::plainCaption())
{
    setObjectName(QStringLiteral("station"));
    if (options.clock) {
        m_clock = options.clock;
    } else {
        m_ownClock = std::make_unique<platform::SystemClock>();
        m_clock = m_ownClock.get();
    }
    m_working = new GridTable(this);
    m_working->setObjectName(QStringLiteral("grid1"));
    m_snapshot = new GridTable(this);
    m_snapshot->setObjectName(QStringLiteral("grid2"));
    m_scratch = new GridTable(this);
    m_scratch->setObjectName(QStringLiteral("grid3"));
    for (GridTable* grid : { m_working, m_snapshot, m_scratch }) {
        // The grids as designed, before the start sets them up for a running order.
        grid->setRows(2);
        grid->setCols(column::Count);
    }
    m_loader = std::make_unique<RunOrderLoader>(
        m_state, *m_working, *m_snapshot, *m_scratch, static_cast<RunOrderView&>(*this), *m_clock);
    m_loader->setSettleTime(options.settleTime);

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(5000);
    connect(m_timer1, &QTimer::timeout, this, &Station::Timer1_Timer);

    m_settleTimer = new QTimer(this);
    m_settleTimer->setObjectName(QStringLiteral("settleTimer"));
    m_settleTimer->setSingleShot(true);
    connect(m_settleTimer, &QTimer::timeout, this, &Station::Timer1_Timer);

    m_timerRegelsVerplaatsen = new QTimer(this);
    m_timerRegelsVerplaatsen->setObjectName(QStringLiteral("TimerRegelsVerplaatsen"));
    m_timerRegelsVerplaatsen->setInterval(100);
    connect(m_timerRegelsVerplaatsen, &QTimer::timeout, this, &Station::TimerRegelsVerplaatsen_Timer);
}

Station::~Station() = default;

void Station::prepare()
{
    bepaalpaden(m_state);
    leesinstellingen(m_state);
}

void Station::start()
{
    if (m_started || m_unloaded)
        return;
    m_started = true;
    for (GridTable* grid : { m_working, m_snapshot, m_scratch })
        setUpGrid(*grid);
    toonbestand(true);
    m_timer1->start();
}

void Station::unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_timer1->stop();
    m_settleTimer->stop();
    stopMoving();
    runWismutaties();
    bewaarinstellingen(m_state);
}

Station::ListChange Station::toonbestand(bool forceer)
{
    const ListChange change = m_loader->toonbestand(forceer);
    switch (change) {
    case ListChange::Rebuilt:
        emit listRebuilt();
        break;
    case ListChange::Replaced:
        emit listReplaced();
        break;
    case ListChange::Merged:
        emit listMerged();
        break;
    case ListChange::None:
        break;
    }
    return change;
}

void Station::Timer1_Timer()
{
    if (m_state.timerbezig || m_unloaded)
        return;
    m_state.timerbezig = true;
    toonbestand(false);
    m_state.timerbezig = false;
}

QString Station::beginOpen()
{
    m_timer1->stop();
    m_settleTimer->stop();
    return m_state.bestandspad().isEmpty() ? m_state.gedeeldemap : m_state.bestandsmap();
}

void Station::finishOpen(const std::optional<QString>& chosen)
{
    // Stopped while the dialog was up: the close has saved the settings and cleared the files; nothing
    // may follow it.
    if (m_unloaded)
        return;
    if (chosen) {
        // The mutation files of the class followed so far go before another class is followed.
        runWismutaties();
        m_loader->startNewFile();
        m_state.setBestandspad(*chosen);
        toonbestand(true);
    }
    runWismutaties();
    m_timer1->start();
}

bool Station::mayMove() const
{
    return m_listShown && knoppen::mayReorder(m_state);
}

void Station::moveOnce(regels::Richting richting)
{
    const int row = regels::verplaatsregel(*m_working, richting);
    emit lineMoved(row);
}

void Station::verplaatsregel(regels::Richting richting)
{
    if (!mayMove())
        return;
    moveOnce(richting);
    controleerwijzigingen();
}

void Station::pressMove(regels::Richting richting)
{
    if (!mayMove() || m_unloaded)
        return;
    moveOnce(richting);
    m_timerRegelsVerplaatsen->start(m_repeater.press(richting));
}

void Station::stopMoving()
{
    m_timerRegelsVerplaatsen->stop();
    m_repeater.release();
}

void Station::releaseMove()
{
    // Every release ends the moves, also when the permission went while the button was held (a re-read
    // took it away): the line must never run on by itself.
    stopMoving();
    if (knoppen::mayReorder(m_state))
        controleerwijzigingen();
}

void Station::TimerRegelsVerplaatsen_Timer()
{
    // Each tick checks again that a button is held and the file still allows moving lines.
    const std::optional<regels::Richting> held = m_repeater.held();
    if (!held || !mayMove()) {
        stopMoving();
        return;
    }
    moveOnce(*held);
    m_timerRegelsVerplaatsen->setInterval(m_repeater.repeated());
}

void Station::wisselrijen()
{
    if (!mayMove())
        return;
    const QString refusal = regels::controleerwissel(*m_working);
    if (!refusal.isEmpty()) {
        emit message(refusal);
        return;
    }
    regels::wisselrijen(*m_working);
    controleerwijzigingen();
}

void Station::wisselnietgestart()
{
    if (!m_listShown)
        return;
    if (knoppen::wisselnietgestart(*m_working, m_state))
        controleerwijzigingen();
}

SendResult Station::verzendmutatie()
{
    // The busy pointer for the whole screen, during the writing and the pause after it (which blocks on
    // purpose: no tick and no click can enter a send); back to normal before any message.
    emit busyChanged(true);
    const SendResult result = ::verzendmutatie(m_state, *m_working, *m_clock);
    emit busyChanged(false);
    if (const QString failure = verzendFoutmelding(result); !failure.isEmpty()) {
        emit sendFailed(result);
        emit message(failure);
    } else if (result.written) {
        emit sendWritten(result);
    }
    return result;
}

void Station::setScale(double scale)
{
    // The factor reaches the settings only when the station closes.
    m_state.scale = scale;
}

codeMultiSelect::PaintRow Station::painter()
{
    return codeMultiSelect::paintSelectionRow;
}

void Station::grid_MouseDown(int button, int shift)
{
    codeMultiSelect::GridMultiSelect_MouseDown(*m_working, button, shift, m_shiftDown, m_ctrlDown, painter());
}

void Station::grid_MouseUp(int button)
{
    codeMultiSelect::GridMultiSelect_MouseUp(*m_working, button, m_shiftDown, m_ctrlDown, painter());
}

void Station::grid_KeyDown(int shift)
{
    codeMultiSelect::GridMultiSelect_KeyDown(shift, m_shiftDown, m_ctrlDown);
}

void Station::grid_KeyUp()
{
    codeMultiSelect::GridMultiSelect_KeyUp(m_shiftDown, m_ctrlDown);
}

void Station::grid_SelChange()
{
    codeMultiSelect::GridMultiSelect_SelChange(*m_working, m_shiftDown, m_ctrlDown, painter());
}

void Station::runWismutaties()
{
    emit busyChanged(true);
    ::wismutaties(m_state);
    emit busyChanged(false);
}

void Station::setCaption(const QString& caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    emit captionChanged(caption);
}

void Station::setGridVisible(bool visible)
{
    if (visible != m_listShown) {
        m_listShown = visible;
        emit listShownChanged(visible);
    }
    // The empty view offers nothing to edit or send: the buttons would act on a hidden, stale list.
    // They come back once the list shows again (zetknoppen and controleerwijzigingen follow).
    if (!visible) {
        stopMoving();
        setButtons(Buttons());
    }
}

void Station::setLabels(const QString& titel, const QString& datum, const QString& begintijd)
{
    m_titel = titel;
    m_datum = datum;
    m_begintijd = begintijd;
    emit labelsChanged(titel, datum, begintijd);
}

void Station::setMutatieColour(quint32 colour)
{
    // Every check that finds the file sets the colour; the view decides whether it must repaint.
    m_mutatieColour = colour;
    emit mutatieColourChanged(colour);
}

void Station::adjust_grid()
{
    emit layoutNeeded();
}

void Station::GridMultiSelect_Refresh()
{
    codeMultiSelect::GridMultiSelect_Refresh(*m_working, painter());
}

void Station::zetknoppen()
{
    const knoppen::EditButtons enabled = knoppen::zetknoppen(m_state);
    Buttons buttons = m_buttons;
    buttons.volgorde = enabled.volgorde;
    buttons.nietGestart = enabled.nietGestart;
    setButtons(buttons);
}

void Station::controleerwijzigingen()
{
    // In the empty view there is no list to report.
    const knoppen::SendRule rule = m_sendRule.evaluate(*m_working, *m_snapshot, m_state);
    Buttons buttons = m_buttons;
    buttons.verzenden = m_listShown && rule.enabled;
    setButtons(buttons);
}

void Station::setButtons(const Buttons& buttons)
{
    if (buttons == m_buttons)
        return;
    m_buttons = buttons;
    // A move button that goes off ends its hold, as a release would.
    if (!buttons.volgorde && m_repeater.held())
        stopMoving();
    emit buttonsChanged(buttons);
}

void Station::lookAgainAfter(int milliseconds)
{
    // The open command stops this timer with Timer1 while its dialog is up.
    if (!m_unloaded)
        m_settleTimer->start(milliseconds);
}
