#pragma once

#include <QWidget>

// A plain view positioned by its frame, for windows that lay out their controls by absolute
// coordinates from the top left. Qt widgets already count y downwards from the top left, so
// there is nothing to flip: the type keeps layouts written in those coordinates recognisable.
class FlippedView : public QWidget {
    Q_OBJECT
public:
    explicit FlippedView(const QRect& frame, QWidget* parent = nullptr);
};
