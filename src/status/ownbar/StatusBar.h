#pragma once

#include "ui/Appearance.h"

#include <QBackingStore>
#include <QList>
#include <QPalette>
#include <QPointer>
#include <QRegion>
#include <QWindow>

#include <optional>

class StatusBarButton;
class StatusItem;

// The application's own bar along the top of the primary screen's work area, in place of a
// system status bar: a frameless dock window under the desktop's own panels (never over
// another dock), whose strut keeps other windows clear of it, and which follows the work area
// when it changes. Items are
// laid out from the right edge; a new item goes to the left of those already there, unless
// its autosave name places it where it was before. Alt-dragging an item moves it, and the new
// order is remembered and announced (the owner keeps it across runs). The bar is shown while
// it has items.
//
// It is a window with a backing store, not a widget: it draws its items itself and routes the
// pointer to them, so that a clock's tick repaints the changed characters without going
// through the widgets' event dispatch and repaint manager. What changed is drawn and flushed
// in the same turn of the event loop, so a tick wakes the process once.
class StatusBar : public QWindow {
    Q_OBJECT
public:
    static constexpr int thickness = 24;

    StatusBar();
    ~StatusBar() override;

    StatusItem* addItem(qreal length);
    void removeItem(StatusItem* item);
    // Left to right.
    QList<StatusItem*> items() const { return m_items; }

    // Follows the desktop's palette unless forced (screenshots, tests).
    void setForcedAppearance(std::optional<Appearance> appearance);
    Appearance appearance() const;
    // The colours the bar and its items are drawn in.
    const QPalette& palette() const { return m_palette; }

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

    // The whole bar as a full repaint draws it.
    QImage picture() const;

    // Has `area` of the bar (all of it without one) drawn again, once the current event has
    // been handled.
    void update(const QRect& area);
    void update();

Q_SIGNALS:
    // The user dragged an item: the new remembered order.
    void orderRemembered(const QStringList& order);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void exposeEvent(QExposeEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // Draws what is waiting to be drawn into the backing store and shows it.
    void paintWaiting();
    // Draws what of the bar lies in `area`.
    void paint(QPainter& painter, const QRect& area) const;
    StatusBarButton* buttonAt(const QPointF& point) const;
    // The event as the button at its point, or the button pressed, sees it.
    void route(QMouseEvent* event, StatusBarButton* button,
               void (StatusBarButton::*handler)(QMouseEvent*));
    void updateVisibility();
    void applyAppearance();
    void fitToScreen();
    void rememberOrder();

    QList<StatusItem*> m_items;
    std::optional<Appearance> m_forcedAppearance;
    QPalette m_palette;
    QBackingStore m_store{this};
    // What is to be drawn; while it is not empty, the event that draws it is on its way.
    QRegion m_waiting;
    // The button a press began on: the moves and the release go to it, as to a grabbing widget.
    QPointer<StatusBarButton> m_pressed;
    QStringList m_rememberedOrder;
    // The lower edge of the strip last reserved; kept while hidden, since the work area may
    // still count it.
    std::optional<int> m_strutBottom;
};
