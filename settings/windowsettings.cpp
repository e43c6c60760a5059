#include "windowsettings.h"

#include "settingsstore.h"

#include <QString>
#include <cstdlib>

namespace {

const QString section = QStringLiteral("Baldovenaar");

// A whole number as written; nothing for an empty or other text.
std::optional<int> wholeNumber(const SettingsStore& store, const QString& key)
{
    bool ok = false;
    const int value = store.value(section, key, QString()).trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

// No screen is this large: a larger value is a damaged or hand-made file, not a window.
constexpr int largestExtent = 100000;

} // namespace

WindowSettings readWindowSettings(const SettingsStore& store)
{
    WindowSettings settings;
    const std::optional<int> left = wholeNumber(store, QStringLiteral("windowleft"));
    const std::optional<int> top = wholeNumber(store, QStringLiteral("windowtop"));
    const std::optional<int> width = wholeNumber(store, QStringLiteral("windowwidth"));
    const std::optional<int> height = wholeNumber(store, QStringLiteral("windowheight"));
    if (left && top && width && height && *width > 0 && *height > 0 && *width <= largestExtent
        && *height <= largestExtent && std::abs(*left) <= largestExtent && std::abs(*top) <= largestExtent)
        settings.geometry = QRect(*left, *top, *width, *height);
    settings.maximised = wholeNumber(store, QStringLiteral("windowstate")) == 2;
    // "1" as the station writes it; "True" and "-1" as a hand or another program of the suite may.
    const QString sunlight = store.value(section, QStringLiteral("sunlight"), QString()).trimmed();
    settings.sunlight = sunlight == u"1" || sunlight == u"-1" || sunlight.compare(u"true", Qt::CaseInsensitive) == 0;
    settings.scaleSaved = !store.value(section, QStringLiteral("scale"), QString()).trimmed().isEmpty();
    return settings;
}

bool saveWindowPlacement(const QRect& geometry, bool maximised, SettingsStore& store)
{
    bool saved = store.setValue(section, QStringLiteral("windowleft"), QString::number(geometry.x()));
    saved = store.setValue(section, QStringLiteral("windowtop"), QString::number(geometry.y())) && saved;
    saved = store.setValue(section, QStringLiteral("windowwidth"), QString::number(geometry.width())) && saved;
    saved = store.setValue(section, QStringLiteral("windowheight"), QString::number(geometry.height())) && saved;
    saved
        = store.setValue(section, QStringLiteral("windowstate"), maximised ? QStringLiteral("2") : QStringLiteral("0"))
        && saved;
    return saved;
}

bool saveSunlight(bool on, SettingsStore& store)
{
    return store.setValue(section, QStringLiteral("sunlight"), on ? QStringLiteral("1") : QStringLiteral("0"));
}

WindowSettings readWindowSettings()
{
    return readWindowSettings(*SettingsStore::forUser());
}

bool saveWindowPlacement(const QRect& geometry, bool maximised)
{
    return saveWindowPlacement(geometry, maximised, *SettingsStore::forUser());
}

bool saveSunlight(bool on)
{
    return saveSunlight(on, *SettingsStore::forUser());
}
