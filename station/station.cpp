#include "station.h"

#include "changemarks.h"
#include "clock.h"
#include "codepaden.h"
#include "columns.h"
#include "daylogtexts.h"
#include "diagnostics.h"
#include "officechanges.h"
#include "ringsettings.h"
#include "settingsstore.h"
#include "systemerrors.h"
#include "systemknownfolders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>

namespace {

// The window answers the official within 100 ms whatever the share does: a handler waits for the share at
// most a clean-up's or send's wait and a check's.
static_assert(RunOrderLoader::defaultCheckTime + Station::defaultSendWait < 100);

QString dataFolderOf(const Station::Options& options)
{
    return options.dataFolder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)
                                        : options.dataFolder;
}

QTimer* makeTimer(QObject* parent, const char* name, int interval, bool singleShot)
{
    auto* timer = new QTimer(parent);
    timer->setObjectName(QLatin1String(name));
    timer->setInterval(interval);
    timer->setSingleShot(singleShot);
    return timer;
}

} // namespace

Station::Station(QObject* parent)
    : Station(Options(), parent)
{
}

Station::Station(Options options, QObject* parent)
    : QObject(parent)
    , m_ownClock(options.clock ? nullptr : std::make_unique<platform::SystemClock>())
    , m_clock(options.clock ? options.clock : m_ownClock.get())
    , m_ownSettings(options.settings ? nullptr : SettingsStore::forUser())
    , m_settings(options.settings ? options.settings : m_ownSettings.get())
    , m_loader(std::make_unique<RunOrderLoader>(m_state, *m_working, *m_snapshot, *m_scratch, *m_clock))
    , m_log(std::make_unique<DayLog>(QDir(dataFolderOf(options)).filePath(QStringLiteral("logboek")), *m_clock))
    , m_keeper(QDir(dataFolderOf(options)).filePath(QStringLiteral("werk")), m_state, *m_working, *m_snapshot, *m_clock)
    , m_caption(RunOrderLoader::plainCaption())
{
    setObjectName(QStringLiteral("station"));
    qRegisterMetaType<StationStatus>();
    m_working->setObjectName(QStringLiteral("grid1"));
    m_snapshot->setObjectName(QStringLiteral("grid2"));
    m_scratch->setObjectName(QStringLiteral("grid3"));
    for (GridTable* grid : { m_working, m_snapshot, m_scratch }) {
        // The grids as designed, before the start sets them up for a running order.
        grid->setRows(2);
        grid->setCols(column::Count);
    }
    m_loader->setSettleTime(options.settleTime);
    m_loader->setCheckTime(options.checkTime);
    m_loader->setBeforeReplace([this] { beforeReplace(); });

    m_sends.setParent(this);
    m_sends.setHangTime(options.hangTime);
    m_sends.setSendWait(options.sendWait);
    connect(&m_sends, &SendTracker::logged, this, &Station::log);
    connect(&m_sends, &SendTracker::statusChanged, this, &Station::updateStatus);
    connect(&m_sends, &SendTracker::written, this, &Station::sent);
    connect(&m_sends, &SendTracker::failed, this, [this](const SendResult& result) {
        emit sendFailed(result);
        emit message(verzendFoutmelding(result));
    });

    m_timer1 = makeTimer(this, "Timer1", 5000, false);
    connect(m_timer1, &QTimer::timeout, this, &Station::Timer1_Timer);
    m_settleTimer = makeTimer(this, "settleTimer", 0, true);
    connect(m_settleTimer, &QTimer::timeout, this, &Station::Timer1_Timer);
    connect(&m_edits.heldMove().timer(), &QTimer::timeout, this, &Station::TimerRegelsVerplaatsen_Timer);

    m_course.setParent(this);
    connect(&m_course, &ClassCourse::logged, this, &Station::log);
    connect(&m_course, &ClassCourse::ringChanged, this, &Station::ringChanged);
    connect(&m_course, &ClassCourse::paceChanged, this, &Station::paceChanged);
    connect(&m_course, &ClassCourse::crowdedChanged, this, &Station::crowdedChanged);
    connect(&m_course, &ClassCourse::warningChanged, this, [this](const QString& warning) {
        m_status.crowded = warning;
        updateStatus();
    });

    m_marks = new ChangeMarks(*this, this);
}

Station::~Station() = default;

void Station::prepare()
{
    bepaalpaden(m_state, *m_settings, SystemSpecialFolders());
    leesinstellingen(m_state, *m_settings);
    m_course.setRiderDistance(ringsettings::riderDistance(*m_settings));
}

