// Feeds the environment's replacements for the support service's address and the update
// feed's. Whatever they hold, no request may leave the machine in clear text, and the
// endpoints made from an accepted base stay on the base's server, under the base's path.
//
// Input: the variables' value as UTF-8, cut at its first NUL byte (no variable holds one).
#include "FuzzSupport.h"
#include "network/ServiceEndpoints.h"

#include <QHostAddress>

namespace {

bool isOnThisMachine(const QString& host) {
    const QHostAddress address(host);
    return host.compare("localhost", Qt::CaseInsensitive) == 0 ||
           (!address.isNull() && address.isLoopback());
}

void checkSecure(const QUrl& url) {
    const QString scheme = url.scheme();
    Fuzz::check(url.isValid() && !url.host().isEmpty() &&
                    (scheme == "https" || (scheme == "http" && isOnThisMachine(url.host()))),
                "requests go over https, or in clear text only on this machine", url.toString());
}

void checkEndpoint(const QUrl& endpoint, const QUrl& base, QLatin1StringView name) {
    checkSecure(endpoint);
    const QString detail = base.toString() + " -> " + endpoint.toString();
    Fuzz::check(endpoint.adjusted(QUrl::RemovePath) == base.adjusted(QUrl::RemovePath),
                "an endpoint stays on its base's server", detail);
    QString basePath = base.path(QUrl::FullyEncoded);
    while (basePath.endsWith(u'/'))
        basePath.chop(1);
    Fuzz::check(endpoint.path(QUrl::FullyEncoded) == basePath + "/" + name,
                "an endpoint is its name under its base's path", detail);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray value = Fuzz::fields(Fuzz::bytes(data, size), 2).at(0);
    qputenv(ServiceEndpoints::baseVariable, value);
    qputenv(ServiceEndpoints::appcastVariable, value);

    const QUrl base = ServiceEndpoints::base();
    checkSecure(base);
    checkSecure(ServiceEndpoints::appcast());
    checkEndpoint(ServiceEndpoints::crash(), base, QLatin1StringView("crash"));
    checkEndpoint(ServiceEndpoints::check(), base, QLatin1StringView("check"));
    checkEndpoint(ServiceEndpoints::report(), base, QLatin1StringView("report"));
    return 0;
}
