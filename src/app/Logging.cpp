#include "app/Logging.h"

Q_LOGGING_CATEGORY(lcApp, "vesperin.app", QtInfoMsg)
