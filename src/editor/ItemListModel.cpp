#include "editor/ItemListModel.h"

#include "editor/ChipPreview.h"
#include "ui/DrawingHelpers.h"

#include <QSize>

ItemListModel::ItemListModel(std::function<QDateTime()> now, QObject* parent)
    : QAbstractListModel(parent), m_now(std::move(now)) {}

void ItemListModel::setItems(const QList<MenuBarItem>& items) {
    beginResetModel();
    m_items = items;
    m_texts.clear();
    for (const MenuBarItem& item : items)
        m_texts.append(textOf(item));
    endResetModel();
}

void ItemListModel::setItem(int row, const MenuBarItem& item) {
    if (row < 0 || row >= m_items.size())
        return;
    m_items[row] = item;
    m_texts[row] = textOf(item);
    Q_EMIT dataChanged(index(row), index(row));
}

void ItemListModel::refreshTexts() {
    for (int row = 0; row < m_items.size(); ++row) {
        QString text = textOf(m_items[row]);
        if (text != m_texts[row]) {
            m_texts[row] = std::move(text);
            Q_EMIT dataChanged(index(row), index(row), {Qt::DisplayRole});
        }
    }
}

QString ItemListModel::textOf(const MenuBarItem& item) const {
    return ChipPreview::rowText(item, m_now());
}

void ItemListModel::setAppearance(Appearance appearance) {
    if (appearance == m_appearance)
        return;
    m_appearance = appearance;
    if (!m_items.isEmpty())
        Q_EMIT dataChanged(index(0), index(int(m_items.size()) - 1), {Qt::ForegroundRole});
}

int ItemListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_items.size());
}

QVariant ItemListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_items.size())
        return {};
    const MenuBarItem& item = m_items[index.row()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return m_texts[index.row()];
    case Qt::FontRole:
        return systemFont(13, QFont::Normal);
    case Qt::ForegroundRole:
        return item.enabled ? Appearances::labelColor(m_appearance)
                            : Appearances::tertiaryLabelColor(m_appearance);
    case Qt::SizeHintRole:
        return QSize(0, rowHeight);
    default:
        return {};
    }
}
