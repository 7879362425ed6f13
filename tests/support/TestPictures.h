#pragma once

#include <QImage>
#include <QString>

// Saves the picture as <name>.png where a person can look at it, when asked to by
// VESPERIN_SCREENSHOT_DIR; the tests themselves check what a broken drawing would get wrong.
void keepForLooking(const QImage& image, const QString& name);
