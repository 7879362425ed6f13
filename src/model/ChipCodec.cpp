#include "model/ChipCodec.h"

#include "model/TemplateSyntax.h"

namespace {

// Literal text cut into alternating runs of spaces (U+0020 only) and of everything else.
void appendTextChips(const QString& literal, QList<Chip>& chips) {
    qsizetype runStart = 0;
    for (qsizetype i = 1; i <= literal.size(); ++i) {
        const bool runEnds =
            i == literal.size() || (literal.at(i) == u' ') != (literal.at(runStart) == u' ');
        if (runEnds) {
            chips.append(Chip::text(literal.sliced(runStart, i - runStart)));
            runStart = i;
        }
    }
}

} // namespace

namespace ChipCodec {

QString templateFrom(const QList<Chip>& chips) {
    QString text;
    for (const Chip& chip : chips)
        text += chip.templateForm();
    return text;
}

QList<Chip> chipsFrom(const QString& text) {
    QList<Chip> chips;
    qsizetype from = 0;
    for (const TemplateSyntax::TokenMatch& match : TemplateSyntax::tokenMatches(text)) {
        appendTextChips(text.sliced(from, match.start - from), chips);
        chips.append(Chip::token(match.name));
        from = match.end;
    }
    appendTextChips(text.sliced(from), chips);
    return chips;
}

} // namespace ChipCodec
