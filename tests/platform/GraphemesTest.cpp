#include "platform/Graphemes.h"

#include <gtest/gtest.h>

namespace {

TEST(GraphemesTest, UpperCasesTheFirstGraphemeAndCutsWhereAReaderSeesCharacters) {
    const icu::Locale english("en");
    EXPECT_EQ(Graphemes::upperCaseFirst("mARS", english), "MARS"); // the rest is left alone
    EXPECT_EQ(Graphemes::upperCaseFirst(QString::fromUtf8("e\u0301t\u00e9"), english),
              QString::fromUtf8("E\u0301t\u00e9"));
    EXPECT_EQ(Graphemes::upperCaseFirst(QString::fromUtf8("\u00dfa"), english), "SSa");
    EXPECT_EQ(Graphemes::upperCaseFirst("istanbul", icu::Locale("tr")),
              QString::fromUtf8("\u0130stanbul"));

    // Cut where a reader sees characters.
    const QString accented = QString::fromUtf8("e\u0301");
    const QString flag = QString::fromUtf8("\U0001F1E8\U0001F1ED");
    EXPECT_EQ(Graphemes::clusters(accented + "x" + flag + flag),
              (QStringList{accented, "x", flag, flag}));
    EXPECT_EQ(Graphemes::count(accented + flag), 2);
    EXPECT_TRUE(Graphemes::clusters("").isEmpty());
}

} // namespace
