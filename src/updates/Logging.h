#pragma once

#include <QLoggingCategory>

// Messages about the update feed, checks and downloads. Warnings show by default; the details show
// with QT_LOGGING_RULES="vesperin.updates.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcUpdates)
