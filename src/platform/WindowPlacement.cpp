#include "platform/WindowPlacement.h"

#include <QWidget>

#include <algorithm>

namespace {

// Of the allowance, what is taken to lie above the content: the title bar.
constexpr int titleAllowance = 30;

} // namespace

namespace WindowPlacement {

// QWidget::move() places the frame once the window manager has told its size, and the content
// before: the first placement leaves room for a title bar above the content.
void centreIn(QWidget* window, const QRect& workArea) {
    const QRect frame = window->frameGeometry();
    const bool frameKnown = frame != window->geometry();
    const QSize outer = frameKnown ? frame.size() : window->size() + QSize(0, frameAllowance);
    QPoint origin = workArea.center() - QPoint(outer.width() / 2, outer.height() / 2);
    const int lowestTop = workArea.bottom() + 1 - outer.height();
    origin.setY(std::clamp(origin.y(), workArea.top(), std::max(workArea.top(), lowestTop)));
    origin.setX(std::max(origin.x(), workArea.left()));
    window->move(origin + QPoint(0, frameKnown ? 0 : titleAllowance));
}

} // namespace WindowPlacement
