#include "settings/PreferenceCoding.h"

#include "platform/Integers.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace {

std::optional<QVariant> canonicalList(const QVariantList& list) {
    QVariantList result;
    result.reserve(list.size());
    for (const QVariant& element : list) {
        auto value = PreferenceCoding::canonical(element);
        if (!value)
            return std::nullopt;
        result.append(*value);
    }
    return result;
}

std::optional<QVariant> canonicalMap(const QVariantMap& map) {
    QVariantMap result;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        auto value = PreferenceCoding::canonical(it.value());
        if (!value)
            return std::nullopt;
        result.insert(it.key(), *value);
    }
    return result;
}

// Dates are written in UTC with a four-digit year. A date whose UTC year falls outside 1 to
// 9999 (the first or last hours of that range given with an offset) has no such form: Qt
// writes it as an empty string, and the file would then fail to read back as a whole.
std::optional<QDateTime> writableDate(const QDateTime& date) {
    if (!date.isValid())
        return std::nullopt;
    const QDateTime utc = date.toUTC();
    const int year = utc.date().year();
    if (year < 1 || year > 9999)
        return std::nullopt;
    return utc;
}

std::optional<QDateTime> parseDate(const QString& text) {
    return writableDate(QDateTime::fromString(text, Qt::ISODateWithMs));
}

std::optional<QVariant> decodeList(const QJsonValue& json) {
    if (!json.isArray())
        return std::nullopt;
    QVariantList list;
    for (const auto& element : json.toArray()) {
        auto value = PreferenceCoding::decode(element);
        if (!value)
            return std::nullopt;
        list.append(*value);
    }
    return list;
}

std::optional<QVariant> decodeMap(const QJsonValue& json) {
    if (!json.isObject())
        return std::nullopt;
    const QJsonObject object = json.toObject();
    QVariantMap map;
    for (auto it = object.begin(); it != object.end(); ++it) {
        auto value = PreferenceCoding::decode(it.value());
        if (!value)
            return std::nullopt;
        map.insert(it.key(), *value);
    }
    return map;
}

} // namespace

namespace PreferenceCoding {

std::optional<QVariant> canonical(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return QVariant(value.toLongLong());
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        if (value.toULongLong() > quint64(std::numeric_limits<qint64>::max()))
            return std::nullopt;
        return QVariant(value.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        if (!std::isfinite(value.toDouble()))
            return std::nullopt; // JSON has no NaN or infinity
        return QVariant(value.toDouble());
    case QMetaType::QString:
    case QMetaType::QByteArray:
        return value;
    case QMetaType::QDateTime:
        if (const auto date = writableDate(value.toDateTime()))
            return QVariant(*date);
        return std::nullopt;
    case QMetaType::QVariantList:
    case QMetaType::QStringList:
        return canonicalList(value.toList());
    case QMetaType::QVariantMap:
    case QMetaType::QVariantHash:
        return canonicalMap(value.toMap());
    default:
        return std::nullopt;
    }
}

QJsonValue encode(const QVariant& value) {
    QJsonObject tagged;
    switch (value.typeId()) {
    case QMetaType::Bool:
        tagged["bool"] = value.toBool();
        break;
    case QMetaType::LongLong:
        tagged["int"] = value.toLongLong();
        break;
    case QMetaType::Double:
        tagged["real"] = value.toDouble();
        break;
    case QMetaType::QString:
        tagged["string"] = value.toString();
        break;
    case QMetaType::QByteArray:
        tagged["data"] = QString::fromLatin1(value.toByteArray().toBase64());
        break;
    case QMetaType::QDateTime:
        tagged["date"] = value.toDateTime().toUTC().toString(Qt::ISODateWithMs);
        break;
    case QMetaType::QVariantList: {
        QJsonArray array;
        for (const QVariant& element : value.toList())
            array.append(encode(element));
        tagged["array"] = array;
        break;
    }
    case QMetaType::QVariantMap: {
        QJsonObject object;
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            object.insert(it.key(), encode(it.value()));
        tagged["dict"] = object;
        break;
    }
    default:
        break;
    }
    return tagged;
}

std::optional<QVariant> decode(const QJsonValue& json) {
    if (!json.isObject() || json.toObject().size() != 1)
        return std::nullopt;
    const QJsonObject object = json.toObject();
    const QString tag = object.begin().key();
    const QJsonValue inner = object.begin().value();
    if (tag == "bool" && inner.isBool())
        return QVariant(inner.toBool());
    if (tag == "int") {
        // A JSON integer arrives as a qint64, exact even beyond 2^53; "7.0" as a real.
        const auto number = Integers::exact(inner.toVariant());
        return number ? std::optional<QVariant>(*number) : std::nullopt;
    }
    if (tag == "real" && inner.isDouble())
        return QVariant(inner.toDouble());
    if (tag == "string" && inner.isString())
        return QVariant(inner.toString());
    if (tag == "data" && inner.isString()) {
        auto bytes = QByteArray::fromBase64Encoding(inner.toString().toLatin1(),
                                                    QByteArray::AbortOnBase64DecodingErrors);
        if (!bytes)
            return std::nullopt;
        return QVariant(*bytes);
    }
    if (tag == "date" && inner.isString()) {
        auto date = parseDate(inner.toString());
        if (!date)
            return std::nullopt;
        return QVariant(*date);
    }
    if (tag == "array")
        return decodeList(inner);
    if (tag == "dict")
        return decodeMap(inner);
    return std::nullopt;
}

QByteArray encodeDomain(const QVariantMap& values) {
    QJsonObject object;
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        object.insert(it.key(), encode(it.value()));
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

std::optional<QVariantMap> decodeDomain(const QByteArray& bytes) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    auto map = decodeMap(document.object());
    if (!map)
        return std::nullopt;
    return map->toMap();
}

} // namespace PreferenceCoding
