#include "ui/DrawingHelpers.h"

#include "ui/OrvennaMarkData.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

QLabel* plainLabel(const QString& text, qreal size, QFont::Weight weight, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    label->setFrameShape(QFrame::NoFrame);
    label->setAlignment(Qt::AlignCenter);
    label->setFont(systemFont(size, weight));
    return label;
}

// The red of system alerts and badges.
const QColor badgeRed(255, 59, 48);
// Points of an image are its logical pixels, as on screen: 72 dots per inch, so that a font's
// point size is its size in those pixels.
constexpr int dotsPerMeterAt72Dpi = 2835;

} // namespace

QColor calBlue(Appearance appearance) {
    return Appearances::pick(appearance, QColor::fromRgbF(0.145f, 0.388f, 0.922f),
                             QColor::fromRgbF(0.376f, 0.647f, 0.98f));
}

QColor calBlue(const QWidget* widget) {
    return calBlue(Appearances::of(widget));
}

const QColor& calBlueFixed() {
    static const QColor color = QColor::fromRgbF(0.231f, 0.51f, 0.965f);
    return color;
}

QColor orvennaMauve(Appearance appearance) {
    return Appearances::pick(appearance, QColor::fromRgbF(0.486f, 0.227f, 0.929f),
                             QColor::fromRgbF(0.686f, 0.573f, 0.992f));
}

QColor orvennaMauve(const QWidget* widget) {
    return orvennaMauve(Appearances::of(widget));
}

const QColor& orvennaMauveFixed() {
    static const QColor color = QColor::fromRgbF(0.486f, 0.227f, 0.929f);
    return color;
}

QLabel* makeLabel(const QString& text, qreal size, QFont::Weight weight, const QColor& color,
                  QWidget* parent) {
    QLabel* label = plainLabel(text, size, weight, parent);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    return label;
}

QLabel* makeLabel(const QString& text, qreal size, QFont::Weight weight, QPalette::ColorRole role,
                  QWidget* parent) {
    QLabel* label = plainLabel(text, size, weight, parent);
    label->setForegroundRole(role);
    return label;
}

QString quotaBadgeText(int count) {
    return QString::number(std::max(count, 1));
}

QFont quotaBadgeFont(qreal diameter) {
    QFont font = QGuiApplication::font();
    font.setPointSizeF(diameter * 0.68);
    font.setWeight(QFont::Bold);
    return font;
}

QImage quotaBadgeImage(int count, qreal diameter) {
    return quotaBadgeImage(count, diameter, qGuiApp ? qGuiApp->devicePixelRatio() : 1.0);
}

QImage quotaBadgeImage(int count, qreal diameter, qreal devicePixelRatio) {
    const int side = int(std::ceil(diameter * devicePixelRatio));
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    image.fill(Qt::transparent);
    image.setDotsPerMeterX(dotsPerMeterAt72Dpi);
    image.setDotsPerMeterY(dotsPerMeterAt72Dpi);
    image.setDevicePixelRatio(devicePixelRatio);

    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(badgeRed);
    painter.drawEllipse(QRectF(0, 0, diameter, diameter));

    // The text's line box (advance by line height) is centred in the circle.
    const QString text = quotaBadgeText(count);
    const QFont font = quotaBadgeFont(diameter);
    const QFontMetricsF metrics(font, &image);
    const QSizeF size(metrics.horizontalAdvance(text), metrics.height());
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(
        QRectF(QPointF((diameter - size.width()) / 2, (diameter - size.height()) / 2), size),
        Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
    return image;
}

std::optional<QImage> orvennaMark() {
    return imageFromBase64(orvennaMarkBase64);
}

std::optional<QImage> imageFromBase64(QByteArrayView base64) {
    const QByteArray::FromBase64Result decoded = QByteArray::fromBase64Encoding(
        base64.toByteArray(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.isEmpty())
        return std::nullopt;
    QImage image;
    if (!image.loadFromData(decoded.decoded))
        return std::nullopt;
    return image;
}

QFont systemFont(qreal size, QFont::Weight weight) {
    QFont font = QGuiApplication::font();
    font.setPointSizeF(size * 72.0 / 96.0);
    font.setWeight(weight);
    return font;
}
