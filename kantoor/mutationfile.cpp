#include "mutationfile.h"

#include "cp1252.h"

#include <QByteArray>
#include <QList>
#include <array>

namespace kantoor {

namespace {

constexpr std::array<const char*, 6> lineKeys = { "wnr:", "rid:", "order:", "notstarted:", "started:", "text:" };

// The keys of one list line's value; false with the problem when a key is empty.
bool readKeys(QByteArrayView value, const char* listName, QStringList& keys, QString& problem)
{
    if (value.isEmpty())
        return true;
    qsizetype start = 0;
    while (true) {
        const qsizetype tab = value.indexOf('\t', start);
        const QByteArrayView key = value.sliced(start, (tab < 0 ? value.size() : tab) - start);
        if (key.isEmpty()) {
            problem = QStringLiteral("an empty key in the %1 list").arg(QLatin1String(listName));
            return false;
        }
        keys.append(platform::decodeCp1252(key));
        if (tab < 0)
            return true;
        start = tab + 1;
    }
}

} // namespace

MutationRead parseMutation(QByteArrayView bytes)
{
    MutationRead result;
    if (bytes.size() > maxMutationBytes) {
        result.problem = QStringLiteral("larger than %1 bytes").arg(maxMutationBytes);
        return result;
    }
    if (!bytes.endsWith("\r\n")) {
        result.problem = QStringLiteral("the last line does not end in CR LF (written only in part?)");
        return result;
    }
    QList<QByteArrayView> lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype end = bytes.indexOf("\r\n", start);
        lines.append(bytes.sliced(start, end - start));
        start = end + 2;
    }
    for (const QByteArrayView line : std::as_const(lines)) {
        if (line.contains('\r') || line.contains('\n')) {
            result.problem = QStringLiteral("a line ends in a lone CR or LF, not CR LF");
            return result;
        }
    }
    if (lines.size() != qsizetype(lineKeys.size())) {
        result.problem = QStringLiteral("%1 lines, not 6").arg(lines.size());
        return result;
    }
    for (std::size_t i = 0; i < lineKeys.size(); ++i) {
        if (!lines[qsizetype(i)].startsWith(lineKeys[i])) {
            result.problem
                = QStringLiteral("line %1 does not start with \"%2\"").arg(i + 1).arg(QLatin1String(lineKeys[i]));
            return result;
        }
    }
    const auto value = [&](std::size_t i) { return lines[qsizetype(i)].sliced(qsizetype(qstrlen(lineKeys[i]))); };

    MutationRecord mutation;
    mutation.wnr = platform::decodeCp1252(value(0));
    mutation.rid = platform::decodeCp1252(value(1));
    if (!readKeys(value(2), "order", mutation.order, result.problem)
        || !readKeys(value(3), "notstarted", mutation.notStarted, result.problem)
        || !readKeys(value(4), "started", mutation.started, result.problem))
        return result;
    mutation.text = platform::decodeCp1252(value(5));
    result.mutation = std::move(mutation);
    return result;
}

} // namespace kantoor
