#include "status/tray/TrayIcon.h"

#include "harness/TestPictures.h"
#include "status/tray/StatusNotifierTypes.h"

#include <QIcon>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The pixels dark enough to be the day's figures (the page is white, the band blue).
QRect figureBounds(const QImage& icon) {
    return boundsOf(icon, [](const QColor& pixel) {
        return pixel.alpha() > 200 && pixel.lightness() < 110 && pixel.blue() < 150;
    });
}

// At the panel's 22 pixels the number stands whole on the white page, centred under the band,
// and the page stays opaque behind it so that it reads on dark panels too.
TEST(TrayIconTest, TheNumberIsCentredOnAnOpaquePage) {
    for (const int pixels : {22, 44}) {
        SCOPED_TRACE(pixels);
        const QImage icon = TrayIcon::image(pixels, 28);
        // What a panel receives, decoded again.
        const QImage sent = SniIconPixmap::fromImage(icon).toImage();
        keepForLooking(sent, QString("tray-icon-%1-day").arg(pixels));
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
    keepForLooking(plain, "tray-icon-22-icon-only");
    EXPECT_TRUE(figureBounds(plain).isEmpty());
    EXPECT_NE(TrayIcon::image(22, 1), TrayIcon::image(22, 28));
}

// Panels that read only an icon's name find it through the folder the item announces: the
// folder is a hicolor theme of its own, which an XDG theme engine (Qt's here) resolves to the
// very pictures the item sends as pixels, the day's page and the page without a day.
TEST(TrayIconTest, TheWrittenThemeResolvesEachNameToItsPicture) {
    QTemporaryDir root;
    ASSERT_TRUE(TrayIcon::writeTheme(root.path(), 7));
    ASSERT_TRUE(TrayIcon::writeTheme(root.path(), std::nullopt));
    const QStringList searchPaths = QIcon::themeSearchPaths();
    const QString themeName = QIcon::themeName();
    QIcon::setThemeSearchPaths({root.path()});
    QIcon::setThemeName("hicolor");
    for (const std::optional<int> day : {std::optional<int>(7), std::optional<int>()}) {
        SCOPED_TRACE(day.value_or(0));
        const QIcon icon = QIcon::fromTheme(TrayIcon::name(day));
        ASSERT_FALSE(icon.isNull()) << TrayIcon::name(day).toStdString();
        for (const int pixels : {16, 22, 48}) {
            // As the file stores it: not premultiplied.
            const auto stored = [](const QImage& image) {
                return image.convertToFormat(QImage::Format_ARGB32);
            };
            EXPECT_EQ(stored(icon.pixmap(pixels).toImage()), stored(TrayIcon::image(pixels, day)))
                << pixels;
        }
    }
    EXPECT_TRUE(QIcon::fromTheme("vesperin-day-8").isNull()) << "only what was written";
    QIcon::setThemeSearchPaths(searchPaths);
    QIcon::setThemeName(themeName);
}

} // namespace
