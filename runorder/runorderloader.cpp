#include "runorderloader.h"

#include "clock.h"
#include "diagnostics.h"
#include "filereading.h"
#include "folderlisting.h"
#include "gridtable.h"
#include "runorderfile.h"
#include "runordermerge.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <algorithm>

namespace {

// More than any running order of 32 767 lines can hold; the rest of a larger file is ignored.
constexpr qint64 maxReadBytes = 64 * 1024 * 1024;

// How soon a read that outlasted its check is looked at again.
constexpr int pendingReadLookAgain = 250;
// The least time the attribute reset after a read is given, also when the read took the check's time.
constexpr int resetTime = 20;

void fillGrid(GridTable& grid, const RunOrderContent& content)
{
    grid.addItems(content.rijen);
}

} // namespace

RunOrderLoader::RunOrderLoader(
    AppState& state, GridTable& working, GridTable& snapshot, GridTable& scratch, const platform::Clock& clock)
    : m_state(state)
    , m_working(working)
    , m_snapshot(snapshot)
    , m_scratch(scratch)
    , m_clock(clock)
    , m_files(std::make_unique<platform::FileSystemWorker>())
    , m_shareLook(*m_files)
{
}

RunOrderLoader::FollowProblem RunOrderLoader::lookUp(bool forced)
{
    m_look.reset();
    m_waiting = false;
    if (trimSpaces(m_state.bestandspad()).isEmpty()) {
        qCInfo(lcFollow) << "look-up: no file is followed";
        return FollowProblem::NothingFollowed;
    }
    if (!hasRunOrderExtension(m_state.bestandspad())) {
        qCInfo(lcFollow) << "look-up: the followed path" << m_state.bestandspad() << "does not end in .dvz";
        return FollowProblem::NothingFollowed;
    }
    const QString folder = m_state.bestandsmap();
    const QString pattern = m_state.zoekpatroon();
    const ShareLook::Result answer = m_shareLook.look(folder, pattern, m_checkDeadline);
    // A slow share is not a share that is gone: while it has kept the check waiting for less than the gone time
    // the list stays as it is, and the look is collected at a later check.
    if (answer.outcome == ShareLook::Outcome::Waiting) {
        qCInfo(lcFollow).noquote() << QStringLiteral(
            "look-up: %1 has not answered yet (%2 ms); the list stays as it is")
                                          .arg(folder)
                                          .arg(answer.waitedMs);
        m_waiting = true;
        return m_problem;
    }
    if (answer.outcome == ShareLook::Outcome::Gone) {
        qCInfo(lcFollow).noquote() << QStringLiteral(
            "look-up: %1 has not answered for %2 ms - the last list greyed; the path stays followed")
                                          .arg(folder)
                                          .arg(answer.waitedMs);
        return FollowProblem::FolderUnreachable;
    }
    const ShareLook::Found& found = answer.found;
    // No match (a network hiccup, an office that deletes and recreates the file): the path stays
    // followed and the next call looks again.
    if (!found.match) {
        qCInfo(lcFollow) << "look-up: nothing matches" << m_state.zoekpatroon() << "in" << m_state.bestandsmap()
                         << (found.folderExists ? "(the folder holds no such file)" : "(the folder cannot be read)")
                         << "; the path stays followed";
        return found.folderExists ? FollowProblem::NotFound : FollowProblem::FolderUnreachable;
    }
    const QString& name = found.match->name;
    const QString path = folder + name;
    m_state.setBestandspad(path);
    const QDateTime modified = found.match->look.modified;
    const QDateTime now = m_clock.now();
    if (modified.date() != now.date()) {
        // Past midnight a class still under way keeps its list: the file the station follows, shown as the
        // file of its day in the last hours, stays shown with the ring's work on it until the office writes it
        // again. Only midnight keeps it: a file that turns out of another day than the one it was shown on is
        // no list to go on with. Whether a file is of today decides at start-up and at Openen, as ever.
        const bool keep = !forced && m_lastFresh.isValid() && m_lastFreshPath == path && now.date() > m_lastFresh.date()
            && modified.date() == m_lastFresh.date() && m_lastFresh.secsTo(now) < keptPastMidnightSeconds;
        if (!keep) {
            qCInfo(lcFollow).noquote() << "look-up: found" << name << "modified" << modified.toString(Qt::ISODate)
                                       << "- not today" << now.date().toString(Qt::ISODate)
                                       << "- the empty view; the path stays followed";
            m_keptPastMidnight = false;
            return FollowProblem::NotToday;
        }
        qCInfo(lcFollow).noquote() << "look-up: found" << name << "modified" << modified.toString(Qt::ISODate)
                                   << "- not today, but shown at" << m_lastFresh.toString(Qt::ISODate)
                                   << "and followed since: it stays shown";
        m_keptPastMidnight = true;
    } else {
        qCInfo(lcFollow).noquote() << "look-up: found" << name << "in" << m_state.bestandsmap() << "modified"
                                   << modified.toString(Qt::ISODate) << "(today)";
        m_keptPastMidnight = false;
        m_lastFresh = now;
        m_lastFreshPath = path;
    }
    m_look = found.match->look;
    return FollowProblem::None;
}

