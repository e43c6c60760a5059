#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QStringView>
#include <array>

// Measures text as the Windows measuring surface of the station did: the width of a string is the sum
// of its characters' advances in the font, without kerning. Each character's advance is looked up once
// per measurer and kept, so measuring every cell of a full running order costs a table look-up per
// character instead of a text layout per cell. A measurer is bound to one font; make a new one when the
// font changes.
class TextMeasurer
{
public:
    explicit TextMeasurer(const QFont& font);

    const QFont& font() const { return m_font; }

    // Width in (fractional) logical pixels.
    double widthPixels(QStringView text);
    // Width in twips, to the nearest whole twip.
    int widthTwips(QStringView text);

private:
    double advance(char16_t c);
    double widthByAdvances(QStringView text);

    QFont m_font;
    QFontMetricsF m_metrics;
    // Latin-1 covers nearly every character of a running order; the rest (cp1252's € and quotes, and
    // whatever else a file holds) go to the hash. A negative entry is not measured yet.
    std::array<double, 256> m_latin1;
    QHash<char16_t, double> m_other;
    // The same Latin-1 advances in 1/64 pixel, the unit the font engine counts in. A text of measured
    // Latin-1 characters is summed in whole numbers: exactly the same sum, at a character a cycle (a
    // sum of doubles waits for each addition). Only while every advance is a whole number of units.
    std::array<qint32, 256> m_latin1Units;
    bool m_fractional = false;
};