void Station::start()
{
    if (m_started || m_unloaded)
        return;
    m_started = true;
    for (GridTable* grid : { m_working, m_snapshot, m_scratch })
        column::setUpGrid(*grid);
    m_keeper.expectJournal();
    m_course.expectJournal();
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
    endRunAsEdit();
    m_keeper.stop();
    runWismutaties(QStringLiteral("bij het afsluiten"));
    bewaarinstellingen(m_state, *m_settings);
    // What is still under way in the shared folder is given a few seconds, no more.
    m_sends.close(closeWait);
}

Station::ListChange Station::toonbestand(bool forceer)
{
    const RunOrderLoader::Check check = m_loader->toonbestand(forceer);
    showCheck(check);
    afterRead(check.change);
    if (check.change == ListChange::Rebuilt)
        emit listRebuilt();
    else if (check.change == ListChange::Replaced)
        emit listReplaced();
    else if (check.change == ListChange::Merged)
        emit listMerged();
    return check.change;
}

void Station::showCheck(const RunOrderLoader::Check& check)
{
    if (check.listState)
        setListState(*check.listState);
    if (check.labels)
        setLabels(*check.labels);
    if (check.caption)
        setCaption(*check.caption);
    if (check.news != ListNews::Untold) {
        // Every check that finds the file tells the indicator; the view decides whether it must repaint.
        m_listNews = check.news;
        emit listNewsChanged(check.news);
    }
    if (check.layoutNeeded) {
        emit layoutNeeded();
        // The rows a page holds follow the new font: the forced read's top row is put back at that size.
        if (check.keptTopRow)
            m_working->setTopRow(*check.keptTopRow);
    }
    // The open command stops this timer with Timer1 while its dialog is up.
    if (check.lookAgainAfter && !m_unloaded)
        m_settleTimer->start(*check.lookAgainAfter);
    if (check.news != ListNews::Untold) {
        m_selection.refresh(*m_working);
        zetknoppen();
    }
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
    for (const QString& line : m_followLog.changed(*m_loader, m_listState == ListState::Stale))
        log(line);
    // A merge that changed nothing (the office saved the same list again) is no news: not for the day log, and
    // not for the journal, whose work it leaves as it was.
    const bool news = change != ListChange::None && !(change == ListChange::Merged && m_loader->mergedCells().empty());
    if (news)
        log(daylogtext::read(change, *m_working, m_loader->mergedCells(), m_officeChanges));
    // The office's list as it came in: a merged one is still in the scratch grid, a new one is the snapshot.
    const GridTable& office = change == ListChange::Merged ? *m_scratch : *m_snapshot;
    m_sends.officeListRead(change, office, *m_working);
    if (change != ListChange::None)
        m_course.officeListRead(office, news);
    if (change == ListChange::Rebuilt || change == ListChange::Replaced) {
        // The rows are the office's rows now: what could be undone was done on other ones.
        m_edits.clearHistory();
        m_status.officeChanged = change == ListChange::Replaced ? m_clock->now() : QDateTime();
        if (change == ListChange::Replaced && m_keeper.offer()) {
            m_status.work = StationStatus::Work::Offered;
            log(daylogtext::workReplacedByOffice(m_keeper.offer()->changedNames));
        }
    }
    if (change == ListChange::Rebuilt)
        restoreOrOffer();
    if (news)
        m_keeper.saveSoon();
    // On the office's own list no warning of the ring's stands: what it has, it had.
    if (change == ListChange::Rebuilt || change == ListChange::Replaced)
        m_course.clearCrowded();
    else if (news)
        m_course.checkCrowded(std::nullopt);
    controleerwijzigingen();
    m_course.follow(change == ListChange::Replaced);
    // After a restart: the class's pace, and the starter that was in the ring then.
    if (change == ListChange::Rebuilt && m_state.klasbekend)
        m_course.restoreFromJournal();
}

void Station::restoreOrOffer()
{
    const std::optional<RingKeeper::Found> found = m_keeper.lookAtJournal();
    if (!found)
        return;
    for (const QString& line : found->told())
        log(line);
    if (found->what == RingKeeper::Found::What::Offered)
        m_status.work = StationStatus::Work::Offered;
    if (found->what != RingKeeper::Found::What::Restore)
        return;
    const Reapplication back = putBack(*found->work, false, [&found](const Reapplication&) {
        return daylogtext::workRestored(found->work->saved, found->work->changedNames);
    });
    m_status.work = StationStatus::Work::Restored;
    m_status.count = back.changesBack;
    updateStatus();
}