RunOrderLoader::Decision RunOrderLoader::decide(bool forceer)
{
    using Look = Decision::Look;
    Decision decision;
    decision.forced = forceer || m_forcedReadPending;
    // A read that outlasted an earlier check: the list stays as it is until it is done.
    if (m_pendingRead && !m_files->done(m_pendingRead->call)) {
        decision.look = Look::StillReading;
        return decision;
    }
    m_checkDeadline = QDeadlineTimer(m_checkTime);
    const FollowProblem problem = lookUp(decision.forced);
    if (m_waiting) {
        decision.look = Look::Waiting;
        return decision;
    }
    if (problem != m_problem)
        m_problemSince = m_clock.now();
    m_problem = problem;
    if (problem != FollowProblem::None)
        return decision;
    m_lastFound = m_clock.now();
    // The attributes came with the look at the file: no further call to the share.
    const int attributes = m_look->attributes;
    const bool written = attributes & platform::AttrArchive;
    qCInfo(lcFollow).noquote() << QStringLiteral("attributes: 0x%1,").arg(attributes, 2, 16, QLatin1Char('0'))
                               << platform::attributeSourceName(m_look->source) << "-"
                               << (written ? "archive set: read"
                                          : decision.forced
                                          ? "archive not set, forced: read"
                                          : "archive not set: not written since the last read, no read");
    if (!written && !decision.forced) {
        decision.look = Look::NotWritten;
        return decision;
    }
    decision.settleRemaining = settleRemaining(m_look->stamp);
    if (decision.settleRemaining > 0) {
        qCInfo(lcFollow) << "settle: the file is read once it has stayed the same for" << m_settleTime
                         << "ms; looked at again in" << decision.settleRemaining << "ms";
        decision.look = Look::Settling;
        return decision;
    }
    decision.look = Look::Read;
    return decision;
}

void RunOrderLoader::showEmptyView(Check& check)
{
    // A file gone or a folder out of reach while its class was shown: the class goes on while the network is
    // down, and the official must still see who is next. The last list stays, marked as not up to date; it
    // takes no edits, and comes back as it was (with the ring's unsent changes) when the file does. A file
    // not of today, or none followed, has no list to show.
    const bool stale
        = m_state.klasbekend && (m_problem == FollowProblem::NotFound || m_problem == FollowProblem::FolderUnreachable);
    if (stale) {
        check.listState = ListState::Stale;
    } else {
        check.caption = plainCaption();
        check.listState = ListState::Empty;
        check.labels = Labels();
    }
}

std::optional<platform::FileStamp> RunOrderLoader::stampOf(const QString& path)
{
    return m_files
        ->run<std::optional<platform::FileStamp>>([path] { return platform::fileStamp(path); }, m_checkDeadline)
        .value_or(std::nullopt);
}

