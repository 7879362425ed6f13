#pragma once

#include <QLoggingCategory>

// Messages about the platform layer (system events, files, processes). Warnings show by default;
// the details show with QT_LOGGING_RULES="vesperin.platform.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcPlatform)
