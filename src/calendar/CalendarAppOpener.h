#pragma once

#include "calendar/CalEngine.h"
#include "platform/ProcessLauncher.h"

#include <QDBusConnection>

// Opens days in the user's calendar application: the default text/calendar application is
// started on the day (CalendarLauncher), and a KOrganizer so started is then asked over the
// session bus to show it (KOrganizerDateCall).
namespace CalendarAppOpener {

// The opener that starts programs through `launcher` and talks to KOrganizer over `bus`.
CalEngine::DayOpener opener(ProcessLauncher& launcher, const QDBusConnection& bus);

} // namespace CalendarAppOpener
