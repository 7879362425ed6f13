#include "settings/Settings.h"

#include "platform/Integers.h"
#include "settings/PreferenceKeys.h"
#include "settings/Preferences.h"

#include <utility>

namespace {

using Signal = void (Settings::*)();

// Which signal announces which key; the keys that nothing watches have none.
const std::pair<const char*, Signal> signalOfKey[] = {
    {PreferenceKeys::menuBarMode, &Settings::menuBarModeChanged},
    {PreferenceKeys::showInMenuBar, &Settings::showInMenuBarChanged},
    {PreferenceKeys::weekNumbers, &Settings::showWeekNumbersChanged},
    {PreferenceKeys::firstWeekday, &Settings::firstWeekdayChanged},
    {PreferenceKeys::iconFormat, &Settings::iconFormatChanged},
    {PreferenceKeys::itemPadding, &Settings::itemPaddingChanged},
    {PreferenceKeys::menuBarLayout, &Settings::menuBarLayoutChanged},
    {PreferenceKeys::compactSystemClock, &Settings::compactSystemClockChanged},
    {PreferenceKeys::statusHost, &Settings::statusHostChanged},
    {PreferenceKeys::automaticUpdateChecks, &Settings::automaticUpdateChecksChanged},
    {PreferenceKeys::automaticUpdateDownloads, &Settings::automaticUpdateDownloadsChanged},
    {PreferenceKeys::lastUpdateCheck, &Settings::lastUpdateCheckChanged},
};

} // namespace

Settings::Settings(Preferences& store, QObject* parent) : QObject(parent), m_store(store) {
    connect(&m_store, &Preferences::changed, this, &Settings::storeChanged);
}

void Settings::storeChanged(const QStringList& keys) {
    for (const auto& [key, signal] : signalOfKey) {
        if (keys.contains(QLatin1String(key)))
            (this->*signal)();
    }
}

bool Settings::menuBarMode() const {
    return m_store.boolForKey(PreferenceKeys::menuBarMode);
}

void Settings::setMenuBarMode(bool on) {
    m_store.setBool(PreferenceKeys::menuBarMode, on);
}

bool Settings::showInMenuBar() const {
    return m_store.boolForKey(PreferenceKeys::showInMenuBar);
}

void Settings::setShowInMenuBar(bool show) {
    m_store.setBool(PreferenceKeys::showInMenuBar, show);
}

bool Settings::onboarded() const {
    return m_store.boolForKey(PreferenceKeys::onboarded);
}

void Settings::setOnboarded(bool done) {
    m_store.setBool(PreferenceKeys::onboarded, done);
}

bool Settings::showWeekNumbers() const {
    return m_store.boolForKey(PreferenceKeys::weekNumbers);
}

void Settings::setShowWeekNumbers(bool show) {
    m_store.setBool(PreferenceKeys::weekNumbers, show);
}

int Settings::firstWeekday() const {
    return m_store.integerForKey(PreferenceKeys::firstWeekday) == 1 ? 1 : 2;
}

void Settings::setFirstWeekday(int weekday) {
    m_store.setInteger(PreferenceKeys::firstWeekday, weekday == 1 ? 1 : 2);
}

CalIconFormat Settings::iconFormat() const {
    switch (m_store.objectForKey(PreferenceKeys::iconFormat)
                ? m_store.integerForKey(PreferenceKeys::iconFormat)
                : -1) {
    case 0:
        return CalIconFormat::iconOnly;
    case 1:
        return CalIconFormat::day;
    default:
        return CalIconFormat::weekdayDay;
    }
}

void Settings::setIconFormat(CalIconFormat format) {
    m_store.setInteger(PreferenceKeys::iconFormat, int(format));
}

double Settings::itemPadding() const {
    return m_store.doubleForKey(PreferenceKeys::itemPadding);
}

void Settings::setItemPadding(double points) {
    m_store.setDouble(PreferenceKeys::itemPadding, points);
}

QByteArray Settings::menuBarLayout() const {
    return m_store.dataForKey(PreferenceKeys::menuBarLayout).value_or(QByteArray());
}

void Settings::setMenuBarLayout(const QByteArray& json) {
    m_store.setObject(PreferenceKeys::menuBarLayout, json);
}

bool Settings::compactSystemClock() const {
    return m_store.boolForKey(PreferenceKeys::compactSystemClock);
}

void Settings::setCompactSystemClock(bool on) {
    m_store.setBool(PreferenceKeys::compactSystemClock, on);
}

std::optional<QVariantMap> Settings::systemClockBackup() const {
    if (!m_store.objectForKey(PreferenceKeys::systemClockBackup))
        return std::nullopt;
    return m_store.dictionaryForKey(PreferenceKeys::systemClockBackup).value_or(QVariantMap());
}

void Settings::setSystemClockBackup(const std::optional<QVariantMap>& backup) {
    if (backup)
        m_store.setObject(PreferenceKeys::systemClockBackup, *backup);
    else
        m_store.removeObject(PreferenceKeys::systemClockBackup);
}

QDateTime Settings::lastCrashScan() const {
    return m_store.dateForKey(PreferenceKeys::lastCrashScan).value_or(QDateTime());
}

void Settings::setLastCrashScan(const QDateTime& date) {
    m_store.setObject(PreferenceKeys::lastCrashScan, date);
}

QString Settings::deviceId() const {
    return m_store.stringForKey(PreferenceKeys::deviceId).value_or(QString());
}

void Settings::setDeviceId(const QString& id) {
    m_store.setObject(PreferenceKeys::deviceId, id);
}

QVariantList Settings::messageHistory() const {
    return m_store.arrayForKey(PreferenceKeys::messageHistory).value_or(QVariantList());
}

void Settings::setMessageHistory(const QVariantList& entries) {
    m_store.setObject(PreferenceKeys::messageHistory, entries);
}

QVariantList Settings::shownMessages() const {
    return m_store.arrayForKey(PreferenceKeys::shownMessages).value_or(QVariantList());
}

void Settings::setShownMessages(const QVariantList& ids) {
    m_store.setObject(PreferenceKeys::shownMessages, ids);
}

qint64 Settings::ackMessage() const {
    const auto stored = m_store.objectForKey(PreferenceKeys::ackMessage);
    return stored ? Integers::exact(*stored).value_or(0) : 0;
}

void Settings::setAckMessage(qint64 id) {
    m_store.setInteger(PreferenceKeys::ackMessage, id);
}

QString Settings::statusHost() const {
    return m_store.stringForKey(PreferenceKeys::statusHost).value_or(QString());
}

void Settings::setStatusHost(const QString& host) {
    m_store.setObject(PreferenceKeys::statusHost, host);
}

bool Settings::automaticUpdateChecks() const {
    return m_store.boolForKey(PreferenceKeys::automaticUpdateChecks);
}

void Settings::setAutomaticUpdateChecks(bool on) {
    m_store.setBool(PreferenceKeys::automaticUpdateChecks, on);
}

bool Settings::automaticUpdateDownloads() const {
    return m_store.boolForKey(PreferenceKeys::automaticUpdateDownloads);
}

void Settings::setAutomaticUpdateDownloads(bool on) {
    m_store.setBool(PreferenceKeys::automaticUpdateDownloads, on);
}

QDateTime Settings::lastUpdateCheck() const {
    return m_store.dateForKey(PreferenceKeys::lastUpdateCheck).value_or(QDateTime());
}

void Settings::setLastUpdateCheck(const QDateTime& date) {
    m_store.setObject(PreferenceKeys::lastUpdateCheck, date);
}
