#include "station.h"

#include "clock.h"
#include "codepaden.h"
#include "colourtable.h"
#include "columns.h"
#include "diagnostics.h"
#include "officechanges.h"
#include "systemerrors.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>
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

// How long the journal waits after an edit before it is written: a held move writes once per run of
// moves, not once per line, and the edit itself never waits for the disk.
constexpr int journalDelay = 50;

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
    qRegisterMetaType<StationStatus>();
    if (options.clock) {
        m_clock = options.clock;
    } else {
        m_ownClock = std::make_unique<platform::SystemClock>();
        m_clock = m_ownClock.get();
    }
    m_dataFolder = options.dataFolder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)
                                                : options.dataFolder;
    m_journal = std::make_unique<RingJournal>(QDir(m_dataFolder).filePath(QStringLiteral("werk")));
    m_log = std::make_unique<DayLog>(QDir(m_dataFolder).filePath(QStringLiteral("logboek")), *m_clock);

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
    m_loader->setCheckTime(options.checkTime);

    m_sendQueue = new SendQueue(this);
    m_sendQueue->setObjectName(QStringLiteral("sendQueue"));
    m_sendQueue->setHangTime(options.hangTime);
    m_sendWait = options.sendWait;
    connect(m_sendQueue, &SendQueue::finished, this, &Station::shareTaskDone);
    connect(m_sendQueue, &SendQueue::hanging, this, &Station::sendHangs);

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

    m_journalTimer = new QTimer(this);
    m_journalTimer->setObjectName(QStringLiteral("journalTimer"));
    m_journalTimer->setSingleShot(true);
    m_journalTimer->setInterval(journalDelay);
    connect(m_journalTimer, &QTimer::timeout, this, &Station::saveJournal);

    // Counts the seconds of a send the office has not taken in yet.
    m_statusTimer = new QTimer(this);
    m_statusTimer->setObjectName(QStringLiteral("statusTimer"));
    m_statusTimer->setInterval(1000);
    connect(m_statusTimer, &QTimer::timeout, this, &Station::updateStatus);
}

Station::~Station()
{
    // An edit whose journal was still to be written: written now, so that even a station taken down without
    // its close keeps the official's work.
    if (m_journalTimer->isActive())
        saveJournal();
}

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
    m_journalPending = true;
    toonbestand(true);
    m_timer1->start();
    updateStatus();
}

void Station::unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_timer1->stop();
    m_settleTimer->stop();
    m_statusTimer->stop();
    if (endRun())
        noteEdit();
    if (m_journalTimer->isActive())
        saveJournal();
    m_journalTimer->stop();
    runWismutaties(QStringLiteral("bij het afsluiten"));
    bewaarinstellingen(m_state);
    // What is still under way in the shared folder is given a few seconds, no more: a share that does not
    // answer must not keep the station from closing. The status line says why the close waits.
    if (!m_sendQueue->waitUntilIdle(0)) {
        m_status.closing = true;
        updateStatus();
        if (!m_sendQueue->waitUntilIdle(closeWait))
            log(QStringLiteral("afgesloten terwijl de gedeelde map na %1 s nog niet antwoordde: %2")
                    .arg(closeWait / 1000)
                    .arg(m_sendsUnderWay > 0 ? QStringLiteral("de laatste verzending heeft de map mogelijk niet bereikt")
                                             : QStringLiteral("de mutatiebestanden zijn mogelijk niet opgeruimd")));
    }
}

