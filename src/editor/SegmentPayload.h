#pragma once

#include <QByteArray>

#include <optional>

// What a dragged segment carries inside the segment bar: its index, in decimal, under a private
// MIME type.
namespace SegmentPayload {

inline constexpr const char* mimeType = "com.orvennalabs.vesperin.segment";

QByteArray encode(int index);
// Absent unless the bytes are only decimal digits naming an index below `count`.
std::optional<int> decode(const QByteArray& bytes, int count);

} // namespace SegmentPayload
