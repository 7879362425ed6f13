#pragma once

#include <QColor>
#include <QPalette>

class QWidget;

// Light or dark, as the macOS appearances Aqua and Dark Aqua. Decided from the palette a
// widget is drawn with: a dark window colour means the dark appearance.
enum class Appearance { light, dark };

namespace Appearances {

Appearance of(const QPalette& palette);
// The appearance `widget` is drawn in (its own palette); the application's when null.
Appearance of(const QWidget* widget);
// The palette of the desktop in that appearance, for windows that draw themselves
// (the status bar, the calendar panel) and for tests that force one.
QPalette palette(Appearance appearance);
// Chooses between the two components of a dynamic colour.
inline QColor pick(Appearance appearance, const QColor& light, const QColor& dark) {
    return appearance == Appearance::dark ? dark : light;
}

// The text colours of the desktop's label hierarchy: primary, secondary (captions, headers)
// and tertiary (faint annotations such as week numbers).
QColor labelColor(Appearance appearance);
QColor secondaryLabelColor(Appearance appearance);
QColor tertiaryLabelColor(Appearance appearance);
// The desktop's accent colour (the system's control accent), which Qt carries as the palette's
// highlight.
inline QColor accentColor(const QPalette& palette) {
    return palette.color(QPalette::Highlight);
}

} // namespace Appearances
