#pragma once

#include <QImage>

// The application's icon: a blue rounded square holding a white calendar, drawn rather than
// stored so that it is crisp at every size and device pixel ratio.
namespace AppIcon {

QImage image(qreal size, qreal devicePixelRatio = 1.0);

} // namespace AppIcon
