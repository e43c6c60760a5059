#include "liveaddresses.h"

#include <QHostInfo>
#include <QNetworkInterface>
#include <algorithm>

namespace liveaddress {

QList<QHostAddress> machineAddresses()
{
    // Interfaces whose link runs first; then those up without a known link (some virtual ones never say), so
    // their addresses can still be chosen.
    QList<QHostAddress> v4[2];
    QList<QHostAddress> v6[2];
    QList<QHostAddress> loopback;
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& interface : interfaces) {
        const auto flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp))
            continue;
        const int tier = flags.testFlag(QNetworkInterface::IsRunning) ? 0 : 1;
        for (const QNetworkAddressEntry& entry : interface.addressEntries()) {
            QHostAddress address = entry.ip();
            address.setScopeId(QString());
            if (address.isLoopback())
                loopback.append(address);
            else if (address.protocol() == QAbstractSocket::IPv4Protocol)
                v4[tier].append(address);
            else if (address.protocol() == QAbstractSocket::IPv6Protocol && !address.isLinkLocal())
                v6[tier].append(address);
        }
    }
    if (!std::any_of(loopback.cbegin(), loopback.cend(),
            [](const QHostAddress& a) { return a == QHostAddress(QHostAddress::LocalHost); }))
        loopback.prepend(QHostAddress(QHostAddress::LocalHost));
    return v4[0] + v4[1] + v6[0] + v6[1] + loopback;
}

std::optional<QHostAddress> choose(const QString& setting, const QList<QHostAddress>& addresses)
{
    const QString wanted = setting.trimmed();
    if (!wanted.isEmpty()) {
        const QHostAddress address(wanted);
        if (address.isNull() || !addresses.contains(address))
            return std::nullopt;
        return address;
    }
    for (const QHostAddress& address : addresses) {
        if (!address.isLoopback())
            return address;
    }
    return QHostAddress(QHostAddress::LocalHost);
}

QString pageUrl(const QHostAddress& address, quint16 port)
{
    const QString host = address.protocol() == QAbstractSocket::IPv6Protocol
        ? QLatin1Char('[') + address.toString() + QLatin1Char(']')
        : address.toString();
    return QStringLiteral("http://%1:%2/").arg(host).arg(port);
}

QStringList hostNames(const QList<QHostAddress>& addresses)
{
    QStringList names { QStringLiteral("localhost") };
    for (const QHostAddress& address : addresses)
        names.append(address.toString());
    const QString host = QHostInfo::localHostName();
    if (!host.isEmpty()) {
        names.append(host);
        names.append(host + QStringLiteral(".local"));
        const QString domain = QHostInfo::localDomainName();
        if (!domain.isEmpty())
            names.append(host + QLatin1Char('.') + domain);
    }
    return names;
}

} // namespace liveaddress
