#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QUuid>

#include <optional>

// One part of a menu-bar item: a small template with an optional zone and language of its own.
struct MenuBarPart {
    QString text;
    std::optional<QString> timeZoneID = std::nullopt; // absent: the item's zone
    std::optional<QString> localeID = std::nullopt;   // absent: the item's language

    bool operator==(const MenuBarPart&) const = default;

    QJsonObject toJson() const;
    // Absent when a required member is missing or any member has the wrong type.
    static std::optional<MenuBarPart> fromJson(const QJsonValue& json);
};

// One status item as the user designed it.
struct MenuBarItem {
    QUuid id;
    bool enabled = true;
    QString templateText; // the single template of the older one-part form; JSON "template"
    std::optional<QString> timeZoneID = std::nullopt;
    std::optional<QString> localeID = std::nullopt;
    std::optional<QList<MenuBarPart>> parts = std::nullopt;
    std::optional<QString> separator = std::nullopt;

    bool operator==(const MenuBarItem&) const = default;

    // The stored parts when there are any, else one part made of the template, zone and
    // language of the item.
    QList<MenuBarPart> effectiveParts() const;
    // The stored separator, even an empty one; two spaces when absent.
    QString effectiveSeparator() const;
    // The item's zone when the system knows it, else the current zone.
    QString timeZone() const;
    // The item's language, unchecked, else the current locale.
    QString locale() const;

    QJsonObject toJson() const;
    static std::optional<MenuBarItem> fromJson(const QJsonValue& json);
};

// The stored form of a whole layout: a JSON array of items. Decoding is all or nothing:
// one bad item makes the whole array undecodable.
namespace MenuBarItemCoding {
QByteArray encode(const QList<MenuBarItem>& items);
std::optional<QList<MenuBarItem>> decode(const QByteArray& json);
// Upper-case hex with hyphens, no braces.
QString uuidText(const QUuid& id);
} // namespace MenuBarItemCoding
