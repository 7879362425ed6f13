#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QPaintEvent>
#include <QRegion>

#include <functional>

// Collects the regions a widget paints from its creation on, for tests of what is drawn again.
class PaintedRegions : public QObject {
public:
    explicit PaintedRegions(QObject& widget) { widget.installEventFilter(this); }

    QRegion painted;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent*>(event)->region();
        return QObject::eventFilter(watched, event);
    }
};

// What `change` has the widget paint again, once the event loop has run.
inline QRegion repaintedBy(QObject& widget, const std::function<void()>& change) {
    PaintedRegions regions(widget);
    change();
    QCoreApplication::processEvents();
    return regions.painted;
}
