#pragma once

#include <QString>

class SettingsStore;

// The live page's settings, in the station's section "Baldovenaar": whether the page is on ("livepagina", 1 or
// 0), its port ("livepoort", 8035 when absent or no port), the address it listens on ("liveadres", an IP address
// of this machine; empty: the machine's first address on the network) and the folder its files are written to
// for another web server ("livemap"; empty: none). Read at start-up; the menu's switch and the address chosen
// in the QR dialog are saved back. The office programs read none of them.
struct LiveSettings
{
    static constexpr quint16 defaultPort = 8035;

    bool on = false;
    quint16 port = defaultPort;
    QString address;
    QString folder;
};

LiveSettings readLiveSettings(const SettingsStore& store);
// False when a value could not be stored.
bool saveLiveOn(bool on, SettingsStore& store);
bool saveLiveAddress(const QString& address, SettingsStore& store);
