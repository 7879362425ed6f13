#pragma once

#include "model/MenuBarItem.h"

#include <QList>

#include <optional>

// The editor's working copy of the layout and the row selected in its list, with the list
// operations as pure functions. Each operation gives the list after it, or nothing when its
// precondition fails: then nothing changes and nothing is saved.
struct ItemList {
    QList<MenuBarItem> items;
    int selected = -1; // -1: no row

    bool hasSelection() const { return selected >= 0 && selected < items.size(); }
    bool operator==(const ItemList&) const = default;
};

namespace ItemListEdits {

// A new item: enabled, one part "{HH}:{min}" in the item's zone and language.
MenuBarItem newItem();
// What the editor shows when no row is selected: enabled, empty, nothing else set.
MenuBarItem blankItem();

// The row to select when the window shows `count` items: the previous one while it still
// exists, else the first, else none.
int selectionFor(int previous, int count);

// The new item appended and selected.
ItemList added(ItemList list);
// The selected item gone; the selection stays at its row, or the last one.
std::optional<ItemList> removed(ItemList list);
// A copy of the selected item with an identifier of its own, inserted after it and selected.
std::optional<ItemList> duplicated(ItemList list);
std::optional<ItemList> movedUp(ItemList list);
std::optional<ItemList> movedDown(ItemList list);
std::optional<ItemList> enabledSet(ItemList list, bool enabled);

} // namespace ItemListEdits
