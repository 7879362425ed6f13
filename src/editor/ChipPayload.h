#pragma once

#include "model/Chip.h"

#include <QString>

#include <optional>

// What a dragged chip carries between the editor's views: one string under a private MIME
// type, "<source strip id>|<index in the source>|<kind>:<chip>", the kind being "t" for a
// token (its name), "x" for text, "c" for a composite (its fragment). The chip's own string
// may hold "|" itself.
namespace ChipPayload {

inline constexpr const char* mimeType = "com.orvennalabs.vesperin.chip";

struct Payload {
    qint64 sourceId = 0;
    qint64 index = 0;
    Chip chip;

    bool operator==(const Payload&) const = default;
};

QString encode(const Payload& payload);
// Absent unless the text has exactly that form: two decimal integers, then a known kind.
std::optional<Payload> decode(const QString& text);

} // namespace ChipPayload
