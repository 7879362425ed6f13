#include "ui/SymbolImage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

const QStringList symbols{
    "calendar",        "chevron.left",          "chevron.right", "chevron.left.2",
    "chevron.right.2", "gearshape.fill",        "envelope.fill", "plus",
    "minus",           "plus.square.on.square", "arrow.up",      "arrow.down"};

QImage symbol(const QString& name, qreal pointSize, QFont::Weight weight = QFont::Medium,
              qreal ratio = 1.0, const QColor& color = Qt::black) {
    const std::optional<QImage> image = SymbolImage::image(name, pointSize, weight, color, ratio);
    EXPECT_TRUE(image.has_value()) << name.toStdString();
    return image.value_or(QImage());
}

qint64 totalCoverage(const QImage& image) {
    qint64 sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            sum += qAlpha(image.pixel(x, y));
    return sum;
}

TEST(SymbolImageTest, EverySymbolFillsItsEmBoxInTheAskedColourAndWeight) {
    const QColor tint(40, 120, 200);
    QList<QImage> drawn;
    for (const QString& name : symbols) {
        ASSERT_TRUE(SymbolImage::exists(name));
        for (const auto& [pointSize, ratio] : {std::pair{12.0, 1.0}, {13.5, 1.0}, {14.0, 2.0}}) {
            SCOPED_TRACE(
                QString("%1 at %2 pt x%3").arg(name).arg(pointSize).arg(ratio).toStdString());
            const QImage image = symbol(name, pointSize, QFont::Medium, ratio);
            const int side = int(std::ceil(pointSize * ratio));
            EXPECT_EQ(image.size(), QSize(side, side));
            EXPECT_EQ(image.devicePixelRatio(), ratio);
            EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
            EXPECT_EQ(qAlpha(image.pixel(side - 1, side - 1)), 0);
            // Thin diagonals are never quite opaque, but every shape holds solid ink.
            EXPECT_GT(totalCoverage(image), 200 * side / 2);
        }
        // Each has its own shape, in the asked colour and weight.
        SCOPED_TRACE(name.toStdString());
        const QImage image = symbol(name, 48, QFont::Medium, 1.0, tint);
        EXPECT_FALSE(drawn.contains(image)) << "the same drawing as another symbol";
        drawn.append(image);
        // Solid pixels are the asked colour (give or take the rounding of overlapping edges).
        int offColour = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y);
                offColour += qAlpha(p) == 255 && (qAbs(qRed(p) - tint.red()) > 1 ||
                                                  qAbs(qGreen(p) - tint.green()) > 1 ||
                                                  qAbs(qBlue(p) - tint.blue()) > 1);
            }
        }
        EXPECT_EQ(offColour, 0);
        EXPECT_LT(totalCoverage(symbol(name, 48, QFont::Light)), totalCoverage(image));
        EXPECT_LT(totalCoverage(image), totalCoverage(symbol(name, 48, QFont::Black)));
    }
}

TEST(SymbolImageTest, UnknownNamesAndImpossibleSizesGiveNoImage) {
    for (const QString name : {"", "calendar.fill", "Chevron.Left", "chevron.left ", "gearshape"}) {
        EXPECT_FALSE(SymbolImage::exists(name)) << name.toStdString();
        EXPECT_FALSE(SymbolImage::image(name, 14).has_value()) << name.toStdString();
    }
    for (const qreal size : {0.0, -12.0, std::numeric_limits<qreal>::quiet_NaN(),
                             std::numeric_limits<qreal>::infinity(), 1e7})
        EXPECT_FALSE(SymbolImage::image("plus", size).has_value()) << size;
    EXPECT_FALSE(SymbolImage::image("plus", 12, QFont::Medium, Qt::black, 0).has_value());
}

} // namespace
