#pragma once

#include <QHostAddress>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Where the live page can be reached: this machine's addresses, and which of them it listens on. It never
// listens on all of them at once: the official sees the one address the QR code gives, and loopback (always
// among them) keeps the page on this machine alone.
namespace liveaddress {

// The addresses of the interfaces that are up (those whose link runs before the others): IPv4 first, then IPv6
// (not link-local, which a phone's browser cannot use in a link), loopback last.
QList<QHostAddress> machineAddresses();

// The address to listen on: the setting's when this machine has it; the first that is not loopback when the
// setting is empty (loopback when there is none); nothing when the setting names an address that is not (or no
// longer) this machine's.
std::optional<QHostAddress> choose(const QString& setting, const QList<QHostAddress>& addresses);

// The page's address: "http://192.168.1.20:8035/", an IPv6 address in brackets.
QString pageUrl(const QHostAddress& address, quint16 port);

// The names a Host field may carry for this machine: its addresses, "localhost", its host name and that name
// in the local domain.
QStringList hostNames(const QList<QHostAddress>& addresses);

} // namespace liveaddress
