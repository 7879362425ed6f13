#include "calendar/DesktopUrlOpener.h"

#include "calendar/CalEngine.h"

#include <QDesktopServices>

namespace DesktopUrlOpener {

void install() {
    CalEngine::setUrlOpener([](const QUrl& url) { return QDesktopServices::openUrl(url); });
}

} // namespace DesktopUrlOpener
