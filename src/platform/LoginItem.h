#pragma once

#include <QByteArray>
#include <QString>

// Opening the application at login, as the freedesktop autostart rules have it: a desktop
// entry in $XDG_CONFIG_HOME/autostart that the session starts when the user logs in. The
// entry is the one state there is: nothing is remembered here, so a change made with the
// desktop's own startup-applications tool shows at the next read.
namespace LoginItem {

// The installed desktop entry's name and icon, so that the session's startup-applications
// tool shows the entry as the application it starts.
inline constexpr char entryName[] = "com.orvennalabs.Vesperin.desktop";
inline constexpr char iconName[] = "com.orvennalabs.Vesperin";

// $XDG_CONFIG_HOME/autostart/com.orvennalabs.Vesperin.desktop
QString entryPath();

// Whether the session will start the application: the entry exists and is not switched off
// (Hidden=true, or GNOME's X-GNOME-Autostart-enabled=false).
bool isEnabled();

// Writes the entry for the running program, or removes it (an entry the user's tool switched
// off is written afresh when enabling). On failure writes the log line
// "Vesperin: ouverture à la connexion: <description>", puts the description in `error` when
// given, and returns false.
bool setEnabled(bool enabled, QString* error = nullptr);

// The entry that starts `program`: an application named Vesperin, with the installed icon,
// whose Exec line is the program's path, quoted and escaped so that any path comes back as
// written. The same path as TryExec makes the session pass over an entry whose program was
// removed since (a package uninstalled), rather than fail to start it at every login.
QByteArray entryFor(const QString& program);

} // namespace LoginItem
