#include "platform/ScreenAnchor.h"

#include <QWidget>

ScreenAnchor::ScreenAnchor(QWidget* widget) : source(widget) {}

std::optional<QRect> ScreenAnchor::shownFrame() const {
    if (const auto* widget = qobject_cast<const QWidget*>(source.data()))
        return widget->isVisible()
                   ? std::optional(QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size()))
                   : std::nullopt;
    if (source && window && window->isVisible())
        return QRect(window->mapToGlobal(frame.topLeft()), frame.size());
    return std::nullopt;
}

QScreen* ScreenAnchor::screen() const {
    if (const auto* widget = qobject_cast<const QWidget*>(source.data()))
        return widget->screen();
    return window ? window->screen() : nullptr;
}
