#pragma once

#include "model/MenuBarItem.h"
#include "model/Places.h"

#include <QDateTime>
#include <QHash>
#include <QList>

#include <optional>

// Turns menu-bar items into the text the status items show. A template is plain text with
// tokens in braces ("{HH}", "{weekday}", "{flag}" ...), replaced by parts of the date, and
// blocks in brackets ("[Asia/Tokyo#ja|{weekday}]") that render their content in another zone
// and/or language. Formatters are cached per (language, zone) and shared; a mutex keeps two
// threads from using one at the same time.
namespace MenuBarRenderer {

struct Token {
    QString name;
    QString descriptionKey; // "token." + name, a key of the string tables
};

// The 22 token names in the order the editor offers them.
const QList<Token>& tokens();
// Token name -> date pattern of Unicode TR35, for the 19 tokens a date formatter gives.
const QHash<QString, QString>& patterns();

// The item's text at the instant: its effective parts rendered one by one and joined with
// its effective separator.
QString render(const MenuBarItem& item, const QDateTime& at);
// One part, with the part's zone and language or else the item's.
QString render(const MenuBarPart& part, const MenuBarItem& item, const QDateTime& at);
// The value of one token name in the item's zone and language: the exact name, else its
// lower-case form with a capital first letter; absent when neither is a token.
std::optional<QString> value(const QString& tokenName, const MenuBarItem& item,
                             const QDateTime& date);

// Whether some effective part of the items shows seconds ("{sec}", also spelt "{Sec}" ...), or
// any time of day.
bool usesSeconds(const QList<MenuBarItem>& items);
bool usesTime(const QList<MenuBarItem>& items);

// Forgets every cached formatter, so the next render sees a new zone, locale or clock.
void resetCache();

using Places::cityName;
using Places::flag;

} // namespace MenuBarRenderer
