#include "core/lookup/freedb/ServerSetting.h"

#include "core/Text.h"

#include <QCoreApplication>
#include <QUrl>

#include <algorithm>

namespace cantorix {

TServerAddress ParseServerSetting(const QString& text)
{
    TServerAddress address;
    const QString trimmed = TrimControls(text);
    if (trimmed.isEmpty()) return address;

    QUrl url(trimmed.contains("://") ? trimmed : "http://" + trimmed, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    // Port 0 parses, but no server listens there.
    const int port = url.port(scheme == "https" ? 443 : 80);
    if (!url.isValid() || url.host().isEmpty() || (scheme != "http" && scheme != "https") || port < 1) {
        address.Host = trimmed;
        return address;
    }
    address.Scheme = scheme;
    address.Host = url.host(QUrl::FullyEncoded);
    if (address.Host.contains(':')) address.Host = '[' + address.Host + ']'; // an IPv6 address
    address.Port = QString::number(port);
    QString path = url.path(QUrl::FullyEncoded);
    if (!path.isEmpty() && path != "/") address.Path = path;
    return address;
}

QString ServerSettingProblem(const QString& text)
{
    const QString trimmed = TrimControls(text);
    if (trimmed.isEmpty()) return {};
    if (std::any_of(trimmed.begin(), trimmed.end(), [](QChar c) { return c.isSpace() || c.unicode() < 32; }))
        return QCoreApplication::translate("ServerSetting", "A server address cannot hold spaces");
    const bool withScheme = trimmed.contains("://");
    const QUrl url(withScheme ? trimmed : "http://" + trimmed, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (withScheme && scheme != "http" && scheme != "https")
        return QCoreApplication::translate("ServerSetting", "A server address begins with http:// or https://");
    if (url.hasQuery() || url.hasFragment() || !url.userInfo().isEmpty())
        return QCoreApplication::translate("ServerSetting", "A server address holds no \"?\", \"#\" or \"@\"");
    // QUrl refuses a port beyond 65535 as a whole; tell that apart from a bad host.
    const QString authority = withScheme ? trimmed.section("://", 1).section('/', 0, 0) : trimmed.section('/', 0, 0);
    const qsizetype colon = authority.lastIndexOf(':');
    if (colon >= 0 && !authority.endsWith(']')) {
        bool ok = false;
        const int port = authority.mid(colon + 1).toInt(&ok);
        if (!ok || port < 1 || port > 65535)
            return QCoreApplication::translate("ServerSetting", "The port must be a number from 1 to 65535");
    }
    if (!url.isValid() || url.host().isEmpty())
        return QCoreApplication::translate("ServerSetting", "\"%1\" is no host name, host:port or http:// address")
            .arg(trimmed);
    return {};
}

} // namespace cantorix
