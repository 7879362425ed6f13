// Feeds a desktop entry file, as an installed application or a user could leave one, to the
// key file reader and the desktop entry's command line.
//
// Input: the file's bytes.
#include "FuzzSupport.h"
#include "platform/DesktopEntry.h"
#include "platform/KeyFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto entry = DesktopEntry::fromKeyFile(KeyFile::parse(Fuzz::bytes(data, size)));
    if (!entry)
        return 0;
    // A lone surrogate never comes out of UTF-8, so no argument of the file can look like ours.
    const QStringList ours{QString(QChar(0xD800)) + "1", QString(QChar(0xD800)) + "2"};
    const QStringList without = entry->command();
    const QStringList with = entry->command(ours);
    if (without.isEmpty()) {
        Fuzz::check(with.isEmpty(), "no program, no command", entry->exec.join(u' '));
        return 0;
    }
    Fuzz::check(without.first() == entry->program(), "the program comes first", without.join(u' '));
    // Our arguments stand together once, and taking them out leaves the command without them.
    const qsizetype at = with.indexOf(ours.first());
    Fuzz::check(at > 0 && with.mid(at, 2) == ours && with.lastIndexOf(ours.first()) == at,
                "our arguments stand once, together", with.join(u' '));
    Fuzz::check(with.mid(0, at) + with.mid(at + 2) == without, "our arguments change nothing else",
                with.join(u' '));
    return 0;
}
