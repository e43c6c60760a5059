#pragma once

#include "appstate.h"
#include "fileattributes.h"
#include "filereading.h"
#include "filesystemworker.h"
#include "liststate.h"
#include "runordermerge.h"
#include "sharelook.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class GridTable;
struct RunOrderContent;
namespace platform {
class Clock;
}

// toonbestand: finds the followed running-order file, decides whether it must be read, reads it and
// brings the three grids, the labels and the caption up to date.
//
// Forced (start-up, a file chosen by the user): the file is read in any case and the visible list is
// rebuilt from it. Periodic (every tick): the file is read only while its archive attribute says the
// office wrote it since the last read; a changed list replaces the ring's list, an unchanged one is
// merged into it so the ring's unsent edits survive.
//
// A check reports what it found (Check) and leaves it to its caller to work out what follows from it (the
// buttons, the send rule, the repaint); the only thing it asks of the caller on the way is a look at the ring's
// list just before the office's changed list takes its place (setBeforeReplace), for the work that would go.
//
// A file is read only once it has settled: the station has seen it the same (size, modification time,
// identity) at two looks at least the settle time apart, by its own clock. An office program that
// rewrites the file in place, in pieces, changes it every few milliseconds while it writes; a look that
// falls between two pieces sees a file that is not finished, however steady it is during the read
// itself. The first look at a changed file asks the window to look again once the settle time is over.
// The files' own modification times are not compared with the station's clock: the office PC's clock
// may be ahead of or behind the laptop's.
//
// A read only counts when the whole file was read while it stayed the same (size and modification time
// before and after): a half-written file never replaces the ring's list, and the attributes are reset
// only while the file is still the one that was read, so an office write is never missed. A forced read
// that did not count, or waits for the file to settle, is repeated, forced, at the next call.
//
// The file-system calls of a check run in a thread of their own (platform::FileSystemWorker), and the check
// waits for them at most its check time in all: on a share whose server does not answer (a network that
// drops its packets) a call may wait a minute for the SMB client's timeout, and the window must not. A look-up
// that does not answer in time goes on and is collected at a later check, a moment later (ShareLook); the list
// stays as it is meanwhile. Only a look that fails, or a share that has kept the look waiting for several
// seconds, counts as a folder that cannot be read (the last list greyed, the path still followed). A read that
// takes longer than the check (a long list over a slow network) goes on in the same way. A check of a file
// that has not changed asks the share for the folder's listing and one look at the file, nothing more.
class RunOrderLoader
{
public:
    RunOrderLoader(
        AppState& state, GridTable& working, GridTable& snapshot, GridTable& scratch, const platform::Clock& clock);

    // What a check did to the ring's list: nothing (no file, not written since, not settled, a read that
    // did not count), rebuilt it from the file (forced), replaced it with the office's changed list, or
    // merged the office's texts into it.
    enum class ListChange { None, Rebuilt, Replaced, Merged };
    struct Labels
    {
        QString titel, datum, begintijd;
        friend bool operator==(const Labels&, const Labels&) = default;
    };
    // What one check found, for its caller to show and act on.
    struct Check
    {
        ListChange change = ListChange::None;
        // How the list is shown now; not told when the check did not get as far as a look at the file (another
        // check under way, a read still going on).
        std::optional<ListState> listState;
        // Told when the check set them (a header read, the empty view).
        std::optional<Labels> labels;
        std::optional<QString> caption;
        // Untold when the file was not found (or not looked at); the list, its buttons and its selection are
        // then as the last check left them.
        ListNews news = ListNews::Untold;
        // The list's texts changed: it must be laid out again (font size, column widths).
        bool layoutNeeded = false;
        // A forced read put the view back on the row the official was on, at this top row: once the list is
        // laid out at its new texts, the top row is put back once more (the rows a page holds may have changed).
        std::optional<int> keptTopRow;
        // The file was found changed and is read once it has stayed so for a while: look again (a periodic
        // check) after this many milliseconds rather than at the next tick.
        std::optional<int> lookAgainAfter;
    };
    Check toonbestand(bool forceer);

    // Called just before the office's changed list replaces the ring's: what the ring had is still there to
    // be kept.
    void setBeforeReplace(std::function<void()> hook) { m_beforeReplace = std::move(hook); }

    // How long a changed file must stay the same before it is read; 0 reads it at the first look.
    static constexpr int defaultSettleTime = 1000;
    void setSettleTime(int milliseconds) { m_settleTime = milliseconds; }
    int settleTime() const { return m_settleTime; }

    // Another file was chosen: nothing of the previous class stays on screen or in the state (header
    // values, permissions), also when the first read of the new file does not count.
    // The caption and the labels are then those of the empty view (plainCaption, none).
    void startNewFile();

    // How long one check waits for the file system in all before it goes on without its answer: the window
    // waits this long at most, whatever the share does. A look or read not done by then is collected later.
    static constexpr int defaultCheckTime = 50;
    void setCheckTime(int milliseconds) { m_checkTime = milliseconds; }
    // How long the share may keep a look unanswered before the list counts as out of reach (greyed).
    void setGoneTime(int milliseconds) { m_shareLook.setGoneTime(milliseconds); }

