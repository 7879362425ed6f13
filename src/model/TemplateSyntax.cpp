#include "model/TemplateSyntax.h"

#include <unicode/uchar.h>

#include <optional>

namespace {

bool isTokenCharacter(QChar c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_';
}

// The token opening at `start`: "{", one or more letters or underscores, "}".
std::optional<TemplateSyntax::TokenMatch> tokenAt(const QString& text, qsizetype start) {
    qsizetype close = start + 1;
    while (close < text.size() && isTokenCharacter(text.at(close)))
        ++close;
    if (close == start + 1 || close >= text.size() || text.at(close) != u'}')
        return std::nullopt;
    return TemplateSyntax::TokenMatch{int(start), int(close + 1),
                                      text.sliced(start + 1, close - start - 1)};
}

// The block opening at `start`: "[", a selector up to the first "|" with no "]" in it, then
// a content up to the first "]".
std::optional<TemplateSyntax::BlockMatch> blockAt(const QString& text, qsizetype start) {
    qsizetype bar = start + 1;
    while (bar < text.size() && text.at(bar) != u'|' && text.at(bar) != u']')
        ++bar;
    if (bar >= text.size() || text.at(bar) != u'|')
        return std::nullopt;
    const qsizetype close = text.indexOf(u']', bar + 1);
    if (close < 0)
        return std::nullopt;
    return TemplateSyntax::BlockMatch{int(start), int(close + 1),
                                      text.sliced(start + 1, bar - start - 1),
                                      text.sliced(bar + 1, close - bar - 1)};
}

// Every match, left to right: where one cannot start at an opening character, the search
// goes on from the next one; after a match, from its end. Scanned by hand: regular
// expressions would page in ICU's regex engine and Unicode sets for two simple patterns.
template <typename Match>
QList<Match> matchesOf(const QString& text, QChar opening,
                       std::optional<Match> (*matchAt)(const QString&, qsizetype)) {
    QList<Match> matches;
    qsizetype from = 0;
    for (qsizetype at = text.indexOf(opening); at >= 0; at = text.indexOf(opening, from)) {
        const std::optional<Match> match = matchAt(text, at);
        if (match)
            matches.append(*match);
        from = match ? match->end : at + 1;
    }
    return matches;
}

bool isTrimmedSpace(QChar c) {
    return c == u'\t' || u_charType(c.unicode()) == U_SPACE_SEPARATOR;
}

} // namespace

namespace TemplateSyntax {

QList<TokenMatch> tokenMatches(const QString& text) {
    return matchesOf<TokenMatch>(text, u'{', tokenAt);
}

QList<BlockMatch> blockMatches(const QString& text) {
    return matchesOf<BlockMatch>(text, u'[', blockAt);
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
