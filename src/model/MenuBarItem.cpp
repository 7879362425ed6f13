#include "model/MenuBarItem.h"

#include "platform/SystemContext.h"

#include <QJsonDocument>

namespace {

// A member that may be missing or null (both mean absent) but, when present, must be text.
bool readOptionalText(const QJsonObject& object, const char* key, std::optional<QString>& out) {
    const QJsonValue value = object.value(QLatin1String(key));
    if (value.isUndefined() || value.isNull())
        return true;
    if (!value.isString())
        return false;
    out = value.toString();
    return true;
}

void writeOptionalText(QJsonObject& object, const char* key, const std::optional<QString>& value) {
    if (value)
        object.insert(QLatin1String(key), *value);
}

bool isAsciiHexDigit(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// Exactly 8-4-4-4-12 hexadecimal digits: QUuid::fromString alone also takes braces, and a
// regular expression here would load PCRE2 for every start.
bool isCanonicalUuid(const QString& text) {
    if (text.size() != 36)
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool hyphen = i == 8 || i == 13 || i == 18 || i == 23;
        if (hyphen ? text.at(i) != u'-' : !isAsciiHexDigit(text.at(i)))
            return false;
    }
    return true;
}

std::optional<QUuid> parseUuid(const QJsonValue& value) {
    if (!value.isString() || !isCanonicalUuid(value.toString()))
        return std::nullopt;
    return QUuid::fromString(value.toString());
}

bool readOptionalParts(const QJsonObject& object, std::optional<QList<MenuBarPart>>& out) {
    const QJsonValue value = object.value("parts");
    if (value.isUndefined() || value.isNull())
        return true;
    if (!value.isArray())
        return false;
    QList<MenuBarPart> parts;
    for (const auto& element : value.toArray()) {
        auto part = MenuBarPart::fromJson(element);
        if (!part)
            return false;
        parts.append(*part);
    }
    out = parts;
    return true;
}

} // namespace

QJsonObject MenuBarPart::toJson() const {
    QJsonObject object{{"text", text}};
    writeOptionalText(object, "timeZoneID", timeZoneID);
    writeOptionalText(object, "localeID", localeID);
    return object;
}

std::optional<MenuBarPart> MenuBarPart::fromJson(const QJsonValue& json) {
    const QJsonObject object = json.toObject();
    MenuBarPart part;
    if (!json.isObject() || !object.value("text").isString())
        return std::nullopt;
    part.text = object.value("text").toString();
    if (!readOptionalText(object, "timeZoneID", part.timeZoneID) ||
        !readOptionalText(object, "localeID", part.localeID))
        return std::nullopt;
    return part;
}

QList<MenuBarPart> MenuBarItem::effectiveParts() const {
    if (parts && !parts->isEmpty())
        return *parts;
    return {MenuBarPart{templateText, timeZoneID, localeID}};
}

QString MenuBarItem::effectiveSeparator() const {
    return separator.value_or(QStringLiteral("  "));
}

QString MenuBarItem::timeZone() const {
    if (timeZoneID && SystemContext::isKnownTimeZone(*timeZoneID))
        return *timeZoneID;
    return SystemContext::currentTimeZoneID();
}

QString MenuBarItem::locale() const {
    return localeID.value_or(SystemContext::currentLocaleID());
}

QJsonObject MenuBarItem::toJson() const {
    QJsonObject object{
        {"id", MenuBarItemCoding::uuidText(id)}, {"enabled", enabled}, {"template", templateText}};
    writeOptionalText(object, "timeZoneID", timeZoneID);
    writeOptionalText(object, "localeID", localeID);
    if (parts) {
        QJsonArray array;
        for (const MenuBarPart& part : *parts)
            array.append(part.toJson());
        object.insert("parts", array);
    }
    writeOptionalText(object, "separator", separator);
    return object;
}

std::optional<MenuBarItem> MenuBarItem::fromJson(const QJsonValue& json) {
    if (!json.isObject())
        return std::nullopt;
    const QJsonObject object = json.toObject();
    const auto id = parseUuid(object.value("id"));
    if (!id || !object.value("enabled").isBool() || !object.value("template").isString())
        return std::nullopt;
    MenuBarItem item;
    item.id = *id;
    item.enabled = object.value("enabled").toBool();
    item.templateText = object.value("template").toString();
    if (!readOptionalParts(object, item.parts) ||
        !readOptionalText(object, "timeZoneID", item.timeZoneID) ||
        !readOptionalText(object, "localeID", item.localeID) ||
        !readOptionalText(object, "separator", item.separator))
        return std::nullopt;
    return item;
}

namespace MenuBarItemCoding {

QByteArray encode(const QList<MenuBarItem>& items) {
    QJsonArray array;
    for (const MenuBarItem& item : items)
        array.append(item.toJson());
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

std::optional<QList<MenuBarItem>> decode(const QByteArray& json) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return std::nullopt;
    QList<MenuBarItem> items;
    for (const auto& element : document.array()) {
        auto item = MenuBarItem::fromJson(element);
        if (!item)
            return std::nullopt;
        items.append(*item);
    }
    return items;
}

QString uuidText(const QUuid& id) {
    return id.toString(QUuid::WithoutBraces).toUpper();
}

} // namespace MenuBarItemCoding