    // A list shown and followed stays shown past midnight for this long after its file was last found of its
    // day, while the periodic checks follow it; at start-up and at Openen only a file of today is shown.
    static constexpr qint64 keptPastMidnightSeconds = 12 * 3600;
    // The last look found the followed file of an earlier day and kept it shown.
    bool keptPastMidnight() const { return m_keptPastMidnight; }
    // The day of the file kept shown past midnight.
    QDate keptFileDay() const { return m_lastFresh.date(); }

    // A forced read that failed or saw the file change waits for the next call.
    bool forcedReadPending() const { return m_forcedReadPending; }

    // Points where tests make the office write, lock or remove the file in the middle of a read.
    struct ReadHooks
    {
        std::function<void()> beforeOpen;
        std::function<void()> afterRead;
    };
    void setReadHooks(ReadHooks hooks) { m_hooks = std::move(hooks); }

    // Why the last check did not find the followed file (None when it did), since when that has been so, and
    // when the file was last found.
    enum class FollowProblem { None, NothingFollowed, NotFound, FolderUnreachable, NotToday };
    FollowProblem followProblem() const { return m_problem; }
    QDateTime problemSince() const { return m_problemSince; }
    QDateTime lastFound() const { return m_lastFound; }

    // The cells of the ring's list whose text the last counted read merged in changed (empty after a read that
    // did not merge).
    const std::vector<runordermerge::ChangedCell>& mergedCells() const { return m_mergedCells; }

    // The caption of the empty view.
    static QString plainCaption() { return QStringLiteral("Korvalen Baldovenaar"); }

private:
    // What a look at the followed file found, and so what the check does.
    struct Decision
    {
        enum class Look {
            NoFile, // nothing followed, not found, or not of today: the empty view
            Waiting, // the share has not answered the look yet: the list stays, looked at again soon
            NotWritten, // not written since the last read, and no read is forced
            Settling, // written, but not the same long enough yet: looked at again later
            StillReading, // a read that outlasted an earlier check is not done yet: looked at again soon
            Read,
        };
        Look look = Look::NoFile;
        bool forced = false; // a forced read, asked for now or still pending
        int settleRemaining = 0;
    };
    Decision decide(bool forceer);
    FollowProblem lookUp(bool forced);
    void showEmptyView(Check& check);
    struct ReadResult
    {
        bool pending = false; // still being read when the check's time ran out
        bool opened = false;
        bool steady = false; // the file stayed the same during the read
        QString error; // why it could not be opened or read through
        platform::FileStamp stamp;
        QByteArray bytes;
    };
    ReadResult readWholeFile();
    std::optional<platform::FileStamp> stampOf(const QString& path);
    ListChange apply(bool forced, const ReadResult& file, Check& check);
    void resetAttributes(const platform::FileStamp& stamp);
    // The diagnostics line of a read: its size, what it held, whether it counts and why.
    static QString describeRead(const ReadResult& file, const RunOrderContent& content, bool counts);
    // 0 when the followed file has settled; otherwise the milliseconds until it may have.
    int settleRemaining(const platform::FileStamp& stamp);
    void applyHeader(const RunOrderContent& content, Check& check);
    void fillForced(const RunOrderContent& content);
    void fillScratch(const RunOrderContent& content);
    void finishForced(int rememberedTop, int rememberedRow);
    static void ensureHeaderAndLine(GridTable& grid);

    AppState& m_state;
    GridTable& m_working;
    GridTable& m_snapshot;
    GridTable& m_scratch;
    std::function<void()> m_beforeReplace;
    const platform::Clock& m_clock;
    bool m_forcedReadPending = false;
    ReadHooks m_hooks;
    int m_settleTime = defaultSettleTime;
    int m_checkTime = defaultCheckTime;
    std::unique_ptr<platform::FileSystemWorker> m_files;
    ShareLook m_shareLook;
    // What the last look found of the followed file (nothing when it was not found), and whether the check is
    // still waiting for the share's answer.
    std::optional<platform::FileLook> m_look;
    bool m_waiting = false;
    // When the followed file was last found of its day, and under which name: past midnight it stays shown
    // for keptPastMidnightSeconds after that (periodic checks only).
    QDateTime m_lastFresh;
    QString m_lastFreshPath;
    bool m_keptPastMidnight = false;
    QDeadlineTimer m_checkDeadline;
    // A read that outlasted its check, with the file's stamp before it began.
    struct PendingRead
    {
        QString path;
        std::optional<platform::FileStamp> before;
        platform::FileSystemWorker::Call<platform::FileRead> call;
    };
    std::optional<PendingRead> m_pendingRead;
    std::vector<runordermerge::ChangedCell> m_mergedCells;
    FollowProblem m_problem = FollowProblem::None;
    QDateTime m_problemSince;
    QDateTime m_lastFound;
    // The file as the station last saw it, and since when it has looked like that.
    std::optional<platform::FileStamp> m_seenStamp;
    QDateTime m_seenSince;
};