Station::ListChange Station::toonbestand(bool forceer)
{
    const ListChange change = m_loader->toonbestand(forceer);
    afterRead(change);
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

void Station::afterRead(ListChange change)
{
    // A class just opened: its earlier sends go as soon as its identity is known, before any send of this
    // session is possible (a send needs the identity too). Left in the folder, they would bring an old ring
    // order to an office that takes them in.
    if (m_cleanUpWhenKnown && m_state.klasbekend) {
        m_cleanUpWhenKnown = false;
        runWismutaties(QStringLiteral("bij het openen van de klasse"));
    }
    logFollowChange();
    // A merge that changed nothing (the office saved the same list again) is no news: not for the day log, and
    // not for the journal, whose work it leaves as it was.
    const bool news = change != ListChange::None && !(change == ListChange::Merged && m_loader->mergedCells().empty());
    if (news)
        log(describeRead(change));
    checkReceipt(change);
    if (change == ListChange::Rebuilt || change == ListChange::Replaced) {
        // The rows are the office's rows now: what could be undone was done on other ones.
        m_history.clear();
        m_status.officeChanged = change == ListChange::Replaced ? m_clock->now() : QDateTime();
        if (change == ListChange::Replaced && m_offer) {
            m_status.work = StationStatus::Work::Offered;
            log(QStringLiteral("niet verzonden wijzigingen vervangen door de lijst van het secretariaat: %1 (Opnieuw "
                               "toepassen mogelijk)")
                    .arg(m_offer->changedNames.join(QStringLiteral(", "))));
        }
    }
    if (change == ListChange::Rebuilt && m_journalPending) {
        m_journalPending = false;
        restoreOrOffer();
    }
    if (news)
        saveJournalSoon();
    controleerwijzigingen();
    followRing(change == ListChange::Replaced);
}

QString Station::describeRead(ListChange change) const
{
    if (change == ListChange::Rebuilt)
        return QStringLiteral("lijst van het secretariaat gelezen: %1 regels").arg(m_working->rows() - 1);
    if (change == ListChange::Merged) {
        QStringList changed;
        int lastRow = 0;
        for (const runordermerge::ChangedCell& cell : m_loader->mergedCells()) {
            if (cell.row != lastRow)
                changed << starterAt(cell.row);
            lastRow = cell.row;
        }
        return QStringLiteral("lijst van het secretariaat samengevoegd, gewijzigd bij: %1").arg(changed.join(u"; "));
    }
    QString replaced
        = QStringLiteral("lijst van het secretariaat vervangt die van de ring (%1 regels)").arg(m_working->rows() - 1);
    if (!m_officeChanges.isEmpty())
        replaced += QStringLiteral(": ") + m_officeChanges;
    return replaced;
}

void Station::checkReceipt(ListChange change)
{
    if (!m_sent || change == ListChange::None)
        return;
    // The office's list just read: the merged one is still in the scratch grid; a replaced or rebuilt one
    // is the snapshot now.
    const GridTable& office = change == ListChange::Merged ? *m_scratch : *m_snapshot;
    const QString sentAt = m_sent->at.toString(QStringLiteral("HH:mm:ss"));
    if (takenIn(*m_sent, office)) {
        m_status.send = StationStatus::Send::TakenIn;
        m_status.receivedAt = m_clock->now();
        log(QStringLiteral("verwerkt door het secretariaat (verzonden om %1)").arg(sentAt));
    } else if (change == ListChange::Merged) {
        return; // the office has not taken the send in yet; its next list may
    } else {
        m_status.send = StationStatus::Send::NotAsSent;
        m_status.receivedAt = m_clock->now();
        log(QStringLiteral("niet verwerkt zoals verzonden: het secretariaat publiceerde een andere lijst (verzonden om "
                           "%1)")
                .arg(sentAt));
    }
    m_sent.reset();
    m_statusTimer->stop();
}

void Station::restoreOrOffer()
{
    const QString path = m_state.bestandspad();
    const RingJournal::Loaded loaded = m_journal->load(path);
    if (!loaded.setAside.isEmpty())
        log(QStringLiteral("werkbestand beschadigd, apart gezet als %1")
                .arg(QDir::toNativeSeparators(loaded.setAside)));
    if (!loaded.work || loaded.work->isEmpty())
        return;
    if (loaded.work->rid != m_state.rid) {
        // The office gave the file to another class meanwhile: this work is of no use to it.
        log(QStringLiteral("werk van een andere klasse (rid %1) niet teruggezet").arg(loaded.work->rid));
        m_journal->remove(path);
        return;
    }
    const QString saved = loaded.work->saved.toString(QStringLiteral("HH:mm:ss"));
    if (loaded.work->officeList != officeListDigest(*m_snapshot)) {
        m_offer = loaded.work;
        m_status.work = StationStatus::Work::Offered;
        log(QStringLiteral("niet verzonden wijzigingen van %1 aangeboden: het secretariaat wijzigde de lijst sindsdien")
                .arg(saved));
        return;
    }
    beginStep();
    const Reapplication back
        = reapply(*m_working, *loaded.work, knoppen::mayReorder(m_state), knoppen::mayMarkNotStarted(m_state));
    for (const auto& [a, b] : back.step.exchanges)
        m_history.exchanged(a, b);
    m_history.toggled(back.step.toggledMarks);
    endStep(QStringLiteral("niet verzonden wijzigingen van %1 teruggezet: %2")
                .arg(saved, loaded.work->changedNames.join(QStringLiteral(", "))));
    m_status.work = StationStatus::Work::Restored;
    m_status.count = back.changesBack;
    updateStatus();
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
    // The mutation files of the class followed so far go, whether another class is chosen or not.
    runWismutaties(QStringLiteral("bij Openen"));
    if (chosen) {
        if (m_journalTimer->isActive())
            saveJournal();
        // The file already followed, chosen again: read again, forced, with the official kept on their row and
        // the list where it was scrolled to. Another file starts from nothing.
        const auto absolute = [](const QString& path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); };
        const bool sameFile = !m_state.bestandspad().isEmpty() && absolute(*chosen) == absolute(m_state.bestandspad());
        if (!sameFile) {
            m_loader->startNewFile();
            m_state.setBestandspad(*chosen);
            // Another class begins with its first starter in the ring.
            m_ring.clear();
        }
        m_cleanUpWhenKnown = true;
        m_journalPending = true;
        m_sent.reset();
        m_offer.reset();
        m_history.clear();
        m_statusTimer->stop();
        m_status = StationStatus();
        log(QStringLiteral("geopend"));
        // Kept at once, not only at the close: after a crash or a power cut the station starts with the class
        // the official was following, and its journal brings the unsent work back.
        bewaarinstellingen(m_state);
        toonbestand(true);
    }
    m_timer1->start();
    updateStatus();
}

