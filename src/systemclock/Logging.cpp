#include "systemclock/Logging.h"

Q_LOGGING_CATEGORY(lcSystemClock, "vesperin.systemclock", QtInfoMsg)
