#include "loaderfixture.h"

#include "columns.h"

namespace testsupport {

LoaderFixture::LoaderFixture()
{
    reset();
}

void LoaderFixture::reset()
{
    loader.reset();
    state = AppState();
    view = RecordingView();
    grid1 = std::make_unique<GridTable>();
    grid2 = std::make_unique<GridTable>();
    grid3 = std::make_unique<GridTable>();
    for (GridTable* grid : { grid1.get(), grid2.get(), grid3.get() }) {
        grid->setCols(column::Count);
        grid->setRows(2);
        grid->setFixedRows(1);
    }
    grid1->setPageRows(10);
    loader = std::make_unique<RunOrderLoader>(state, *grid1, *grid2, *grid3, clock);
    loader->setBeforeReplace([this] { ++view.replaceCalls; });
    // The files are written whole before each read; how the loader waits for a file being written is
    // tested by itself.
    loader->setSettleTime(0);
}

RunOrderLoader::Check LoaderFixture::check(bool forceer)
{
    const RunOrderLoader::Check check = loader->toonbestand(forceer);
    view.record(check);
    return check;
}

void LoaderFixture::startNewFile()
{
    loader->startNewFile();
    view.caption = RunOrderLoader::plainCaption();
    view.titel = view.datum = view.begintijd = QString();
}

} // namespace testsupport
