#pragma once

#include <QObject>
#include <QPointer>

class PassThroughLabel;
class QAction;
class QToolButton;

// The unread markers outside the messages window: the main view's messages button (shown
// while the ticket is open, tinted with the accent colour while a message waits), the badge
// on it, and the application menu's messages row (shown while the ticket is open). Each is
// optional and followed only while it exists. The button's tint is this object's to keep: it
// is drawn again when the button's appearance changes.
class MessageMarkers : public QObject {
    Q_OBJECT
public:
    static constexpr const char* symbol = "envelope.fill";
    static constexpr qreal symbolSize = 15;
    static constexpr qreal badgeDiameter = 14;

    explicit MessageMarkers(QObject* parent = nullptr);

    void attach(QToolButton* button, PassThroughLabel* badge, QAction* applicationRow);
    void show(bool ticketOpen, bool unread);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void tintButton();

    QPointer<QToolButton> m_button;
    QPointer<PassThroughLabel> m_badge;
    QPointer<QAction> m_applicationRow;
    bool m_ticketOpen = false;
    bool m_unread = false;
};
