#include "status/TrayIcon.h"

#include "platform/SymbolImage.h"
#include "settings/DrawingHelpers.h"

#include <QPainter>
#include <QPainterPath>

namespace {

// The calendar symbol is drawn on a 24-unit grid; its page spans these units.
constexpr qreal gridUnits = 24;
const QRectF pageUnits(QPointF(3, 3.5), QPointF(21, 21));
constexpr qreal pageRadiusUnits = 3.5;
// Below the band, inside the page's outline: where the dots are, or the day.
const QRectF bodyUnits(QPointF(4.5, 10.5), QPointF(19.5, 19.6));
const QColor figures(0x1f, 0x23, 0x2b);

QRectF scaled(const QRectF& units, qreal scale) {
    return {units.topLeft() * scale, units.size() * scale};
}

} // namespace

namespace TrayIcon {

std::optional<int> dayFor(CalIconFormat format, const QDate& today) {
    if (format == CalIconFormat::iconOnly || !today.isValid())
        return std::nullopt;
    return today.day();
}

QImage image(int pixels, std::optional<int> day) {
    QImage icon(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    const auto symbol = SymbolImage::image("calendar", pixels, QFont::Medium, calBlueFixed());
    if (!symbol)
        return icon;
    const qreal scale = pixels / gridUnits;
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath page;
    page.addRoundedRect(scaled(pageUnits, scale), pageRadiusUnits * scale, pageRadiusUnits * scale);
    painter.fillPath(page, Qt::white);
    painter.drawImage(0, 0, *symbol);
    if (!day)
        return icon;

    const QRectF body = scaled(bodyUnits, scale);
    painter.fillRect(body, Qt::white);
    QFont font = systemFont(12, QFont::Bold);
    font.setPixelSize(std::max(1, qRound(pixels * 0.43)));
    painter.setFont(font);
    painter.setPen(figures);
    painter.drawText(body, Qt::AlignCenter, QString::number(*day));
    return icon;
}

} // namespace TrayIcon
