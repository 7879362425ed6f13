#pragma once

#include <QDialog>

class MessageBodyView;
class QPushButton;

// A new message from support, shown as it arrived: its text in plain type under the alert's
// title, scrolling when it is long, and one button that says it was read. Any way of closing
// the alert counts as reading it.
class MessageAlert : public QDialog {
    Q_OBJECT
public:
    static constexpr int bodyWidth = 340;
    static constexpr int bodyMaxHeight = 320;

    explicit MessageAlert(const QString& body, QWidget* parent = nullptr);

    MessageBodyView* body() const { return m_body; }
    QPushButton* understoodButton() const { return m_understood; }

private:
    MessageBodyView* m_body;
    QPushButton* m_understood;
};
