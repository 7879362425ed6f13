#pragma once

#include <QLoggingCategory>

// Messages about the system clock and crash capture. Warnings show by default; the details show
// with QT_LOGGING_RULES="vesperin.system.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcSystem)
