#pragma once

#include "ui/Appearance.h"

#include <QByteArrayView>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPalette>
#include <QString>

#include <optional>

class QLabel;
class QWidget;

// The brand colours. The dynamic ones have a light and a dark form and are resolved from the
// appearance they are drawn in: resolve them when drawing or when applying them to a widget,
// and again when its palette changes. The fixed ones are one colour, made once.
QColor calBlue(Appearance appearance);
// In `widget`'s appearance, or the application's when null.
QColor calBlue(const QWidget* widget = nullptr);
const QColor& calBlueFixed();
QColor orvennaMauve(Appearance appearance);
QColor orvennaMauve(const QWidget* widget = nullptr);
const QColor& orvennaMauveFixed();

// The interface font at `size` design points. A design point is one logical pixel, as on the
// platform the design comes from; Qt's points are 4/3 of a pixel at the standard 96 dpi.
QFont systemFont(qreal size, QFont::Weight weight);

// A plain, borderless label that shows `text` as written (never as markup), cannot be edited
// or selected, uses the system font at `size` points and `weight`, and is centred. Callers
// change the alignment or size it to fit where they need to. With a colour role instead of a
// colour, the text follows the palette, so it changes with the appearance.
QLabel* makeLabel(const QString& text, qreal size, QFont::Weight weight, const QColor& color,
                  QWidget* parent = nullptr);
QLabel* makeLabel(const QString& text, qreal size, QFont::Weight weight, QPalette::ColorRole role,
                  QWidget* parent = nullptr);

// The round red count badge: a circle of `diameter` points with max(count, 1) in white bold
// type of 0.68 × diameter points, centred. Drawn at the screen's device pixel ratio unless
// one is given.
QImage quotaBadgeImage(int count, qreal diameter);
QImage quotaBadgeImage(int count, qreal diameter, qreal devicePixelRatio);
QString quotaBadgeText(int count);
QFont quotaBadgeFont(qreal diameter);

// The maker's logo, a 120 x 120 image, decoded afresh on each call; absent if it cannot be.
std::optional<QImage> orvennaMark();
// An image from Base64 text of an image file; absent when the text or the image is not valid.
std::optional<QImage> imageFromBase64(QByteArrayView base64);
