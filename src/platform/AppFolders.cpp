#include "platform/AppFolders.h"

#include <QDir>

namespace AppFolders {

QString dataHome() {
    const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return xdg;
    return QDir::homePath() + "/.local/share";
}

QString applicationSupport() {
    return dataHome() + "/Vesperin";
}

QString diagnosticReports() {
    return applicationSupport() + "/DiagnosticReports";
}

} // namespace AppFolders