bool Station::hasUnsentWork() const
{
    return m_status.unsent > 0 || m_sent.has_value() || m_offer.has_value();
}

bool Station::mayMove() const
{
    return m_listState == ListState::Shown && knoppen::mayReorder(m_state);
}

void Station::moveOnce(regels::Richting richting)
{
    const int from = m_working->row();
    const int row = regels::verplaatsregel(*m_working, richting);
    m_history.exchanged(from, row);
    // The board and the marker follow a held line at every step, not only at the release.
    followRing();
    emit lineMoved(row);
}

void Station::verplaatsregel(regels::Richting richting)
{
    pressMove(richting);
    releaseMove();
}

void Station::pressMove(regels::Richting richting)
{
    if (!mayMove() || m_unloaded)
        return;
    beginStep();
    m_runStart = m_working->row();
    m_runStarter = starterAt(m_runStart);
    moveOnce(richting);
    m_timerRegelsVerplaatsen->start(m_repeater.press(richting));
}

void Station::stopMoving()
{
    m_timerRegelsVerplaatsen->stop();
    m_repeater.release();
    m_moveSuspended = false;
}

bool Station::endRun()
{
    const bool wasHeld = m_repeater.held().has_value();
    stopMoving();
    if (!wasHeld || !m_history.isOpen())
        return false;
    const QString what = QStringLiteral("verplaatst: %1 van plaats %2 naar plaats %3")
                             .arg(m_runStarter, m_working->textMatrix(m_runStart, column::Position),
                                 m_working->textMatrix(m_working->row(), column::Position));
    if (!m_history.end(*m_working, what))
        return false;
    log(what);
    return true;
}

void Station::suspendMove()
{
    if (m_repeater.held())
        m_moveSuspended = true;
}

void Station::resumeMove()
{
    m_moveSuspended = false;
}

