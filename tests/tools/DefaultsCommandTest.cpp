#include "tools/defaults/DefaultsCommand.h"

#include "harness/TestProfile.h"
#include "settings/Preferences.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

const QString domain = "com.orvennalabs.vesperin";

class DefaultsCommandTest : public ProfileTest {
protected:
    int run(const QStringList& args) {
        out.clear();
        err.clear();
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        return DefaultsCommand::run(args, outStream, errStream);
    }
    Preferences& store() { return Preferences::domain(domain); }
    QString out;
    QString err;
};

TEST_F(DefaultsCommandTest, WritesEveryTypeSoThatTheAppReadsItTyped) {
    const QList<std::pair<QStringList, QVariant>> cases = {
        {{"-bool", "YES"}, true},
        {{"-int", "1"}, qint64(1)},
        {{"-float", "-3.5"}, -3.5},
        {{"-string", "Zürich"}, "Zürich"},
        {{"no flag means text"}, "no flag means text"},
        {{"-data", "5b5d"}, QByteArray("[]")},
        {{"-date", "2026-12-06T10:00:00Z"}, QDateTime(QDate(2026, 12, 6), QTime(10, 0), Qt::UTC)},
    };
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(run(QStringList{"write", domain, "k"} + value), 0);
        EXPECT_EQ(store().objectForKey("k"), expected) << value.join(' ').toStdString();
        EXPECT_EQ(store().objectForKey("k")->typeId(), expected.typeId());
    }
}

TEST_F(DefaultsCommandTest, WritesArraysAndDictionariesWithTypedElements) {
    EXPECT_EQ(run({"write", domain, "VSPShownMessages", "-array", "-int", "4", "-int", "7"}), 0);
    EXPECT_EQ(store().arrayForKey("VSPShownMessages"), (QVariantList{qint64(4), qint64(7)}));
    EXPECT_EQ(run({"write", domain, "VSPSystemClockBackup", "-dict", "ShowDate", "-int", "1",
                   "Label", "text"}),
              0);
    EXPECT_EQ(store().dictionaryForKey("VSPSystemClockBackup"),
              (QVariantMap{{"ShowDate", qint64(1)}, {"Label", "text"}}));
    EXPECT_EQ(run({"write", domain, "empty", "-array"}), 0);
    EXPECT_EQ(store().arrayForKey("empty"), QVariantList{});
}

TEST_F(DefaultsCommandTest, BadArgumentsPrintUsageExitTwoAndWriteNothing) {
    const QList<QStringList> bad = {
        {},
        {"frobnicate", domain},
        {"write", domain, "k"},
        {"write", domain, "k", "-int", "12abc"},
        {"write", domain, "k", "-bool", "maybe"},
        {"write", domain, "k", "-float", "nan"},
        {"write", domain, "k", "-data", "abc"},
        {"write", domain, "k", "-data", "zz"},
        {"write", domain, "k", "-date", "tomorrow"},
        // A date the file cannot carry (outside the four-digit years in UTC).
        {"write", domain, "k", "-date", "0001-01-01T00:00:00+14:00"},
        {"write", domain, "k", "-array", "-date", "9999-12-31T23:00:00-14:00"},
        {"write", domain, "k", "-array", "-int", "1", "-int"},
        {"write", domain, "k", "-dict", "lonely"},
        {"write", domain, "k", "one", "two"},
        {"write", "../escape", "k", "v"},
        {"delete", domain, "k", "extra"},
    };
    for (const QStringList& args : bad) {
        SCOPED_TRACE(args.join(' ').toStdString());
        EXPECT_EQ(run(args), DefaultsCommand::usageError);
        EXPECT_TRUE(err.startsWith("usage: vesperin-defaults"));
    }
    EXPECT_FALSE(QFile::exists(profile.preferencesFile(domain)));
}

TEST_F(DefaultsCommandTest, ReadsWhatIsStoredAndFailsOnWhatIsNot) {
    EXPECT_EQ(run({"read", domain}), DefaultsCommand::failure);
    store().setInteger("n", 42);
    store().setObject("list", QVariantList{"a b", true});
    EXPECT_EQ(run({"read", domain, "n"}), 0);
    EXPECT_EQ(out, "42\n");
    EXPECT_EQ(run({"read", domain, "missing"}), DefaultsCommand::failure);
    EXPECT_EQ(err, "The domain/default pair of (" + domain + ", missing) does not exist\n");
    EXPECT_EQ(run({"delete", domain, "missing"}), DefaultsCommand::failure);
    EXPECT_EQ(run({"read", domain}), 0);
    EXPECT_EQ(out, "{\n    list = (\n        \"a b\",\n        1\n    );\n    n = 42;\n}\n");
}

TEST_F(DefaultsCommandTest, DeletesOneKeyOrTheWholeDomain) {
    store().setInteger("a", 1);
    store().setInteger("b", 2);
    EXPECT_EQ(run({"delete", domain, "a"}), 0);
    EXPECT_EQ(store().dictionaryRepresentation().keys(), QStringList{"b"});
    EXPECT_EQ(run({"delete", domain}), 0);
    EXPECT_TRUE(store().dictionaryRepresentation().isEmpty());
}

TEST(DefaultsDescribeTest, QuotesWhatNeedsItAndReadsBackDataAndDates) {
    EXPECT_EQ(DefaultsCommand::describe(QByteArray("\x01\xff", 2)), "<01ff>");
    EXPECT_EQ(DefaultsCommand::describe(QString("say \"hi\"")), R"("say \"hi\"")");
    EXPECT_EQ(DefaultsCommand::describe(QString("Europe/Zurich")), "Europe/Zurich");
    EXPECT_EQ(DefaultsCommand::describe(QString("plain\n")), R"("plain\n")");
    EXPECT_EQ(DefaultsCommand::describe(QVariantMap{{"key\n", true}}), "{\n    \"key\\n\" = 1;\n}");
    const QDateTime date(QDate(2026, 1, 2), QTime(3, 4, 5, 6), Qt::UTC);
    EXPECT_EQ(DefaultsCommand::parseValue("-date", DefaultsCommand::describe(date)), date);
}

} // namespace
