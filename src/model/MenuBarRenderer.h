#pragma once

#include "model/MenuBarItem.h"

#include <QDateTime>

// Turns menu-bar items into the text the status items show.
namespace MenuBarRenderer {

// The item's text at the instant: its effective parts rendered one by one and joined with
// its effective separator.
QString render(const MenuBarItem& item, const QDateTime& at);
// One part, with the part's zone and language or else the item's.
QString render(const MenuBarPart& part, const MenuBarItem& item, const QDateTime& at);

// Whether some effective part of the items shows seconds ("{sec}"), or any time of day.
bool usesSeconds(const QList<MenuBarItem>& items);
bool usesTime(const QList<MenuBarItem>& items);

// Forgets every cached formatter, so the next render sees a new zone, locale or clock.
void resetCache();

} // namespace MenuBarRenderer
