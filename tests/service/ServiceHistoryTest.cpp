#include "service/ServiceClient.h"
#include "settings/PreferenceKeys.h"
#include "settings/Preferences.h"
#include "support/TestProfile.h"

#include <gtest/gtest.h>

namespace {

class ServiceHistoryTest : public ProfileTest {
protected:
    void SetUp() override {
        client.setClock([this] { return now; });
    }
    void storeHistory(const QVariant& value) {
        Preferences::standard().setObject(PreferenceKeys::messageHistory, value);
    }

    QDateTime now = QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53, 589), Qt::UTC);
    ServiceClient client;
};

TEST_F(ServiceHistoryTest, TheHistoryKeepsTheLastFiftyEntriesOnceEachNewestFirst) {
    for (qint64 id = 1; id <= 51; ++id) {
        now = now.addSecs(1);
        client.archive(id, QString("message %1").arg(id));
    }
    client.archive(51, "the same message again");
    const QList<ArchivedMessage> history = client.messageHistory();
    ASSERT_EQ(history.size(), 50);
    EXPECT_EQ(history.first(), (ArchivedMessage{51, "message 51", now, false}));
    EXPECT_EQ(history.last().id, 2);
}

TEST_F(ServiceHistoryTest, RepliesInTheSameSecondShareTheirIdAndBothStay) {
    client.archiveOwn("first");
    now = now.addMSecs(300);
    client.archiveOwn("second");
    const qint64 id = -QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53), Qt::UTC).toSecsSinceEpoch();
    const QList<ArchivedMessage> history = client.messageHistory();
    ASSERT_EQ(history.size(), 2);
    EXPECT_EQ(history.at(0), (ArchivedMessage{id, "second", now, true}));
    EXPECT_EQ(history.at(1).id, id);
}

TEST_F(ServiceHistoryTest, StoredEntriesOfTheWrongShapeAreSkippedFilledInOrDropped) {
    const QDateTime stamp(QDate(2025, 1, 2), QTime(3, 4, 5), Qt::UTC);
    storeHistory(QVariantList{
        QVariantMap{{"id", qint64(1)}, {"body", "whole"}, {"date", stamp}, {"mine", true}},
        QVariantMap{{"id", "2"}, {"body", "id as text"}},
        QVariantMap{{"id", qint64(3)}, {"body", qint64(3)}},
        QVariantMap{{"id", qint64(4)}, {"body", "bare"}, {"mine", "yes"}},
    });
    EXPECT_EQ(client.messageHistory(),
              (QList<ArchivedMessage>{{4, "bare", now, false}, {1, "whole", stamp, true}}));

    storeHistory(QVariantList{QVariantMap{{"id", qint64(1)}, {"body", "x"}}, qint64(5)});
    EXPECT_TRUE(client.messageHistory().isEmpty()) << "not a list of dictionaries";
    client.archive(8, "starts afresh");
    EXPECT_EQ(client.messageHistory().size(), 1);
}

} // namespace
