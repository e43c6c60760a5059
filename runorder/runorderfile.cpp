#include "runorderfile.h"

#include "cp1252.h"
#include "numbers.h"
#include "paths.h"

#include <QLatin1StringView>
#include <algorithm>
#include <cstring>

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

namespace {

// The keys of a running-order file, as they are compared: lower case.
enum class Key { Unknown, Rij, Owner, Wnr, Rid, Titel, Datum, Begintijd, Editvolgorde, Editnietgestart };

Key keyOf(QStringView lowerKey)
{
    static const struct
    {
        QLatin1StringView name;
        Key key;
    } keys[] = {
        { QLatin1StringView("rij"), Key::Rij },
        { QLatin1StringView("owner"), Key::Owner },
        { QLatin1StringView("wnr"), Key::Wnr },
        { QLatin1StringView("rid"), Key::Rid },
        { QLatin1StringView("titel"), Key::Titel },
        { QLatin1StringView("datum"), Key::Datum },
        { QLatin1StringView("begintijd"), Key::Begintijd },
        { QLatin1StringView("editvolgorde"), Key::Editvolgorde },
        { QLatin1StringView("editnietgestart"), Key::Editnietgestart },
    };
    for (const auto& known : keys) {
        if (lowerKey == known.name)
            return known.key;
    }
    // "order" and unknown keys are accepted and not used.
    return Key::Unknown;
}

// Takes one key's value into the content.
void takeValue(RunOrderContent& content, Key key, QStringView value)
{
    switch (key) {
    case Key::Rij:
        if (content.rijen.size() < size_t(maxRijen))
            content.rijen.push_back(value.toString());
        break;
    case Key::Owner:
        content.owner = value.toString();
        break;
    case Key::Wnr:
        content.wnr = value.toString();
        break;
    case Key::Rid:
        content.rid = value.toString();
        break;
    case Key::Titel:
        content.titel = value.toString();
        break;
    case Key::Datum:
        if (!value.isEmpty())
            content.datum = value.toString();
        break;
    case Key::Begintijd:
        if (!value.isEmpty())
            content.begintijd = value.toString();
        break;
    case Key::Editvolgorde:
        if (const auto number = platform::roundToInt16(platform::leadingNumber(value)))
            content.editvolgorde = *number;
        break;
    case Key::Editnietgestart:
        if (const auto number = platform::roundToInt16(platform::leadingNumber(value)))
            content.editnietgestart = *number;
        break;
    case Key::Unknown:
        break;
    }
}

// Keys are short words; anything longer cannot be one.
constexpr qsizetype longestKey = 16;

} // namespace

RunOrderContent parseRunOrder(const QStringList& lines)
{
    RunOrderContent content;
    for (const QString& line : lines) {
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        if (colon < 0)
            continue;
        const QStringView rawKey = trimSpaces(QStringView(line).left(colon));
        if (rawKey.isEmpty() || rawKey.size() > longestKey)
            continue;
        takeValue(content, keyOf(rawKey.toString().toLower()), trimSpaces(QStringView(line).mid(colon + 1)));
    }
    return content;
}

RunOrderContent parseRunOrderBytes(QByteArrayView bytes)
{
    // The same rules as parseRunOrder over the decoded lines, worked on the bytes: every byte is one
    // character, and the line ends, the colon, the spaces and the keys are all ASCII, so only the values
    // are decoded, each straight into the string the grids keep. (No byte above 0x7F lower-cases to an
    // ASCII letter, so lower-casing the key's ASCII letters is lower-casing the key.)
    RunOrderContent content;
    const char* data = bytes.data();
    const qsizetype n = bytes.size();
    const auto find = [&](char wanted, qsizetype from) {
        const void* found = from < n ? std::memchr(data + from, wanted, size_t(n - from)) : nullptr;
        return found ? qsizetype(static_cast<const char*>(found) - data) : n;
    };
    qsizetype nextCr = find('\r', 0);
    qsizetype nextLf = find('\n', 0);
    qsizetype start = 0;
    while (start < n) {
        if (nextCr < start)
            nextCr = find('\r', start);
        if (nextLf < start)
            nextLf = find('\n', start);
        const qsizetype end = std::min(nextCr, nextLf);
        const qsizetype next = end + (end + 1 < n && data[end] == '\r' && data[end + 1] == '\n' ? 2 : 1);
        const char* line = data + start;
        const qsizetype length = end - start;
        start = next;
        const void* colonAt = std::memchr(line, ':', size_t(length));
        if (!colonAt)
            continue;
        const qsizetype colon = static_cast<const char*>(colonAt) - line;
        qsizetype keyStart = 0;
        qsizetype keyEnd = colon;
        while (keyStart < keyEnd && line[keyStart] == ' ')
            ++keyStart;
        while (keyEnd > keyStart && line[keyEnd - 1] == ' ')
            --keyEnd;
        if (keyStart == keyEnd || keyEnd - keyStart > longestKey)
            continue;
        char16_t lower[longestKey];
        for (qsizetype i = keyStart; i < keyEnd; ++i) {
            const unsigned char c = static_cast<unsigned char>(line[i]);
            lower[i - keyStart] = c >= 'A' && c <= 'Z' ? char16_t(c + ('a' - 'A')) : char16_t(c);
        }
        const Key key = keyOf(QStringView(lower, keyEnd - keyStart));
        if (key == Key::Unknown)
            continue;
        qsizetype valueStart = colon + 1;
        qsizetype valueEnd = length;
        while (valueStart < valueEnd && line[valueStart] == ' ')
            ++valueStart;
        while (valueEnd > valueStart && line[valueEnd - 1] == ' ')
            --valueEnd;
        const QByteArrayView raw(line + valueStart, valueEnd - valueStart);
        if (key == Key::Rij) {
            // The common line: decoded once, into the string the grids share.
            if (content.rijen.size() < size_t(maxRijen))
                content.rijen.push_back(platform::decodeCp1252(raw));
        } else {
            takeValue(content, key, platform::decodeCp1252(raw));
        }
    }
    return content;
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

QString zoekpatroonVoor(const QString& bestandsnaam)
{
    return bestandsnaam.left(20) + QStringLiteral("*.dvz");
}

bool hasRunOrderExtension(const QString& path)
{
    return path.right(4).toLower() == QLatin1String(".dvz");
}
