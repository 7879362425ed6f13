#include "ui/DrawingHelpers.h"

#include "harness/TestPictures.h"
#include "ui/PassThroughLabel.h"

#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A widget without a palette of its own draws the brand colours of the application's
// appearance; one with its own, those of its appearance.
TEST(BrandColoursTest, FollowTheAppearanceTheyAreDrawnIn) {
    QWidget dark, plain;
    dark.setPalette(Appearances::palette(Appearance::dark));
    EXPECT_EQ(calBlue(&dark), calBlue(Appearance::dark));
    EXPECT_EQ(orvennaMauve(&dark), orvennaMauve(Appearance::dark));
    EXPECT_NE(calBlue(Appearance::dark), calBlue(Appearance::light));
    const QPalette original = QApplication::palette();
    for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
        QApplication::setPalette(Appearances::palette(appearance));
        QCoreApplication::processEvents(); // widgets learn of the new palette by an event
        EXPECT_EQ(calBlue(&plain), calBlue(appearance));
        EXPECT_EQ(orvennaMauve(), orvennaMauve(appearance));
    }
    QApplication::setPalette(original);
}

TEST(MakeLabelTest, DrawsItsTextInTheAskedSizeAndColourAndNeverAsHtml) {
    std::unique_ptr<QLabel> label(makeLabel("Vesperin", 24, QFont::Bold, QColor(200, 30, 40)));
    EXPECT_EQ(QFontInfo(label->font()).pixelSize(), 24); // a design point is a logical pixel
    label->adjustSize();
    const QColor red(200, 30, 40);
    EXPECT_FALSE(boundsOf(label->grab().toImage(), [&](const QColor& pixel) {
                     return pixel == red;
                 }).isEmpty());

    // Texts from outside (service messages, names) are never read as HTML.
    std::unique_ptr<QLabel> marked(makeLabel("<b>Hi</b>", 13, QFont::Normal, Qt::black));
    std::unique_ptr<QLabel> plain(makeLabel("Hi", 13, QFont::Normal, Qt::black));
    EXPECT_GT(marked->sizeHint().width(), plain->sizeHint().width() * 2);
}

bool isWhitish(const QColor& pixel) {
    return pixel.alpha() == 255 && pixel.red() > 230 && pixel.green() > 230 && pixel.blue() > 230;
}

// At least one, its white figures centred on a red disc at the device pixel ratio.
TEST(QuotaBadgeTest, ShowsAtLeastOneCentredOnARedDisc) {
    EXPECT_EQ(quotaBadgeText(-4), "1");
    EXPECT_EQ(quotaBadgeText(12), "12");
    EXPECT_EQ(quotaBadgeImage(0, 13, 2), quotaBadgeImage(1, 13, 2));

    // The white figures sit in the middle of the badge.
    const qreal ratio = 4;
    const QImage badge = quotaBadgeImage(12, 14, ratio);
    const QPointF centre = QRectF(boundsOf(badge, isWhitish)).center();
    EXPECT_NEAR(centre.x(), badge.width() / 2.0, ratio * 1.5);
    EXPECT_NEAR(centre.y(), badge.height() / 2.0, ratio * 1.5);

    for (const qreal ratio : {1.0, 2.0}) {
        const QImage badge = quotaBadgeImage(1, 13, ratio);
        const int side = int(13 * ratio);
        ASSERT_EQ(badge.size(), QSize(side, side));
        EXPECT_EQ(badge.devicePixelRatio(), ratio);
        EXPECT_EQ(qAlpha(badge.pixel(0, 0)), 0); // round, though it touches every edge
        const QRgb leftOfCentre = badge.pixel(int(2 * ratio), side / 2);
        EXPECT_EQ(qAlpha(leftOfCentre), 255);
        EXPECT_EQ(QColor(leftOfCentre), QColor(255, 59, 48));
        EXPECT_EQ(boundsOf(badge, [](const QColor& pixel) { return pixel.alpha() > 0; }),
                  QRect(0, 0, side, side));
    }
    EXPECT_EQ(quotaBadgeImage(1, 13).devicePixelRatio(), qApp->devicePixelRatio());
}

TEST(PassThroughLabelTest, ClicksGoThroughToTheButtonUnderneath) {
    QWidget window;
    window.resize(120, 60);
    QPushButton button("Messages", &window);
    button.setGeometry(0, 0, 120, 60);
    PassThroughLabel badge(&window);
    badge.setImage(quotaBadgeImage(1, 14));
    badge.setGeometry(90, 5, 14, 14);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_FALSE(badge.pixmap().isNull());

    QSignalSpy clicks(&button, &QPushButton::clicked);
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, badge.geometry().center());
    EXPECT_EQ(clicks.count(), 1);
}

TEST(OrvennaMarkTest, IsA120PixelImageWithRoundedCorners) {
    const std::optional<QImage> mark = orvennaMark();
    ASSERT_TRUE(mark.has_value());
    EXPECT_EQ(mark->size(), QSize(120, 120));
    EXPECT_TRUE(mark->hasAlphaChannel());
    EXPECT_EQ(qAlpha(mark->pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(mark->pixel(100, 100)), 255);
    // Text that is not Base64, or not an image, gives none.
    EXPECT_FALSE(imageFromBase64("iVBORw0KGgo*not base64*").has_value());
    EXPECT_FALSE(imageFromBase64("aGVsbG8gd29ybGQ=").has_value()); // "hello world"
}

} // namespace
