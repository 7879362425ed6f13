#pragma once

#include "platform/ProcessLauncher.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

// Starts the user's calendar application on a day: the desktop's default application for
// text/calendar, with the arguments that make the known ones show the day. Any other
// application is started without arguments: handed a file, it would import it as events.
namespace CalendarLauncher {

inline constexpr const char* calendarType = "text/calendar";

enum class Application {
    gnomeCalendar, // org.gnome.Calendar.desktop: gnome-calendar --date <its short date form>
    evolution,     // org.gnome.Evolution.desktop: evolution calendar:///?startdate=YYYYMMDD
    korganizer,    // org.kde.korganizer.desktop: started, then asked over D-Bus (the caller's part)
    other,
};

Application applicationOf(const QString& desktopId);

// The arguments that make the application show the day; none for the others, and none for
// GNOME Calendar when its date form cannot be written (it then opens on today).
QStringList dayArguments(Application application, const QDate& day);

// Starts the default calendar application on the day through `launcher`; the application
// started, absent when there is none or it could not be started.
std::optional<Application> open(const QDate& day, ProcessLauncher& launcher);

} // namespace CalendarLauncher
