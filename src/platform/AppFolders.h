#pragma once

#include <QString>
#include <QStringList>

// The per-user folders that stand in for the macOS Library folders. Nothing is created here.
namespace AppFolders {

// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
QString configHome();
// $XDG_DATA_HOME when it is an absolute path, else ~/.local/share.
QString dataHome();
// $XDG_CACHE_HOME when it is an absolute path, else ~/.cache.
QString cacheHome();
// $XDG_CONFIG_DIRS: its absolute entries in order, else /etc/xdg.
QStringList configDirs();
// $XDG_DATA_DIRS: its absolute entries in order, else /usr/local/share and /usr/share.
QStringList dataDirs();
// The application's own data folder (Application Support): <dataHome>/Vesperin.
QString applicationSupport();

} // namespace AppFolders
