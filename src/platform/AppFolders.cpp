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

// A list of XDG base folders: the variable's absolute entries, else the defaults when the
// variable is unset or empty. Relative entries are ignored, as in a single folder.
QStringList xdgFolders(const char* variable, const QStringList& defaults) {
    const QString value = qEnvironmentVariable(variable);
    if (value.isEmpty())
        return defaults;
    QStringList folders;
    for (const QString& folder : value.split(u':', Qt::SkipEmptyParts)) {
        if (QDir::isAbsolutePath(folder))
            folders.append(QDir::cleanPath(folder));
    }
    return folders;
}

} // namespace

namespace AppFolders {

QString configHome() {
    return xdgFolder("XDG_CONFIG_HOME", "/.config");
}

QString dataHome() {
    return xdgFolder("XDG_DATA_HOME", "/.local/share");
}

QString cacheHome() {
    return xdgFolder("XDG_CACHE_HOME", "/.cache");
}

QStringList configDirs() {
    return xdgFolders("XDG_CONFIG_DIRS", {"/etc/xdg"});
}

QStringList dataDirs() {
    return xdgFolders("XDG_DATA_DIRS", {"/usr/local/share", "/usr/share"});
}

QString applicationSupport() {
    return dataHome() + "/Vesperin";
}

} // namespace AppFolders
