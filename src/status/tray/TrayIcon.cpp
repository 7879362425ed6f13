#include "status/tray/TrayIcon.h"

#include "platform/AtomicFile.h"
#include "ui/DrawingHelpers.h"
#include "ui/SymbolImage.h"

#include <QBuffer>
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

QString sizeFolder(int pixels) {
    return QString("%1x%1/status").arg(pixels);
}

// Without an index a theme folder is not a theme: a panel that only adds our folder to its
// search path would find nothing in it.
QByteArray themeIndex() {
    QStringList folders;
    QByteArray sections;
    for (const int pixels : TrayIcon::themeSizes) {
        folders.append(sizeFolder(pixels));
        sections += QString("\n[%1]\nSize=%2\nContext=Status\nType=Fixed\n")
                        .arg(sizeFolder(pixels))
                        .arg(pixels)
                        .toUtf8();
    }
    return "[Icon Theme]\nName=Hicolor\nComment=Vesperin's status icons\nDirectories=" +
           folders.join(',').toUtf8() + "\n" + sections;
}

QByteArray png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    return image.save(&buffer, "PNG") ? bytes : QByteArray();
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

QString name(std::optional<int> day) {
    return day ? QString("vesperin-day-%1").arg(*day) : QString("vesperin-calendar");
}

bool writeTheme(const QString& root, std::optional<int> day) {
    const QString theme = root + "/hicolor/";
    bool written = AtomicFile::write(theme + "index.theme", themeIndex());
    for (const int pixels : themeSizes) {
        const QByteArray picture = png(image(pixels, day));
        written &=
            !picture.isEmpty() &&
            AtomicFile::write(theme + sizeFolder(pixels) + "/" + name(day) + ".png", picture);
    }
    return written;
}

} // namespace TrayIcon
