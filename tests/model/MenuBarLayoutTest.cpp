#include "model/MenuBarLayout.h"

#include "harness/TestProfile.h"
#include "settings/PreferenceKeys.h"
#include "settings/Preferences.h"
#include "settings/PreferencesWatcher.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

class MenuBarLayoutTest : public ProfileTest {
protected:
    Preferences& store() { return Preferences::standard(); }
    std::optional<QByteArray> storedBytes() {
        return store().dataForKey(PreferenceKeys::menuBarLayout);
    }
    QSignalSpy changes{MenuBarLayoutNotifier::instance(), &MenuBarLayoutNotifier::changed};
};

TEST_F(MenuBarLayoutTest, NothingStoredGivesOneWeekdayDayItemAndWritesNothing) {
    const QList<MenuBarItem> items = MenuBarLayout::items();
    ASSERT_EQ(items.size(), 1);
    EXPECT_TRUE(items.first().enabled);
    EXPECT_EQ(items.first().templateText, "{wd} {day}");
    EXPECT_FALSE(items.first().parts);
    EXPECT_EQ(items.first().effectiveSeparator(), "  ");
    // The same item at every read until something changes, so the status item stays.
    EXPECT_EQ(MenuBarLayout::items().first().id, items.first().id);
    EXPECT_FALSE(storedBytes());

    // It follows the former icon format.
    store().setInteger(PreferenceKeys::iconFormat, 0);
    EXPECT_EQ(MenuBarLayout::migratedItem().templateText, "");
    store().setInteger(PreferenceKeys::iconFormat, 1);
    EXPECT_EQ(MenuBarLayout::items().first().templateText, "{day}");
    store().setInteger(PreferenceKeys::iconFormat, 9);
    EXPECT_EQ(MenuBarLayout::items().first().templateText, "{wd} {day}");
}

TEST_F(MenuBarLayoutTest, AStoredLayoutReadsBackEqualAndEmptyStaysEmpty) {
    // Every field set and left out once; an empty separator is not an absent one, nor are
    // empty parts.
    const QList<MenuBarItem> items{
        {QUuid::createUuid(), true, "{HH}:{min}:{sec}", {}, {}, QList<MenuBarPart>{}},
        {QUuid::createUuid(), false, "a/b", "Asia/Tokyo", "fr",
         QList<MenuBarPart>{{"{flag}", "Asia/Bangkok"}, {"{wd}", std::nullopt, "de"}}, ""}};
    MenuBarLayout::setItems(items);
    EXPECT_EQ(MenuBarLayout::items(), items);
    EXPECT_EQ(items.first().effectiveParts(), QList<MenuBarPart>{{"{HH}:{min}:{sec}"}});
    EXPECT_EQ(MenuBarLayout::enabledItems(), QList<MenuBarItem>{items.first()});
    MenuBarLayout::setItems({});
    EXPECT_EQ(MenuBarLayout::items(), QList<MenuBarItem>{});
    EXPECT_EQ(changes.count(), 2);
}

TEST_F(MenuBarLayoutTest, ABadSecondItemGivesTheDefaultItemAndLeavesTheBytesAlone) {
    const QByteArray stored =
        R"([{"id":"0F8FAD5B-D9CB-469F-A165-70867728950E","enabled":true,"template":"{HH}"},)"
        R"({"id":"1F8FAD5B-D9CB-469F-A165-70867728950E","template":"{min}"}])";
    store().setObject(PreferenceKeys::menuBarLayout, stored);
    const QList<MenuBarItem> items = MenuBarLayout::items();
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items.first().templateText, "{wd} {day}");
    EXPECT_EQ(storedBytes(), stored);
    EXPECT_EQ(changes.count(), 0);
    store().setObject(PreferenceKeys::menuBarLayout, QString("[]")); // text, not data
    EXPECT_EQ(MenuBarLayout::items().size(), 1);
}

TEST_F(MenuBarLayoutTest, PaddingIsClampedAndEveryWritePosts) {
    EXPECT_EQ(MenuBarLayout::padding(), 0.0);
    MenuBarLayout::setPadding(30);
    EXPECT_EQ(MenuBarLayout::padding(), 24.0);
    MenuBarLayout::setPadding(-12);
    EXPECT_EQ(MenuBarLayout::padding(), -8.0);
    MenuBarLayout::setPadding(2.5);
    MenuBarLayout::setPadding(2.5);
    EXPECT_EQ(store().doubleForKey(PreferenceKeys::itemPadding), 2.5);
    EXPECT_EQ(changes.count(), 4);
    MenuBarLayout::setPadding(std::nan(""));
    EXPECT_EQ(MenuBarLayout::padding(), 0.0);
}

// A layout or padding written by another process is announced as ours are, once, within a
// second (the bar follows at once), and read afresh; other keys are not the layout's business.
TEST_F(MenuBarLayoutTest, ChangesFromAnotherProcessArePostedOnce) {
    const MenuBarItem mine{QUuid::createUuid(), true, "{HH}"};
    MenuBarLayout::setItems({mine});
    PreferencesWatcher watcher(Preferences::folder());
    Preferences otherProcess(Preferences::applicationDomain,
                             profile.preferencesFile(Preferences::applicationDomain));
    const MenuBarItem theirs{QUuid::createUuid(), true, "{min}"};
    changes.clear();
    otherProcess.setObject(PreferenceKeys::menuBarLayout, MenuBarItemCoding::encode({theirs}));
    ASSERT_TRUE(changes.wait(1000));
    EXPECT_EQ(MenuBarLayout::items(), QList<MenuBarItem>{theirs});
    otherProcess.setDouble(PreferenceKeys::itemPadding, 6);
    ASSERT_TRUE(changes.wait(1000));
    EXPECT_EQ(MenuBarLayout::padding(), 6.0);
    otherProcess.setBool(PreferenceKeys::weekNumbers, true);
    EXPECT_FALSE(changes.wait(3 * PreferencesWatcher::settleMsecs));
    EXPECT_EQ(changes.count(), 2);
}

// A preset chooses parts and zones, never a language: it reads in the user's own.
TEST(MenuBarLayoutPresets, NoneFixesALanguage) {
    for (const MenuBarLayout::Preset& preset : MenuBarLayout::presets()) {
        for (const MenuBarPart& part : preset.parts)
            EXPECT_FALSE(part.localeID) << part.text.toStdString();
    }
}

} // namespace
