#include "network/Logging.h"

Q_LOGGING_CATEGORY(lcNetwork, "vesperin.network", QtInfoMsg)
