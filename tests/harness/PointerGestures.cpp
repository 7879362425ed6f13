#include "harness/PointerGestures.h"

#include "harness/VirtualDisplay.h"

#include <QApplication>
#include <QDrag>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <QWidget>

namespace {

bool dragRunning() {
    const QWidgetList widgets = QApplication::allWidgets();
    return std::any_of(widgets.begin(), widgets.end(), [](const QWidget* widget) {
        return widget->findChild<QDrag*>(QString(), Qt::FindDirectChildrenOnly) != nullptr;
    });
}

} // namespace

bool dragWithPointer(const VirtualDisplay& display, const QPoint& from, const QPoint& to,
                     const std::function<bool()>& ready) {
    if (!display.movePointer(from) || !display.pressButton())
        return false;
    constexpr int steps = 12;
    int step = 0;
    bool released = false;
    QElapsedTimer clock;
    clock.start();
    QTimer driver;
    QObject::connect(&driver, &QTimer::timeout, [&] {
        if (released)
            return;
        if (step <= steps)
            display.movePointer(from + (to - from) * step++ / steps);
        else if (ready() || clock.elapsed() > 8000)
            released = display.releaseButton();
        else // Qt's drag follows moves; a small one keeps it looking.
            display.movePointer(to + QPoint(step++ % 2, 0));
    });
    driver.start(30);
    return QTest::qWaitFor([&] { return released && !dragRunning(); }, 12000);
}
