#pragma once

#include <QApplication>
#include <QDropEvent>
#include <QHelpEvent>
#include <QMimeData>
#include <QWidget>

#include <gtest/gtest.h>

// Events sent straight to a widget, for what QTest cannot send: a move with the button held, a
// drag's events from inside a drag, a tool tip, a wheel with Ctrl.

// A press or double click holds `button`, a move keeps it held, a release lets go of it. The
// target is a widget or a window.
template <typename Target>
void sendMouse(Target& widget, QEvent::Type type, const QPointF& at,
               Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers keys = {}) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent event(type, at, widget.mapToGlobal(at),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, keys);
    QApplication::sendEvent(&widget, &event);
}

template <typename Target>
void pressMoveRelease(Target& widget, const QPointF& from, const QPointF& by,
                      Qt::KeyboardModifiers keys = {}) {
    sendMouse(widget, QEvent::MouseButtonPress, from, Qt::LeftButton, keys);
    sendMouse(widget, QEvent::MouseMove, from + by, Qt::LeftButton, keys);
    sendMouse(widget, QEvent::MouseButtonRelease, from + by, Qt::LeftButton, keys);
}

// Whether the widget took the key; one it ignores goes on to its parent.
inline bool sendKey(QWidget& widget, int key, Qt::KeyboardModifiers keys = {}) {
    QKeyEvent event(QEvent::KeyPress, key, keys);
    QApplication::sendEvent(&widget, &event);
    return event.isAccepted();
}

inline void askToolTip(QWidget& widget, const QPointF& at) {
    QHelpEvent event(QEvent::ToolTip, at.toPoint(), widget.mapToGlobal(at.toPoint()));
    QApplication::sendEvent(&widget, &event);
}

// `delta` in eighths of a degree: 120 is one notch away from the user. The target is a widget
// or a window.
template <typename Target>
void sendWheel(Target& widget, int delta, Qt::KeyboardModifiers keys = {},
               const QPointF& at = QPointF(5, 5)) {
    QWheelEvent event(at, widget.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, keys,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&widget, &event);
}

// The action a drag carrying `data` is answered with as it enters and moves to `at`;
// IgnoreAction when refused.
inline Qt::DropAction hoverDrag(QWidget& target, const QPointF& at, const QMimeData& data) {
    const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(at.toPoint(), offered, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&target, &enter);
    QDragMoveEvent move(at.toPoint(), offered, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&target, &move);
    EXPECT_EQ(enter.isAccepted(), move.isAccepted()) << "the enter and the move disagree";
    return move.isAccepted() ? move.dropAction() : Qt::IgnoreAction;
}

struct DragAnswer {
    Qt::DropAction hovered, dropped;
    bool refused() const { return hovered == Qt::IgnoreAction && dropped == Qt::IgnoreAction; }
};

// Qt delivers a drop only to the widget that took the drag's last move, so the drag hovers
// there first, by default with what it drops.
inline DragAnswer dropDrag(QWidget& target, const QPointF& at, const QMimeData& data,
                           const QMimeData* hovering = nullptr) {
    const Qt::DropAction hovered = hoverDrag(target, at, hovering ? *hovering : data);
    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&target, &drop);
    return {hovered, drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction};
}
