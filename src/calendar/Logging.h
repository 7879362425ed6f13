#pragma once

#include <QLoggingCategory>

// Messages about the calendar panel and the calendar application launcher. Warnings show by
// default; the details show with QT_LOGGING_RULES="vesperin.calendar.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcCalendar)
