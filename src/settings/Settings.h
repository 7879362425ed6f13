#pragma once

#include "settings/CalSettings.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QVariantList>
#include <QVariantMap>

class Preferences;

// The live face of the application's preferences: one typed property per key, read from and
// written to the store, with a signal whenever the value changes, whether this process or
// another one changed it. Views and controllers bind to it rather than re-reading. The
// calendar properties follow the rules of CalSettings; the others read as the store reads a
// missing key (false, 0, empty, an invalid date).
class Settings : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool menuBarMode READ menuBarMode WRITE setMenuBarMode NOTIFY menuBarModeChanged)
    Q_PROPERTY(
        bool showInMenuBar READ showInMenuBar WRITE setShowInMenuBar NOTIFY showInMenuBarChanged)
    Q_PROPERTY(bool onboarded READ onboarded WRITE setOnboarded NOTIFY onboardedChanged)
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
    Q_PROPERTY(QVariantMap systemClockBackup READ systemClockBackup WRITE setSystemClockBackup
                   NOTIFY systemClockBackupChanged)
    Q_PROPERTY(QDateTime lastCrashScan READ lastCrashScan WRITE setLastCrashScan NOTIFY
                   lastCrashScanChanged)
    Q_PROPERTY(QString deviceId READ deviceId WRITE setDeviceId NOTIFY deviceIdChanged)
    Q_PROPERTY(QVariantList messageHistory READ messageHistory WRITE setMessageHistory NOTIFY
                   messageHistoryChanged)
    Q_PROPERTY(QVariantList shownMessages READ shownMessages WRITE setShownMessages NOTIFY
                   shownMessagesChanged)
    Q_PROPERTY(qint64 ackMessage READ ackMessage WRITE setAckMessage NOTIFY ackMessageChanged)
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
    int firstWeekday() const;
    void setFirstWeekday(int weekday);
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
    QVariantMap systemClockBackup() const;
    void setSystemClockBackup(const QVariantMap& backup);
    QDateTime lastCrashScan() const;
    void setLastCrashScan(const QDateTime& date);
    QString deviceId() const;
    void setDeviceId(const QString& id);
    QVariantList messageHistory() const;
    void setMessageHistory(const QVariantList& entries);
    QVariantList shownMessages() const;
    void setShownMessages(const QVariantList& ids);
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
    void onboardedChanged();
    void showWeekNumbersChanged();
    void firstWeekdayChanged();
    void iconFormatChanged();
    void itemPaddingChanged();
    void menuBarLayoutChanged();
    void compactSystemClockChanged();
    void systemClockBackupChanged();
    void lastCrashScanChanged();
    void deviceIdChanged();
    void messageHistoryChanged();
    void shownMessagesChanged();
    void ackMessageChanged();
    void statusHostChanged();
    void automaticUpdateChecksChanged();
    void automaticUpdateDownloadsChanged();
    void lastUpdateCheckChanged();

private:
    void storeChanged(const QStringList& keys);

    Preferences& m_store;
};