RunOrderLoader::ReadResult RunOrderLoader::readWholeFile()
{
    ReadResult result;
    const QString path = m_state.bestandspad();
    std::optional<platform::FileStamp> before;
    platform::FileRead file;
    if (m_pendingRead && m_pendingRead->path == path && m_files->done(m_pendingRead->call)) {
        // The read an earlier check started, now done; whether the file stayed the same is judged as ever.
        before = m_pendingRead->before;
        file = m_files->wait(m_pendingRead->call, QDeadlineTimer(0)).value_or(platform::FileRead());
        m_pendingRead.reset();
    } else {
        m_pendingRead.reset();
        // The look that found the file written is the stamp before the read: a change between the two shows
        // after the read as well.
        if (m_look)
            before = m_look->stamp;
        else
            before = stampOf(path);
        if (m_hooks.beforeOpen)
            m_hooks.beforeOpen();
        platform::FileSystemWorker::Call<platform::FileRead> call
            = m_files->start<platform::FileRead>([path] { return platform::readFileStart(path, maxReadBytes); });
        std::optional<platform::FileRead> read = m_files->wait(call, m_checkDeadline);
        if (!read) {
            if (call.valid()) {
                m_pendingRead = PendingRead { path, before, std::move(call) };
                result.pending = true;
            } else {
                result.error = QStringLiteral("de map antwoordt niet");
            }
            return result;
        }
        file = std::move(*read);
    }
    result.error = file.error;
    if (!file.opened)
        return result;
    result.opened = true;
    result.bytes = std::move(file.bytes);
    if (m_hooks.afterRead)
        m_hooks.afterRead();
    const std::optional<platform::FileStamp> after = stampOf(path);
    result.steady = file.error.isEmpty() && before && after && *before == *after;
    if (after)
        result.stamp = *after;
    return result;
}

int RunOrderLoader::settleRemaining(const platform::FileStamp& stamp)
{
    if (m_settleTime <= 0)
        return 0;
    const QDateTime now = m_clock.now();
    // A clock set back restarts the wait rather than making it endless.
    if (stamp != m_seenStamp || now < m_seenSince) {
        m_seenStamp = stamp;
        m_seenSince = now;
        return m_settleTime;
    }
    const qint64 seenFor = m_seenSince.msecsTo(now);
    return seenFor >= m_settleTime ? 0 : int(m_settleTime - seenFor);
}

void RunOrderLoader::applyHeader(const RunOrderContent& content, Check& check)
{
    m_state.klasbekend = true;
    if (content.owner)
        m_state.owner = *content.owner;
    if (content.wnr)
        m_state.wnr = *content.wnr;
    if (content.rid)
        m_state.rid = *content.rid;
    if (content.editvolgorde)
        m_state.editvolgorde = *content.editvolgorde;
    if (content.editnietgestart)
        m_state.editnietgestart = *content.editnietgestart;
    check.labels = Labels { content.titel.value_or(QString()),
        content.datum ? QStringLiteral("datum: ") + *content.datum : QString(),
        content.begintijd ? QStringLiteral("begintijd: ") + *content.begintijd : QString() };
}

void RunOrderLoader::ensureHeaderAndLine(GridTable& grid)
{
    if (grid.rows() <= 1)
        grid.setRows(2);
    grid.setFixedRows(1);
}

void RunOrderLoader::fillForced(const RunOrderContent& content)
{
    m_working.setRedraw(false);
    m_working.setFixedRows(0);
    m_working.setRows(0);
    m_snapshot.setFixedRows(0);
    m_snapshot.setRows(0);
    fillGrid(m_working, content);
    m_snapshot.addRowsOf(m_working);
}

void RunOrderLoader::fillScratch(const RunOrderContent& content)
{
    m_scratch.setFixedRows(0);
    m_scratch.setRows(0);
    fillGrid(m_scratch, content);
}

void RunOrderLoader::finishForced(int rememberedTop, int rememberedRow)
{
    ensureHeaderAndLine(m_working);
    m_working.setRedraw(true);
    m_working.setTopRow(rememberedTop);
    m_working.setRow(rememberedRow);
    m_working.setCol(0);
    m_working.setRowSel(rememberedRow);
    m_working.setColSel(m_working.cols() - 1);
    for (int r = 1; r < m_working.rows(); ++r)
        m_working.setRowData(r, r == rememberedRow ? 1 : 0);
    ensureHeaderAndLine(m_snapshot);
}

