#pragma once

#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QWindow>

#include <optional>

class QScreen;
class QWidget;

// Where a popup opens from: under a widget, or under an item drawn inside a window (an item of
// the application's own bar), at a point of the screen (where the desktop's panel says its
// item was clicked; the panel gives no frame), or, with none of these, wherever the popup
// opens by default.
struct ScreenAnchor {
    ScreenAnchor() = default;
    ScreenAnchor(QWidget* widget);
    // `frame` is in the window's coordinates; `source` is the item drawn there.
    ScreenAnchor(QObject* source, QWindow* window, const QRect& frame)
        : source(source), window(window), frame(frame) {}
    ScreenAnchor(const QPoint& point) : point(point) {}

    // What the anchor hangs from: the widget, or the item drawn in `window`.
    QPointer<QObject> source;
    QPointer<QWindow> window;
    QRect frame;
    std::optional<QPoint> point;

    // Where the widget or the item is on the screen while it shows; absent otherwise.
    std::optional<QRect> shownFrame() const;
    // The screen it shows on, if any.
    QScreen* screen() const;
};
