#include "ui/Appearance.h"

#include <QApplication>
#include <QWidget>

namespace Appearances {

Appearance of(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() < 128 ? Appearance::dark : Appearance::light;
}

Appearance of(const QWidget* widget) {
    return of(widget ? widget->palette() : QApplication::palette());
}

QPalette palette(Appearance appearance) {
    const bool dark = appearance == Appearance::dark;
    const QColor window = dark ? QColor(0x2b, 0x2b, 0x2d) : QColor(0xf2, 0xf2, 0xf4);
    const QColor text = dark ? QColor(0xf5, 0xf5, 0xf7) : QColor(0x1d, 0x1d, 0x1f);
    QPalette palette(text, window, window.lighter(115), window.darker(115), window.darker(105),
                     text, dark ? Qt::black : Qt::white,
                     dark ? QColor(0x1e, 0x1e, 0x20) : Qt::white, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::PlaceholderText,
                     dark ? QColor(0x98, 0x98, 0x9d) : QColor(0x86, 0x86, 0x8b));
    // The accent (selections, focus, an unread marker): the desktops' usual blue rather than
    // the navy QPalette falls back on, which is hardly visible on the dark window.
    palette.setColor(QPalette::Highlight,
                     dark ? QColor(0x0a, 0x84, 0xff) : QColor(0x00, 0x7a, 0xff));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    return palette;
}

namespace {
QColor ink(Appearance appearance, qreal lightAlpha, qreal darkAlpha) {
    QColor color = appearance == Appearance::dark ? QColor(Qt::white) : QColor(Qt::black);
    color.setAlphaF(appearance == Appearance::dark ? darkAlpha : lightAlpha);
    return color;
}
} // namespace

QColor labelColor(Appearance appearance) {
    return ink(appearance, 0.85, 0.85);
}

QColor secondaryLabelColor(Appearance appearance) {
    return ink(appearance, 0.50, 0.55);
}

QColor tertiaryLabelColor(Appearance appearance) {
    return ink(appearance, 0.26, 0.25);
}

} // namespace Appearances