Reapplication Station::putBack(
    const RingWork& work, bool logUnchanged, const std::function<QString(const Reapplication&)>& describe)
{
    endRunAsEdit();
    const auto [edit, back] = m_edits.putBack(work, describe);
    finishEdit(edit);
    if (!edit.changed && logUnchanged)
        log(edit.logged);
    return back;
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
        m_keeper.flush();
        // The file already followed, chosen again: read again, forced, with the official kept on their row and
        // the list where it was scrolled to. Another file starts from nothing.
        const auto absolute = [](const QString& path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); };
        const bool sameFile = !m_state.bestandspad().isEmpty() && absolute(*chosen) == absolute(m_state.bestandspad());
        if (!sameFile) {
            m_loader->startNewFile();
            setCaption(RunOrderLoader::plainCaption());
            setLabels(RunOrderLoader::Labels());
            m_state.setBestandspad(*chosen);
        }
        if (m_keeper.offer())
            log(daylogtext::offerLapsed(daylogtext::OfferEnd::OtherClass));
        // The class opened begins with its first starter in the ring, and a pace of its own.
        m_course.openClass();
        // The class chosen again has just been cleaned up; another one is once its identity is known.
        m_cleanUpWhenKnown = !sameFile;
        m_keeper.openClass();
        m_sends.openClass();
        m_edits.clearHistory();
        m_status = StationStatus();
        log(daylogtext::opened());
        // Kept at once, not only at the close: after a crash or a power cut the station starts with the class
        // the official was following, and its journal brings the unsent work back.
        bewaarinstellingen(m_state, *m_settings);
        toonbestand(true);
    }
    m_timer1->start();
    updateStatus();
}

void Station::pressMove(regels::Richting richting)
{
    if (!mayMove() || m_unloaded)
        return;
    // A command while a move is held ends the run first, as a release would.
    endRunAsEdit();
    lineMovedTo(m_edits.press(richting));
}

void Station::verplaatsNaar(int from, int to)
{
    if (!mayMove() || m_unloaded || heldMove() || from < m_working->fixedRows() || from >= m_working->rows())
        return;
    const EditCommands::Edit edit = m_edits.dragTo(from, to);
    const int row = m_working->row();
    finishEdit(edit);
    emit lineMoved(row);
}

QDateTime Station::now() const
{
    return m_clock->now();
}

void Station::releaseMove()
{
    // Every release ends the moves, also when the permission went while the button was held (a re-read
    // took it away): the line must never run on by itself.
    if (endRunAsEdit())
        showEdit();
    else if (knoppen::mayReorder(m_state))
        controleerwijzigingen();
}

void Station::TimerRegelsVerplaatsen_Timer()
{
    // Each tick checks again that a button is held and the file still allows moving lines.
    const std::optional<regels::Richting> held = heldMove();
    if (!held || !mayMove()) {
        endRunAsEdit();
        return;
    }
    // The key may have been let go: no step until that is known; the repeat's pace stays.
    if (!isMoveSuspended())
        lineMovedTo(m_edits.step(*held));
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
    endRunAsEdit();
    finishEdit(m_edits.swap());
}

void Station::wisselnietgestart()
{
    if (m_listState != ListState::Shown)
        return;
    endRunAsEdit();
    finishEdit(m_edits.toggleNotStarted());
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
    SendJob job = prepareSend(m_state, *m_working, m_clock->now());
    if (job.skipReason)
        return writeSend(job);
    m_status.officeChanged = QDateTime();
    return m_sends.send(std::move(job), *m_working);
}

void Station::sent(const SendResult& result)
{
    // What the status said of restored or re-applied work is old news once it is sent; work still offered
    // goes (the office's next list tells whether the send holds what the ring wanted), and the journal keeps
    // the ring's list instead.
    m_status.work = StationStatus::Work::None;
    dropOffer(daylogtext::OfferEnd::Sent);
    controleerwijzigingen();
    emit sendWritten(result);
}

void Station::ongedaanMaken()
{
    if (m_edits.mayUndo() && m_listState == ListState::Shown && !heldMove())
        finishEdit(m_edits.undo());
}

void Station::opnieuw()
{
    if (m_edits.mayRedo() && m_listState == ListState::Shown && !heldMove())
        finishEdit(m_edits.redo());
}

void Station::vergeetTeruggezetWerk()
{
    if (dropOffer(daylogtext::OfferEnd::Discarded))
        controleerwijzigingen();
}

bool Station::dropOffer(daylogtext::OfferEnd end)
{
    const std::optional<RingWork> offer = m_keeper.offer();
    if (!m_keeper.dropOffer())
        return false;
    log(daylogtext::offerLapsed(end, offer->changedNames));
    m_status.work = StationStatus::Work::None;
    m_keeper.saveSoon();
    return true;
}

