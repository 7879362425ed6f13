#include "support/Logging.h"

Q_LOGGING_CATEGORY(lcService, "vesperin.service", QtInfoMsg)
