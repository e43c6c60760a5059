#include "publishedorder.h"

#include "cp1252.h"

namespace kantoor {

QString cleanField(const QString& text)
{
    QString cleaned = text;
    for (QChar& c : cleaned) {
        if (c.category() == QChar::Other_Control && c.unicode() < 0x80)
            c = QLatin1Char(' ');
    }
    return cleaned;
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
