#pragma once

#include "appstate.h"
#include "clock.h"
#include "gridtable.h"
#include "recordingview.h"
#include "runorderloader.h"

#include <QTemporaryDir>
#include <memory>

// The loader of the followed file on its own: the state, the three grids set up for a running order
// (grid(1) showing 10 rows a page), a recording view, a clock pinned to 7 December 2026 10:00 and a
// temporary folder for the files; reads at the first look unless a test sets a settle time.
namespace testsupport {

struct LoaderFixture
{
    LoaderFixture();
    // Everything back as new: the state, the grids, the view and the loader.
    void reset();
    // A check of the followed file, recorded in `view`.
    RunOrderLoader::Check check(bool forceer);
    // Another file chosen: the loader forgets the class, the view shows the empty caption and labels.
    void startNewFile();
    QString path(const QString& name = QStringLiteral("baldovenaar rst-0001.dvz")) const { return dir.filePath(name); }

    QTemporaryDir dir;
    platform::FixedClock clock { QDateTime(QDate(2026, 12, 7), QTime(10, 0, 0)) };
    AppState state;
    std::unique_ptr<GridTable> grid1, grid2, grid3;
    RecordingView view;
    std::unique_ptr<RunOrderLoader> loader;
};

} // namespace testsupport
