#include "calendar/Logging.h"

Q_LOGGING_CATEGORY(lcCalendar, "vesperin.calendar", QtInfoMsg)
