#pragma once

#include "editor/ChipPayload.h"
#include "model/Chip.h"

#include <QList>

#include <optional>

// What a chip dropped on a strip does to the strip's chips: a chip of the strip itself moves to
// the insertion index; a chip from elsewhere is inserted there, a palette's ready-made fragment
// as the chips it is made of.
namespace ChipDrop {

struct Result {
    QList<Chip> chips;
    // The moved chip, or the last one inserted.
    qsizetype selected = 0;

    bool operator==(const Result&) const = default;
};

// Absent when the drop changes nothing it should: a move naming a chip the strip does not
// have, or a fragment without any chip.
std::optional<Result> apply(const QList<Chip>& chips, const ChipPayload::Payload& payload,
                            bool fromSelf, qsizetype at);

} // namespace ChipDrop