void RunOrderLoader::startNewFile()
{
    // Nothing of the previous class may travel with the new one into a send.
    m_state.owner.clear();
    m_state.wnr.clear();
    m_state.rid.clear();
    m_state.editvolgorde = 0;
    m_state.editnietgestart = 0;
    m_state.klasbekend = false;
    m_problem = FollowProblem::None;
    m_lastFound = QDateTime();
    m_seenStamp.reset();
    m_lastFresh = QDateTime();
    m_lastFreshPath.clear();
    m_keptPastMidnight = false;
    // A read or a look of the previous file still under way is of no use any more.
    m_pendingRead.reset();
    m_shareLook.forget();
    for (GridTable* grid : { &m_working, &m_snapshot }) {
        grid->setFixedRows(0);
        grid->setRows(0);
        ensureHeaderAndLine(*grid);
    }
}

RunOrderLoader::Check RunOrderLoader::toonbestand(bool forceer)
{
    using Look = Decision::Look;
    Check check;
    if (m_state.bezigmetladen) {
        qCInfo(lcFollow) << "check: returns at once, a check is under way";
        return check;
    }

    qCInfo(lcFollow) << (forceer ? "check (forced)" : "check (periodic)");
    const Decision decision = decide(forceer);
    if (decision.look == Look::StillReading || decision.look == Look::Waiting) {
        m_forcedReadPending = m_forcedReadPending || forceer;
        check.lookAgainAfter = pendingReadLookAgain;
        qCInfo(lcFollow) << (decision.look == Look::Waiting ? "look-up: still waiting for the share; looked at again in"
                                                            : "read: the file is still being read; looked at again in")
                         << pendingReadLookAgain << "ms";
        return check;
    }
    if (decision.look == Look::NoFile) {
        // A forced read (start-up, a file just chosen) of a file not found now is made once it is found:
        // a periodic read would leave the header row and the position as they were, empty for a new file.
        m_forcedReadPending = m_forcedReadPending || forceer;
        showEmptyView(check);
        return check;
    }

    m_state.bezigmetladen = true;
    check.listState = ListState::Shown;
    check.news = ListNews::Same;
    switch (decision.look) {
    case Look::Settling:
        m_forcedReadPending = decision.forced;
        check.lookAgainAfter = decision.settleRemaining;
        break;
    case Look::Read: {
        const ReadResult file = readWholeFile();
        if (file.pending) {
            m_forcedReadPending = m_forcedReadPending || decision.forced;
            check.lookAgainAfter = pendingReadLookAgain;
            qCInfo(lcFollow) << "read: not done within" << m_checkTime << "ms; it goes on, looked at again in"
                             << pendingReadLookAgain << "ms";
        } else {
            check.change = apply(decision.forced, file, check);
        }
        break;
    }
    case Look::NoFile:
    case Look::NotWritten:
    case Look::StillReading:
    case Look::Waiting:
        break;
    }
    if (m_forcedReadPending)
        qCInfo(lcFollow) << "the forced read is repeated at the next check";
    m_state.bezigmetladen = false;
    return check;
}

QString RunOrderLoader::describeRead(const ReadResult& file, const RunOrderContent& content, bool counts)
{
    const char* why = !file.opened ? "could not be opened"
        : !file.error.isEmpty()    ? "could not be read to its end"
        : !file.steady             ? "changed while it was read"
        : content.rijen.empty()    ? "holds no list"
                                   : "read whole while it stayed the same";
    const qsizetype lines = qMax<qsizetype>(0, qsizetype(content.rijen.size()) - 1);
    // One pass of arg(): a reason in the system's words may hold a "%1" of its own.
    return QStringLiteral("read: %1 bytes, %2; %3%4 - %5")
        .arg(QString::number(file.bytes.size()),
            content.rijen.empty() ? QStringLiteral("no header") : QStringLiteral("the header and %1 lines").arg(lines),
            QLatin1String(why), file.error.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(file.error),
            counts ? QStringLiteral("counts") : QStringLiteral("does not count, read again at the next check"));
}

