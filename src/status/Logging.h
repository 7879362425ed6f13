#pragma once

#include <QLoggingCategory>

// Messages about the status items. Warnings show by default; the details show with
// QT_LOGGING_RULES="vesperin.status.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcStatus)
