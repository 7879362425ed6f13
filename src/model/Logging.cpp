#include "model/Logging.h"

Q_LOGGING_CATEGORY(lcModel, "vesperin.model", QtInfoMsg)
