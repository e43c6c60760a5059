// The running-order reader under any bytes the office's folder may hold: a half-written file, another code
// page, garbage. Each input goes the way a read goes: parsed, filled into the grids as a forced read fills
// them, compared with and merged into a list on screen as a periodic read does, and made into the mutation
// file a send would write. Beyond the sanitizers' checks, it stops at the first broken promise:
// - every byte comes back unchanged through the code page, so a key reaches the office as the file had it;
// - at most the header and 32 767 lines are taken;
// - a list compared with itself is unchanged, and merging it changes no key and no position;
// - the order line of the mutation file holds exactly the keys of the grid, in order.
#include "columns.h"
#include "cp1252.h"
#include "gridtable.h"
#include "mutatiebestand.h"
#include "runorderfile.h"
#include "runordermerge.h"

#include <QByteArrayView>
#include <QStringList>
#include <cstdint>
#include <cstdlib>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

void fill(GridTable& grid, const RunOrderContent& content)
{
    grid.setFixedRows(0);
    grid.setRows(0);
    for (const QString& rij : content.rijen)
        grid.addItem(rij);
    if (grid.rows() <= 1)
        grid.setRows(2);
    grid.setFixedRows(1);
}

GridTable& newGrid(GridTable& grid)
{
    grid.setCols(column::Count);
    grid.setRows(2);
    grid.setFixedRows(1);
    return grid;
}

// A class as the office writes it, to merge the input into and to merge into the input.
const QByteArray sample = "owner:Manege\r\nwnr:1\r\nrid:7\r\neditvolgorde:1\r\neditnietgestart:1\r\n"
                          "rij:key\tnr\tNr\tRuiter\tPaard\tVer\t\t\t\tStatus\tNG\r\n"
                          "rij:1001\t1\t101\tA\tPaard A\t\t\t\t\t\t\r\n"
                          "rij:P\t\t\tPauze\t\t\t\t\t\t\t\r\n"
                          "rij:1002\t2\t102\tB\tPaard B\t\t\t\t\tN\tN\r\n";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    require(platform::encodeCp1252(platform::decodeCp1252(bytes)) == bytes);

    const RunOrderContent content = parseRunOrderBytes(bytes);
    require(content.rijen.size() <= std::size_t(maxRijen));

    // A forced read of the input, then a periodic read of the same bytes: unchanged, and the merge keeps
    // every key and position where it was.
    GridTable working, snapshot, scratch;
    newGrid(working);
    newGrid(snapshot);
    newGrid(scratch);
    fill(working, content);
    fill(snapshot, content);
    fill(scratch, content);
    require(!runordermerge::listChanged(snapshot, scratch));
    QStringList keysBefore, positionsBefore;
    for (int r = 1; r < working.rows(); ++r) {
        keysBefore << working.textMatrix(r, column::Key);
        positionsBefore << working.textMatrix(r, column::Position);
    }
    runordermerge::mergeList(working, scratch);
    for (int r = 1; r < working.rows(); ++r) {
        require(working.textMatrix(r, column::Key) == keysBefore[r - 1]);
        require(working.textMatrix(r, column::Position) == positionsBefore[r - 1]);
    }

    // The mutation file of that list: its order line is the grid's keys, byte for byte as they came.
    const MutationRecord record
        = mutationRecord(working, content.wnr.value_or(QString()), content.rid.value_or(QString()));
    const QByteArray mutation = mutationBytes(record);
    QByteArray order = "order:";
    for (int r = 1; r < working.rows(); ++r) {
        if (r > 1)
            order += '\t';
        order += platform::encodeCp1252(working.textMatrix(r, column::Key));
    }
    require(mutation.contains("\r\n" + order + "\r\n"));
    require(safeRid(record.rid).size() <= maxRidInName);

    // The office's own list arriving over the input (periodic read): replaced or merged, never torn.
    GridTable office;
    newGrid(office);
    fill(office, parseRunOrderBytes(sample));
    if (runordermerge::listChanged(snapshot, office)) {
        runordermerge::replaceList(working, snapshot, office);
        require(working.rows() == office.rows() && snapshot.rows() == office.rows());
    } else {
        runordermerge::mergeList(working, office);
    }
    return 0;
}
