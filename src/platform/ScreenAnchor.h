#pragma once

#include <QPoint>
#include <QPointer>
#include <QWidget>

#include <optional>

// Where a popup opens from: under a widget (an item of the application's own bar), at a point
// of the screen (where the desktop's panel says its item was clicked; the panel gives no
// frame), or, with neither, wherever the popup opens by default.
struct ScreenAnchor {
    ScreenAnchor() = default;
    ScreenAnchor(QWidget* widget) : widget(widget) {}
    ScreenAnchor(const QPoint& point) : point(point) {}

    QPointer<QWidget> widget;
    std::optional<QPoint> point;
};
