#include "status/TrayIcon.h"

#include "platform/StatusNotifierTypes.h"
#include "support/TestPictures.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {

// The pixels dark enough to be the day's figures (the page is white, the band blue).
QRect figureBounds(const QImage& icon) {
    QRect bounds;
    for (int y = 0; y < icon.height(); ++y) {
        for (int x = 0; x < icon.width(); ++x) {
            const QColor pixel = icon.pixelColor(x, y);
            if (pixel.alpha() > 200 && pixel.lightness() < 110 && pixel.blue() < 150)
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

// The icon as a panel shows it, on a light panel and a dark one, enlarged for a person.
void keepOnPanels(const QImage& icon, const QString& name) {
    for (const auto& [panel, colour] : {std::pair{"light", QColor(0xf0, 0xf0, 0xf0)},
                                        std::pair{"dark", QColor(0x24, 0x24, 0x24)}}) {
        QImage shown(icon.size() + QSize(8, 8), QImage::Format_RGB32);
        shown.fill(colour);
        QPainter(&shown).drawImage(4, 4, icon);
        keepForLooking(shown.scaled(shown.size() * 8, Qt::KeepAspectRatio, Qt::FastTransformation),
                       QString("tray-icon-%1-%2").arg(name, panel));
    }
}

TEST(TrayIconTest, TheDayFormatsShowTodaysNumberAndTheIconOnlyFormatNone) {
    const QDate today(2026, 12, 28);
    EXPECT_EQ(TrayIcon::dayFor(CalIconFormat::day, today), 28);
    EXPECT_EQ(TrayIcon::dayFor(CalIconFormat::weekdayDay, today), 28);
    EXPECT_EQ(TrayIcon::dayFor(CalIconFormat::iconOnly, today), std::nullopt);
}

// At the panel's 22 pixels the number stands whole on the white page, centred under the band,
// and the page stays opaque behind it so that it reads on dark panels too.
TEST(TrayIconTest, TheNumberIsCentredOnAnOpaquePage) {
    for (const int pixels : {22, 44}) {
        SCOPED_TRACE(pixels);
        const QImage icon = TrayIcon::image(pixels, 28);
        // What a panel receives, decoded again.
        const QImage sent = SniIconPixmap::fromImage(icon).toImage();
        keepOnPanels(sent, QString("%1-day").arg(pixels));
        ASSERT_EQ(sent.size(), QSize(pixels, pixels));
        EXPECT_EQ(qAlpha(sent.pixel(0, 0)), 0) << "the corner is not transparent";
        const QRect figures = figureBounds(sent);
        ASSERT_FALSE(figures.isEmpty());
        const qreal scale = pixels / 24.0;
        EXPECT_NEAR(figures.center().x() + 0.5, 12 * scale, 1.0);
        EXPECT_GT(figures.top(), 9 * scale) << "the number runs into the band";
        EXPECT_LT(figures.bottom(), 21 * scale);
        EXPECT_GE(figures.height(), pixels / 4) << "too small to read";
        EXPECT_EQ(QColor(sent.pixel(qRound(5.5 * scale), qRound(15 * scale))), QColor(Qt::white));
    }
    const QImage plain = TrayIcon::image(22, std::nullopt);
    keepOnPanels(plain, "22-icon-only");
    EXPECT_TRUE(figureBounds(plain).isEmpty());
    EXPECT_NE(TrayIcon::image(22, 1), TrayIcon::image(22, 28));
}

} // namespace
