#include "settings/PreferencesWatcher.h"

#include "harness/TestProfile.h"
#include "settings/Preferences.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdio>

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

// A file replaced from outside by one that cannot be read (a sync tool, an editor) is moved
// aside with its bytes, what the store held is written back, and later writes are followed.
TEST_F(PreferencesWatcherTest, AnUnreadableFileIsMovedAsideAndWhatTheStoreHeldWrittenBack) {
    const QString file = profile.preferencesFile(domain);
    const QByteArray garbage = "{\"a\": {\"int\": 2\xff";
    writeFile(file + ".incoming", garbage);
    ASSERT_EQ(std::rename(QFile::encodeName(file + ".incoming"), QFile::encodeName(file)), 0);
    const QDir folder = QFileInfo(file).dir();
    QStringList aside;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !(aside = folder.entryList({domain + ".json.unreadable-*"})).isEmpty(); }));
    EXPECT_EQ(readFile(folder.filePath(aside.first())), garbage);
    EXPECT_EQ(Preferences(domain, file).integerForKey("a"), 1);
    otherProcess.setInteger("a", 3);
    EXPECT_EQ(nextAnnouncement(), QStringList{"a"});
    EXPECT_EQ(store.integerForKey("a"), 3);
}

} // namespace