void Station::releaseMove()
{
    // Every release ends the moves, also when the permission went while the button was held (a re-read
    // took it away): the line must never run on by itself.
    if (endRun())
        afterEdit();
    else if (knoppen::mayReorder(m_state))
        controleerwijzigingen();
}

void Station::TimerRegelsVerplaatsen_Timer()
{
    // Each tick checks again that a button is held and the file still allows moving lines.
    const std::optional<regels::Richting> held = m_repeater.held();
    if (!held || !mayMove()) {
        if (endRun())
            noteEdit();
        return;
    }
    // The key may have been let go: no step until that is known; the repeat's pace stays.
    if (m_moveSuspended)
        return;
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
    beginStep();
    const std::optional<std::pair<int, int>> rows = regels::wisselrijen(*m_working);
    if (!rows) {
        endStep(QString());
        return;
    }
    m_history.exchanged(rows->first, rows->second);
    // The two starters now stand on each other's places.
    endStep(QStringLiteral("gewisseld: %1 naar plaats %2 en %3 naar plaats %4")
                .arg(starterAt(rows->second), m_working->textMatrix(rows->second, column::Position),
                    starterAt(rows->first), m_working->textMatrix(rows->first, column::Position)));
}

void Station::wisselnietgestart()
{
    if (m_listState != ListState::Shown)
        return;
    beginStep();
    const std::optional<std::vector<int>> toggled = knoppen::wisselnietgestart(*m_working, m_state);
    if (!toggled) {
        endStep(QString());
        return;
    }
    m_history.toggled(*toggled);
    QStringList marked;
    QStringList unmarked;
    for (int row : *toggled)
        (m_working->textView(row, column::Mark) == notStartedMark ? marked : unmarked) << starterAt(row);
    QStringList what;
    if (!marked.isEmpty())
        what << QStringLiteral("niet gestart: %1").arg(marked.join(u"; "));
    if (!unmarked.isEmpty())
        what << QStringLiteral("niet gestart teruggenomen: %1").arg(unmarked.join(u"; "));
    endStep(what.join(QStringLiteral(" / ")));
}

SendResult Station::verzendmutatie()
{
    // Only what the send button offers: the list shown and changes the ring may report.
    if (!m_buttons.verzenden) {
        SendResult nothing;
        nothing.skipped = true;
        return nothing;
    }
    // What the send carries is taken here, on the window's thread, at the press: no tick or click can change
    // it half-way. It is written in the send queue's thread, after every send made before it, so a share that
    // is slow or gone never holds the window; a share that answers at once has it written before this returns.
    const QDateTime at = m_clock->now();
    SendJob job = prepareSend(m_state, *m_working, at);
    if (job.skipReason)
        return writeSend(job);
    m_status.officeChanged = QDateTime();
    m_status.send = StationStatus::Send::Sending;
    m_status.sentAt = at;
    m_status.receivedAt = QDateTime();
    m_editedSinceSend = false;
    ++m_sendsUnderWay;
    const quint64 id = m_sendQueue->send(std::move(job), sentListOf(*m_working, at));
    m_lastSendDone.reset();
    updateStatus();
    m_sendQueue->waitUntilIdle(m_sendWait);
    if (m_lastSendDone && m_lastSendDone->first == id)
        return m_lastSendDone->second;
    SendResult underWay;
    underWay.underWay = true;
    return underWay;
}

