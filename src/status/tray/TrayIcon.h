#pragma once

#include "settings/Settings.h"

#include <QDate>
#include <QImage>
#include <QString>

#include <optional>

// The icon of a status item in the desktop's panel, for the panels that show an icon and no
// text: a calendar page with today's day number on it, or with the page's day dots when the
// icon format asks for the icon only. Panels show pixel icons as they are, on light panels
// and dark ones alike, so the page is white with a blue band and dark figures rather than a
// template in one colour.
namespace TrayIcon {

// The day the icon shows for `format`: today's day of the month for the day and weekday-and-
// day formats, none for the icon only.
std::optional<int> dayFor(CalIconFormat format, const QDate& today);

// The icon `pixels` square, at a device pixel ratio of 1.
QImage image(int pixels, std::optional<int> day);

// Some panels show an item's icon only by name, looked up in the icon theme. The same pictures
// are a theme of their own: "vesperin-day-<day>" for a day's page, "vesperin-calendar" for the
// page without one, at these sizes in the hicolor theme's status folders.
inline constexpr int themeSizes[] = {16, 22, 24, 32, 48};
QString name(std::optional<int> day);
// Writes the named icon of `day` at every size into the hicolor theme under `root`, and the
// theme's index beside it. False when a file cannot be written.
bool writeTheme(const QString& root, std::optional<int> day);

} // namespace TrayIcon
