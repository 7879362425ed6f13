#include "calendar/CalendarAppOpener.h"

#include "calendar/CalendarLauncher.h"
#include "calendar/KOrganizerDateCall.h"

#include <QCoreApplication>

namespace CalendarAppOpener {

CalEngine::DayOpener opener(ProcessLauncher& launcher, const QDBusConnection& bus) {
    return [&launcher, bus](const QDate& day) {
        const auto started = CalendarLauncher::open(day, launcher);
        if (started == CalendarLauncher::Application::korganizer)
            KOrganizerDateCall::start(day, bus, QCoreApplication::instance());
        return started.has_value();
    };
}

} // namespace CalendarAppOpener
