// The live page's JSON, built from the ring's list once per change: against the same order written with
// QJsonDocument (the straightforward way), and against filling the ring's list from the file (what a re-read of
// the office's list costs anyway), so a change never costs the page much more than the list's own read: the
// JSON is some 3.6 MB at 32 767 lines, each character looked at once for its escape.
#include "benchsupport.h"

#include "boardcontent.h"
#include "columns.h"
#include "gridtable.h"
#include "livestand.h"
#include "ringpointer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

struct Order
{
    GridTable grid;
    BoardContent board;
    int ringRow = -1;
};

void load(Order& order, int lines)
{
    bench::fillFromFile(order.grid, bench::runOrderFile(lines));
    // The ring a third of the way down, as in the middle of a class.
    int row = order.grid.fixedRows() + order.grid.rows() / 3;
    while (row < order.grid.rows() && !RingPointer::rides(order.grid, row))
        ++row;
    order.ringRow = row;
    order.board = boardContent(order.grid, order.ringRow);
    order.board.shown = true;
}

void liveJson(benchmark::State& state, int lines)
{
    Order order;
    load(order, lines);
    quint64 version = 0;
    for (auto _ : state) {
        const QByteArray json = liveStandJson(order.board, order.grid, order.ringRow, {}, ++version);
        benchmark::DoNotOptimize(json.size());
    }
}

void qtJson(benchmark::State& state, int lines)
{
    Order order;
    load(order, lines);
    for (auto _ : state) {
        QJsonArray list;
        for (int r = order.grid.fixedRows(); r < order.grid.rows(); ++r) {
            QJsonObject line;
            line.insert(QStringLiteral("nummer"), order.grid.textMatrix(r, column::Number).trimmed());
            line.insert(QStringLiteral("ruiter"), order.grid.textMatrix(r, column::Rider).trimmed());
            line.insert(QStringLiteral("paard"), order.grid.textMatrix(r, column::Horse).trimmed());
            line.insert(QStringLiteral("tijd"), order.grid.textMatrix(r, column::Time).trimmed());
            list.append(line);
        }
        const QByteArray json
            = QJsonDocument(QJsonObject { { QStringLiteral("volgorde"), list } }).toJson(QJsonDocument::Compact);
        benchmark::DoNotOptimize(json.size());
    }
}

void fill(benchmark::State& state, int lines)
{
    const QByteArray bytes = bench::runOrderFile(lines);
    GridTable grid;
    for (auto _ : state)
        bench::fillFromFile(grid, bytes);
}

} // namespace

int main(int argc, char** argv)
{
    bench::init(argc, argv);
    bench::add("live", "the live page's JSON of the whole order", liveJson);
    bench::add("qtjson", "the same texts written with QJsonDocument", qtJson);
    bench::add("fill", "the ring's list filled from the file (a re-read)", fill);
    bench::speedupAtLeast("live page JSON against QJsonDocument", "live", "qtjson", 2.0);
    bench::ratioAtMost("live page JSON against a re-read of the list", "live", "fill", 2.0);
    return bench::run(argc, argv, "bench_livestand: the live page's JSON, built once per change");
}
