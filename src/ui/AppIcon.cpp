#include "ui/AppIcon.h"

#include "ui/DrawingHelpers.h"
#include "ui/SymbolImage.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace AppIcon {

QImage image(qreal size, qreal devicePixelRatio) {
    const int pixels = qRound(size * devicePixelRatio);
    QImage icon(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    icon.setDevicePixelRatio(devicePixelRatio);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    // Rounded like the desktops' own icons: a tenth of a margin, corners of a fifth.
    const QRectF tile(size * 0.08, size * 0.08, size * 0.84, size * 0.84);
    QLinearGradient fill(tile.topLeft(), tile.bottomLeft());
    fill.setColorAt(0, calBlueFixed().lighter(115));
    fill.setColorAt(1, calBlueFixed().darker(115));
    QPainterPath path;
    path.addRoundedRect(tile, size * 0.19, size * 0.19);
    painter.fillPath(path, fill);
    if (const auto calendar = SymbolImage::image("calendar", size * 0.5, QFont::Medium, Qt::white,
                                                 devicePixelRatio)) {
        const QSizeF glyph = QSizeF(calendar->size()) / devicePixelRatio;
        painter.drawImage(QPointF((size - glyph.width()) / 2, (size - glyph.height()) / 2),
                          *calendar);
    }
    return icon;
}

QIcon windowIcon() {
    QIcon icon = QIcon::fromTheme("com.orvennalabs.Vesperin");
    if (!icon.isNull())
        return icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(image(size)));
    return icon;
}

} // namespace AppIcon
