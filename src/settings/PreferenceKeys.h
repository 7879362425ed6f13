#pragma once

// Every key of the application's preferences domain, in one place.
namespace PreferenceKeys {

inline constexpr const char* menuBarMode = "VSPMenuBarMode";
inline constexpr const char* showInMenuBar = "VSPShowInMenuBar";
inline constexpr const char* onboarded = "VSPOnboarded";
inline constexpr const char* weekNumbers = "VSPWeekNumbers";
inline constexpr const char* firstWeekday = "VSPFirstWeekday";
inline constexpr const char* iconFormat = "VSPIconFormat";
inline constexpr const char* itemPadding = "VSPItemPadding";
inline constexpr const char* menuBarLayout = "VSPMenuBarLayout";
inline constexpr const char* compactSystemClock = "VSPCompactSystemClock";
inline constexpr const char* systemClockBackup = "VSPSystemClockBackup";
inline constexpr const char* lastCrashScan = "VSPLastCrashScan";
inline constexpr const char* deviceId = "VSPDeviceId";
inline constexpr const char* messageHistory = "VSPMessageHistory";
inline constexpr const char* shownMessages = "VSPShownMessages";
inline constexpr const char* ackMessage = "VSAckMessage";
// Where the status items live: "auto", "own" (the application's own bar) or "tray" (the
// desktop's panel).
inline constexpr const char* statusHost = "VSPStatusHost";
// The updater's, under the names the macOS updater framework gave them.
inline constexpr const char* automaticUpdateChecks = "SUEnableAutomaticChecks";
inline constexpr const char* automaticUpdateDownloads = "SUAutomaticallyUpdate";
inline constexpr const char* lastUpdateCheck = "SULastCheckTime";

} // namespace PreferenceKeys
