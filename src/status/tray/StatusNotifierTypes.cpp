#include "status/tray/StatusNotifierTypes.h"

#include "status/tray/DBusStructure.h"

#include <QDBusMetaType>
#include <QtEndian>

SniIconPixmap SniIconPixmap::fromImage(const QImage& image) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    SniIconPixmap pixmap{argb.width(), argb.height(), QByteArray()};
    pixmap.bytes.resize(qsizetype(argb.width()) * argb.height() * 4);
    auto* out = reinterpret_cast<uchar*>(pixmap.bytes.data());
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const quint32*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x, out += 4)
            qToBigEndian(line[x], out);
    }
    return pixmap;
}

QImage SniIconPixmap::toImage() const {
    if (width <= 0 || height <= 0 || bytes.size() != qsizetype(width) * height * 4)
        return {};
    QImage image(width, height, QImage::Format_ARGB32);
    const auto* in = reinterpret_cast<const uchar*>(bytes.constData());
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<quint32*>(image.scanLine(y));
        for (int x = 0; x < width; ++x, in += 4)
            line[x] = qFromBigEndian<quint32>(in);
    }
    return image;
}

QDBusArgument& operator<<(QDBusArgument& argument, const SniIconPixmap& pixmap) {
    return DBusStructure::write(argument, pixmap, &SniIconPixmap::width, &SniIconPixmap::height,
                                &SniIconPixmap::bytes);
}

const QDBusArgument& operator>>(const QDBusArgument& argument, SniIconPixmap& pixmap) {
    return DBusStructure::read(argument, pixmap, &SniIconPixmap::width, &SniIconPixmap::height,
                               &SniIconPixmap::bytes);
}

QDBusArgument& operator<<(QDBusArgument& argument, const SniToolTip& toolTip) {
    return DBusStructure::write(argument, toolTip, &SniToolTip::iconName, &SniToolTip::pixmaps,
                                &SniToolTip::title, &SniToolTip::description);
}

const QDBusArgument& operator>>(const QDBusArgument& argument, SniToolTip& toolTip) {
    return DBusStructure::read(argument, toolTip, &SniToolTip::iconName, &SniToolTip::pixmaps,
                               &SniToolTip::title, &SniToolTip::description);
}

namespace StatusNotifierTypes {

void registerTypes() {
    static const bool registered = [] {
        qDBusRegisterMetaType<SniIconPixmap>();
        qDBusRegisterMetaType<SniIconPixmaps>();
        qDBusRegisterMetaType<SniToolTip>();
        return true;
    }();
    Q_UNUSED(registered);
}

} // namespace StatusNotifierTypes
