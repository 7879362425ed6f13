#include "calendar/CalendarLauncher.h"

#include "calendar/GnomeCalendarDate.h"
#include "calendar/Logging.h"
#include "platform/MimeApps.h"

namespace CalendarLauncher {

Application applicationOf(const QString& desktopId) {
    if (desktopId == u"org.gnome.Calendar.desktop")
        return Application::gnomeCalendar;
    if (desktopId == u"org.gnome.Evolution.desktop")
        return Application::evolution;
    if (desktopId == u"org.kde.korganizer.desktop")
        return Application::korganizer;
    return Application::other;
}

QStringList dayArguments(Application application, const QDate& day) {
    switch (application) {
    case Application::gnomeCalendar:
        if (const auto date = GnomeCalendarDate::argument(day))
            return {"--date", *date};
        return {};
    case Application::evolution:
        return {"calendar:///?startdate=" + day.toString("yyyyMMdd")};
    case Application::korganizer:
    case Application::other:
        return {};
    }
    return {};
}

std::optional<Application> open(const QDate& day, ProcessLauncher& launcher) {
    const auto entry = MimeApps::defaultApplication(calendarType);
    if (!entry) {
        qCInfo(lcCalendar, "No application opens %s", calendarType);
        return std::nullopt;
    }
    const Application application = applicationOf(entry->id);
    const QStringList command = entry->command(dayArguments(application, day));
    qCDebug(lcCalendar) << "Opening" << day << "with" << entry->id << command;
    if (command.isEmpty() || !launcher.startDetached(command.first(), command.mid(1))) {
        qCWarning(lcCalendar) << "Cannot start" << command;
        return std::nullopt;
    }
    return application;
}

} // namespace CalendarLauncher
