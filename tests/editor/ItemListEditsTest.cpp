#include "editor/ItemListEdits.h"

#include "harness/TestText.h"

#include <gtest/gtest.h>

namespace {

using namespace ItemListEdits;

QStringList texts(const ItemList& list) {
    QStringList result;
    for (const MenuBarItem& each : list.items)
        result.append(each.templateText);
    return result;
}

TEST(ItemListEditsTest, AddingToAnEmptyListSelectsANewClockAndRemovingItLeavesNoSelection) {
    const ItemList one = added({});
    ASSERT_EQ(one.items.size(), 1);
    EXPECT_EQ(one.selected, 0);
    const MenuBarItem& made = one.items.first();
    EXPECT_FALSE(made.id.isNull());
    EXPECT_TRUE(made.enabled);
    EXPECT_EQ(made.templateText, "");
    EXPECT_EQ(made.parts, QList<MenuBarPart>{{"{HH}:{min}"}});
    EXPECT_FALSE(made.timeZoneID || made.localeID || made.separator);
    EXPECT_NE(added({}).items.first().id, made.id);

    const auto none = removed(one);
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->items.isEmpty());
    EXPECT_EQ(none->selected, -1);
    EXPECT_FALSE(none->hasSelection());
}

TEST(ItemListEditsTest, OperationsKeepTheSelectionOnTheItemTheyActedOn) {
    const ItemList abc{{itemOf("A"), itemOf("B"), itemOf("C")}, 1};

    const auto copied = duplicated(abc);
    ASSERT_TRUE(copied);
    EXPECT_EQ(texts(*copied), (QStringList{"A", "B", "B", "C"}));
    EXPECT_EQ(copied->selected, 2);
    EXPECT_NE(copied->items[2].id, abc.items[1].id);
    MenuBarItem sameButId = copied->items[2];
    sameButId.id = abc.items[1].id;
    EXPECT_EQ(sameButId, abc.items[1]);

    EXPECT_EQ(movedUp(abc), (ItemList{{abc.items[1], abc.items[0], abc.items[2]}, 0}));
    EXPECT_EQ(movedDown(abc), (ItemList{{abc.items[0], abc.items[2], abc.items[1]}, 2}));
    EXPECT_EQ(movedUp(ItemList{abc.items, 0}), std::nullopt);
    EXPECT_EQ(movedDown(ItemList{abc.items, 2}), std::nullopt);

    EXPECT_EQ(texts(*removed(abc)), (QStringList{"A", "C"}));
    EXPECT_EQ(removed(abc)->selected, 1);
    EXPECT_EQ(removed(ItemList{abc.items, 2})->selected, 1); // the last row went: the new last

    EXPECT_FALSE(enabledSet(abc, false)->items[1].enabled);
    EXPECT_TRUE(enabledSet(abc, false)->items[0].enabled);
}

TEST(ItemListEditsTest, WithoutAValidSelectionOnlyAddingDoesAnything) {
    for (const int selected : {-1, 3}) {
        const ItemList list{{itemOf("A"), itemOf("B"), itemOf("C")}, selected};
        EXPECT_EQ(removed(list), std::nullopt);
        EXPECT_EQ(duplicated(list), std::nullopt);
        EXPECT_EQ(movedUp(list), std::nullopt);
        EXPECT_EQ(movedDown(list), std::nullopt);
        EXPECT_EQ(enabledSet(list, false), std::nullopt);
        EXPECT_EQ(added(list).selected, 3);
    }
    EXPECT_EQ(selectionFor(2, 3), 2);
    EXPECT_EQ(selectionFor(3, 3), 0);
    EXPECT_EQ(selectionFor(-1, 2), 0);
    EXPECT_EQ(selectionFor(0, 0), -1);
}

} // namespace