RunOrderLoader::ListChange RunOrderLoader::apply(bool forced, const ReadResult& file, Check& check)
{
    const RunOrderContent content = file.opened ? parseRunOrderBytes(file.bytes) : RunOrderContent();
    // A read that does not count leaves the grids, the labels and the attributes as they were, so the next
    // call reads again: the office was writing while we read; or, periodic, the file could not be opened
    // (locked by its writer) or holds no list at all (the office has just emptied it to write it anew). A
    // half-written file never replaces the ring's list.
    const bool counts = forced ? (!file.opened || file.steady) : (file.opened && file.steady && !content.rijen.empty());
    if (lcFollow().isInfoEnabled())
        qCInfo(lcFollow).noquote() << describeRead(file, content, counts);
    if (!counts) {
        m_forcedReadPending = m_forcedReadPending || forced;
        return ListChange::None;
    }

    m_mergedCells.clear();
    applyHeader(content, check);
    const int rememberedTop = m_working.topRow();
    const int rememberedRow = m_working.row();
    ListChange change = ListChange::Rebuilt;
    if (forced) {
        fillForced(content);
        qCInfo(lcFollow) << "forced read: the list is rebuilt from the file";
    } else {
        fillScratch(content);
        // A list without lines is one empty line under the header, as a forced read shows it.
        ensureHeaderAndLine(m_scratch);
        if (runordermerge::listChanged(m_snapshot, m_scratch)) {
            qCInfo(lcFollow) << "periodic read: the list changed (" << m_snapshot.rows() - 1 << "lines ->"
                             << m_scratch.rows() - 1 << "); it replaces the ring's list";
            check.news = ListNews::New;
            if (m_beforeReplace)
                m_beforeReplace();
            runordermerge::replaceList(m_working, m_snapshot, m_scratch);
            change = ListChange::Replaced;
        } else {
            qCInfo(lcFollow) << "periodic read: the same list; its texts are merged into the ring's list";
            runordermerge::mergeList(m_working, m_scratch, &m_mergedCells);
            change = ListChange::Merged;
        }
    }
    check.layoutNeeded = true;
    if (forced) {
        finishForced(rememberedTop, rememberedRow);
        check.keptTopRow = rememberedTop;
    }
    // A file that could not be opened on a forced read keeps its attributes, so the next call reads it,
    // forced again.
    if (file.opened) {
        resetAttributes(file.stamp);
        m_forcedReadPending = false;
    } else {
        m_forcedReadPending = forced;
    }
    check.caption = (QStringLiteral("Korvalen Baldovenaar - ") + m_state.bestandsnaam() + QStringLiteral(" (")
        + m_state.owner + QStringLiteral(")"));
    // Which version of the office's file is on screen, as a fingerprint of the bytes read: at a show it is
    // compared with the file on the office PC (sha1sum), and a test outside the process waits for it.
    if (lcFollow().isInfoEnabled()) {
        const char* how = change == ListChange::Replaced ? "replaced the ring's list"
            : change == ListChange::Merged               ? "merged into the ring's list"
                                                         : "rebuilt";
        qCInfo(lcFollow).noquote()
            << QStringLiteral("shown: sha1 %1 of %2, %3")
                   .arg(QString::fromLatin1(QCryptographicHash::hash(file.bytes, QCryptographicHash::Sha1).toHex()),
                       m_state.bestandsnaam(), QLatin1String(how));
    }
    return change;
}

void RunOrderLoader::resetAttributes(const platform::FileStamp& stamp)
{
    const QString path = m_state.bestandspad();
    // At least a moment, also when the read took the check's time: a reset that is not made means one more
    // read at the next check.
    const QDeadlineTimer deadline(qMax(m_checkDeadline.remainingTime(), qint64(resetTime)));
    const bool reset
        = m_files
              ->run<bool>(
                  [path, stamp] { return platform::setFileAttributesIfUnchanged(path, platform::AttrNormal, stamp); },
                  deadline)
              .value_or(false);
    qCInfo(lcFollow) << (reset ? "attributes: reset to normal"
                               : "attributes: not reset (changed since the read, or refused); read again at the next "
                                 "check");
}
