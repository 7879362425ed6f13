#include "editor/ChipDrop.h"

#include "model/ChipCodec.h"

#include <algorithm>

namespace ChipDrop {

std::optional<Result> apply(const QList<Chip>& chips, const ChipPayload::Payload& payload,
                            bool fromSelf, qsizetype at) {
    QList<Chip> result = chips;
    at = std::clamp<qsizetype>(at, 0, chips.size());
    if (fromSelf) {
        if (payload.index >= chips.size())
            return std::nullopt;
        const qsizetype from = qsizetype(payload.index);
        // Taking the chip out first shifts every later index down by one.
        const qsizetype destination = from < at ? at - 1 : at;
        result.move(from, destination);
        return Result{result, destination};
    }
    const QList<Chip> inserted = payload.chip.kind == Chip::Kind::composite
                                     ? ChipCodec::chipsFrom(payload.chip.value)
                                     : QList<Chip>{payload.chip};
    if (inserted.isEmpty())
        return std::nullopt;
    for (qsizetype i = 0; i < inserted.size(); ++i)
        result.insert(at + i, inserted[i]);
    return Result{result, at + inserted.size() - 1};
}

} // namespace ChipDrop
