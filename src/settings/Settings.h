#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QVariantList>
#include <QVariantMap>

#include <optional>

class Preferences;

// The format of the single status item of earlier versions; still read to build the
// default menu-bar item and the tray's day icon.
enum class CalIconFormat { iconOnly = 0, day = 1, weekdayDay = 2 };

// The application's one door to its stored preferences: one typed property per key, read from
// and written to the store at once (no state of its own), with a change signal — whether this
// process or another one changed the value — for the keys that something watches. Every rule
// of a key's stored form lives here; a missing key reads as the store reads it (false, 0,
// empty, an invalid date) unless its getter says otherwise.
class Settings : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool menuBarMode READ menuBarMode WRITE setMenuBarMode NOTIFY menuBarModeChanged)
    Q_PROPERTY(
        bool showInMenuBar READ showInMenuBar WRITE setShowInMenuBar NOTIFY showInMenuBarChanged)
    Q_PROPERTY(bool onboarded READ onboarded WRITE setOnboarded)
    Q_PROPERTY(bool showWeekNumbers READ showWeekNumbers WRITE setShowWeekNumbers NOTIFY
                   showWeekNumbersChanged)
    Q_PROPERTY(int firstWeekday READ firstWeekday WRITE setFirstWeekday NOTIFY firstWeekdayChanged)
    Q_PROPERTY(
        CalIconFormat iconFormat READ iconFormat WRITE setIconFormat NOTIFY iconFormatChanged)
    Q_PROPERTY(double itemPadding READ itemPadding WRITE setItemPadding NOTIFY itemPaddingChanged)
    Q_PROPERTY(QByteArray menuBarLayout READ menuBarLayout WRITE setMenuBarLayout NOTIFY
                   menuBarLayoutChanged)
    Q_PROPERTY(bool compactSystemClock READ compactSystemClock WRITE setCompactSystemClock NOTIFY
                   compactSystemClockChanged)
    Q_PROPERTY(QDateTime lastCrashScan READ lastCrashScan WRITE setLastCrashScan)
    Q_PROPERTY(QString deviceId READ deviceId WRITE setDeviceId)
    Q_PROPERTY(QVariantList messageHistory READ messageHistory WRITE setMessageHistory)
    Q_PROPERTY(QVariantList shownMessages READ shownMessages WRITE setShownMessages)
    Q_PROPERTY(qint64 ackMessage READ ackMessage WRITE setAckMessage)
    Q_PROPERTY(QString statusHost READ statusHost WRITE setStatusHost NOTIFY statusHostChanged)
    Q_PROPERTY(bool automaticUpdateChecks READ automaticUpdateChecks WRITE setAutomaticUpdateChecks
                   NOTIFY automaticUpdateChecksChanged)
    Q_PROPERTY(bool automaticUpdateDownloads READ automaticUpdateDownloads WRITE
                   setAutomaticUpdateDownloads NOTIFY automaticUpdateDownloadsChanged)
    Q_PROPERTY(QDateTime lastUpdateCheck READ lastUpdateCheck WRITE setLastUpdateCheck NOTIFY
                   lastUpdateCheckChanged)

public:
    explicit Settings(Preferences& store, QObject* parent = nullptr);

    Preferences& store() const { return m_store; }

    bool menuBarMode() const;
    void setMenuBarMode(bool on);
    bool showInMenuBar() const;
    void setShowInMenuBar(bool show);
    bool onboarded() const;
    void setOnboarded(bool done);
    bool showWeekNumbers() const;
    void setShowWeekNumbers(bool show);
    // 1 = Sunday, 2 = Monday; every stored value other than 1 means Monday.
    int firstWeekday() const;
    void setFirstWeekday(int weekday);
    // A missing key reads as weekdayDay; a stored 0 is iconOnly, 1 is day, anything else
    // weekdayDay.
    CalIconFormat iconFormat() const;
    void setIconFormat(CalIconFormat format);
    // As stored; MenuBarLayout clamps what it stores.
    double itemPadding() const;
    void setItemPadding(double points);
    // The stored JSON bytes, empty when there are none; MenuBarLayout reads them.
    QByteArray menuBarLayout() const;
    void setMenuBarLayout(const QByteArray& json);
    bool compactSystemClock() const;
    void setCompactSystemClock(bool on);
    // The system clock's values from before it was first made compact: absent when none is
    // stored, empty when what is stored is not a dictionary. Absent removes the key.
    std::optional<QVariantMap> systemClockBackup() const;
    void setSystemClockBackup(const std::optional<QVariantMap>& backup);
    // Invalid when none is stored.
    QDateTime lastCrashScan() const;
    void setLastCrashScan(const QDateTime& date);
    QString deviceId() const;
    void setDeviceId(const QString& id);
    QVariantList messageHistory() const;
    void setMessageHistory(const QVariantList& entries);
    QVariantList shownMessages() const;
    void setShownMessages(const QVariantList& ids);
    // The last message acknowledged to the service; 0 when none or not a whole number.
    qint64 ackMessage() const;
    void setAckMessage(qint64 id);
    // As stored, empty when absent; the status items read it as "auto" unless it is "own" or
    // "tray".
    QString statusHost() const;
    void setStatusHost(const QString& host);
    bool automaticUpdateChecks() const;
    void setAutomaticUpdateChecks(bool on);
    bool automaticUpdateDownloads() const;
    void setAutomaticUpdateDownloads(bool on);
    QDateTime lastUpdateCheck() const;
    void setLastUpdateCheck(const QDateTime& date);

Q_SIGNALS:
    void menuBarModeChanged();
    void showInMenuBarChanged();
    void showWeekNumbersChanged();
    void firstWeekdayChanged();
    void iconFormatChanged();
    void itemPaddingChanged();
    void menuBarLayoutChanged();
    void compactSystemClockChanged();
    void statusHostChanged();
    void automaticUpdateChecksChanged();
    void automaticUpdateDownloadsChanged();
    void lastUpdateCheckChanged();

private:
    void storeChanged(const QStringList& keys);

    Preferences& m_store;
};
