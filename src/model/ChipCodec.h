#pragma once

#include "model/Chip.h"

#include <QList>

// Converts between a template and the chips the editor shows for it. Decoding is exact:
// templateFrom(chipsFrom(t)) == t for every string t.
namespace ChipCodec {

// The chips' template forms, concatenated.
QString templateFrom(const QList<Chip>& chips);
// One token chip per token and one text chip per run of spaces or of other characters in
// between. Blocks are not recognised, and no composite chip is ever produced.
QList<Chip> chipsFrom(const QString& text);

} // namespace ChipCodec
