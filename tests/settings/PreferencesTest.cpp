#include "settings/Preferences.h"

#include "harness/TestProfile.h"
#include "settings/PreferenceCoding.h"
#include "settings/PreferencesWatcher.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPoint>
#include <QSignalSpy>
#include <QTest>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <thread>

namespace {

const QString domain = "test.domain";

class PreferencesTest : public ProfileTest {
protected:
    Preferences& store() { return Preferences::domain(domain); }
    // A second store on the same file, as another process would have it.
    std::unique_ptr<Preferences> freshReader() {
        return std::make_unique<Preferences>(domain, profile.preferencesFile(domain));
    }
    QStringList folderEntries() {
        return QDir(profile.configHome() + "/vesperin").entryList(QDir::Files | QDir::Hidden);
    }
};

TEST_F(PreferencesTest, EveryTypeSurvivesTheFileWithItsType) {
    const QDateTime date = QDateTime::fromString("2026-03-29T01:59:59.123Z", Qt::ISODateWithMs);
    const QByteArray bytes("\x00\x01\xff{\"data\"}", 10);
    const QVariantMap nested{{"n", qint64(1)}, {"r", 1.0}, {"when", date}};
    store().setBool("b", true);
    store().setInteger("i", std::numeric_limits<qint64>::max());
    store().setDouble("r", 4.0);
    store().setObject("s", QString::fromUtf8("Zürich \xF0\x9F\x87\xA8\xF0\x9F\x87\xAD \"/\\"));
    store().setObject("d", bytes);
    store().setObject("t", date);
    store().setObject("a", QVariantList{QString("x"), qint64(-3), QVariantList{}, nested});
    store().setObject("m", nested);

    const auto reader = freshReader();
    EXPECT_EQ(reader->objectForKey("b")->typeId(), QMetaType::Bool);
    EXPECT_EQ(reader->objectForKey("i")->typeId(), QMetaType::LongLong);
    EXPECT_EQ(reader->integerForKey("i"), std::numeric_limits<qint64>::max());
    EXPECT_EQ(reader->objectForKey("r")->typeId(), QMetaType::Double); // 4.0 stays a real
    EXPECT_EQ(reader->stringForKey("s"), store().stringForKey("s"));
    EXPECT_EQ(reader->dataForKey("d"), bytes);
    EXPECT_EQ(reader->dateForKey("t"), date);
    EXPECT_EQ(reader->dictionaryForKey("m"), nested);
    const QVariantList array = *reader->arrayForKey("a");
    ASSERT_EQ(array.size(), 4);
    EXPECT_EQ(array.at(1).typeId(), QMetaType::LongLong);
    EXPECT_EQ(array.at(3).toMap().value("r").typeId(), QMetaType::Double);
    EXPECT_EQ(array.at(3).toMap().value("when").toDateTime(), date);

    // The other way round: another writer (e.g. vesperin-defaults) is seen at the next read.
    freshReader()->setInteger("theirs", 2);
    EXPECT_EQ(store().integerForKey("theirs"), 2);
}

TEST_F(PreferencesTest, TypedReadsConvertLikeTheDefaultsStore) {
    store().setDouble("real", 3.9);
    store().setObject("text", QString("12 apples"));
    store().setObject("yes", QString("YES"));
    store().setBool("flag", true);
    store().setObject("bytes", QByteArray("1"));
    EXPECT_EQ(store().integerForKey("real"), 3);
    EXPECT_EQ(store().integerForKey("text"), 12);
    EXPECT_TRUE(store().boolForKey("yes"));
    EXPECT_EQ(store().integerForKey("flag"), 1);
    EXPECT_EQ(store().stringForKey("flag"), "1");
    EXPECT_EQ(store().stringForKey("real"), "3.8999999999999999");
    // Other kinds never pretend to be numbers, text or each other.
    EXPECT_EQ(store().integerForKey("bytes"), 0);
    EXPECT_FALSE(store().stringForKey("bytes"));
    EXPECT_FALSE(store().arrayForKey("text"));
}

TEST_F(PreferencesTest, ValuesThatCannotBeStoredAreRefusedAndChangeNothing) {
    store().setInteger("k", 7);
    for (const QVariant& value :
         {QVariant(QPoint(1, 2)), QVariant(std::nan("")), QVariant(QVariantList{1, QPoint()}),
          QVariant(QDateTime()), QVariant(std::numeric_limits<quint64>::max()), QVariant()})
        EXPECT_FALSE(store().setObject("k", value)) << value.typeName();
    EXPECT_EQ(freshReader()->integerForKey("k"), 7);
    // Plain ints and string lists are kept as the store's own integer and array types.
    store().setObject("int", int(5));
    store().setObject("list", QStringList{"a"});
    EXPECT_EQ(freshReader()->objectForKey("int")->typeId(), QMetaType::LongLong);
    EXPECT_EQ(freshReader()->arrayForKey("list"), QVariantList{"a"});
}

TEST_F(PreferencesTest, AFileThatCannotBeParsedIsMovedAsideWithItsBytes) {
    const QList<QByteArray> broken = {
        "{\"k\": {\"int\": 1}", // cut off
        "[1, 2]",               // not an object
        "{\"k\": 5}",           // an untagged value
        "{\"k\": {\"int\": 1.5}}",
        "{\"k\": {\"data\": \"not base64!\"}}",
        "{\"k\": {\"date\": \"yesterday\"}}",
        "{\"k\": {\"bool\": true, \"int\": 1}}",
    };
    for (const QByteArray& bytes : broken) {
        SCOPED_TRACE(bytes.toStdString());
        TestProfile own;
        writeFile(own.preferencesFile(domain), bytes);
        Preferences& fresh = Preferences::domain(domain);
        EXPECT_TRUE(fresh.dictionaryRepresentation().isEmpty());
        const QStringList aside = QDir(own.configHome() + "/vesperin")
                                      .entryList({domain + ".json.unreadable-*"}, QDir::Files);
        ASSERT_EQ(aside.size(), 1);
        EXPECT_EQ(readFile(own.configHome() + "/vesperin/" + aside.first()), bytes);
        EXPECT_TRUE(fresh.setInteger("after", 1));
        EXPECT_EQ(Preferences(domain, own.preferencesFile(domain)).integerForKey("after"), 1);
    }
}

// A writer killed before its rename leaves a temporary file; the next write clears its own
// domain's, and never those of a domain whose name differs only in case.
TEST_F(PreferencesTest, AWriteClearsItsOwnLeftoversOnly) {
    const QString folder = profile.configHome() + "/vesperin/";
    QDir().mkpath(folder);
    writeFile(folder + domain + ".json.tmp-AbC123", "{");
    writeFile(folder + "Test.domain.json.tmp-AbC123", "{");
    EXPECT_TRUE(store().setInteger("k", 1));
    EXPECT_FALSE(folderEntries().contains(domain + ".json.tmp-AbC123"));
    EXPECT_TRUE(folderEntries().contains("Test.domain.json.tmp-AbC123"));
}

// Every change is announced once, with its keys: a write of ours before it returns and only
// when a value really changed; another writer's change once this store sees it, from the
// event loop rather than in the middle of the read that noticed it.
TEST_F(PreferencesTest, ChangesAreAnnouncedOnceWithTheirKeys) {
    QSignalSpy changes(&store(), &Preferences::changed);
    const auto announced = [&](qsizetype index) {
        QStringList keys = changes.at(index).first().toStringList();
        keys.sort();
        return keys;
    };
    store().setInteger("a", 1);
    ASSERT_EQ(changes.size(), 1);
    EXPECT_EQ(announced(0), QStringList{"a"});
    store().setInteger("a", 1);
    store().removeObject("never there");
    EXPECT_EQ(changes.size(), 1) << "nothing changed";

    const auto other = freshReader();
    other->setInteger("a", 2);
    other->setObject("b", QString("new"));
    EXPECT_EQ(store().integerForKey("a"), 2);
    EXPECT_EQ(changes.size(), 1);
    ASSERT_TRUE(changes.wait(2000));
    EXPECT_EQ(announced(1), (QStringList{"a", "b"}));

    other->removeObject("b");
    store().reloadIfChanged();
    ASSERT_EQ(changes.size(), 3);
    EXPECT_EQ(announced(2), QStringList{"b"});
    store().reloadIfChanged();
    QCoreApplication::processEvents();
    EXPECT_EQ(changes.size(), 3);
}

TEST_F(PreferencesTest, ThreadsWritingAtOnceLoseNothing) {
    constexpr int threads = 4;
    constexpr int writesEach = 50;
    std::vector<std::jthread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([this, t] {
            for (int i = 0; i < writesEach; ++i) {
                store().setInteger(QString("t%1-%2").arg(t).arg(i), i);
                store().integerForKey(QString("t%1-%2").arg((t + 1) % threads).arg(i));
            }
        });
    }
    workers.clear(); // joins them
    EXPECT_EQ(freshReader()->dictionaryRepresentation().size(), threads * writesEach);
    EXPECT_EQ(folderEntries(), QStringList{domain + ".json"}); // no temporary files left
}

