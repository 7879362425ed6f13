#include "platform/KeyFile.h"

#include <gtest/gtest.h>

namespace {

// Read as GLib reads the files the session starts programs from: a value keeps the white
// space at its end, which may be part of a path; white space around '=', around a group's
// name line and before a line does not count, nor does the '\r' of a "\r\n" line end.
TEST(KeyFile, AValueKeepsTheWhiteSpaceAtItsEndAndLosesTheRest) {
    const KeyFile file = KeyFile::parse("  [Desktop Entry] \t\r\n"
                                        "\tTryExec =  /opt/app \r\n"
                                        "Name=Caf\xc3\xa9\xc2\xa0\n"
                                        "Path=\\s/opt/ \\t\n"
                                        "Hidden = true \n"
                                        "NoDisplay=true x\n");
    ASSERT_TRUE(file.hasGroup("Desktop Entry"));
    EXPECT_EQ(file.string("Desktop Entry", "TryExec"), "/opt/app ");
    EXPECT_EQ(file.string("Desktop Entry", "Name"), QString::fromUtf8("Café\u00a0"));
    EXPECT_EQ(file.string("Desktop Entry", "Path"), " /opt/ \t");
    EXPECT_TRUE(file.boolean("Desktop Entry", "Hidden"));
    EXPECT_FALSE(file.boolean("Desktop Entry", "NoDisplay"));
}

} // namespace
