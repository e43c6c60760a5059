#include "kleuren.h"

#include <algorithm>
#include <cmath>

namespace codeKleuren {

namespace {
// Int(): rounds toward minus infinity, also for negative values.
qint64 floorDiv(qint64 value, qint64 divisor)
{
    qint64 quotient = value / divisor;
    if ((value % divisor != 0) && ((value < 0) != (divisor < 0)))
        --quotient;
    return quotient;
}
} // namespace

quint32 ContrastKleur(quint32 colour)
{
    // The office programs treat colours as signed: the components of a system colour come out negative,
    // and with them the brightness, which is what sends system backgrounds to dark text.
    const qint64 value = qint32(colour);
    const qint64 red = value % 256; // the remainder takes the sign of the dividend
    const qint64 rest = floorDiv(value, 256);
    const qint64 green = rest % 256;
    const qint64 blue = floorDiv(rest, 256);
    // Halves to even, as the default rounding mode does.
    const double brightness = std::nearbyint(double(red + blue + green) / 3.0);
    if (brightness >= 0 && brightness < 128)
        return colours::lightText;
    return colours::darkText;
}

namespace {

double linear(int component)
{
    const double c = component / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

int red(quint32 colour)
{
    return int(colour & 0xFF);
}

int green(quint32 colour)
{
    return int((colour >> 8) & 0xFF);
}

int blue(quint32 colour)
{
    return int((colour >> 16) & 0xFF);
}

} // namespace

double relativeLuminance(quint32 colour)
{
    return 0.2126 * linear(red(colour)) + 0.7152 * linear(green(colour)) + 0.0722 * linear(blue(colour));
}

double contrastRatio(quint32 first, quint32 second)
{
    const double a = relativeLuminance(first);
    const double b = relativeLuminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

quint32 throughVeil(quint32 colour, quint32 veil, int alpha)
{
    alpha = std::clamp(alpha, 0, 255);
    // As a painter blends a translucent fill over what is there, each component rounded to a whole value.
    const auto blend
        = [alpha](int under, int over) { return int(std::lround((under * (255 - alpha) + over * alpha) / 255.0)); };
    return colours::rgb(
        blend(red(colour), red(veil)), blend(green(colour), green(veil)), blend(blue(colour), blue(veil)));
}

} // namespace codeKleuren
