#include "platform/LoginItem.h"

#include "harness/TestProfile.h"
#include "harness/TestText.h"
#include "platform/DesktopEntry.h"
#include "platform/KeyFile.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

class LoginItemTest : public ProfileTest {
protected:
    QString entryPath() const {
        return profile.configHome() + "/autostart/com.orvennalabs.Vesperin.desktop";
    }
};

TEST_F(LoginItemTest, EnablingWritesAnEntryStartingThisProgramAndDisablingRemovesIt) {
    EXPECT_FALSE(LoginItem::isEnabled());
    ASSERT_TRUE(LoginItem::setEnabled(true));
    EXPECT_TRUE(LoginItem::isEnabled());
    const auto entry = DesktopEntry::read(entryPath());
    ASSERT_TRUE(entry);
    EXPECT_TRUE(entry->isInstalled());
    EXPECT_EQ(entry->command(), QStringList{QCoreApplication::applicationFilePath()});
    EXPECT_EQ(KeyFile::read(entryPath()).string("Desktop Entry", "Name"), "Vesperin");

    ASSERT_TRUE(LoginItem::setEnabled(false));
    EXPECT_FALSE(QFileInfo::exists(entryPath()));
    EXPECT_FALSE(LoginItem::isEnabled());
    EXPECT_TRUE(LoginItem::setEnabled(false)); // nothing left to remove
}

// The session skips an entry whose program is gone, so a removed package leaves nothing that
// fails at every login; and the entry shows as the installed application does.
TEST_F(LoginItemTest, TheEntryIsTheInstalledApplicationsAndLapsesWithItsProgram) {
    const QString program = profile.dataHome() + "/vesperin";
    writeFile(program, "#!/bin/sh\n");
    ASSERT_TRUE(QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner));
    const KeyFile written = KeyFile::parse(LoginItem::entryFor(program));
    EXPECT_TRUE(DesktopEntry::fromKeyFile(written)->isInstalled());
    QFile::remove(program);
    EXPECT_FALSE(DesktopEntry::fromKeyFile(written)->isInstalled());

    const QString installed = VESPERIN_SOURCE_DIR "/packaging/" + QString(LoginItem::entryName);
    ASSERT_TRUE(QFileInfo::exists(installed));
    for (const char* key : {"Name", "Icon"})
        EXPECT_EQ(written.string("Desktop Entry", key),
                  KeyFile::read(installed).string("Desktop Entry", key))
            << key;
}

// The desktop's startup-applications tool switches an entry off in place.
TEST_F(LoginItemTest, AnEntrySwitchedOffOutsideReadsOffUntilEnabledAgain) {
    const QList<QPair<QByteArray, bool>> cases = {
        {"Hidden=true\n", false},
        {"X-GNOME-Autostart-enabled=false\n", false},
        {"Hidden=false\nX-GNOME-Autostart-enabled=true\n", true},
        // The white space a hand edit leaves does not change a switch.
        {"Hidden = true \r\n", false},
        {"X-GNOME-Autostart-enabled=false\t\n", false},
    };
    for (const auto& [line, enabled] : cases) {
        writeFile(entryPath(), "[Desktop Entry]\nType=Application\nExec=vesperin\n" + line);
        EXPECT_EQ(LoginItem::isEnabled(), enabled) << line.constData();
    }
    writeFile(entryPath(), "[Desktop Entry]\nType=Application\nExec=vesperin\nHidden=true\n");
    ASSERT_TRUE(LoginItem::setEnabled(true));
    EXPECT_TRUE(LoginItem::isEnabled());
}

QStringList logged;

void keepMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && QByteArray(context.category) == "vesperin.platform")
        logged.append(message);
}

TEST_F(LoginItemTest, AFolderThatCannotBeMadeFailsWithOneLogLine) {
    writeFile(profile.configHome() + "/autostart", "a file where the folder should be");
    logged.clear();
    const QtMessageHandler previous = qInstallMessageHandler(keepMessage);
    QString error;
    const bool enabled = LoginItem::setEnabled(true, &error);
    qInstallMessageHandler(previous);

    EXPECT_FALSE(enabled);
    EXPECT_TRUE(error.startsWith(profile.configHome() + "/autostart: ")) << error;
    EXPECT_GT(error.size(), (profile.configHome() + "/autostart: ").size());
    EXPECT_EQ(logged, QStringList{"Vesperin: ouverture à la connexion: " + error});
    EXPECT_FALSE(LoginItem::isEnabled());
}

} // namespace
