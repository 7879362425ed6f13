#include "editor/PartEdits.h"

#include <algorithm>

namespace PartEdits {

namespace {

template <typename Change>
std::optional<MenuBarItem> partChanged(const MenuBarItem& item, int part, Change&& change) {
    QList<MenuBarPart> parts = item.effectiveParts();
    if (part < 0 || part >= parts.size())
        return std::nullopt;
    change(parts[part]);
    return withParts(item, parts);
}

// Nothing to save when the part already has the value.
std::optional<MenuBarItem> fieldSet(const MenuBarItem& item, int part,
                                    std::optional<QString> MenuBarPart::*field,
                                    const std::optional<QString>& value) {
    const QList<MenuBarPart> parts = item.effectiveParts();
    if (part >= 0 && part < parts.size() && parts[part].*field == value)
        return std::nullopt;
    return partChanged(item, part, [&](MenuBarPart& changed) { changed.*field = value; });
}

} // namespace

MenuBarItem withParts(MenuBarItem item, const QList<MenuBarPart>& parts) {
    item.parts = parts;
    return item;
}

std::optional<int> targetPart(std::optional<int> editingPart, std::optional<int> barSelected,
                              int partCount) {
    if (partCount <= 0)
        return std::nullopt;
    const int target = editingPart.value_or(barSelected.value_or(partCount - 1));
    return std::clamp(target, 0, partCount - 1);
}

Appended chipAppended(const MenuBarItem& item, std::optional<int> editingPart,
                      std::optional<int> barSelected, const Chip& chip) {
    QList<MenuBarPart> parts = item.effectiveParts();
    const int index = *targetPart(editingPart, barSelected, int(parts.size()));
    parts[index].text += chip.appendedTemplate(parts[index].text);
    return {withParts(item, parts), index};
}

std::optional<MenuBarItem> partAdded(const MenuBarItem& item) {
    QList<MenuBarPart> parts = item.effectiveParts();
    if (parts.size() >= maximumParts)
        return std::nullopt;
    parts.append({QStringLiteral("{HH}:{min}")});
    return withParts(item, parts);
}

MenuBarItem presetApplied(MenuBarItem item, const MenuBarLayout::Preset& preset) {
    item.parts = preset.parts.isEmpty() ? QList<MenuBarPart>{{QString()}} : preset.parts;
    item.separator = preset.separator;
    return item;
}

MenuBarItem separatorSet(MenuBarItem item, const QString& separator) {
    item.separator = separator;
    if (!item.parts)
        item.parts = item.effectiveParts();
    return item;
}

std::optional<MenuBarItem> partTextSet(const MenuBarItem& item, int part, const QString& text) {
    return partChanged(item, part, [&](MenuBarPart& changed) { changed.text = text; });
}

std::optional<MenuBarItem> partZoneSet(const MenuBarItem& item, int part,
                                       const std::optional<QString>& zoneID) {
    return fieldSet(item, part, &MenuBarPart::timeZoneID, zoneID);
}

std::optional<MenuBarItem> partLanguageSet(const MenuBarItem& item, int part,
                                           const std::optional<QString>& localeID) {
    return fieldSet(item, part, &MenuBarPart::localeID, localeID);
}

std::optional<MenuBarItem> partRemoved(MenuBarItem item, int part) {
    if (!item.parts || item.parts->size() < 2 || part < 0 || part >= item.parts->size())
        return std::nullopt;
    item.parts->removeAt(part);
    return item;
}

std::optional<int> clampedSegment(std::optional<int> selected, const MenuBarItem& item) {
    if (!selected)
        return std::nullopt;
    return std::min(*selected, int(item.effectiveParts().size()) - 1);
}

} // namespace PartEdits
