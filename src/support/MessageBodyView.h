#pragma once

#include <QTextEdit>

// A text from the service: plain text, never markup, that wraps at word boundaries (anywhere
// in a word longer than the line), can be selected and copied, and is never edited, followed
// as a link or loaded from anywhere. Its background is the window's.
class MessageBodyView : public QTextEdit {
    Q_OBJECT
public:
    explicit MessageBodyView(const QString& text, QWidget* parent = nullptr);

    // Takes `width` and the height the whole text needs at that width, up to `maxHeight`;
    // beyond that it scrolls.
    void fitTo(int width, int maxHeight = QWIDGETSIZE_MAX);
    void setTextColor(const QColor& color);

protected:
    // No zooming with Ctrl and the wheel: the view is as high as its text at one size.
    void wheelEvent(QWheelEvent* event) override;
};
