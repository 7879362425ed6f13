#include "status/Logging.h"

Q_LOGGING_CATEGORY(lcStatus, "vesperin.status", QtInfoMsg)
