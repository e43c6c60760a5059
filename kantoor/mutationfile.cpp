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

bool isDigits(QStringView text)
{
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
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

    Mutation mutation;
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

std::optional<MutationName> parseMutationName(QStringView name)
{
    static constexpr QStringView suffixStart = u"-baldovenaar-";
    static constexpr QStringView extension = u".mut";
    // "yyyyMMdd-HHmmss-", then the rid, then "-baldovenaar-", the kind and ".mut".
    constexpr qsizetype head = 16;
    const qsizetype tail = suffixStart.size() + 1 + extension.size();
    if (name.size() < head + tail)
        return std::nullopt;
    const QStringView date = name.first(8);
    const QStringView time = name.sliced(9, 6);
    if (!isDigits(date) || name[8] != u'-' || !isDigits(time) || name[15] != u'-')
        return std::nullopt;
    const QStringView suffix = name.last(tail);
    if (!suffix.startsWith(suffixStart, Qt::CaseInsensitive) || !suffix.endsWith(extension, Qt::CaseInsensitive))
        return std::nullopt;
    const QChar kind = suffix[suffixStart.size()].toLower();
    if (kind != u's' && kind != u'h')
        return std::nullopt;
    return MutationName { date.toString(), time.toString(), name.sliced(head, name.size() - head - tail).toString(),
        kind };
}

QString ridInFileName(const QString& rid)
{
    QString name = rid;
    for (QChar& c : name) {
        if (c.unicode() < 0x20 || QStringView(u"/\\:*?\"<>|").contains(c))
            c = u'_';
    }
    return name;
}

} // namespace kantoor
