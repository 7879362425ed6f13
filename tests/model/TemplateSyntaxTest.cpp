#include "model/TemplateSyntax.h"

#include <gtest/gtest.h>

namespace {

using TemplateSyntax::BlockMatch;
using TemplateSyntax::TokenMatch;

std::vector<std::tuple<int, int, QString>> tokens(const QString& text) {
    std::vector<std::tuple<int, int, QString>> found;
    for (const TokenMatch& match : TemplateSyntax::tokenMatches(text))
        found.emplace_back(match.start, match.end, match.name);
    return found;
}

TEST(TemplateSyntaxTest, TokensAreAsciiLettersAndUnderscoresInBraces) {
    using Found = std::vector<std::tuple<int, int, QString>>;
    EXPECT_EQ(tokens("{HH}:{min}"), (Found{{0, 4, "HH"}, {5, 10, "min"}}));
    EXPECT_EQ(tokens("{time_zone}"), (Found{{0, 11, "time_zone"}}));
    for (const char* plain : {"{HH", "HH}", "{H H}", "{}", "{12}", "{h1}", "{\xc3\xa9t\xc3\xa9}"})
        EXPECT_TRUE(tokens(QString::fromUtf8(plain)).empty()) << plain;
    // The innermost braces form the token; the outer ones are text.
    EXPECT_EQ(tokens("{{HH}}"), (Found{{1, 5, "HH"}}));
}

TEST(TemplateSyntaxTest, PositionsCountUtf16CodeUnits) {
    // U+1F600 takes two code units, U+00B7 one.
    const QString text = QString::fromUtf8("\U0001F600{HH}\u00B7{min}");
    using Found = std::vector<std::tuple<int, int, QString>>;
    EXPECT_EQ(tokens(text), (Found{{2, 6, "HH"}, {7, 12, "min"}}));
}

TEST(TemplateSyntaxTest, BlocksNeedABarAndEndAtTheFirstClosingBracket) {
    const QString text = "a [Asia/Bangkok|{HH}:{min}] b [#de|x|y] [no bar] [x|[y|z]]";
    const QList<BlockMatch> blocks = TemplateSyntax::blockMatches(text);
    ASSERT_EQ(blocks.size(), 3);
    EXPECT_EQ(text.mid(blocks[0].start, blocks[0].end - blocks[0].start),
              "[Asia/Bangkok|{HH}:{min}]");
    EXPECT_EQ(blocks[0].specification, "Asia/Bangkok");
    EXPECT_EQ(blocks[0].content, "{HH}:{min}");
    // The specification stops at the first bar; the content may hold more bars.
    EXPECT_EQ(blocks[1].specification, "#de");
    EXPECT_EQ(blocks[1].content, "x|y");
    // Blocks do not nest: the inner opening bracket is content, the last bracket is text.
    EXPECT_EQ(blocks[2].specification, "x");
    EXPECT_EQ(blocks[2].content, "[y|z");
    EXPECT_EQ(blocks[2].end, text.size() - 1);
    EXPECT_TRUE(TemplateSyntax::blockMatches("[a|b").isEmpty());
    EXPECT_TRUE(TemplateSyntax::blockMatches("[a]b|c]").isEmpty());
}

TEST(TemplateSyntaxTest, SpecificationsSplitAtTheFirstHashAndAreTrimmed) {
    auto split = [](const QString& text) {
        const auto parts = TemplateSyntax::splitSpecification(text);
        return std::make_pair(parts.zone, parts.language);
    };
    using Pair = std::pair<QString, QString>;
    EXPECT_EQ(split(" Asia/Tokyo # ja "), Pair("Asia/Tokyo", "ja"));
    EXPECT_EQ(split("#de"), Pair("", "de"));
    EXPECT_EQ(split("Europe/Zurich"), Pair("Europe/Zurich", ""));
    EXPECT_EQ(split("a#b#c"), Pair("a", "b#c"));
    EXPECT_EQ(split(""), Pair("", ""));
}

TEST(TemplateSyntaxTest, TrimsSpaceSeparatorsAndTabsButNotLineBreaks) {
    EXPECT_EQ(TemplateSyntax::trimmed(QString::fromUtf8("\u3000\t x y\u00A0\u2009")), "x y");
    EXPECT_EQ(TemplateSyntax::trimmed("\nx\r\n"), "\nx\r\n");
    EXPECT_EQ(TemplateSyntax::trimmed(" \t "), "");
}

} // namespace
