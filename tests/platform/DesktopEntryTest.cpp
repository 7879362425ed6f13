#include "platform/DesktopEntry.h"

#include "platform/KeyFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

std::optional<DesktopEntry> entryWithExec(const QByteArray& exec) {
    return DesktopEntry::fromKeyFile(
        KeyFile::parse("[Desktop Entry]\nType=Application\nExec=" + exec + "\n"));
}

// The command an Exec line gives with our arguments "A" and "B c".
QStringList commandOf(const QByteArray& exec) {
    const auto entry = entryWithExec(exec);
    return entry ? entry->command({"A", "B c"}) : QStringList{"unparsed"};
}

TEST(DesktopEntry, OurArgumentsTakeThePlaceOfTheFileFieldCode) {
    const QList<QPair<QByteArray, QStringList>> cases = {
        {"evolution %U", {"evolution", "A", "B c"}},
        {"gnome-calendar", {"gnome-calendar", "A", "B c"}},
        {"planner --new %f --icon-%i", {"planner", "--new", "A", "B c", "--icon-"}},
        // Only the first file or URL code takes them; every other code goes.
        {"app %u %F %c %k", {"app", "A", "B c"}},
        {"app 100%% --x=%d", {"app", "100%", "--x=", "A", "B c"}},
        // The program is an argument like the others.
        {R"("/opt/100%%/run" %U)", {"/opt/100%/run", "A", "B c"}},
        {"%f --x", {}},
        // Quoting and the string escapes of the file, undone in that order.
        {R"("/opt/My App/run"  "say \"hi\"" "\\\\$HOME" %U)",
         {"/opt/My App/run", "say \"hi\"", "\\$HOME", "A", "B c"}},
        {R"(run\sfast "" %U)", {"run", "fast", "", "A", "B c"}},
        // Flatpak's file-forwarding markers go with the code they surround.
        {"/usr/bin/flatpak run --command=gnome-calendar org.gnome.Calendar @@u %U @@",
         {"/usr/bin/flatpak", "run", "--command=gnome-calendar", "org.gnome.Calendar", "A", "B c"}},
        {R"(app "unclosed %U)", {"unparsed"}},
        {"", {}},
    };
    for (const auto& [exec, command] : cases)
        EXPECT_EQ(commandOf(exec), command) << exec.toStdString();
}

TEST(DesktopEntry, AProgramIsLookedForWithItsPercentSignsUndone) {
    const QTemporaryDir root;
    const QString folder = root.path() + "/100%";
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile program(folder + "/run");
    ASSERT_TRUE(program.open(QIODevice::WriteOnly));
    ASSERT_TRUE(program.setPermissions(QFile::ReadOwner | QFile::ExeOwner));
    const auto entry = entryWithExec(QFile::encodeName(root.path()) + "/100%%/run %U");
    ASSERT_TRUE(entry);
    EXPECT_TRUE(entry->isInstalled());
}

TEST(DesktopEntry, KeysAreReadFromTheDesktopEntryGroupOnly) {
    const auto entry = DesktopEntry::fromKeyFile(
        KeyFile::parse("Exec=before\n[Desktop Entry]\n# Exec=comment\nType = Application\n"
                       "Exec=first\nMimeType=text/calendar;text/x-odd\\;name;\nHidden=True\n"
                       "Exec=second %U\n[Desktop Action New]\nExec=action\n"));
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->type, "Application");
    EXPECT_EQ(entry->exec, (QStringList{"second", "%U"}));
    EXPECT_EQ(entry->mimeTypes, (QStringList{"text/calendar", "text/x-odd;name"}));
    EXPECT_FALSE(entry->hidden); // only "true" is true
    EXPECT_FALSE(DesktopEntry::fromKeyFile(KeyFile::parse("[Desktop Action New]\nExec=a\n")));
}

// Read as GLib reads the files the session starts programs from: a value keeps the white
// space at its end, which may be part of a path; white space around '=', around a group's
// name line and before a line does not count, nor does the '\r' of a "\r\n" line end.
TEST(KeyFile, AValueKeepsTheWhiteSpaceAtItsEndAndLosesTheRest) {
    const KeyFile file = KeyFile::parse("  [Desktop Entry] \t\r\n"
                                        "\tTryExec =  /opt/app \r\n"
                                        "Name=Caf\xc3\xa9\xc2\xa0\n"
                                        "Path=\\s/opt/ \\t\n"
                                        "NoDisplay=true x\n");
    ASSERT_TRUE(file.hasGroup("Desktop Entry"));
    EXPECT_EQ(file.string("Desktop Entry", "TryExec"), "/opt/app ");
    EXPECT_EQ(file.string("Desktop Entry", "Name"), QString::fromUtf8("Café\u00a0"));
    EXPECT_EQ(file.string("Desktop Entry", "Path"), " /opt/ \t");
    EXPECT_FALSE(file.boolean("Desktop Entry", "NoDisplay"));
}

} // namespace
