#include "publishedorder.h"

#include "cp1252.h"
#include "runorderfile.h"

namespace kantoor {

QString cleanField(const QString& text)
{
    QString cleaned = text;
    for (QChar& c : cleaned) {
        if (c == u'\t' || c == u'\r' || c == u'\n')
            c = QLatin1Char(' ');
    }
    return cleaned;
}

namespace {

QStringList cellsOf(const QString& rij)
{
    QStringList cells = rij.split(QLatin1Char('\t'));
    // As the station's grid takes a line: the first 11 fields, missing ones empty.
    if (cells.size() > column::Count)
        cells.resize(column::Count);
    while (cells.size() < column::Count)
        cells.append(QString());
    return cells;
}

} // namespace

PublishedOrder publishedOrderFromBytes(QByteArrayView bytes)
{
    const QStringList lines = platform::splitLines(platform::decodeCp1252(bytes));
    const RunOrderContent content = parseRunOrder(lines);
    PublishedOrder order;
    // The station's reader passes over "order"; the office keeps it.
    for (const QString& line : lines) {
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        if (colon > 0 && trimSpaces(QStringView(line).left(colon)).compare(u"order", Qt::CaseInsensitive) == 0)
            order.order = trimSpaces(QStringView(line).mid(colon + 1)).toString();
    }
    order.owner = content.owner.value_or(QString());
    order.wnr = content.wnr.value_or(QString());
    order.rid = content.rid.value_or(QString());
    order.titel = content.titel.value_or(QString());
    order.datum = content.datum.value_or(QString());
    order.begintijd = content.begintijd.value_or(QString());
    if (content.editvolgorde)
        order.editvolgorde = QString::number(*content.editvolgorde);
    if (content.editnietgestart)
        order.editnietgestart = QString::number(*content.editnietgestart);
    if (!content.rijen.empty())
        order.header = cellsOf(content.rijen.front());
    order.lines.reserve(content.rijen.empty() ? 0 : content.rijen.size() - 1);
    for (std::size_t i = 1; i < content.rijen.size(); ++i)
        order.lines.push_back(cellsOf(content.rijen[i]));
    return order;
}

void numberPositions(PublishedOrder& order)
{
    int position = 0;
    for (QStringList& line : order.lines) {
        while (line.size() < column::Count)
            line.append(QString());
        const bool pause = isPauseKey(line.at(column::Key).trimmed());
        line[column::Position] = pause ? QString() : QString::number(++position);
    }
}

namespace {

QString rowValue(const QStringList& fields)
{
    QStringList cells;
    cells.reserve(column::Count);
    for (int i = 0; i < column::Count; ++i)
        cells.append(cleanField(fields.value(i)));
    return cells.join(QLatin1Char('\t'));
}

QString headerValue(const QString& text)
{
    return cleanField(text).trimmed();
}

} // namespace

QStringList runningOrderLines(const PublishedOrder& order)
{
    QStringList lines;
    lines.reserve(10 + int(order.lines.size()));
    lines << QLatin1String("owner:") + headerValue(order.owner) << QLatin1String("wnr:") + headerValue(order.wnr)
          << QLatin1String("rid:") + headerValue(order.rid) << QLatin1String("order:") + headerValue(order.order)
          << QLatin1String("titel:") + headerValue(order.titel) << QLatin1String("datum:") + headerValue(order.datum)
          << QLatin1String("begintijd:") + headerValue(order.begintijd)
          << QLatin1String("editvolgorde:") + headerValue(order.editvolgorde)
          << QLatin1String("editnietgestart:") + headerValue(order.editnietgestart);
    lines << QLatin1String("rij:") + rowValue(order.header);
    for (const QStringList& line : order.lines)
        lines << QLatin1String("rij:") + rowValue(line);
    return lines;
}

QByteArray runningOrderBytes(const PublishedOrder& order)
{
    return platform::encodeCp1252(platform::joinLinesCrLf(runningOrderLines(order)));
}

QString unencodableCharacters(const PublishedOrder& order)
{
    QString missing;
    const QString text = runningOrderLines(order).join(QLatin1Char('\n'));
    for (qsizetype i = 0; i < text.size(); ++i) {
        // A character outside the BMP counts once, by its surrogate pair.
        const qsizetype length = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const QStringView character = QStringView(text).mid(i, length);
        if (platform::decodeCp1252(platform::encodeCp1252(character)) != character && !missing.contains(character))
            missing.append(character);
        i += length - 1;
    }
    return missing;
}

} // namespace kantoor
