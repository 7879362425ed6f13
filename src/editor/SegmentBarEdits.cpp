#include "editor/SegmentBarEdits.h"

#include <algorithm>

namespace SegmentBarEdits {

Edit moved(QList<MenuBarPart> parts, int source, int target) {
    const MenuBarPart part = parts.takeAt(source);
    const int destination = std::min(source < target ? target - 1 : target, int(parts.size()));
    parts.insert(destination, part);
    return {parts, destination};
}

Edit chipDroppedOnto(QList<MenuBarPart> parts, SegmentBarLayout::Hit onto, const Chip& chip) {
    QString& text = parts[onto.index].text;
    text = onto.half == SegmentBarLayout::Half::right ? text + chip.appendedTemplate(text)
                                                      : prependedTemplate(chip, text);
    return {parts, onto.index};
}

Edit chipInserted(QList<MenuBarPart> parts, int position, const Chip& chip) {
    position = std::min(position, int(parts.size()));
    MenuBarPart part;
    part.text = chip.templateForm();
    parts.insert(position, part);
    return {parts, position};
}

std::optional<QList<MenuBarPart>> removed(QList<MenuBarPart> parts, int index) {
    if (parts.size() < 2 || index < 0 || index >= parts.size())
        return std::nullopt;
    parts.removeAt(index);
    return parts;
}

QString prependedTemplate(const Chip& chip, const QString& existing) {
    const QString piece = chip.templateForm();
    if (chip.isTextChip() || existing.isEmpty() || existing.startsWith(u' '))
        return piece + existing;
    return piece + u' ' + existing;
}

} // namespace SegmentBarEdits
