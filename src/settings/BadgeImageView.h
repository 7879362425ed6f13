#pragma once

#include <QLabel>

// An image laid over a control (an unread badge over a button) that never takes the mouse:
// presses, releases and hovers go to whatever lies underneath.
class BadgeImageView : public QLabel {
    Q_OBJECT
public:
    explicit BadgeImageView(QWidget* parent = nullptr);
    // Shows the image at its own logical size, centred; a null image shows nothing.
    void setImage(const QImage& image);
};
