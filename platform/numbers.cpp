#include "numbers.h"

#include <QByteArray>
#include <charconv>
#include <cmath>
#include <limits>

namespace platform {

namespace {

bool isDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

} // namespace

// The digits are picked out here, by the suite's own rule; only the clean text "digits[.digits]" is handed
// to std::from_chars, which is locale-independent (strtod would follow the user's locale, where the
// decimal point may be a comma) and rounds correctly.
double leadingNumber(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t'))
        ++i;

    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }

    const qsizetype integerStart = i;
    while (i < n && isDigit(text[i]))
        ++i;
    const qsizetype integerEnd = i;

    qsizetype fractionStart = i;
    qsizetype fractionEnd = i;
    if (i < n && text[i] == u'.') {
        fractionStart = ++i;
        while (i < n && isDigit(text[i]))
            ++i;
        fractionEnd = i;
    }

    if (integerEnd == integerStart && fractionEnd == fractionStart)
        return 0.0; // no digit at all: "", "-", ".", "abc"

    // Leading zeros carry nothing, and their count bounds the work below.
    qsizetype significantStart = integerStart;
    while (significantStart < integerEnd && text[significantStart] == u'0')
        ++significantStart;
    const qsizetype integerDigits = integerEnd - significantStart;

    const double infinity = std::numeric_limits<double>::infinity();
    // DBL_MAX has 309 integer digits; anything longer overflows whatever follows.
    if (integerDigits > 310)
        return negative ? -infinity : infinity;

    QByteArray clean;
    clean.reserve(integerDigits + 2 + (fractionEnd - fractionStart));
    if (integerDigits == 0)
        clean.append('0');
    for (qsizetype k = significantStart; k < integerEnd; ++k)
        clean.append(char(text[k].unicode()));
    if (fractionEnd > fractionStart) {
        clean.append('.');
        for (qsizetype k = fractionStart; k < fractionEnd; ++k)
            clean.append(char(text[k].unicode()));
    }

    double value = 0.0;
    const char* first = clean.constData();
    const char* last = first + clean.size();
    const auto [end, error] = std::from_chars(first, last, value, std::chars_format::fixed);
    Q_UNUSED(end);
    if (error == std::errc::result_out_of_range) {
        // Out of range is overflow when there are integer digits (the value is at least 1), else underflow.
        value = integerDigits > 0 ? infinity : 0.0;
    } else if (error != std::errc()) {
        value = 0.0;
    }

    if (value == 0.0)
        return 0.0; // "-0" reads as 0, not as negative zero
    return negative ? -value : value;
}

std::optional<qint16> roundToInt16(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    // Halves to even in the default rounding mode, as the suite's 16-bit conversions do.
    const double rounded = std::nearbyint(value);
    if (rounded < -32768.0 || rounded > 32767.0)
        return std::nullopt;
    return static_cast<qint16>(rounded);
}

} // namespace platform
