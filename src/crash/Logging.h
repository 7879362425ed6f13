#pragma once

#include <QLoggingCategory>

// Messages about crash capture and reports. Warnings show by default; the details show with
// QT_LOGGING_RULES="vesperin.crash.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcCrash)
