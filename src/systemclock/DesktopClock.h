#pragma once

#include "platform/ProcessLauncher.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>

// The desktop's own top-bar clock. On GNOME its settings "clock-show-date" and
// "clock-show-weekday" (schema org.gnome.desktop.interface) mean what "ShowDate" and
// "ShowDayOfWeek" mean in the system clock domain, so writes to those keys are mirrored onto
// them with the gsettings tool; GNOME Shell applies them at once. "IsAnalog" has no
// counterpart: GNOME's clock is always digital. Where gsettings or the schema is missing,
// nothing is read and writes change nothing.
namespace DesktopClock {

inline constexpr const char* schema = "org.gnome.desktop.interface";
inline constexpr const char* tool = "gsettings";

// Whether XDG_CURRENT_DESKTOP names a session whose top bar is GNOME Shell's ("GNOME",
// "ubuntu:GNOME", "GNOME-Classic:GNOME" ...). Budgie and GNOME Flashback also list GNOME, but
// their panels draw clocks of their own.
bool isGnomeShellSession(const QByteArray& currentDesktop);
// Whether the running desktop shows the clock these settings change: a GNOME Shell session
// whose settings tool knows the clock keys.
bool isShownHere(ProcessLauncher& launcher);

// The desktop setting behind a key of the system clock domain; absent when it has none.
std::optional<QString> desktopKey(const QString& managedKey);

// Whether a domain value shows its part of the clock: "ShowDate" 0 (when space allows) and 1
// (always) show the date, 2 (never) hides it; "ShowDayOfWeek" shows the weekday unless 0.
bool shows(const QString& managedKey, qint64 value);

// The domain value that stands for a desktop setting: 1 when shown, otherwise "ShowDate" 2
// and "ShowDayOfWeek" 0.
qint64 valueShowing(const QString& managedKey, bool shown);

// The desktop's current settings by domain key (true: the part is shown). Keys whose setting
// cannot be read are left out.
QHash<QString, bool> read(ProcessLauncher& launcher);

// Sets the desktop setting behind `managedKey` from a domain value, or resets it to the
// desktop's default when `value` is absent. Keys without a desktop setting are ignored, and
// so is a failure of the tool.
void apply(ProcessLauncher& launcher, const QString& managedKey, std::optional<qint64> value);

} // namespace DesktopClock
