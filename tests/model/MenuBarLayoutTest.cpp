#include "model/MenuBarLayout.h"

#include "harness/TestProfile.h"
#include "settings/PreferenceKeys.h"
#include "settings/Preferences.h"
#include "settings/PreferencesWatcher.h"
#include "settings/Settings.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

class MenuBarLayoutTest : public ProfileTest {
protected:
    Preferences& store() { return Preferences::standard(); }
    std::optional<QByteArray> storedBytes() {
        return store().dataForKey(PreferenceKeys::menuBarLayout);
    }
    Settings settings{store()};
    MenuBarLayout layout{settings};
    QSignalSpy itemChanges{&layout, &MenuBarLayout::itemsChanged};
    QSignalSpy paddingChanges{&layout, &MenuBarLayout::paddingChanged};
};

TEST_F(MenuBarLayoutTest, NothingStoredGivesOneWeekdayDayItemAndWritesNothing) {
    const QList<MenuBarItem> items = layout.items();
    ASSERT_EQ(items.size(), 1);
    EXPECT_TRUE(items.first().enabled);
    EXPECT_EQ(items.first().templateText, "{wd} {day}");
    EXPECT_FALSE(items.first().parts);
    EXPECT_EQ(items.first().effectiveSeparator(), "  ");
    // The same item at every read until something changes, so the status item stays.
    EXPECT_EQ(layout.items().first().id, items.first().id);
    EXPECT_FALSE(storedBytes());

    // It follows the former icon format.
    store().setInteger(PreferenceKeys::iconFormat, 0);
    EXPECT_EQ(layout.migratedItem().templateText, "");
    store().setInteger(PreferenceKeys::iconFormat, 1);
    EXPECT_EQ(layout.items().first().templateText, "{day}");
    store().setInteger(PreferenceKeys::iconFormat, 9);
    EXPECT_EQ(layout.items().first().templateText, "{wd} {day}");
}

TEST_F(MenuBarLayoutTest, AStoredLayoutReadsBackEqualAndEmptyStaysEmpty) {
    // Every field set and left out once; an empty separator is not an absent one, nor are
    // empty parts.
    const QList<MenuBarItem> items{
        {QUuid::createUuid(), true, "{HH}:{min}:{sec}", {}, {}, QList<MenuBarPart>{}},
        {QUuid::createUuid(), false, "a/b", "Asia/Tokyo", "fr",
         QList<MenuBarPart>{{"{flag}", "Asia/Bangkok"}, {"{wd}", std::nullopt, "de"}}, ""}};
    layout.setItems(items);
    EXPECT_EQ(layout.items(), items);
    EXPECT_EQ(items.first().effectiveParts(), QList<MenuBarPart>{{"{HH}:{min}:{sec}"}});
    EXPECT_EQ(layout.enabledItems(), QList<MenuBarItem>{items.first()});
    layout.setItems({});
    EXPECT_EQ(layout.items(), QList<MenuBarItem>{});
    EXPECT_EQ(itemChanges.count(), 2);
}

TEST_F(MenuBarLayoutTest, ABadSecondItemGivesTheDefaultItemAndLeavesTheBytesAlone) {
    const QByteArray stored =
        R"([{"id":"0F8FAD5B-D9CB-469F-A165-70867728950E","enabled":true,"template":"{HH}"},)"
        R"({"id":"1F8FAD5B-D9CB-469F-A165-70867728950E","template":"{min}"}])";
    store().setObject(PreferenceKeys::menuBarLayout, stored);
    const QList<MenuBarItem> items = layout.items();
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items.first().templateText, "{wd} {day}");
    EXPECT_EQ(storedBytes(), stored);
    EXPECT_EQ(itemChanges.count(), 1); // the write above, not the reading
    store().setObject(PreferenceKeys::menuBarLayout, QString("[]")); // text, not data
    EXPECT_EQ(layout.items().size(), 1);
}

TEST_F(MenuBarLayoutTest, PaddingIsClampedAndEveryWritePosts) {
    EXPECT_EQ(layout.padding(), 0.0);
    layout.setPadding(30);
    EXPECT_EQ(layout.padding(), 24.0);
    layout.setPadding(-12);
    EXPECT_EQ(layout.padding(), -8.0);
    layout.setPadding(2.5);
    layout.setPadding(2.5);
    EXPECT_EQ(store().doubleForKey(PreferenceKeys::itemPadding), 2.5);
    EXPECT_EQ(paddingChanges.count(), 4);
    EXPECT_EQ(itemChanges.count(), 0);
    layout.setPadding(std::nan(""));
    EXPECT_EQ(layout.padding(), 0.0);
}

// A layout or padding written by another process is announced as ours are, once, within a
// second (the bar follows at once), and read afresh; other keys are not the layout's business.
TEST_F(MenuBarLayoutTest, ChangesFromAnotherProcessArePostedOnce) {
    const MenuBarItem mine{QUuid::createUuid(), true, "{HH}"};
    layout.setItems({mine});
    PreferencesWatcher watcher(Preferences::folder());
    Preferences otherProcess(Preferences::applicationDomain,
                             profile.preferencesFile(Preferences::applicationDomain));
    const MenuBarItem theirs{QUuid::createUuid(), true, "{min}"};
    itemChanges.clear();
    otherProcess.setObject(PreferenceKeys::menuBarLayout, MenuBarItemCoding::encode({theirs}));
    ASSERT_TRUE(itemChanges.wait(1000));
    EXPECT_EQ(layout.items(), QList<MenuBarItem>{theirs});
    otherProcess.setDouble(PreferenceKeys::itemPadding, 6);
    ASSERT_TRUE(paddingChanges.wait(1000));
    EXPECT_EQ(layout.padding(), 6.0);
    otherProcess.setBool(PreferenceKeys::weekNumbers, true);
    EXPECT_FALSE(itemChanges.wait(3 * PreferencesWatcher::settleMsecs));
    EXPECT_EQ(itemChanges.count(), 1);
    EXPECT_EQ(paddingChanges.count(), 1);
}

// A preset chooses parts and zones, never a language: it reads in the user's own.
TEST(MenuBarLayoutPresets, NoneFixesALanguage) {
    for (const MenuBarLayout::Preset& preset : MenuBarLayout::presets()) {
        for (const MenuBarPart& part : preset.parts)
            EXPECT_FALSE(part.localeID) << part.text.toStdString();
    }
}

} // namespace
