#pragma once

#include <QLoggingCategory>

// Messages about the support service client. Warnings show by default; the details show with
// QT_LOGGING_RULES="vesperin.service.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcService)
