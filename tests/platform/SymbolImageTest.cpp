#include "platform/SymbolImage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// Points of each shape in the 24-unit design grid that must be inked, and points that must
// stay empty, so that a swapped, mirrored or misdrawn symbol is told apart from the right one.
struct Landmarks {
    QString name;
    QList<QPointF> inked;
    QList<QPointF> empty;
};

const QList<Landmarks> symbols{
    {"calendar", {{12, 5.5}, {12, 13.5}, {3, 15}, {21, 15}, {12, 21}}, {{10, 15.5}, {12, 11}}},
    {"chevron.left", {{8.7, 12}, {15, 5.5}, {15, 18.5}}, {{15, 12}, {8.7, 6}}},
    {"chevron.right", {{15.3, 12}, {9, 5.5}, {9, 18.5}}, {{9, 12}, {15.3, 6}}},
    {"chevron.left.2", {{5.7, 12}, {12.7, 12}}, {{18, 12}, {9, 12}}},
    {"chevron.right.2", {{18.3, 12}, {11.3, 12}}, {{6, 12}, {15, 12}}},
    {"gearshape.fill", {{12, 6.5}, {22, 12}, {12, 22}}, {{12, 12}, {21.1, 15.8}}},
    {"envelope.fill", {{12, 17}, {4, 12}, {20, 12}}, {{7.5, 9.6}, {12, 3}}},
    {"plus", {{12, 12}, {12, 5}, {5, 12}, {19, 12}}, {{7, 7}, {17, 17}}},
    {"minus", {{12, 12}, {5, 12}, {19, 12}}, {{12, 7}, {12, 17}}},
    {"plus.square.on.square", {{14.5, 14.5}, {21, 14.5}, {3, 8}, {8, 3}}, {{16, 12}, {12, 16}}},
    {"arrow.up", {{12, 18}, {12, 6}, {7, 9.5}, {17, 9.5}}, {{7, 15}, {17, 15}}},
    {"arrow.down", {{12, 6}, {12, 18}, {7, 14.5}, {17, 14.5}}, {{7, 9}, {17, 9}}},
};

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

TEST(SymbolImageTest, EverySymbolFillsItsEmBoxAtTheDevicePixelRatio) {
    for (const Landmarks& shape : symbols) {
        ASSERT_TRUE(SymbolImage::exists(shape.name));
        for (const auto& [pointSize, ratio] : {std::pair{12.0, 1.0}, {13.5, 1.0}, {14.0, 2.0}}) {
            SCOPED_TRACE(
                QString("%1 at %2 pt x%3").arg(shape.name).arg(pointSize).arg(ratio).toStdString());
            const QImage image = symbol(shape.name, pointSize, QFont::Medium, ratio);
            const int side = int(std::ceil(pointSize * ratio));
            EXPECT_EQ(image.size(), QSize(side, side));
            EXPECT_EQ(image.devicePixelRatio(), ratio);
            EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
            EXPECT_EQ(qAlpha(image.pixel(side - 1, side - 1)), 0);
            // Thin diagonals are never quite opaque, but every shape holds solid ink.
            EXPECT_GT(totalCoverage(image), 200 * side / 2);
        }
    }
}

TEST(SymbolImageTest, EachSymbolHasItsOwnShapeInTheAskedColourAndWeight) {
    const QColor tint(40, 120, 200);
    for (const Landmarks& shape : symbols) {
        SCOPED_TRACE(shape.name.toStdString());
        const QImage image = symbol(shape.name, 48, QFont::Medium, 1.0, tint);
        const auto alphaAt = [&](QPointF units) {
            return qAlpha(image.pixel((units * 2).toPoint()));
        };
        for (const QPointF point : shape.inked)
            EXPECT_GT(alphaAt(point), 200) << point.x() << ", " << point.y();
        for (const QPointF point : shape.empty)
            EXPECT_LT(alphaAt(point), 30) << point.x() << ", " << point.y();
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
        EXPECT_LT(totalCoverage(symbol(shape.name, 48, QFont::Light)), totalCoverage(image));
        EXPECT_LT(totalCoverage(image), totalCoverage(symbol(shape.name, 48, QFont::Black)));
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
