#include "livesettings.h"

#include "settingsstore.h"

namespace {

const QString section = QStringLiteral("Baldovenaar");

} // namespace

LiveSettings readLiveSettings(const SettingsStore& store)
{
    LiveSettings settings;
    // "1" as the station writes it; "True" and "-1" as a hand or another program of the suite may.
    const QString on = store.value(section, QStringLiteral("livepagina"), QString()).trimmed();
    settings.on = on == u"1" || on == u"-1" || on.compare(u"true", Qt::CaseInsensitive) == 0;
    bool ok = false;
    const int port = store.value(section, QStringLiteral("livepoort"), QString()).trimmed().toInt(&ok);
    if (ok && port > 0 && port <= 65535)
        settings.port = quint16(port);
    settings.address = store.value(section, QStringLiteral("liveadres"), QString()).trimmed();
    settings.folder = store.value(section, QStringLiteral("livemap"), QString()).trimmed();
    return settings;
}

bool saveLiveOn(bool on, SettingsStore& store)
{
    return store.setValue(section, QStringLiteral("livepagina"), on ? QStringLiteral("1") : QStringLiteral("0"));
}

bool saveLiveAddress(const QString& address, SettingsStore& store)
{
    return store.setValue(section, QStringLiteral("liveadres"), address);
}
