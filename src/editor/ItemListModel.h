#pragma once

#include "model/MenuBarItem.h"
#include "ui/Appearance.h"

#include <QAbstractListModel>
#include <QDateTime>

#include <functional>

// The editor's list of menu-bar items: one row per item, showing its text as rendered now
// (the icon-only title when it is blank), disabled items in a fainter colour. The texts are
// rendered when the items change and at each refresh, which reports only the rows whose text
// changed, so a view repaints nothing else.
class ItemListModel : public QAbstractListModel {
    Q_OBJECT
public:
    static constexpr int rowHeight = 24;

    explicit ItemListModel(std::function<QDateTime()> now, QObject* parent = nullptr);

    // A new list: rows may have come, gone or moved.
    void setItems(const QList<MenuBarItem>& items);
    // One item changed in place.
    void setItem(int row, const MenuBarItem& item);
    // The clock moved on: every row's text again; the rows whose text changed are reported,
    // for their text only.
    void refreshTexts();
    void setAppearance(Appearance appearance);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    QString textOf(const MenuBarItem& item) const;

    std::function<QDateTime()> m_now;
    QList<MenuBarItem> m_items;
    QStringList m_texts;
    Appearance m_appearance = Appearance::light;
};
