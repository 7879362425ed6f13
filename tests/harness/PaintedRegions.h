#pragma once

#include <QEvent>
#include <QObject>
#include <QPaintEvent>
#include <QRegion>

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
