#include "liveaddresses.h"

#include <QHostInfo>
#include <QNetworkInterface>

namespace liveaddress {

QList<QHostAddress> machineAddresses()
{
    QList<QHostAddress> v4;
    QList<QHostAddress> v6;
    QList<QHostAddress> loopback;
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& interface : interfaces) {
        const auto flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || !flags.testFlag(QNetworkInterface::IsRunning))
            continue;
        for (const QNetworkAddressEntry& entry : interface.addressEntries()) {
            QHostAddress address = entry.ip();
            address.setScopeId(QString());
            if (address.isLoopback())
                loopback.append(address);
            else if (address.protocol() == QAbstractSocket::IPv4Protocol)
                v4.append(address);
            else if (address.protocol() == QAbstractSocket::IPv6Protocol && !address.isLinkLocal())
                v6.append(address);
        }
    }
    if (!std::any_of(loopback.cbegin(), loopback.cend(),
            [](const QHostAddress& a) { return a == QHostAddress(QHostAddress::LocalHost); }))
        loopback.prepend(QHostAddress(QHostAddress::LocalHost));
    return v4 + v6 + loopback;
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
