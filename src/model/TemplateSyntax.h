#pragma once

#include <QList>
#include <QString>

// The markup of menu-bar templates. A token is one or more ASCII letters or underscores in
// braces ("{HH}"); anything else in braces is plain text. A block
// "[zone#language|content]" renders its content in another zone and/or language. Positions
// are UTF-16 code units, as in QString.
namespace TemplateSyntax {

struct TokenMatch {
    int start = 0; // of the opening brace
    int end = 0;   // just after the closing brace
    QString name;  // without the braces
};

struct BlockMatch {
    int start = 0; // of the opening bracket
    int end = 0;   // just after the closing bracket
    QString selector;
    QString content;
};

// A block's selector split at its first "#": the zone before it and the language
// after it (further "#" stay in the language), both trimmed; either may be empty.
struct BlockSelector {
    QString zone;
    QString language;
};

// Every token, left to right, never overlapping.
QList<TokenMatch> tokenMatches(const QString& text);
// Every block, left to right, never overlapping. Blocks do not nest.
QList<BlockMatch> blockMatches(const QString& text);
BlockSelector splitSelector(const QString& selector);
// Without leading and trailing space separators and tabs; line breaks stay.
QString trimmed(const QString& text);

} // namespace TemplateSyntax