TEST(PreferencesDomainTest, NamesThatCouldLeaveTheFolderAreInvalid) {
    EXPECT_TRUE(Preferences::isValidDomainName("com.apple.menuextra.clock"));
    EXPECT_TRUE(Preferences::isValidDomainName("com.orvennalabs.vesperin"));
    // A regular expression's $ also matches before a final line feed.
    EXPECT_TRUE(Preferences::isValidDomainName(QString(201, u'a')));
    EXPECT_FALSE(Preferences::isValidDomainName(QString(202, u'a')));
    for (const char* bad : {"", ".", "..", "../etc", "a/b", ".hidden", "a b", "a\n", "\xC3\xA9"})
        EXPECT_FALSE(Preferences::isValidDomainName(bad)) << bad;
}

// A date given with an offset can land outside the years 1 to 9999 in UTC, where it has no
// four-digit form: written, it would come out empty and the next start would find the whole
// file unreadable.
TEST_F(PreferencesTest, DatesOutsideTheFourDigitYearsInUtcAreRefusedOnBothSides) {
    const QDateTime beforeYearOne(QDate(1, 1, 1), QTime(0, 0), QTimeZone(14 * 3600));
    const QDateTime afterYear9999(QDate(9999, 12, 31), QTime(23, 0), QTimeZone(-14 * 3600));
    store().setInteger("k", 7);
    EXPECT_FALSE(store().setObject("k", beforeYearOne));
    EXPECT_FALSE(store().setObject("k", QVariantList{afterYear9999}));
    EXPECT_EQ(freshReader()->integerForKey("k"), 7);

    const QDateTime firstWritable(QDate(1, 1, 1), QTime(0, 0), Qt::UTC);
    EXPECT_EQ(
        PreferenceCoding::decodeDomain(PreferenceCoding::encodeDomain({{"k", firstWritable}})),
        (QVariantMap{{"k", firstWritable}}));
}

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
