#include "platform/Integers.h"

#include <cmath>

namespace {

// Just inside 2^63, so that the conversion to qint64 is always defined.
bool fitsInInteger(double value) {
    return std::isfinite(value) && std::fabs(value) < 9.2e18;
}

} // namespace

namespace Integers {

std::optional<qint64> exact(const QVariant& value) {
    if (value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Int)
        return value.toLongLong();
    if (value.typeId() != QMetaType::Double)
        return std::nullopt;
    const double number = value.toDouble();
    if (!fitsInInteger(number) || std::trunc(number) != number)
        return std::nullopt;
    return qint64(number);
}

qint64 truncated(double value) {
    return fitsInInteger(value) ? qint64(std::trunc(value)) : 0;
}

} // namespace Integers
