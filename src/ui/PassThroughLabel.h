#pragma once

#include <QLabel>

// A label laid over a control that never takes the mouse: presses, releases and hovers go to
// whatever lies underneath (the status bar's button under a hand-laid text, the messages
// button under its unread badge).
class PassThroughLabel : public QLabel {
    Q_OBJECT
public:
    explicit PassThroughLabel(QWidget* parent = nullptr);
    // Plain text: a template such as "<b>{HH}</b>" is shown as written.
    explicit PassThroughLabel(const QString& text, QWidget* parent = nullptr);
    // Shows the image at its own logical size, centred; a null image shows nothing.
    void setImage(const QImage& image);
};
