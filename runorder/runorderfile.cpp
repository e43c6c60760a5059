#include "runorderfile.h"

#include "cp1252.h"
#include "numbers.h"
#include "paths.h"

QStringView trimSpaces(QStringView text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text[start] == QLatin1Char(' '))
        ++start;
    while (end > start && text[end - 1] == QLatin1Char(' '))
        --end;
    return text.mid(start, end - start);
}

RunOrderContent parseRunOrder(const QStringList& lines)
{
    RunOrderContent content;
    for (const QString& line : lines) {
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        if (colon < 0)
            continue;
        const QStringView rawKey = trimSpaces(QStringView(line).left(colon));
        // Keys are short words; anything longer cannot be one (and need not be lower-cased).
        if (rawKey.isEmpty() || rawKey.size() > 16)
            continue;
        const QString key = rawKey.toString().toLower();
        const QStringView value = trimSpaces(QStringView(line).mid(colon + 1));
        if (key == QLatin1String("rij")) {
            if (content.rijen.size() < size_t(maxRijen))
                content.rijen.push_back(value.toString());
        } else if (key == QLatin1String("owner")) {
            content.owner = value.toString();
        } else if (key == QLatin1String("wnr")) {
            content.wnr = value.toString();
        } else if (key == QLatin1String("rid")) {
            content.rid = value.toString();
        } else if (key == QLatin1String("titel")) {
            content.titel = value.toString();
        } else if (key == QLatin1String("datum")) {
            if (!value.isEmpty())
                content.datum = value.toString();
        } else if (key == QLatin1String("begintijd")) {
            if (!value.isEmpty())
                content.begintijd = value.toString();
        } else if (key == QLatin1String("editvolgorde")) {
            if (const auto number = platform::roundToInt16(platform::leadingNumber(value)))
                content.editvolgorde = *number;
        } else if (key == QLatin1String("editnietgestart")) {
            if (const auto number = platform::roundToInt16(platform::leadingNumber(value)))
                content.editnietgestart = *number;
        }
        // "order" and unknown keys are accepted and not used.
    }
    return content;
}

RunOrderContent parseRunOrderBytes(QByteArrayView bytes)
{
    return parseRunOrder(platform::splitLines(platform::decodeCp1252(bytes)));
}

SplitPath splitspad(const QString& pad)
{
    SplitPath result;
    const QStringView s = trimSpaces(pad);
    if (s.isEmpty())
        return result;
    qsizetype i = s.size();
    while (i > 0) {
        if (platform::isFolderSeparator(s[i - 1]))
            break;
        --i;
    }
    result.map = s.left(i).toString();
    QStringView naam = s.mid(i);
    const qsizetype dot = naam.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0)
        naam = naam.left(dot);
    result.naam = naam.toString();
    return result;
}

void splitspad(AppState& state)
{
    const SplitPath split = splitspad(state.bestandspad);
    state.bestandsmap = split.map;
    state.bestandsnaam = split.naam;
    state.zoekpatroon = zoekpatroonVoor(split.naam);
}

QString zoekpatroonVoor(const QString& bestandsnaam)
{
    return bestandsnaam.left(20) + QStringLiteral("*.dvz");
}

bool hasRunOrderExtension(const QString& path)
{
    return path.right(4).toLower() == QLatin1String(".dvz");
}
