#include "platform/Graphemes.h"

#include "platform/IcuString.h"

#include <unicode/brkiter.h>

#include <memory>

namespace {

// Grapheme rules do not vary by language, so each thread keeps one root iterator instead of
// building one per call.
icu::BreakIterator& characterIterator() {
    thread_local std::unique_ptr<icu::BreakIterator> iterator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::BreakIterator> made(
            icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
        Q_ASSERT_X(U_SUCCESS(status) && made, "Graphemes", "ICU lacks its break rules");
        return made;
    }();
    return *iterator;
}

} // namespace

namespace Graphemes {

int count(const QString& text) {
    const icu::UnicodeString unicode = toIcu(text);
    icu::BreakIterator& iterator = characterIterator();
    iterator.setText(unicode);
    int graphemes = 0;
    for (int32_t at = iterator.next(); at != icu::BreakIterator::DONE; at = iterator.next())
        ++graphemes;
    return graphemes;
}

QStringList clusters(const QString& text) {
    const icu::UnicodeString unicode = toIcu(text);
    icu::BreakIterator& iterator = characterIterator();
    iterator.setText(unicode);
    QStringList graphemes;
    int32_t start = iterator.first();
    for (int32_t end = iterator.next(); end != icu::BreakIterator::DONE; end = iterator.next()) {
        graphemes.append(text.sliced(start, end - start));
        start = end;
    }
    return graphemes;
}

QString upperCaseFirst(const QString& text, const icu::Locale& locale) {
    if (text.isEmpty())
        return text;
    const icu::UnicodeString unicode = toIcu(text);
    icu::BreakIterator& iterator = characterIterator();
    iterator.setText(unicode);
    const int32_t end = iterator.next();
    icu::UnicodeString first(unicode, 0, end);
    return fromIcu(first.toUpper(locale)) + text.mid(end);
}

} // namespace Graphemes
