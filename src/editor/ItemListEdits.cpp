#include "editor/ItemListEdits.h"

#include <utility>

namespace ItemListEdits {

MenuBarItem newItem() {
    MenuBarItem item = blankItem();
    item.parts = QList<MenuBarPart>{{QStringLiteral("{HH}:{min}")}};
    return item;
}

MenuBarItem blankItem() {
    return MenuBarItem{QUuid::createUuid(), true, QString()};
}

int selectionFor(int previous, int count) {
    if (previous >= 0 && previous < count)
        return previous;
    return count > 0 ? 0 : -1;
}

ItemList added(ItemList list) {
    list.items.append(newItem());
    list.selected = int(list.items.size()) - 1;
    return list;
}

std::optional<ItemList> removed(ItemList list) {
    if (!list.hasSelection())
        return std::nullopt;
    list.items.removeAt(list.selected);
    list.selected = std::min(int(list.items.size()) - 1, list.selected);
    return list;
}

std::optional<ItemList> duplicated(ItemList list) {
    if (!list.hasSelection())
        return std::nullopt;
    MenuBarItem copy = list.items[list.selected];
    copy.id = QUuid::createUuid();
    list.items.insert(++list.selected, copy);
    return list;
}

std::optional<ItemList> movedUp(ItemList list) {
    if (!list.hasSelection() || list.selected < 1)
        return std::nullopt;
    list.items.swapItemsAt(list.selected, list.selected - 1);
    --list.selected;
    return list;
}

std::optional<ItemList> movedDown(ItemList list) {
    if (!list.hasSelection() || list.selected >= list.items.size() - 1)
        return std::nullopt;
    list.items.swapItemsAt(list.selected, list.selected + 1);
    ++list.selected;
    return list;
}

std::optional<ItemList> enabledSet(ItemList list, bool enabled) {
    if (!list.hasSelection())
        return std::nullopt;
    list.items[list.selected].enabled = enabled;
    return list;
}

} // namespace ItemListEdits
