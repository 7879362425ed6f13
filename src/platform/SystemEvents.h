#pragma once

#include <QObject>

// The system changes that make displayed dates stale. One instance per process; it starts
// watching when first asked for (a QCoreApplication must exist). Signals are delivered on the
// GUI thread.
class SystemEvents : public QObject {
    Q_OBJECT
public:
    static SystemEvents* instance();

Q_SIGNALS:
    // Local midnight passed (also after a sleep or a zone change moved it).
    void dayChanged();
    // /etc/localtime or /etc/timezone changed. ICU's default zone is already updated.
    void timeZoneChanged();
    // The wall clock was set (a jump, not the normal passing of time).
    void clockChanged();
    // The application's locale changed. ICU's default locale is already updated.
    void localeChanged();

private:
    explicit SystemEvents(QObject* parent = nullptr);
};
