#pragma once

#include "editor/SegmentBarLayout.h"
#include "model/Chip.h"
#include "model/MenuBarItem.h"

#include <QList>

#include <optional>

// What the segment bar's gestures do to an item's parts, as pure functions: each takes the
// parts as they are and gives the parts after the gesture with the segment to select.
namespace SegmentBarEdits {

struct Edit {
    QList<MenuBarPart> parts;
    int selected = 0;

    bool operator==(const Edit&) const = default;
};

// The part at `source` dropped at insertion position `target` (0 to the count, counted with
// the part still in place).
Edit moved(QList<MenuBarPart> parts, int source, int target);
// A chip dropped onto segment `index`: the right half appends it as the editor's palette does,
// the left half puts it in front.
Edit chipDroppedOnto(QList<MenuBarPart> parts, SegmentBarLayout::Hit onto, const Chip& chip);
// A chip dropped between segments: a new part of its own, with the item's zone and language.
Edit chipInserted(QList<MenuBarPart> parts, int position, const Chip& chip);
// Without the part at `index`; absent when that would leave no part, or there is no such part.
std::optional<QList<MenuBarPart>> removed(QList<MenuBarPart> parts, int index);

// The chip's template form before `existing`, with a space between unless the chip is literal
// text or `existing` is empty or already starts with a space: the mirror of appending.
QString prependedTemplate(const Chip& chip, const QString& existing);

} // namespace SegmentBarEdits
