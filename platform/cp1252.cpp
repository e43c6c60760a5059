#include "cp1252.h"

#include <array>

namespace platform {

namespace {

// Bytes 0x80..0x9F. The five bytes Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) pass
// through as the C1 control characters of the same number, as Windows and the WHATWG mapping do.
// Bytes 0x00..0x7F and 0xA0..0xFF are the characters of the same number.
constexpr std::array<char16_t, 32> highTable = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98..9F
};

constexpr char16_t decodeByte(unsigned char byte)
{
    return (byte >= 0x80 && byte <= 0x9F) ? highTable[byte - 0x80] : char16_t(byte);
}

// The byte for a character, or -1 when Windows-1252 has none.
int encodeChar(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int k = 0; k < int(highTable.size()); ++k) {
        if (highTable[k] == c)
            return 0x80 + k;
    }
    return -1;
}

} // namespace

QString decodeCp1252(QByteArrayView bytes)
{
    // Windows-1252 is Latin-1 but for 0x80..0x9F: Qt's Latin-1 decoder does the bulk, and only text that
    // holds one of those 32 bytes (a euro sign, a curly quote, an š) is looked at again. The test for
    // them has no early exit, so the compiler runs it over many bytes at once.
    QString text = QString::fromLatin1(bytes.data(), bytes.size());
    const unsigned char* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    unsigned char high = 0;
    for (qsizetype i = 0; i < n; ++i)
        high |= (in[i] & 0xE0) == 0x80;
    if (high) {
        QChar* out = text.data();
        for (qsizetype i = 0; i < n; ++i) {
            if (unsigned(in[i] - 0x80) < 0x20)
                out[i] = QChar(decodeByte(in[i]));
        }
    }
    return text;
}

QByteArray encodeCp1252(QStringView text)
{
    // Written straight into the bytes: never more bytes than characters.
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    qsizetype written = 0;
    const char16_t* chars = text.utf16();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = chars[i];
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out[written++] = char(c);
            continue;
        }
        const int byte = encodeChar(c);
        if (byte >= 0) {
            out[written++] = char(byte);
            continue;
        }
        // A character outside the Basic Multilingual Plane is one character, so one '?', as Windows writes it.
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(chars[i + 1]))
            ++i;
        out[written++] = '?';
    }
    bytes.truncate(written);
    return bytes;
}

QStringList splitLines(QStringView text)
{
    QStringList lines;
    const qsizetype n = text.size();
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n') {
            lines.append(text.sliced(start, i - start).toString());
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < n)
        lines.append(text.sliced(start).toString());
    return lines;
}

QString joinLinesCrLf(const QStringList& lines)
{
    qsizetype total = 0;
    for (const QString& line : lines)
        total += line.size() + 2;
    QString text;
    text.reserve(total);
    for (const QString& line : lines) {
        text.append(line);
        text.append(u"\r\n");
    }
    return text;
}

} // namespace platform
