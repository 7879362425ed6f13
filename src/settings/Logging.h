#pragma once

#include <QLoggingCategory>

// Messages about the preferences store. Warnings show by default; the details show with
// QT_LOGGING_RULES="vesperin.preferences.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcPreferences)
