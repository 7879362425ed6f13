#include "settings/Logging.h"

Q_LOGGING_CATEGORY(lcPreferences, "vesperin.preferences", QtInfoMsg)
