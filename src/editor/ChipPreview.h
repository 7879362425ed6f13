#pragma once

#include "model/Chip.h"
#include "model/MenuBarItem.h"
#include "model/MenuBarLayout.h"

#include <QDateTime>
#include <QString>

#include <optional>

// What the editor shows for chips, list rows and presets: live values of the selected item,
// rendered with its zone and language or with those of one of its parts.
namespace ChipPreview {

// A token's value (its name in braces when it has none), with its caption after a middle dot
// when asked and the token has one; a fragment rendered; literal text as it is. The values
// are those of `part` of the item's working parts, when it names one, else of the item.
QString chipLabel(const Chip& chip, const MenuBarItem& item, std::optional<int> part, bool caption,
                  const QDateTime& now);
// What a chip stands for: a fragment without its braces, a token's description, literal
// text itself, or how many spaces a chip of spaces holds. Absent for an unknown token.
std::optional<QString> chipTooltip(const Chip& chip);
// The item's text trimmed of spaces and tabs, or the icon-only title when nothing is left.
QString rowText(const MenuBarItem& item, const QDateTime& now);
// The item as the preset would make it, rendered; the icon-only title for a preset of no
// parts.
QString presetTitle(const MenuBarItem& item, const MenuBarLayout::Preset& preset,
                    const QDateTime& now);

} // namespace ChipPreview
