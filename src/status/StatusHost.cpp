#include "status/StatusHost.h"

#include "ui/DrawingHelpers.h"

QFont StatusHost::textFont() {
    return systemFont(13, QFont::Medium);
}
