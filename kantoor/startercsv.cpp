#include "startercsv.h"

#include "cp1252.h"
#include "publishedorder.h"

#include <QSet>
#include <QStringDecoder>

namespace kantoor {

QString decodeCsvText(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return platform::decodeCp1252(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

std::optional<QStringList> splitCsvLine(QStringView line, QChar separator)
{
    QStringList fields;
    QString field;
    bool quoted = false;
    bool fieldStarted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < line.size() && line.at(i + 1) == QLatin1Char('"')) {
                    field.append(c);
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field.append(c);
            }
        } else if (c == separator) {
            fields.append(field);
            field.clear();
            fieldStarted = false;
        } else if (c == QLatin1Char('"') && !fieldStarted && field.trimmed().isEmpty()) {
            // A quote opens a quoted field only at its start (spaces before it are dropped).
            field.clear();
            quoted = true;
            fieldStarted = true;
        } else {
            field.append(c);
            if (!c.isSpace())
                fieldStarted = true;
        }
    }
    if (quoted)
        return std::nullopt;
    fields.append(field);
    return fields;
}

QStringList cellsFromCsvFields(const QStringList& fields)
{
    QStringList cells;
    cells.reserve(column::Count);
    cells.append(fields.value(0).trimmed());
    cells.append(QString());
    for (int i = 1; i < StarterCsv::Fields; ++i)
        cells.append(fields.value(i).trimmed());
    return cells;
}

StarterCsv parseStarterCsv(QByteArrayView bytes)
{
    StarterCsv result;
    const QStringList textLines = platform::splitLines(decodeCsvText(bytes));

    QChar separator = QLatin1Char(',');
    for (const QString& line : textLines) {
        if (line.contains(QLatin1Char(';'))) {
            separator = QLatin1Char(';');
            break;
        }
    }

    auto refuse = [&result](int lineNumber, const QString& what) {
        result.error = QStringLiteral("line %1: %2").arg(lineNumber).arg(what);
        result.header.clear();
        result.lines.clear();
        return result;
    };

    QSet<QString> keys;
    bool firstContentLine = true;
    for (int i = 0; i < textLines.size(); ++i) {
        const int lineNumber = i + 1;
        QString line = textLines.at(i);
        if (line.trimmed().isEmpty())
            continue;
        const bool titles = line.trimmed().startsWith(QLatin1Char('#'));
        if (titles && !firstContentLine)
            continue;
        firstContentLine = false;
        if (titles)
            line = line.trimmed().mid(1);

        const std::optional<QStringList> fields = splitCsvLine(line, separator);
        if (!fields)
            return refuse(lineNumber, QStringLiteral("a quote is not closed"));
        if (fields->size() > StarterCsv::Fields) {
            return refuse(lineNumber,
                QStringLiteral("%1 fields, at most %2 (key;nr;ruiter;paard;vereniging;cat;hoogte;tijd;status;ng)")
                    .arg(fields->size())
                    .arg(StarterCsv::Fields));
        }
        QStringList cells = cellsFromCsvFields(*fields);
        if (titles) {
            result.header = cells;
            continue;
        }
        const QString& key = cells.at(column::Key);
        if (key.isEmpty())
            return refuse(lineNumber, QStringLiteral("the key (first field) is empty"));
        if (!isPauseKey(key)) {
            if (keys.contains(key))
                return refuse(lineNumber, QStringLiteral("the key \"%1\" occurs more than once").arg(key));
            keys.insert(key);
        }
        if (result.lines.size() >= PublishedOrder::MaxLines)
            return refuse(lineNumber, QStringLiteral("more than %1 lines").arg(PublishedOrder::MaxLines));
        result.lines.push_back(cells);
    }
    return result;
}

} // namespace kantoor
