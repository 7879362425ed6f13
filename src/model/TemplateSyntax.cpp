#include "model/TemplateSyntax.h"

#include "platform/IcuString.h"

#include <unicode/regex.h>
#include <unicode/uchar.h>

#include <memory>

namespace {

// The patterns are constants: failing to compile one is a programming error, not a runtime
// condition, so it stops the program at once.
std::unique_ptr<icu::RegexPattern> compile(const char16_t* pattern) {
    UParseError where;
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::RegexPattern> compiled(
        icu::RegexPattern::compile(icu::UnicodeString(pattern), 0, where, status));
    if (U_FAILURE(status) || !compiled)
        qFatal("TemplateSyntax: the pattern %s does not compile (%s)",
               qPrintable(QString::fromUtf16(pattern)), u_errorName(status));
    return compiled;
}

const icu::RegexPattern& tokenPattern() {
    static const std::unique_ptr<icu::RegexPattern> pattern = compile(u"\\{([A-Za-z_]+)\\}");
    return *pattern;
}

const icu::RegexPattern& blockPattern() {
    static const std::unique_ptr<icu::RegexPattern> pattern =
        compile(u"\\[([^\\]|]*)\\|([^\\]]*)\\]");
    return *pattern;
}

// Calls found(matcher) for every match of the pattern in the text, left to right.
template <typename Found>
void forEachMatch(const icu::RegexPattern& pattern, const QString& text, Found found) {
    const icu::UnicodeString input = toIcu(text);
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::RegexMatcher> matcher(pattern.matcher(input, status));
    if (U_FAILURE(status))
        qFatal("TemplateSyntax: no matcher (%s)", u_errorName(status));
    while (matcher->find(status) && U_SUCCESS(status))
        found(*matcher);
}

QString group(icu::RegexMatcher& matcher, int number) {
    UErrorCode status = U_ZERO_ERROR;
    return fromIcu(matcher.group(number, status));
}

bool isTrimmedSpace(QChar c) {
    return c == u'\t' || u_charType(c.unicode()) == U_SPACE_SEPARATOR;
}

} // namespace

namespace TemplateSyntax {

QList<TokenMatch> tokenMatches(const QString& text) {
    QList<TokenMatch> matches;
    forEachMatch(tokenPattern(), text, [&](icu::RegexMatcher& matcher) {
        UErrorCode status = U_ZERO_ERROR;
        matches.append({matcher.start(status), matcher.end(status), group(matcher, 1)});
    });
    return matches;
}

QList<BlockMatch> blockMatches(const QString& text) {
    QList<BlockMatch> matches;
    forEachMatch(blockPattern(), text, [&](icu::RegexMatcher& matcher) {
        UErrorCode status = U_ZERO_ERROR;
        matches.append(
            {matcher.start(status), matcher.end(status), group(matcher, 1), group(matcher, 2)});
    });
    return matches;
}

BlockSelector splitSelector(const QString& selector) {
    const qsizetype hash = selector.indexOf(u'#');
    if (hash < 0)
        return {trimmed(selector), QString()};
    return {trimmed(selector.left(hash)), trimmed(selector.mid(hash + 1))};
}

QString trimmed(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isTrimmedSpace(text.at(begin)))
        ++begin;
    while (end > begin && isTrimmedSpace(text.at(end - 1)))
        --end;
    return text.sliced(begin, end - begin);
}

} // namespace TemplateSyntax
