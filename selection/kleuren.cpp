#include "kleuren.h"

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

} // namespace codeKleuren
