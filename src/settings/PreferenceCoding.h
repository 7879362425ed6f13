#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QVariant>

#include <optional>

// The file form of preference values. JSON alone cannot tell an integer from a real, nor
// carry bytes or dates, so every value is written as an object with one member whose name
// is its type: {"bool": true}, {"int": 7}, {"real": 0.5}, {"string": "..."},
// {"data": "<base64>"}, {"date": "<ISO 8601, UTC, milliseconds>"}, {"array": [...]},
// {"dict": {...}}. Arrays and dictionaries hold tagged values in turn.
namespace PreferenceCoding {

// In memory, values are QVariants of exactly these types: bool, qint64, double, QString,
// QByteArray, QDateTime (UTC), QVariantList and QVariantMap.
//
// Returns the value in that canonical form (an int becomes a qint64, a date is moved to UTC,
// nested values likewise), or absent when it, or anything inside it, cannot be stored (NaN,
// infinities, invalid dates and dates outside the years 1 to 9999 in UTC, other types).
std::optional<QVariant> canonical(const QVariant& value);

// Encodes a canonical value. The result is meaningless for values canonical() refuses.
QJsonValue encode(const QVariant& value);

// Decodes a tagged value; absent when it is not exactly one of the forms above or holds a
// value canonical() refuses.
std::optional<QVariant> decode(const QJsonValue& json);

// A whole domain: one JSON object of key to tagged value.
QByteArray encodeDomain(const QVariantMap& values);
std::optional<QVariantMap> decodeDomain(const QByteArray& bytes);

} // namespace PreferenceCoding
