#include "support/ServiceEndpoints.h"

#include <QHostAddress>

namespace {

bool isLoopbackHost(const QString& host) {
    if (host.compare("localhost", Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
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
