#pragma once

#include <QLoggingCategory>

// Messages about the system clock switch. Warnings show by default; the details show with
// QT_LOGGING_RULES="vesperin.systemclock.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcSystemClock)
