#include "harness/TestPictures.h"
#include "harness/TestProfile.h"
#include "model/MenuBarLayout.h"
#include "platform/SystemEvents.h"
#include "settings/Preferences.h"
#include "settings/Settings.h"
#include "status/StatusItemController.h"
#include "status/ownbar/OwnBarHost.h"
#include "status/ownbar/StatusBar.h"
#include "status/ownbar/StatusBarButton.h"
#include "status/ownbar/StatusItem.h"

#include <QImage>
#include <QMenu>

#include <gtest/gtest.h>

namespace {

class StatusBarRenderingTest : public ProfileTest,
                               public ::testing::WithParamInterface<Appearance> {
protected:
    // Draws the layout in a bar of its own and checks every item's ink.
    void drawAndCheck(const QList<MenuBarItem>& layout, const QString& name) {
        storedLayout.setItems(layout);
        StatusBar bar;
        bar.setForcedAppearance(GetParam());
        SystemEvents events;
        QMenu menu;
        OwnBarHost host(bar, storedLayout, menu);
        StatusItemController controller(host, storedLayout, events);
        controller.enable();
        const QImage image = bar.picture();
        keepForLooking(image, "bar-" + nameOf(GetParam()) + name);
        const QColor background = image.pixelColor(2, 2);
        EXPECT_EQ(background.lightness() < 128, dark());
        for (StatusItem* item : bar.items()) {
            // Where the button's drawing differs from the bar's background.
            const QRect ink = boundsOf(
                image,
                [&](const QColor& pixel) {
                    return qAbs(pixel.lightness() - background.lightness()) > 60;
                },
                item->button()->geometry());
            EXPECT_FALSE(ink.isEmpty());
            // Centred within a pixel, and tall enough to read (13-point text, 14-point icon).
            EXPECT_NEAR(ink.center().y() + 0.5, StatusBar::thickness / 2.0, 1.5);
            EXPECT_GE(ink.height(), 9);
            EXPECT_LE(ink.height(), 18);
        }
    }
    bool dark() const { return GetParam() == Appearance::dark; }

    Settings settings{Preferences::standard()};
    MenuBarLayout storedLayout{settings};
};

TEST_P(StatusBarRenderingTest, TheCalendarIconAndTextAreLegibleAndCentred) {
    drawAndCheck({}, "-icon");
    storedLayout.setPadding(4);
    drawAndCheck({{QUuid::createUuid(), true, "Mon 5"}, {QUuid::createUuid(), true, "12:34:56"}},
                 "");
}

INSTANTIATE_TEST_SUITE_P(Appearances, StatusBarRenderingTest,
                         ::testing::Values(Appearance::light, Appearance::dark),
                         [](const auto& info) {
                             return info.param == Appearance::dark ? "Dark" : "Light";
                         });

} // namespace
