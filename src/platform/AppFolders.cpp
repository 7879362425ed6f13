#include "platform/AppFolders.h"

#include <QDir>

namespace {

// An XDG base folder: the variable when it names an absolute path, else the default under
// the home folder (relative values are to be ignored, the XDG rules say).
QString xdgFolder(const char* variable, const char* homeDefault) {
    QString folder = qEnvironmentVariable(variable);
    if (!folder.isEmpty() && QDir::isAbsolutePath(folder))
        return folder;
    return QDir::homePath() + homeDefault;
}

} // namespace

namespace AppFolders {

QString configHome() {
    return xdgFolder("XDG_CONFIG_HOME", "/.config");
}

QString dataHome() {
    return xdgFolder("XDG_DATA_HOME", "/.local/share");
}

QString applicationSupport() {
    return dataHome() + "/Vesperin";
}

} // namespace AppFolders
