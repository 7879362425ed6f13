#include "settings/PreferencesWatcher.h"

#include "settings/Preferences.h"
#include "support/TestProfile.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

const QString domain = "test.domain";

// Another process's writes, as they reach the disk: replacing the file the way our own
// writers and vesperin-defaults do, or rewriting it in place the way an editor may.
class PreferencesWatcherTest : public ProfileTest {
protected:
    PreferencesWatcherTest() {
        store.setInteger("a", 1);
        changes.clear();
    }

    QStringList nextAnnouncement() {
        if (changes.isEmpty() && !changes.wait(3000))
            return {"(nothing announced)"};
        QStringList keys = changes.takeFirst().first().toStringList();
        keys.sort();
        return keys;
    }

    Preferences& store = Preferences::domain(domain);
    PreferencesWatcher watcher{Preferences::folder()};
    QSignalSpy changes{&store, &Preferences::changed};
    Preferences otherProcess{domain, profile.preferencesFile(domain)};
};

TEST_F(PreferencesWatcherTest, AnotherProcessesChangesAreAnnouncedWithoutAnyRead) {
    otherProcess.setInteger("a", 2);
    EXPECT_EQ(nextAnnouncement(), QStringList{"a"});
    EXPECT_EQ(store.integerForKey("a"), 2);

    writeFile(profile.preferencesFile(domain), R"({"a": {"int": 3}, "b": {"bool": true}})");
    EXPECT_EQ(nextAnnouncement(), (QStringList{"a", "b"}));

    // Our own write is announced by the write, and not a second time by the watcher.
    store.setInteger("a", 4);
    ASSERT_EQ(nextAnnouncement(), QStringList{"a"});
    EXPECT_FALSE(changes.wait(3 * PreferencesWatcher::settleMsecs));
}

} // namespace
