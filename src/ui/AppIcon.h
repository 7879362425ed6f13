#pragma once

#include <QIcon>
#include <QImage>

// The application's icon: a blue rounded square holding a white calendar, drawn rather than
// stored so that it is crisp at every size and device pixel ratio.
namespace AppIcon {

QImage image(qreal size, qreal devicePixelRatio = 1.0);

// The icon of every window, for title bars, taskbars and window switchers: the installed
// theme icon named after the desktop entry, else the drawing at the sizes they ask for.
QIcon windowIcon();

} // namespace AppIcon
