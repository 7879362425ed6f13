#pragma once

#include <QLoggingCategory>

// Messages about the network helper and its exchanges. Warnings show by default; the details show
// with QT_LOGGING_RULES="vesperin.network.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcNetwork)
