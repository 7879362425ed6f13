#include "platform/MimeApps.h"

#include "harness/TestDesktop.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

class MimeAppsTest : public ::testing::Test {
protected:
    // The id of the default text/calendar application, or "none".
    QString defaultId() const {
        const auto entry = MimeApps::defaultApplication("text/calendar");
        return entry ? entry->id : QString("none");
    }

    TestDesktop desktop;
    const QString program = desktop.recordingProgram("calendar");
};

TEST_F(MimeAppsTest, TheFirstListNamingADefaultDecidesInTheFreedesktopOrder) {
    ScopedEnvironment current("XDG_CURRENT_DESKTOP", "ubuntu:GNOME");
    // Every list file names its own application, most important first; each one is removed
    // in turn and the next one must take over.
    const QStringList lists = {
        desktop.configHome() + "/gnome-mimeapps.list",
        desktop.configHome() + "/mimeapps.list",
        desktop.configDir(0) + "/gnome-mimeapps.list",
        desktop.configDir(0) + "/mimeapps.list",
        desktop.configDir(1) + "/mimeapps.list",
        desktop.applications(0) + "/mimeapps.list",
        desktop.applications(1) + "/ubuntu-mimeapps.list",
        desktop.applications(1) + "/gnome-mimeapps.list",
        desktop.applications(2) + "/mimeapps.list",
    };
    for (int i = 0; i < lists.size(); ++i) {
        desktop.addEntry(2, QString("app%1.desktop").arg(i), program, "");
        writeFile(
            lists.at(i),
            QString("[Default Applications]\ntext/calendar=app%1.desktop;\n").arg(i).toUtf8());
    }
    for (int i = 0; i < lists.size(); ++i) {
        EXPECT_EQ(defaultId(), QString("app%1.desktop").arg(i)) << i;
        QFile::remove(lists.at(i));
    }
    // Without any default, an application listing the type in its entry is taken.
    EXPECT_EQ(defaultId(), "none");
    desktop.addEntry(1, "kde/planner.desktop", program);
    EXPECT_EQ(defaultId(), "kde-planner.desktop");
}

TEST_F(MimeAppsTest, DefaultsThatCannotStartAreSkipped) {
    desktop.addEntry(0, "no-program.desktop", desktop.applications(0) + "/no-such-program");
    desktop.addEntry(0, "no-tryexec.desktop", program, "TryExec=vesperin-no-such-program\n");
    desktop.addEntry(0, "hidden.desktop", program, "Hidden=true\n");
    desktop.addEntry(1, "hidden.desktop", program); // masked by the hidden one above
    desktop.addEntry(0, "not-an-app.desktop", program, "Type=Link\n");
    desktop.addEntry(1, "good.desktop", "sh -c true", "");
    writeFile(desktop.configHome() + "/mimeapps.list",
              "[Default Applications]\ntext/calendar=absent.desktop;no-program.desktop;"
              "no-tryexec.desktop;hidden.desktop;not-an-app.desktop;good.desktop;\n");
    EXPECT_EQ(defaultId(), "good.desktop");
}

// Added associations come before entries that list the type; a removal takes away what later
// files and entries associate, but a list in an applications folder reaches only that folder
// and the later ones. Desktop-specific lists only set defaults.
TEST_F(MimeAppsTest, AssociationsAreAddedAndRemovedFileByFile) {
    ScopedEnvironment current("XDG_CURRENT_DESKTOP", "KDE");
    desktop.addEntry(0, "home.desktop", program);
    desktop.addEntry(1, "listed.desktop", program);
    desktop.addEntry(1, "added.desktop", program, "");
    desktop.addEntry(2, "later.desktop", program, "");
    writeFile(desktop.configDir(0) + "/mimeapps.list",
              "[Added Associations]\ntext/calendar=later.desktop;\n");
    writeFile(desktop.applications(1) + "/mimeapps.list",
              "[Removed Associations]\ntext/calendar=home.desktop;\n");
    writeFile(desktop.applications(2) + "/mimeapps.list",
              "[Removed Associations]\ntext/calendar=later.desktop;\n");
    EXPECT_EQ(defaultId(), "later.desktop");

    writeFile(desktop.configHome() + "/mimeapps.list",
              "[Removed Associations]\ntext/calendar=later.desktop;\n");
    EXPECT_EQ(defaultId(), "home.desktop");

    writeFile(desktop.configHome() + "/kde-mimeapps.list",
              "[Added Associations]\ntext/calendar=added.desktop;\n"
              "[Removed Associations]\ntext/calendar=home.desktop;\n");
    EXPECT_EQ(defaultId(), "home.desktop");

    writeFile(desktop.configHome() + "/mimeapps.list",
              "[Removed Associations]\ntext/calendar=later.desktop;home.desktop;\n");
    writeFile(desktop.applications(2) + "/mimeapps.list",
              "[Added Associations]\ntext/calendar=added.desktop;\n");
    EXPECT_EQ(defaultId(), "listed.desktop");
}

} // namespace
