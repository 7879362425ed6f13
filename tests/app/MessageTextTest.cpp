#include "app/MessageText.h"

#include "service/ServiceClient.h"
#include "settings/Localization.h"
#include "support/TestText.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

TEST(MessageTextTest, ControlCharactersShowAsSymbolsAndLineBreaksAsOne) {
    const QList<std::pair<QString, QString>> cases = {
        {"a\r\nb\rc\nd\te", "a\nb\nc\nd\te"},
        {QString::fromStdU16String(u"x\u0000y"s) + "\x1b[31m\x07\x7f" + QChar(0x85),
         QString::fromStdU16String(u"x\u2400y\u241b[31m\u2407\u2421\ufffd"s)},
        {"\r\r\n\n", "\n\n\n"},
        // Right-to-left text, its marks and emoji are text like any other.
        {QString::fromStdU16String(u"\u05e9\u05dc\u05d5\u05dd \u202e\U0001F469\u200D\U0001F4BB"s),
         QString::fromStdU16String(u"\u05e9\u05dc\u05d5\u05dd \u202e\U0001F469\u200D\U0001F4BB"s)},
    };
    for (const auto& [text, shown] : cases)
        EXPECT_EQ(MessageText::shown(text), shown) << text;
}

// In the user's zone (the tests run in Paris) and language, long date and short time.
TEST(MessageTextTest, TheHeaderSaysWhoseAndWhen) {
    const QDateTime date(QDate(2026, 3, 14), QTime(9, 26, 53), Qt::UTC);
    const QString mine = MessageText::header({-1, "hi", date, true});
    EXPECT_TRUE(mine.startsWith(L("messages.you_prefix"))) << mine;
    EXPECT_TRUE(mine.contains("March 14, 2026")) << mine;
    EXPECT_TRUE(mine.contains("10:26")) << mine;
    EXPECT_FALSE(mine.contains(":53")) << "short time style";
    EXPECT_TRUE(
        MessageText::header({5, "hi", date, false}).startsWith(L("messages.orvenna_labs_prefix")));
}

} // namespace
