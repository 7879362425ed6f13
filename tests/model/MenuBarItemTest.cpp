#include "model/MenuBarItem.h"

#include "harness/TestProfile.h"

#include <QJsonDocument>

#include <gtest/gtest.h>

namespace {

const char* const idText = "0F8FAD5B-D9CB-469F-A165-70867728950E";

QJsonObject decodeObject(const QByteArray& json) {
    return QJsonDocument::fromJson(json).array().first().toObject();
}

TEST(MenuBarItemCodingTest, WritesAbsentFieldsNotAtAllAndReadsWhatOthersWrite) {
    const MenuBarItem written{QUuid::fromString(QString(idText)), true, ""};
    QJsonObject object = decodeObject(MenuBarItemCoding::encode({written}));
    EXPECT_EQ(object.keys(), (QStringList{"enabled", "id", "template"}));
    EXPECT_EQ(object.value("id").toString(), idText);

    // Read: lower-case ids, escaped slashes, nulls and unknown keys.
    const QByteArray json = QByteArray(R"([{"id":")") + QByteArray(idText).toLower() +
                            R"(","enabled":true,"template":"a\/b","timeZoneID":null,)"
                            R"("parts":[{"text":"x\/y","localeID":null,"future":1}],)"
                            R"("separator":null,"colour":"mauve"}])";
    const auto items = MenuBarItemCoding::decode(json);
    ASSERT_TRUE(items);
    const MenuBarItem& item = items->first();
    EXPECT_EQ(item.id, QUuid::fromString(QString(idText)));
    EXPECT_EQ(item.templateText, "a/b");
    EXPECT_FALSE(item.timeZoneID);
    EXPECT_FALSE(item.separator);
    EXPECT_EQ(item.parts, (QList<MenuBarPart>{{"x/y"}}));
}

TEST(MenuBarItemCodingTest, OneBadItemMakesTheWholeArrayUndecodable) {
    const QByteArray good =
        QByteArray(R"({"id":")") + idText + R"(","enabled":true,"template":""})";
    const QList<QByteArray> badItems = {
        R"({"enabled":true,"template":""})",
        QByteArray(R"({"id":")") + idText + R"(","template":""})",
        QByteArray(R"({"id":")") + idText + R"(","enabled":1,"template":""})",
        QByteArray(R"({"id":")") + idText + R"(","enabled":true})",
        R"({"id":"not-a-uuid","enabled":true,"template":""})",
        R"({"id":"{0F8FAD5B-D9CB-469F-A165-70867728950E}","enabled":true,"template":""})",
        R"({"id":"0F8FAD5B-D9CB-469F-A165-70867728950E\n","enabled":true,"template":""})",
        QByteArray(R"({"id":")") + idText + R"(","enabled":true,"template":"","timeZoneID":3})",
        QByteArray(R"({"id":")") + idText + R"(","enabled":true,"template":"","parts":{}})",
        QByteArray(R"({"id":")") + idText + R"(","enabled":true,"template":"","parts":[{}]})",
        QByteArray(R"({"id":")") + idText + R"(","enabled":true,"template":"","separator":[]})",
        "null",
    };
    EXPECT_TRUE(MenuBarItemCoding::decode("[" + good + "," + good + "]"));
    for (const QByteArray& bad : badItems) {
        EXPECT_FALSE(MenuBarItemCoding::decode("[" + good + "," + bad + "]")) << bad.toStdString();
    }
    EXPECT_FALSE(MenuBarItemCoding::decode(good));
    EXPECT_FALSE(MenuBarItemCoding::decode("[" + good));
    EXPECT_EQ(MenuBarItemCoding::decode("[]"), QList<MenuBarItem>{});
}

} // namespace
