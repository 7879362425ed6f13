#pragma once

#include "ui/Appearance.h"

#include <QList>
#include <QWidget>

#include <optional>

class StatusItem;

// The application's own bar along the top of the primary screen's work area, in place of a
// system status bar: a frameless dock window under the desktop's own panels (never over
// another dock), whose strut keeps other windows clear of it, and which follows the work area
// when it changes. Items are
// laid out from the right edge; a new item goes to the left of those already there, unless
// its autosave name places it where it was before. Alt-dragging an item moves it, and the new
// order is remembered and announced (the owner keeps it across runs). The bar is shown while
// it has items.
class StatusBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int thickness = 24;

    explicit StatusBar(QWidget* parent = nullptr);
    ~StatusBar() override;

    StatusItem* addItem(qreal length);
    void removeItem(StatusItem* item);
    // Left to right.
    QList<StatusItem*> items() const { return m_items; }

    // Follows the desktop's palette unless forced (screenshots, tests).
    void setForcedAppearance(std::optional<Appearance> appearance);
    Appearance appearance() const;

    // Re-lays the items out; called by items whose width changed.
    void relayout();

    // Moves `item` to `index` (left to right) and remembers the order (the Alt-drag).
    void moveItem(StatusItem* item, int index);
    // The index an item dropped at x (bar coordinates) would take.
    int indexAt(int x) const;

    void placeNamedItem(StatusItem* item);

    // The autosave names in the order the user last left them, left to right; names not shown
    // now keep their place among the others.
    QStringList rememberedOrder() const { return m_rememberedOrder; }
    void setRememberedOrder(const QStringList& order);

Q_SIGNALS:
    // The user dragged an item: the new remembered order.
    void orderRemembered(const QStringList& order);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void updateVisibility();
    void applyAppearance();
    void fitToScreen();
    void rememberOrder();

    QList<StatusItem*> m_items;
    std::optional<Appearance> m_forcedAppearance;
    QStringList m_rememberedOrder;
    // The lower edge of the strip last reserved; kept while hidden, since the work area may
    // still count it.
    std::optional<int> m_strutBottom;
};
