// Feeds program paths to the autostart entry the login item writes, and reads the entry back
// as the session and the desktop's startup-applications tools do: any path the program may be
// installed at must come back as written, or the entry starts nothing at login.
//
// Input: the path as UTF-8, cut at its first NUL byte (no path holds one), made absolute.
#include "FuzzSupport.h"
#include "platform/DesktopEntry.h"
#include "platform/KeyFile.h"
#include "platform/LoginItem.h"

#include <QFile>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(Fuzz::scratchFolder()));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString program = "/" + QString::fromUtf8(Fuzz::fields(Fuzz::bytes(data, size), 2).at(0));
    const QByteArray written = LoginItem::entryFor(program);
    const auto entry = DesktopEntry::fromKeyFile(KeyFile::parse(written));
    const QString detail = QString::fromUtf8(written);
    Fuzz::check(entry.has_value(), "the entry can be read", detail);
    Fuzz::check(entry->type == "Application" && !entry->hidden, "the entry is an application",
                detail);
    Fuzz::check(entry->command() == QStringList{program}, "the entry starts the program", detail);
    Fuzz::check(entry->tryExec == program, "the entry lapses with the program", detail);
    Fuzz::writeFile(LoginItem::entryPath(), written);
    Fuzz::check(LoginItem::isEnabled(), "the entry written is enabled", detail);
    return 0;
}
