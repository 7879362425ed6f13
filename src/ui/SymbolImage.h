#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

#include <optional>

// The application's own vector symbols, in place of the system symbol set: "calendar",
// "chevron.left", "chevron.right", "chevron.left.2", "chevron.right.2", "gearshape.fill",
// "envelope.fill", "plus", "minus", "plus.square.on.square", "arrow.up", "arrow.down".
namespace SymbolImage {

// The symbol drawn at `pointSize` (its em box, as a font glyph of that size would be) and
// stroke `weight`, in `color` on a transparent background, at `devicePixelRatio`. Absent for
// a name that is not a symbol of ours.
std::optional<QImage> image(const QString& name, qreal pointSize,
                            QFont::Weight weight = QFont::Medium, const QColor& color = Qt::black,
                            qreal devicePixelRatio = 1.0);

bool exists(const QString& name);

} // namespace SymbolImage
