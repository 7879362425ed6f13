#include "updates/Logging.h"

Q_LOGGING_CATEGORY(lcUpdates, "vesperin.updates", QtInfoMsg)
