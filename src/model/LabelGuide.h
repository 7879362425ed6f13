#pragma once

#include "model/MenuBarItem.h"

#include <QString>

#include <functional>

// The widest text a menu-bar item can show, as a guide for a desktop panel that sizes a label
// once so that it does not change width with every second. The renderer is asked at instants
// chosen field by field, each render measured with `width` and the widest kept: first every
// day of `year` at noon (every weekday in every month, two-digit days, both sides of a summer
// time change), then, on the widest of those days, every hour, then every minute of the
// widest hour, then every second of the widest minute (the time steps only for items that
// show the time, or seconds). The fields of a date and of a time of day do not depend on each
// other, so this finds the widest text without trying every instant of the year; only an item
// whose blocks show other zones can be wider at an instant the steps pass over.
namespace LabelGuide {

using Width = std::function<qreal(const QString&)>;

QString widest(const MenuBarItem& item, int year, const Width& width);

} // namespace LabelGuide
