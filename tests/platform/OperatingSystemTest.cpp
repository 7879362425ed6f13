#include "platform/OperatingSystem.h"

#include <QList>

#include <gtest/gtest.h>

namespace {

TEST(OperatingSystemTest, TheDistributionIsNamedWithItsMajorAndMinorVersionElseTheKernel) {
    const QList<std::pair<QByteArray, std::optional<QString>>> cases = {
        {"PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nNAME=\"Debian GNU/Linux\"\n"
         "VERSION_ID=\"12\"\nID=debian\n",
         "Debian 12"},
        {"NAME=\"Alpine Linux\"\nVERSION_ID=3.18.4\n", "Alpine Linux 3.18"},
        {"# comment\nNAME='Arch Linux'\nBUILD_ID=rolling\n", "Arch Linux"},
        {"NAME=\"Say \\\"hi\\\" OS\"\nVERSION_ID=\"1.2\"\n", "Say \"hi\" OS 1.2"},
        {"ID=debian\nVERSION_ID=12\n", std::nullopt},
        {"NAME=\"\"\nVERSION_ID=12\n", std::nullopt},
        // White space left at the end by the cut goes too.
        {"NAME=Alpine\nVERSION_ID=3.1\r.4\n", "Alpine 3.1"},
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

} // namespace
