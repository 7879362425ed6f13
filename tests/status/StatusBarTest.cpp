#include "status/ownbar/StatusBar.h"

#include "harness/TestProfile.h"
#include "harness/WidgetEvents.h"
#include "settings/Preferences.h"
#include "status/ownbar/StatusBarButton.h"
#include "status/ownbar/StatusBarPositions.h"
#include "status/ownbar/StatusItem.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QStringList namesOf(const StatusBar& bar) {
    QStringList names;
    for (const StatusItem* item : bar.items())
        names.append(item->autosaveName());
    return names;
}

StatusItem* addNamed(StatusBar& bar, const QString& name, qreal length = 40) {
    StatusItem* item = bar.addItem(length);
    item->setAutosaveName(name);
    return item;
}

using StatusBarTest = ProfileTest;

TEST_F(StatusBarTest, NewItemsGoLeftAndTheBarShowsWhileItHasItems) {
    StatusBar bar;
    EXPECT_FALSE(bar.isVisible());
    StatusItem* first = addNamed(bar, "VSP-A");
    StatusItem* second = addNamed(bar, "VSP-B", 60);
    EXPECT_TRUE(bar.isVisible());
    EXPECT_EQ(namesOf(bar), (QStringList{"VSP-B", "VSP-A"}));
    EXPECT_EQ(first->button()->geometry().right(), bar.width() - 8 - 1);
    EXPECT_EQ(second->button()->geometry(), QRect(bar.width() - 8 - 40 - 60, 0, 60, 24));
    first->setLength(StatusItem::variableLength);
    first->button()->setTitle("12:00");
    EXPECT_EQ(first->width(), first->button()->fittingWidth() + 16);
    EXPECT_EQ(second->button()->geometry().right() + 1, first->button()->x());
    bar.removeItem(first);
    bar.removeItem(second);
    EXPECT_FALSE(bar.isVisible());
}

// Only the user's drag is remembered, announced and stored (creation order must never override
// the caller's); a bar of a later run puts recreated items back where the user put them.
TEST_F(StatusBarTest, AnAltDragMovesAnItemAndItsPlaceIsRememberedByName) {
    Preferences& store = Preferences::domain(StatusBarPositions::domainName);
    {
        StatusBar bar;
        StatusBarPositions positions(bar, store);
        QSignalSpy announced(&bar, &StatusBar::orderRemembered);
        addNamed(bar, "VSP-C");
        addNamed(bar, "VSP-B");
        StatusItem* leftmost = addNamed(bar, "VSP-A");
        bar.show();
        StatusBarButton* button = leftmost->button();
        int clicks = 0;
        QObject::connect(button, &StatusBarButton::clicked, [&] { ++clicks; });
        const auto altDrag = [&](QPointF by) {
            pressMoveRelease(bar, QPointF(button->x() + 5, 5), by, Qt::AltModifier);
        };
        // Below the drag distance an Alt-click is still a click.
        altDrag(QPointF(1, 0));
        EXPECT_EQ(clicks, 1);
        EXPECT_EQ(namesOf(bar), (QStringList{"VSP-A", "VSP-B", "VSP-C"}));
        EXPECT_TRUE(announced.isEmpty());

        altDrag(QPointF(bar.width() - 25 - button->x(), 0));
        EXPECT_EQ(namesOf(bar), (QStringList{"VSP-B", "VSP-C", "VSP-A"}));
        EXPECT_EQ(clicks, 1) << "a drag is not a click";
        QTest::mouseClick(&bar, Qt::LeftButton, {}, button->geometry().center());
        EXPECT_EQ(clicks, 2);
        EXPECT_EQ(announced.size(), 1);
    }
    StatusBar bar;
    StatusBarPositions positions(bar, store);
    for (const char* name : {"VSP-C", "VSP-B", "VSP-A", "VSP-new"})
        addNamed(bar, name);
    EXPECT_EQ(namesOf(bar), (QStringList{"VSP-new", "VSP-B", "VSP-C", "VSP-A"}));
    EXPECT_EQ(store.arrayForKey(StatusBarPositions::orderKey),
              (QVariantList{QString("VSP-B"), QString("VSP-C"), QString("VSP-A")}));
}

} // namespace
