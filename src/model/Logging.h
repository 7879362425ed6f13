#pragma once

#include <QLoggingCategory>

// Messages about the menu-bar layout and its renderer. Warnings show by default; the details show
// with QT_LOGGING_RULES="vesperin.model.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcModel)
