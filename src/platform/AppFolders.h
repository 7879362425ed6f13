#pragma once

#include <QString>

// The per-user folders that stand in for the macOS Library folders. Nothing is created here.
namespace AppFolders {

// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
QString configHome();
// $XDG_DATA_HOME when it is an absolute path, else ~/.local/share.
QString dataHome();
// The application's own data folder (Application Support): <dataHome>/Vesperin.
QString applicationSupport();

} // namespace AppFolders
