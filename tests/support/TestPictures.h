#pragma once

#include "platform/Appearance.h"

#include <QImage>
#include <QString>

// Saves the picture as <name>.png where a person can look at it, when asked to by
// VESPERIN_SCREENSHOT_DIR; the tests themselves check what a broken drawing would get wrong.
void keepForLooking(const QImage& image, const QString& name);

// "light" or "dark", for the names of pictures.
inline QString nameOf(Appearance appearance) {
    return appearance == Appearance::dark ? "dark" : "light";
}
