#include "ringsettings.h"

#include "settingsstore.h"

namespace ringsettings {

int riderDistance(const SettingsStore& store)
{
    const QString text
        = store.value(QStringLiteral("Baldovenaar"), QStringLiteral("ruiterafstand"), QString()).trimmed();
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value >= 0 && value <= largestRiderDistance ? value : defaultRiderDistance;
}

} // namespace ringsettings
