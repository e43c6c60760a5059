// kantoor's reader of the station's mutation files under any bytes a shared folder may hold: a file cut
// short, another program's file of the same name, garbage. Each input is read as `kantoor serve` reads it
// and, when it is a mutation, taken into a class as the office takes it in, then published and read back.
// Beyond the sanitizers' checks, it stops at the first broken promise:
// - what the reader accepts is exactly what the station's writer makes of it again (nothing is lost or
//   added on the way: every byte of a key survives);
// - taking a mutation in changes which line stands where, never which lines there are; pause lines keep
//   their places; the published class reads back with the keys in the same order.
// Inputs are tried on a fixed class and on a class made of the input's own keys, so that both refusals and
// acceptances are reached.
#include "classedits.h"
#include "columns.h"
#include "mutatiebestand.h"
#include "mutationfile.h"
#include "publishedorder.h"

#include <QByteArrayView>
#include <QSet>
#include <QStringList>
#include <cstdint>
#include <cstdlib>

using namespace kantoor;

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

PublishedOrder classOf(const QString& rid, const QStringList& keys)
{
    PublishedOrder order;
    order.rid = rid;
    order.header = QStringList { "key", "nr", "Nr", "Ruiter", "Paard", "Ver", "", "", "", "Status", "NG" };
    for (const QString& key : keys) {
        QStringList line(column::Count);
        line[column::Key] = key;
        line[column::FirstShared] = QStringLiteral("Ruiter ") + key;
        line[column::Status] = key.size() % 2 ? QStringLiteral("N") : QString();
        order.lines.push_back(line);
    }
    numberPositions(order);
    return order;
}

QStringList keysOf(const PublishedOrder& order)
{
    QStringList keys;
    for (const QStringList& line : order.lines)
        keys << line.value(column::Key);
    return keys;
}

void takeIn(PublishedOrder order, const MutationRecord& mutation, bool readBack)
{
    const QStringList before = keysOf(order);
    if (!applyMutation(order, mutation).isEmpty()) {
        require(keysOf(order) == before); // refused: the class as it was
        return;
    }
    const QStringList after = keysOf(order);
    require(after.size() == before.size());
    require(QSet<QString>(after.cbegin(), after.cend()) == QSet<QString>(before.cbegin(), before.cend()));
    for (qsizetype i = 0; i < before.size(); ++i)
        require(isPauseKey(before[i]) == isPauseKey(after[i]));
    numberPositions(order);
    if (readBack)
        require(keysOf(publishedOrderFromBytes(runningOrderBytes(order))) == after);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const MutationRead read = parseMutation(bytes);
    require(read.mutation.has_value() == read.problem.isEmpty());
    if (!read.mutation)
        return 0;
    const MutationRecord& mutation = *read.mutation;
    require(mutationBytes(mutation) == bytes);

    takeIn(classOf(QStringLiteral("7"), { "1001", "1002", "P", "1003", "1004" }), mutation, true);
    // The input's own starters, the other way round, with a pause wherever the input has one.
    QStringList own = mutation.order;
    std::reverse(own.begin(), own.end());
    takeIn(classOf(mutation.rid, own), mutation, false);
    return 0;
}
