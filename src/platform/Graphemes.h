#pragma once

#include <QString>
#include <QStringList>

#include <unicode/locid.h>

// What a reader calls a character: a grapheme cluster, so that a letter with its combining
// marks, a flag or an emoji sequence counts once.
namespace Graphemes {

int count(const QString& text);
// The text cut into its graphemes, in order.
QStringList clusters(const QString& text);
// The text with its first grapheme upper-cased by the rules of the locale (a Turkish i gets
// its dot) and the rest left exactly as it was.
QString upperCaseFirst(const QString& text, const icu::Locale& locale);

} // namespace Graphemes
