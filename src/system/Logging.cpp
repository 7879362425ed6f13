#include "system/Logging.h"

Q_LOGGING_CATEGORY(lcSystem, "vesperin.system", QtInfoMsg)
