#pragma once

#include "appstate.h"
#include "fileattributes.h"

#include <QString>
#include <functional>
#include <optional>

class GridTable;
class RunOrderView;
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
// A read only counts when the whole file was read while it stayed the same (size and modification time
// before and after): a half-written file never replaces the ring's list, and the attributes are reset
// only while the file is still the one that was read, so an office write is never missed. A forced read
// that did not count is repeated, forced, at the next call.
class RunOrderLoader
{
public:
    RunOrderLoader(AppState& state, GridTable& working, GridTable& snapshot, GridTable& scratch, RunOrderView& view,
        const platform::Clock& clock);

    void toonbestand(bool forceer);

    // Another file was chosen: nothing of the previous class stays on screen or in the state (header
    // values, permissions), also when the first read of the new file does not count.
    void startNewFile();

    // A forced read that failed or saw the file change waits for the next call.
    bool forcedReadPending() const { return m_forcedReadPending; }

    // Points where tests make the office write, lock or remove the file in the middle of a read.
    struct ReadHooks
    {
        std::function<void()> beforeOpen;
        std::function<void()> afterRead;
    };
    void setReadHooks(ReadHooks hooks) { m_hooks = std::move(hooks); }

    // The caption of the empty view.
    static QString plainCaption() { return QStringLiteral("Korvalen Baldovenaar"); }

private:
    enum class LookUp { NoFile, Found };
    LookUp lookUp();
    void showEmptyView();
    struct ReadResult
    {
        bool opened = false;
        bool steady = false; // the file stayed the same during the read
        QString error; // why it could not be opened or read through
        platform::FileStamp stamp;
        QByteArray bytes;
    };
    ReadResult readWholeFile() const;
    void applyHeader(const RunOrderContent& content);
    void fillForced(const RunOrderContent& content);
    void fillScratch(const RunOrderContent& content);
    void finishForced(int rememberedTop, int rememberedRow);
    static void ensureHeaderAndLine(GridTable& grid);

    AppState& m_state;
    GridTable& m_working;
    GridTable& m_snapshot;
    GridTable& m_scratch;
    RunOrderView& m_view;
    const platform::Clock& m_clock;
    bool m_forcedReadPending = false;
    ReadHooks m_hooks;
};