void Station::shareTaskDone(const SendQueue::Done& done)
{
    if (done.kind == SendQueue::Kind::CleanUp) {
        if (!done.removed.isEmpty())
            log(done.note.arg(done.removed.join(QStringLiteral(", "))));
        return;
    }
    --m_sendsUnderWay;
    const SendResult& result = done.sent;
    const QString late = done.wasHanging
        ? QStringLiteral(" (na %1 s: de map antwoordde niet eerder)").arg(done.list.at.secsTo(m_clock->now()))
        : QString();
    if (result.written) {
        m_sent = done.list;
        m_stallLogged = false;
        // A newer send still on its way keeps the status line on that one.
        if (m_sendsUnderWay == 0) {
            m_status.send = StationStatus::Send::Waiting;
            m_status.sentAt = done.list.at;
            m_statusTimer->start();
        }
        log(QStringLiteral("verzonden: %1%2").arg(result.files.join(QStringLiteral(", ")), late));
        emit sendWritten(result);
    } else if (!result.skipped) {
        m_sent.reset();
        m_statusTimer->stop();
        m_status.send = StationStatus::Send::Failed;
        m_status.sentAt = done.list.at;
        QStringList reasons;
        for (const MutationFailure& failure : result.failures)
            reasons << QStringLiteral("%1 (%2)").arg(
                QDir::toNativeSeparators(failure.path), platform::reasonInDutch(failure.reason));
        log(QStringLiteral("verzenden mislukt: %1%2").arg(reasons.join(QStringLiteral("; ")), late));
        emit sendFailed(result);
        emit message(verzendFoutmelding(result));
    }
    m_lastSendDone = std::make_pair(done.id, result);
    updateStatus();
}

void Station::sendHangs(quint64, SendQueue::Kind kind)
{
    if (kind != SendQueue::Kind::Send) {
        log(QStringLiteral("de gedeelde map antwoordt niet: het opruimen van de mutatiebestanden wacht"));
        // The sends after it wait with it.
        if (m_sendsUnderWay == 0)
            return;
    }
    log(QStringLiteral("verzenden hangt: de gedeelde map antwoordt na %1 s niet (verzonden om %2)")
            .arg(m_sendQueue->hangTime() / 1000.0)
            .arg(m_status.sentAt.toString(QStringLiteral("HH:mm:ss"))));
    m_status.send = StationStatus::Send::Hanging;
    updateStatus();
}

bool Station::mayReplay(const EditHistory::Step* step) const
{
    // Undone or redone only as far as the file still allows the kind of edit.
    return step && (!step->movesLines() || knoppen::mayReorder(m_state))
        && (!step->marks() || knoppen::mayMarkNotStarted(m_state));
}

void Station::ongedaanMaken()
{
    if (!mayReplay(m_history.nextUndo()) || m_listState != ListState::Shown || m_repeater.held())
        return;
    const std::optional<EditHistory::Step> undone = m_history.undo(*m_working);
    log(QStringLiteral("ongedaan gemaakt: %1").arg(undone->what));
    afterEdit();
}

void Station::opnieuw()
{
    if (!mayReplay(m_history.nextRedo()) || m_listState != ListState::Shown || m_repeater.held())
        return;
    const std::optional<EditHistory::Step> redone = m_history.redo(*m_working);
    log(QStringLiteral("opnieuw gedaan: %1").arg(redone->what));
    afterEdit();
}

void Station::opnieuwToepassen()
{
    if (!m_buttons.opnieuwToepassen || !m_offer)
        return;
    const RingWork work = std::move(*m_offer);
    m_offer.reset();
    beginStep();
    const Reapplication back
        = reapply(*m_working, work, knoppen::mayReorder(m_state), knoppen::mayMarkNotStarted(m_state));
    for (const auto& [a, b] : back.step.exchanges)
        m_history.exchanged(a, b);
    m_history.toggled(back.step.toggledMarks);
    QString what = QStringLiteral("opnieuw toegepast: %1 terug").arg(back.changesBack);
    if (!back.missing.isEmpty())
        what += QStringLiteral(", niet meer in de lijst: %1").arg(back.missing.join(QStringLiteral(", ")));
    if (!endStep(what))
        log(what);
    m_status.work = StationStatus::Work::Reapplied;
    m_status.count = back.changesBack;
    m_status.missing = back.missing;
    updateStatus();
}

void Station::beginStep()
{
    // A command while a move is held ends the run first, as a release would.
    if (endRun())
        noteEdit();
    if (m_history.isOpen())
        m_history.end(*m_working, QString());
    m_history.begin(*m_working);
}

bool Station::endStep(const QString& logged)
{
    if (!m_history.end(*m_working, logged)) {
        // Nothing changed (a move at the end of the list, NG on a pause line): no edit, but the buttons as
        // after any command.
        controleerwijzigingen();
        return false;
    }
    if (!logged.isEmpty())
        log(logged);
    afterEdit();
    return true;
}

