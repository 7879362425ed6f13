#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QPaintEvent>
#include <QRegion>

#include <functional>

// What `change` has the widget paint again, once the event loop has run.
inline QRegion repaintedBy(QObject& widget, const std::function<void()>& change) {
    struct Collector : QObject {
        QRegion painted;
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::Paint)
                painted += static_cast<QPaintEvent*>(event)->region();
            return QObject::eventFilter(watched, event);
        }
    } collector;
    widget.installEventFilter(&collector);
    change();
    QCoreApplication::processEvents();
    return collector.painted;
}
