#pragma once

#include "model/MenuBarItem.h"
#include "platform/StatusBarButton.h"

#include <QLabel>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <optional>

class QMenu;
class StatusBar;
class StatusItem;
class SystemEvents;

// A label that lets every mouse event through to the status bar button under it; used when
// the padding is negative and the text is laid out by hand.
class PassThroughLabel : public QLabel {
    Q_OBJECT
public:
    explicit PassThroughLabel(const QString& text, QWidget* parent = nullptr);
};

// Puts the application into the status bar: one status item per enabled menu-bar item, or a
// single calendar icon when none is enabled. Keeps their texts current with a timer aligned
// to the next whole second or minute and with the system's day, zone, clock and locale
// changes, and routes clicks: left to primaryClicked, right to the menu contextMenuProvider
// builds.
//
// Time is read from `events`, so the texts, the refresh timer and the system's change signals
// all agree on "now" (tests give it a clock of their own).
class StatusItemController : public QObject {
    Q_OBJECT
public:
    struct Entry {
        MenuBarItem item;
        StatusItem* status = nullptr;
    };

    StatusItemController(StatusBar& bar, SystemEvents& events, QObject* parent = nullptr);
    ~StatusItemController() override;

    bool isEnabled() const;
    // The first entry's button, else the fallback's; null when disabled.
    StatusBarButton* button() const;

    // Returns a new menu each time; the controller deletes it once it has been shown.
    std::function<QMenu*()> contextMenuProvider;

    void enable();
    void disable();
    void refreshTitle();

    const QList<Entry>& entries() const { return m_entries; }
    StatusItem* fallback() const { return m_fallback; }
    // The refresh interval in seconds, absent when no item shows a time of day.
    std::optional<int> timerInterval() const { return m_interval; }

    // The status item text font: 13 points, medium weight.
    static QFont textFont();

Q_SIGNALS:
    // A left click (with or without modifier keys) on the item of `button`.
    void primaryClicked(StatusBarButton* button);

private:
    void rebuild();
    void rebuildIfNeeded();
    void removeAll();
    void scheduleTimer(const QList<MenuBarItem>& items);
    void armTimer();
    void stopTimer();
    void systemChanged();
    void apply(const QString& text, StatusItem* status);
    void applyIcon(StatusBarButton* button, StatusItem* status);
    void applyLabel(const QString& text, StatusBarButton* button, StatusItem* status,
                    double padding);
    void configure(StatusItem* status);
    void clicked(StatusBarButton* button, Qt::MouseButton mouseButton);
    void showContextMenu(StatusBarButton* button);
    StatusItem* statusItemFor(StatusBarButton* button) const;

    StatusBar& m_bar;
    SystemEvents& m_events;
    QList<Entry> m_entries;
    StatusItem* m_fallback = nullptr;
    QList<QMetaObject::Connection> m_observers;
    QTimer m_timer;
    std::optional<int> m_interval;
};
