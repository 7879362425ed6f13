// Feeds arbitrary UTF-16 (lone surrogates included) to the editor's chip codec.
#include "FuzzSupport.h"
#include "model/ChipCodec.h"

#include <algorithm>

namespace {

bool allSpaces(const QString& text) {
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c == u' '; });
}

bool noSpaces(const QString& text) {
    return !text.contains(u' ');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = Fuzz::utf16(data, size);
    const QList<Chip> chips = ChipCodec::chipsFrom(text);
    Fuzz::check(ChipCodec::templateFrom(chips) == text,
                "the chips of a template give the template back", text);

    // No chip is empty; text chips are whole runs: all spaces or none, and two runs of the
    // same kind are never split into neighbouring chips.
    for (qsizetype i = 0; i < chips.size(); ++i) {
        const Chip& chip = chips.at(i);
        Fuzz::check(chip.kind != Chip::Kind::composite, "no composite chip is decoded", text);
        Fuzz::check(!chip.value.isEmpty(), "no chip is empty", text);
        if (!chip.isTextChip())
            continue;
        Fuzz::check(allSpaces(chip.value) || noSpaces(chip.value),
                    "a text chip is a run of spaces or of other characters", chip.value);
        if (i > 0 && chips.at(i - 1).isTextChip())
            Fuzz::check(allSpaces(chips.at(i - 1).value) != allSpaces(chip.value),
                        "neighbouring text chips are runs of different kinds", text);
    }
    return 0;
}
