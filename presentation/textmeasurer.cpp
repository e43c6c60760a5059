#include "textmeasurer.h"

#include "twips.h"

#include <QChar>
#include <QString>
#include <algorithm>
#include <climits>
#include <cmath>

TextMeasurer::TextMeasurer(const QFont& font)
    : m_font(font)
    , m_metrics(font)
{
    // The measuring surface never kerned; the grid draws without kerning too.
    m_font.setKerning(false);
    m_metrics = QFontMetricsF(m_font);
    m_latin1.fill(-1.0);
    m_latin1Units.fill(-1);
}

double TextMeasurer::advance(char16_t c)
{
    if (c < m_latin1.size()) {
        double& cached = m_latin1[c];
        if (cached < 0) {
            cached = m_metrics.horizontalAdvance(QChar(c));
            const double units = cached * 64;
            if (units >= 0 && units < 1 << 24 && units == std::floor(units))
                m_latin1Units[c] = qint32(units);
            else
                m_fractional = true;
        }
        return cached;
    }
    const auto found = m_other.constFind(c);
    if (found != m_other.constEnd())
        return *found;
    const double width = m_metrics.horizontalAdvance(QChar(c));
    m_other.insert(c, width);
    return width;
}

double TextMeasurer::widthPixels(QStringView text)
{
    if (!m_fractional) {
        const char16_t* chars = text.utf16();
        const qsizetype n = text.size();
        qint64 units = 0;
        qsizetype i = 0;
        for (; i < n; ++i) {
            const char16_t c = chars[i];
            if (c >= m_latin1Units.size() || m_latin1Units[c] < 0)
                break;
            units += m_latin1Units[c];
        }
        if (i == n)
            return double(units) / 64;
    }
    return widthByAdvances(text);
}

double TextMeasurer::widthByAdvances(QStringView text)
{
    double width = 0;
    const qsizetype n = text.size();
    const char16_t* chars = text.utf16();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = chars[i];
        if (c < m_latin1.size() && m_latin1[c] >= 0) {
            width += m_latin1[c];
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(chars[i + 1])) {
            // A character beyond the Basic Multilingual Plane: measured as the pair, not cached.
            width += m_metrics.horizontalAdvance(text.mid(i, 2).toString());
            ++i;
            continue;
        }
        width += advance(c);
    }
    return width;
}

int TextMeasurer::widthTwips(QStringView text)
{
    // A text too wide for a 32-bit width (millions of characters) measures as the widest there is.
    return int(std::lround(std::min(widthPixels(text) * twips::perPixel, double(INT_MAX))));
}
