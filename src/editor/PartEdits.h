#pragma once

#include "model/Chip.h"
#include "model/MenuBarItem.h"
#include "model/MenuBarLayout.h"

#include <optional>

// What the item editor does to the selected item, as pure functions. They work on the item's
// working parts (its stored parts, or the one part its template makes) and write the whole
// list back into its parts, so an edited single-template item becomes an item of parts; its
// template, zone and language stay as they were. An edit that cannot apply gives nothing.
namespace PartEdits {

// The most parts the editor's own button makes an item have.
inline constexpr int maximumParts = 6;

MenuBarItem withParts(MenuBarItem item, const QList<MenuBarPart>& parts);

// The part that a palette chip previews against and is appended to: the part open for
// editing, else the segment selected in the bar, else the last part; absent without parts.
std::optional<int> targetPart(std::optional<int> editingPart, std::optional<int> barSelected,
                              int partCount);

struct Appended {
    MenuBarItem item;
    int part = 0;
};
// The chip appended to the target part, with a space before it unless the chip is literal
// text or the part is empty or already ends with a space.
Appended chipAppended(const MenuBarItem& item, std::optional<int> editingPart,
                      std::optional<int> barSelected, const Chip& chip);
// A part "{HH}:{min}" added at the end; absent once the item has the most parts.
std::optional<MenuBarItem> partAdded(const MenuBarItem& item);
// The preset's parts and separator; a preset without parts leaves one empty part.
MenuBarItem presetApplied(MenuBarItem item, const MenuBarLayout::Preset& preset);
// Also turns an item without stored parts into an item of one part.
MenuBarItem separatorSet(MenuBarItem item, const QString& separator);

// The part's template; absent when there is no such part.
std::optional<MenuBarItem> partTextSet(const MenuBarItem& item, int part, const QString& text);
// The part's zone or language (absent: the item's); absent when there is no such part or
// it already has that value.
std::optional<MenuBarItem> partZoneSet(const MenuBarItem& item, int part,
                                       const std::optional<QString>& zoneID);
std::optional<MenuBarItem> partLanguageSet(const MenuBarItem& item, int part,
                                           const std::optional<QString>& localeID);
// Without that stored part; absent when the item has fewer than two stored parts, since its
// last part cannot go.
std::optional<MenuBarItem> partRemoved(MenuBarItem item, int part);

// The bar's selection after the item changed: kept, but never past its last part.
std::optional<int> clampedSegment(std::optional<int> selected, const MenuBarItem& item);

} // namespace PartEdits
