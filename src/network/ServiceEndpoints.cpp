#include "network/ServiceEndpoints.h"

#include <arpa/inet.h>

namespace {

// 127.0.0.0/8, ::1 and the IPv4 loopback written as IPv6 (::ffff:127.x.y.z), read with the C
// library so that the resident process does not load the network module for one comparison.
bool isLoopbackHost(const QString& host) {
    if (host.compare("localhost", Qt::CaseInsensitive) == 0)
        return true;
    const QByteArray text = host.toLatin1();
    in_addr v4{};
    if (inet_pton(AF_INET, text.constData(), &v4) == 1)
        return (ntohl(v4.s_addr) >> 24) == 127;
    in6_addr v6{};
    if (inet_pton(AF_INET6, text.constData(), &v6) != 1)
        return false;
    if (IN6_IS_ADDR_LOOPBACK(&v6))
        return true;
    return IN6_IS_ADDR_V4MAPPED(&v6) && v6.s6_addr[12] == 127;
}

// The address the environment variable names when it is acceptable, else `fallback`.
QUrl chosen(const char* variable, const char* fallback) {
    const QUrl named(qEnvironmentVariable(variable), QUrl::StrictMode);
    return ServiceEndpoints::isAcceptableBase(named) ? named : QUrl(fallback);
}

// The base's path is taken and put back encoded: decoded, an escaped "/" in it would become a
// separator and name another resource.
QUrl endpoint(const char* name) {
    QUrl url = ServiceEndpoints::base();
    QString path = url.path(QUrl::FullyEncoded);
    while (path.endsWith('/'))
        path.chop(1);
    url.setPath(path + "/" + name, QUrl::StrictMode);
    return url;
}

} // namespace

namespace ServiceEndpoints {

bool isSecureAddress(const QUrl& url) {
    if (!url.isValid() || url.host().isEmpty())
        return false;
    const QString scheme = url.scheme().toLower();
    return scheme == "https" || (scheme == "http" && isLoopbackHost(url.host()));
}

bool isAcceptableBase(const QUrl& url) {
    return isSecureAddress(url) && !url.hasQuery() && !url.hasFragment();
}

QUrl base() {
    return chosen(baseVariable, defaultBase);
}

QUrl appcast() {
    return chosen(appcastVariable, defaultAppcast);
}

QUrl crash() {
    return endpoint("crash");
}

QUrl check() {
    return endpoint("check");
}

QUrl report() {
    return endpoint("report");
}

QString appVersion() {
    return QStringLiteral(VESPERIN_VERSION);
}

} // namespace ServiceEndpoints
