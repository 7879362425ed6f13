#include "statusline/Logging.h"

Q_LOGGING_CATEGORY(lcStatusLine, "vesperin.statusline", QtInfoMsg)
