#include "status/StatusHost.h"

#include "settings/DrawingHelpers.h"

QFont StatusHost::textFont() {
    return systemFont(13, QFont::Medium);
}
