#pragma once

#include "ui/Appearance.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>

// Saves the picture as <name>.png where a person can look at it, when asked to by
// VESPERIN_SCREENSHOT_DIR; the tests themselves check what a broken drawing would get wrong.
void keepForLooking(const QImage& image, const QString& name);

// "light" or "dark", for the names of pictures.
inline QString nameOf(Appearance appearance) {
    return appearance == Appearance::dark ? "dark" : "light";
}

// The smallest rectangle holding the pixels of `area` (the whole image when none is given) whose
// colour passes `test`; empty when none does.
template <typename Test> QRect boundsOf(const QImage& image, Test test, QRect area = {}) {
    if (area.isNull())
        area = image.rect();
    QRect bounds;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (test(image.pixelColor(x, y)))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}
