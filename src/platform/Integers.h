#pragma once

#include <QVariant>

#include <optional>

// Reading integers out of values that may arrive as reals (JSON numbers, stored settings).
// A real converts only when it lies inside the 64-bit range; outside it the conversion would
// be undefined behaviour.
namespace Integers {

// The value as a whole number: an integer, or a real without fraction; absent otherwise.
std::optional<qint64> exact(const QVariant& value);
// The real truncated toward zero; 0 when it is not finite or lies outside the 64-bit range.
qint64 truncated(double value);

} // namespace Integers
