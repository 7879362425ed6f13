#include "editor/SegmentPayload.h"

#include <algorithm>

namespace SegmentPayload {

QByteArray encode(int index) {
    return QByteArray::number(index);
}

std::optional<int> decode(const QByteArray& bytes, int count) {
    const bool digits = !bytes.isEmpty() && std::all_of(bytes.begin(), bytes.end(), [](char c) {
        return c >= '0' && c <= '9';
    });
    bool fits = false;
    const int index = digits ? bytes.toInt(&fits) : 0;
    return fits && index < count ? std::optional(index) : std::nullopt;
}

} // namespace SegmentPayload
