#include "harness/TestProfile.h"
#include "platform/DisplaySession.h"
#include "platform/Graphemes.h"
#include "platform/OperatingSystem.h"
#include "platform/SystemContext.h"
#include "status/ownbar/DockPlacement.h"

#include <QList>

#include <gtest/gtest.h>

// The platform's small rules: the system's locale and zone names, the display session, the
// distribution's name, grapheme clusters and the bar's place among other docks.
namespace {

TEST(SystemContextTest, PosixLocaleNamesAndTzValuesBecomeIcuIds) {
    EXPECT_EQ(SystemContext::localeIDFromPosix("sr_RS.UTF-8@latin"), "sr_RS");
    EXPECT_EQ(SystemContext::localeIDFromPosix("C"), "en_US_POSIX");
    EXPECT_EQ(SystemContext::localeIDFromPosix(""), "en_US_POSIX");
    EXPECT_EQ(SystemContext::zoneIDFromTZ(":Europe/Zurich"), "Europe/Zurich");
    EXPECT_EQ(SystemContext::zoneIDFromTZ("/usr/share/zoneinfo/America/New_York"),
              "America/New_York");
}

TEST(SystemContextTest, ReloadingPicksUpTheEnvironment) {
    {
        ScopedEnvironment tz("TZ", "Asia/Kolkata");
        ScopedEnvironment lang("LANG", "de_CH.UTF-8");
        ScopedEnvironment time("LC_TIME", "ja_JP.UTF-8");
        SystemContext::reloadFromEnvironment();
        EXPECT_EQ(SystemContext::currentTimeZoneID(), "Asia/Kolkata");
        EXPECT_EQ(SystemContext::currentLocaleID(), "ja_JP"); // dates follow LC_TIME
        EXPECT_EQ(SystemContext::preferredLanguages(), QStringList{"de-CH"});
    }
    SystemContext::reloadFromEnvironment();
    EXPECT_EQ(SystemContext::currentTimeZoneID(), "Europe/Paris");
}

// Qt alone picks only "wayland" in a Wayland session and gives up without its plugin.
TEST(DisplaySessionTest, AWaylandSessionTriesXWaylandFirstAndNeverEndsWithoutAPlatform) {
    struct Case {
        DisplaySession::Variables session;
        bool wayland;
        QByteArray platforms;
    };
    const QList<Case> cases = {
        {{"wayland", "wayland-1", ":0", ""}, true, "xcb;wayland"},
        {{"wayland", "wayland-1", "", ""}, true, "wayland;xcb"},
        {{"tty", "wayland-1", "", ""}, true, "wayland;xcb"},
        {{"", "wayland-1", ":1", ""}, true, "xcb;wayland"},
        {{"wayland", "wayland-1", ":0", "wayland"}, true, ""},
        {{"x11", "wayland-1", ":0", ""}, false, ""},
        {{"x11", "", ":0", ""}, false, ""},
        {{"", "", ":0", ""}, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.session.sessionType.toStdString() + " " +
                     c.session.waylandDisplay.toStdString() + " " +
                     c.session.x11Display.toStdString());
        EXPECT_EQ(DisplaySession::isWayland(c.session), c.wayland);
        EXPECT_EQ(DisplaySession::qtPlatforms(c.session), c.platforms);
    }
}

TEST(OperatingSystemTest, TheDistributionIsNamedWithItsMajorAndMinorVersionElseTheKernel) {
    const QList<std::pair<QByteArray, std::optional<QString>>> cases = {
        {"PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nNAME=\"Debian GNU/Linux\"\n"
         "VERSION_ID=\"12\"\nID=debian\n",
         "Debian 12"},
        {"NAME=\"Alpine Linux\"\nVERSION_ID=3.18.4\n", "Alpine Linux 3.18"},
        {"# comment\nNAME='Arch Linux'\nBUILD_ID=rolling\n", "Arch Linux"},
        {"ID=debian\nVERSION_ID=12\n", std::nullopt},
        {"NAME=\"\"\nVERSION_ID=12\n", std::nullopt},
        // White space left at the end by the cut goes too.
        {"NAME=Alpine\nVERSION_ID=\"3.1 .4\"\n", "Alpine 3.1"},
        // Only a word of its own is cut.
        {"NAME=\"Hurd \tGNU/Linux\"\n", "Hurd"},
        {"NAME=MyGNU/Linux\n", "MyGNU/Linux"},
        {"NAME=GNU/Linux\n", "GNU/Linux"},
    };
    for (const auto& [contents, expected] : cases)
        EXPECT_EQ(OperatingSystem::describeOsRelease(contents), expected) << contents.toStdString();
    EXPECT_EQ(OperatingSystem::describeKernel("6.1.0-18-amd64"), "Linux 6.1");
    EXPECT_EQ(OperatingSystem::describeKernel("unknown"), "Linux");
    EXPECT_EQ(OperatingSystem::describeKernel("6.-rc1"), "Linux 6");
    EXPECT_EQ(OperatingSystem::describeKernel("10.22"), "Linux 10.22");
}

TEST(GraphemesTest, UpperCasesTheFirstGraphemeAndCutsWhereAReaderSeesCharacters) {
    const icu::Locale english("en");
    EXPECT_EQ(Graphemes::upperCaseFirst("mARS", english), "MARS"); // the rest is left alone
    EXPECT_EQ(Graphemes::upperCaseFirst(QString::fromUtf8("e\u0301t\u00e9"), english),
              QString::fromUtf8("E\u0301t\u00e9"));
    EXPECT_EQ(Graphemes::upperCaseFirst(QString::fromUtf8("\u00dfa"), english), "SSa");
    EXPECT_EQ(Graphemes::upperCaseFirst("istanbul", icu::Locale("tr")),
              QString::fromUtf8("\u0130stanbul"));

    // Cut where a reader sees characters.
    const QString accented = QString::fromUtf8("e\u0301");
    const QString flag = QString::fromUtf8("\U0001F1E8\U0001F1ED");
    EXPECT_EQ(Graphemes::clusters(accented + "x" + flag + flag),
              (QStringList{accented, "x", flag, flag}));
    EXPECT_EQ(Graphemes::count(accented + flag), 2);
    EXPECT_TRUE(Graphemes::clusters("").isEmpty());
}

// A 30-pixel dock along the top edge, and the 24-pixel bar under it.
TEST(DockPlacementTest, TheBarGoesUnderOtherDocksAndNeverUnderItself) {
    // First placement: the work area is the others' alone.
    EXPECT_EQ(DockPlacement::top(30, std::nullopt, 30, 0), 30);
    // The compositor's own panel has no window: only the work area tells of it.
    EXPECT_EQ(DockPlacement::top(27, std::nullopt, 0, 0), 27);
    // The window manager has not counted the bar's strip yet.
    EXPECT_EQ(DockPlacement::top(30, 54, 30, 30), 30);
    // It has: the area ends at the bar's own edge, which says nothing of the others.
    EXPECT_EQ(DockPlacement::top(54, 54, 30, 30), 30);
    EXPECT_EQ(DockPlacement::top(51, 51, 0, 27), 27);
    // The area moved up past the bar's edge (the others went, and the bar's strip is not
    // counted): up it goes.
    EXPECT_EQ(DockPlacement::top(0, 54, 0, 30), 0);
}

} // namespace