void Station::opnieuwToepassen()
{
    if (!m_buttons.opnieuwToepassen || !m_keeper.offer())
        return;
    const RingWork work = *m_keeper.takeOffer();
    const Reapplication back = putBack(
        work, true, [](const Reapplication& back) { return daylogtext::reapplied(back.changesBack, back.missing); });
    m_status.work = StationStatus::Work::Reapplied;
    m_status.count = back.changesBack;
    m_status.missing = back.missing;
    updateStatus();
}

void Station::noteEdit()
{
    // An edit of the official's: what the status line said of the office's last list and of an earlier
    // send's outcome is old news; a send still awaited stays awaited.
    m_status.officeChanged = QDateTime();
    // Work still offered stays offered through any edit, undo or redo: it goes only when it is applied, sent,
    // another class is opened or the official discards it.
    m_status.work = m_keeper.offer() ? StationStatus::Work::Offered : StationStatus::Work::None;
    m_sends.edited();
    m_keeper.saveSoon();
}

bool Station::endRunAsEdit()
{
    const EditCommands::Edit edit = m_edits.endRun();
    if (!edit.changed)
        return false;
    log(edit.logged);
    m_course.checkCrowded(edit.ringStep);
    noteEdit();
    return true;
}

void Station::finishEdit(const EditCommands::Edit& edit)
{
    if (!edit.changed) {
        // No edit, but the buttons as after any command.
        controleerwijzigingen();
        return;
    }
    if (!edit.logged.isEmpty())
        log(edit.logged);
    m_course.checkCrowded(edit.ringStep);
    noteEdit();
    showEdit();
}

void Station::showEdit()
{
    m_selection.refresh(*m_working);
    controleerwijzigingen();
    m_course.follow();
}

void Station::updateStatus()
{
    m_status.follow
        = m_listState == ListState::Shown ? StationStatus::Follow::Shown : followOf(m_loader->followProblem());
    m_status.stale = m_listState == ListState::Stale;
    m_status.since = m_status.stale ? m_loader->lastFound() : m_loader->problemSince();
    // After a send the differences are sent ones, until the ring changes its list again.
    m_status.unsent
        = m_listState == ListState::Empty || m_sends.awaiting(*m_working) ? 0 : m_sendRule.differingRows();
    m_sends.updateStatus(*m_working);
    // A stall counts its seconds: said anew every second.
    if (m_emittedStatus == m_status && m_status.send != StationStatus::Send::Stalled)
        return;
    m_emittedStatus = m_status;
    emit statusChanged(m_status);
}

void Station::runWismutaties(const QString& occasion)
{
    if (!m_state.bestandspad().isEmpty() && !m_state.rid.isEmpty())
        m_sends.cleanUp(CleanUpJob { m_state.bestandspad(), m_state.bestandsmap(), m_state.rid }, occasion);
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
        endRunAsEdit();
        setButtons(Buttons());
    }
}

void Station::setLabels(const RunOrderLoader::Labels& labels)
{
    m_titel = labels.titel;
    m_datum = labels.datum;
    m_begintijd = labels.begintijd;
    emit labelsChanged(labels.titel, labels.datum, labels.begintijd);
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
    const knoppen::SendRule rule = m_sendRule.evaluate(*m_working, *m_snapshot, m_state);
    const bool shown = m_listState == ListState::Shown;
    // In the empty view there is no list to report.
    Buttons buttons = shown ? m_buttons : Buttons();
    const bool mayEdit = knoppen::mayReorder(m_state) || knoppen::mayMarkNotStarted(m_state);
    // A list changed after a send that the office has not taken in is to be sent again, also when it is the
    // office's list once more (an undone move): else the files in the shared folder bring the undone move.
    buttons.verzenden = shown && (rule.enabled || (m_sends.watch().changedSince(*m_working) && mayEdit));
    buttons.ongedaanMaken = shown && m_edits.mayUndo();
    buttons.opnieuw = shown && m_edits.mayRedo();
    buttons.vergeten = shown && m_keeper.offer().has_value();
    buttons.opnieuwToepassen = buttons.vergeten && mayEdit;
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
    if (!buttons.volgorde)
        endRunAsEdit();
}

void Station::beforeReplace()
{
    // A held move ends before the office's list takes the ring's place, as a release would: the starter
    // under the button may be another one a moment later.
    endRunAsEdit();
    // For the day log: who the office's list withdraws, adds and moves, against the list on screen.
    m_officeChanges = describeOfficeChanges(officeChanges(*m_working, *m_scratch));
    m_course.beforeReplace();
    // The ring's unsent work, before the office's changed list (in the scratch grid now) takes its place: it
    // is offered back ("Opnieuw toepassen"), and the journal keeps it until it is taken or dropped.
    m_keeper.keepBeforeReplace(*m_scratch);
    // Whether the ring's list was still the one sent, for the receipt the office's new list may be.
    m_sends.beforeReplace(*m_working);
}
