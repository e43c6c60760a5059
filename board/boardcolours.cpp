#include "boardcolours.h"

#include <algorithm>
#include <cmath>

namespace boardcolours {

namespace {

double linear(double channel)
{
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& colour)
{
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
}

} // namespace

double contrastRatio(const QColor& a, const QColor& b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QList<Pair> pairs()
{
    return {
        { QStringLiteral("title and starters"), text, ground },
        { QStringLiteral("captions and times"), caption, ground },
        { QStringLiteral("the starter in the ring"), text, ringBack },
        { QStringLiteral("its caption"), caption, ringBack },
        { QStringLiteral("a pause band"), text, pauseBack },
        { QStringLiteral("a pause's time"), caption, pauseBack },
        { QStringLiteral("a starter not started"), struck, ground },
        { QStringLiteral("a board not up to date"), stale, ground },
        { QStringLiteral("the notice"), noticeText, noticeBack },
    };
}

} // namespace boardcolours
