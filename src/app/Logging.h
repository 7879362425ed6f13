#pragma once

#include <QLoggingCategory>

// Messages about the application shell. Warnings show by default; the details show with
// QT_LOGGING_RULES="vesperin.app.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcApp)
