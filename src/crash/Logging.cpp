#include "crash/Logging.h"

Q_LOGGING_CATEGORY(lcCrash, "vesperin.crash", QtInfoMsg)
