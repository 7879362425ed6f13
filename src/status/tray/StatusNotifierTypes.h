#pragma once

#include <QByteArray>
#include <QDBusArgument>
#include <QImage>
#include <QList>
#include <QMetaType>
#include <QString>

// The structured values of the freedesktop StatusNotifierItem interface.

// One size of an icon, D-Bus (iiay): width, height, then the pixels as ARGB32 words in network
// byte order (A, R, G, B per pixel, not premultiplied), row after row.
struct SniIconPixmap {
    int width = 0;
    int height = 0;
    QByteArray bytes;

    bool operator==(const SniIconPixmap&) const = default;

    static SniIconPixmap fromImage(const QImage& image);
    QImage toImage() const;
};
using SniIconPixmaps = QList<SniIconPixmap>;

// D-Bus (sa(iiay)ss): an icon by name or pixels, a title and a description.
struct SniToolTip {
    QString iconName;
    SniIconPixmaps pixmaps;
    QString title;
    QString description;

    bool operator==(const SniToolTip&) const = default;
};

QDBusArgument& operator<<(QDBusArgument& argument, const SniIconPixmap& pixmap);
const QDBusArgument& operator>>(const QDBusArgument& argument, SniIconPixmap& pixmap);
QDBusArgument& operator<<(QDBusArgument& argument, const SniToolTip& toolTip);
const QDBusArgument& operator>>(const QDBusArgument& argument, SniToolTip& toolTip);

Q_DECLARE_METATYPE(SniIconPixmap)
Q_DECLARE_METATYPE(SniToolTip)

namespace StatusNotifierTypes {
// Makes the types known to QtDBus; needed once per process before an item is exported or
// read. Safe to call again.
void registerTypes();
} // namespace StatusNotifierTypes
