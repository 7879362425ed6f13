#include "model/TemplateSyntax.h"

#include <gtest/gtest.h>

namespace {

using TemplateSyntax::BlockMatch;

TEST(TemplateSyntaxTest, BlocksNeedABarAndEndAtTheFirstClosingBracket) {
    const QString text = "a [Asia/Bangkok|{HH}:{min}] b [#de|x|y] [no bar] [x|[y|z]]";
    const QList<BlockMatch> blocks = TemplateSyntax::blockMatches(text);
    ASSERT_EQ(blocks.size(), 3);
    EXPECT_EQ(text.mid(blocks[0].start, blocks[0].end - blocks[0].start),
              "[Asia/Bangkok|{HH}:{min}]");
    EXPECT_EQ(blocks[0].selector, "Asia/Bangkok");
    EXPECT_EQ(blocks[0].content, "{HH}:{min}");
    // The selector stops at the first bar; the content may hold more bars.
    EXPECT_EQ(blocks[1].selector, "#de");
    EXPECT_EQ(blocks[1].content, "x|y");
    // Blocks do not nest: the inner opening bracket is content, the last bracket is text.
    EXPECT_EQ(blocks[2].selector, "x");
    EXPECT_EQ(blocks[2].content, "[y|z");
    EXPECT_EQ(blocks[2].end, text.size() - 1);
    EXPECT_TRUE(TemplateSyntax::blockMatches("[a]b|c]").isEmpty());
}

TEST(TemplateSyntaxTest, SelectorsSplitAtTheFirstHashAndAreTrimmed) {
    auto split = [](const QString& text) {
        const auto parts = TemplateSyntax::splitSelector(text);
        return std::make_pair(parts.zone, parts.language);
    };
    using Pair = std::pair<QString, QString>;
    EXPECT_EQ(split(" Asia/Tokyo # ja "), Pair("Asia/Tokyo", "ja"));
    EXPECT_EQ(split("Europe/Zurich"), Pair("Europe/Zurich", ""));
    EXPECT_EQ(split("a#b#c"), Pair("a", "b#c"));
}

TEST(TemplateSyntaxTest, TrimsSpaceSeparatorsAndTabsButNotLineBreaks) {
    EXPECT_EQ(TemplateSyntax::trimmed(QString::fromUtf8("\u3000\t x y\u00A0\u2009")), "x y");
    EXPECT_EQ(TemplateSyntax::trimmed("\nx\r\n"), "\nx\r\n");
    EXPECT_EQ(TemplateSyntax::trimmed(" \t "), "");
}

} // namespace
