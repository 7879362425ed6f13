#include "model/TemplateSyntax.h"

#include "platform/IcuString.h"

#include <unicode/regex.h>

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace {

// The markup written as regular expressions: the plainest statement of its rules, against
// which the scanner is checked.
QStringList regexMatches(const char16_t* pattern, const QString& text) {
    UParseError where;
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::RegexPattern> compiled(
        icu::RegexPattern::compile(icu::UnicodeString(pattern), 0, where, status));
    const icu::UnicodeString input = toIcu(text);
    std::unique_ptr<icu::RegexMatcher> matcher(compiled->matcher(input, status));
    QStringList found;
    while (matcher->find(status)) {
        QStringList groups;
        for (int group = 1; group <= matcher->groupCount(); ++group)
            groups.append(fromIcu(matcher->group(group, status)));
        found.append(QString("%1-%2:%3")
                         .arg(matcher->start(status))
                         .arg(matcher->end(status))
                         .arg(groups.join(u'|')));
    }
    return found;
}

QStringList scannedTokens(const QString& text) {
    QStringList found;
    for (const TemplateSyntax::TokenMatch& match : TemplateSyntax::tokenMatches(text))
        found.append(QString("%1-%2:%3").arg(match.start).arg(match.end).arg(match.name));
    return found;
}

QStringList scannedBlocks(const QString& text) {
    QStringList found;
    for (const TemplateSyntax::BlockMatch& match : TemplateSyntax::blockMatches(text))
        found.append(QString("%1-%2:%3|%4")
                         .arg(match.start)
                         .arg(match.end)
                         .arg(match.selector, match.content));
    return found;
}

// Texts made of the markup's own characters, letters, spaces, an emoji and a lone surrogate,
// where every way of almost writing a token or a block comes up many times.
TEST(TemplateSyntaxTest, TokensAndBlocksAreExactlyWhatTheRegularExpressionsFind) {
    const QString alphabet = QString::fromUtf8("{}[]|#aZ_ 1\u00E9\U0001F600") + QChar(0xD800);
    std::mt19937 random(20261206);
    std::uniform_int_distribution<int> length(0, 14);
    std::uniform_int_distribution<int> pick(0, int(alphabet.size()) - 1);
    for (int i = 0; i < 20000; ++i) {
        QString text;
        for (int n = length(random); n > 0; --n)
            text += alphabet.at(pick(random));
        ASSERT_EQ(scannedTokens(text), regexMatches(u"\\{([A-Za-z_]+)\\}", text))
            << text.toStdString();
        ASSERT_EQ(scannedBlocks(text), regexMatches(u"\\[([^\\]|]*)\\|([^\\]]*)\\]", text))
            << text.toStdString();
    }
}

} // namespace
