#include "settings/FlippedView.h"

FlippedView::FlippedView(const QRect& frame, QWidget* parent) : QWidget(parent) {
    setGeometry(frame);
}