void Station::noteEdit()
{
    // An edit of the official's: what the status line said of the office's last list and of an earlier
    // send's outcome is old news; a send still awaited stays awaited.
    m_status.officeChanged = QDateTime();
    m_status.work = StationStatus::Work::None;
    if (m_offer) {
        // Working on the office's new list withdraws the offer: the ring's old work would undo the new.
        log(QStringLiteral("aanbod om opnieuw toe te passen vervalt: de ring werkt verder op de nieuwe lijst"));
        m_offer.reset();
    }
    if (m_status.send != StationStatus::Send::Waiting && m_status.send != StationStatus::Send::Stalled
        && m_status.send != StationStatus::Send::Sending && m_status.send != StationStatus::Send::Hanging)
        m_status.send = StationStatus::Send::None;
    m_editedSinceSend = true;
    saveJournalSoon();
}

void Station::afterEdit()
{
    noteEdit();
    GridMultiSelect_Refresh();
    controleerwijzigingen();
    followRing();
}

void Station::saveJournalSoon()
{
    if (!m_unloaded)
        m_journalTimer->start();
}

void Station::saveJournal()
{
    m_journalTimer->stop();
    const QString path = m_state.bestandspad();
    // Nothing to keep without a class whose list was read, and the work the office's new list replaced
    // stays on disk while it is offered.
    if (path.isEmpty() || !m_state.klasbekend || m_offer)
        return;
    RingWork work = ringWorkOf(*m_working, *m_snapshot);
    if (work.isEmpty()) {
        m_journal->remove(path);
        return;
    }
    work.bestandspad = path;
    work.rid = m_state.rid;
    work.saved = m_clock->now();
    if (!m_journal->save(work))
        qCWarning(lcFollow).noquote() << "journal: cannot keep the ring's work in" << m_journal->fileFor(path) << "-"
                                      << m_journal->error();
}

void Station::updateStatus()
{
    StationStatus status = m_status;
    switch (m_listState) {
    case ListState::Shown:
        status.follow = StationStatus::Follow::Shown;
        break;
    case ListState::Stale:
    case ListState::Empty:
        switch (m_loader->followProblem()) {
        case RunOrderLoader::FollowProblem::None:
        case RunOrderLoader::FollowProblem::NothingFollowed:
            status.follow = StationStatus::Follow::NothingFollowed;
            break;
        case RunOrderLoader::FollowProblem::NotFound:
            status.follow = StationStatus::Follow::NotFound;
            break;
        case RunOrderLoader::FollowProblem::FolderUnreachable:
            status.follow = StationStatus::Follow::Unreachable;
            break;
        case RunOrderLoader::FollowProblem::NotToday:
            status.follow = StationStatus::Follow::NotToday;
            break;
        }
        break;
    }
    status.stale = m_listState == ListState::Stale;
    status.since = status.stale ? m_loader->lastFound() : m_loader->problemSince();
    // After a send the differences are sent ones, until the ring changes its list again.
    const bool awaiting = (m_sent.has_value() || m_sendsUnderWay > 0) && !m_editedSinceSend;
    status.unsent = m_listState == ListState::Empty || awaiting ? 0 : m_sendRule.differingRows();
    if (m_sent && status.send == StationStatus::Send::Waiting && m_sent->at.secsTo(m_clock->now()) >= stallSeconds) {
        status.send = StationStatus::Send::Stalled;
        if (!m_stallLogged) {
            m_stallLogged = true;
            log(QStringLiteral("na %1 s niet verwerkt door het secretariaat (verzonden om %2)")
                    .arg(stallSeconds)
                    .arg(m_sent->at.toString(QStringLiteral("HH:mm:ss"))));
        }
    }
    m_status = status;
    // A stall counts its seconds: said anew every second.
    if (m_emittedStatus == status && status.send != StationStatus::Send::Stalled)
        return;
    m_emittedStatus = status;
    emit statusChanged(status);
}

void Station::log(const QString& what)
{
    m_log->append(m_state.bestandsnaam(), what);
}

QString Station::starterAt(int row) const
{
    if (row < 1 || row >= m_working->rows())
        return QString();
    const QString number = m_working->textMatrix(row, column::Number);
    const QString rider = m_working->textMatrix(row, column::Rider);
    const QString horse = m_working->textMatrix(row, column::Horse);
    QString text = number.isEmpty() ? rider : number + u' ' + rider;
    if (!horse.isEmpty())
        text += QStringLiteral(" (%1)").arg(horse);
    return text.isEmpty() ? m_working->textMatrix(row, column::Key) : text;
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
    m_keyboard.forget();
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

void Station::selectieUitbreiden(KeyboardSelection::Step step)
{
    m_keyboard.extend(*m_working, step, painter());
}

void Station::cursorVerplaatsen(KeyboardSelection::Step step)
{
    m_keyboard.moveCurrent(*m_working, step, painter());
}

void Station::selectieWisselen()
{
    m_keyboard.toggleCurrent(*m_working, painter());
}

bool Station::typNummer(QChar digit, qint64 timestamp)
{
    if (m_listState == ListState::Empty)
        return false;
    const int row = m_typeAhead.type(digit, timestamp, *m_working);
    if (row < 0)
        return false;
    m_keyboard.select(*m_working, row, painter());
    return true;
}

void Station::volgendeInDeRing()
{
    if (m_listState == ListState::Empty || m_unloaded || !m_ring.next(*m_working))
        return;
    log(QStringLiteral("in de ring: %1").arg(starterAt(m_ring.row())));
    emit ringChanged(m_ring.row());
}

void Station::vorigeInDeRing()
{
    if (m_listState == ListState::Empty || m_unloaded || !m_ring.previous(*m_working))
        return;
    log(QStringLiteral("in de ring (terug): %1").arg(starterAt(m_ring.row())));
    emit ringChanged(m_ring.row());
}

void Station::followRing(bool replaced)
{
    const int before = m_ring.row();
    if (replaced)
        m_ring.replaced(*m_working);
    else
        m_ring.follow(*m_working);
    if (replaced && !m_ringBeforeReplace.isEmpty()) {
        const QString now = m_ring.row() > 0 ? starterAt(m_ring.row()) : QString();
        if (now != m_ringBeforeReplace)
            log(now.isEmpty() ? QStringLiteral("in de ring: niemand meer na de wijziging van het secretariaat (was %1)")
                                    .arg(m_ringBeforeReplace)
                              : QStringLiteral("in de ring na de wijziging van het secretariaat: %1 (was %2)")
                                    .arg(now, m_ringBeforeReplace));
        m_ringBeforeReplace.clear();
    }
    if (m_ring.row() != before)
        emit ringChanged(m_ring.row());
}

void Station::runWismutaties(const QString& occasion)
{
    if (m_state.bestandspad().isEmpty() || m_state.rid.isEmpty())
        return;
    // A send the office has not taken in yet goes with the files: the day log says so, with when it was sent.
    QString note = occasion + QStringLiteral(" verwijderd: %1");
    if (m_sent)
        note += QStringLiteral("; de verzending van %1 was niet verwerkt door het secretariaat")
                    .arg(m_sent->at.toString(QStringLiteral("HH:mm:ss")));
    m_sendQueue->cleanUp(CleanUpJob { m_state.bestandspad(), m_state.bestandsmap(), m_state.rid }, note);
}

void Station::logFollowChange()
{
    using Problem = RunOrderLoader::FollowProblem;
    const Problem problem = m_loader->followProblem();
    const bool kept = m_loader->keptPastMidnight();
    if (kept && !m_loggedKept)
        log(QStringLiteral("na middernacht blijft de lijst getoond: het bestand is van %1, de ring werkt erop verder")
                .arg(m_loader->keptFileDay().toString(QStringLiteral("dd-MM-yyyy"))));
    m_loggedKept = kept;
    if (problem == m_loggedProblem)
        return;
    const Problem before = m_loggedProblem;
    m_loggedProblem = problem;
    const QString greyed = m_listState == ListState::Stale ? QStringLiteral(": de laatste lijst blijft grijs staan")
                                                           : QString();
    switch (problem) {
    case Problem::FolderUnreachable:
        log(QStringLiteral("de gedeelde map is niet bereikbaar%1").arg(greyed));
        break;
    case Problem::NotFound:
        log(QStringLiteral("het bestand is niet gevonden%1").arg(greyed));
        break;
    case Problem::NotToday:
        log(before == Problem::None ? QStringLiteral("de lijst is niet meer getoond: het bestand is niet van vandaag")
                                    : QStringLiteral("het bestand is niet van vandaag"));
        break;
    case Problem::None:
        if (before == Problem::FolderUnreachable)
            log(QStringLiteral("de gedeelde map is weer bereikbaar"));
        else if (before == Problem::NotFound)
            log(QStringLiteral("het bestand is weer gevonden"));
        break;
    case Problem::NothingFollowed:
        break;
    }
}

void Station::setCaption(const QString& caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    emit captionChanged(caption);
}

void Station::setListState(ListState state)
{
    if (state != m_listState) {
        m_listState = state;
        emit listStateChanged(state);
    }
    // Neither the empty view nor a list that is not up to date offers anything to edit or send: the buttons
    // would act on a list that may no longer be the office's. They come back once the list shows again
    // (zetknoppen and controleerwijzigingen follow).
    if (state != ListState::Shown) {
        if (endRun())
            noteEdit();
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
    m_lastRule = m_sendRule.evaluate(*m_working, *m_snapshot, m_state);
    const bool shown = m_listState == ListState::Shown;
    Buttons buttons = shown ? m_buttons : Buttons();
    // In the empty view there is no list to report.
    buttons.verzenden = shown && m_lastRule.enabled;
    buttons.ongedaanMaken = shown && mayReplay(m_history.nextUndo());
    buttons.opnieuw = shown && mayReplay(m_history.nextRedo());
    buttons.opnieuwToepassen
        = shown && m_offer.has_value() && (knoppen::mayReorder(m_state) || knoppen::mayMarkNotStarted(m_state));
    setButtons(buttons);
    updateStatus();
}

void Station::setButtons(const Buttons& buttons)
{
    if (buttons == m_buttons)
        return;
    m_buttons = buttons;
    emit buttonsChanged(buttons);
    // A move button that goes off ends its hold, as a release would; who turned it off evaluates the send
    // rule next.
    if (!buttons.volgorde && endRun())
        noteEdit();
}

void Station::lookAgainAfter(int milliseconds)
{
    // The open command stops this timer with Timer1 while its dialog is up.
    if (!m_unloaded)
        m_settleTimer->start(milliseconds);
}

void Station::aboutToReplace()
{
    // A held move ends before the office's list takes the ring's place, as a release would: the starter
    // under the button may be another one a moment later.
    if (endRun())
        noteEdit();
    // For the day log: who the office's list withdraws, adds and moves, against the list on screen.
    m_officeChanges = describeOfficeChanges(officeChanges(*m_working, *m_scratch));
    m_ringBeforeReplace = m_ring.row() > 0 ? starterAt(m_ring.row()) : QString();
    // The starter in the ring stays, or the next one the office's list still has.
    m_ring.keepFollowers(*m_working);
    // The ring's unsent work, before the office's changed list takes its place: it is offered back
    // ("Opnieuw toepassen"), and the journal keeps it until it is taken or dropped. Not when the office's
    // new list (in the scratch grid now) already holds it, as it does when it took the ring's send in.
    if (!m_state.klasbekend)
        return;
    RingWork work = ringWorkOf(*m_working, *m_snapshot);
    if (work.isEmpty() || takenIn(sentListOf(*m_working, m_clock->now()), *m_scratch))
        return;
    work.bestandspad = m_state.bestandspad();
    work.rid = m_state.rid;
    work.saved = m_clock->now();
    if (m_journalTimer->isActive())
        saveJournal();
    m_offer = std::move(work);
}
