// Feeds bytes to the reader of a preferences file, as if a person or another program had
// written the file.
#include "FuzzSupport.h"
#include "settings/PreferenceCoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto values = PreferenceCoding::decodeDomain(Fuzz::bytes(data, size));
    if (!values)
        return 0;
    // Whatever was read is held as values the store can keep ...
    const auto canonical = PreferenceCoding::canonical(*values);
    Fuzz::check(canonical && canonical->toMap() == *values,
                "a decoded domain holds only canonical values");
    // ... and is written back at the next change of any key: that file must read back the
    // same, or the next start would move it aside and lose every key.
    const QByteArray written = PreferenceCoding::encodeDomain(*values);
    const auto reread = PreferenceCoding::decodeDomain(written);
    Fuzz::check(reread.has_value(), "a decoded domain, written again, can be read",
                QString::fromUtf8(written));
    Fuzz::check(*reread == *values, "a decoded domain, written and read again, is unchanged",
                QString::fromUtf8(written));
    Fuzz::check(PreferenceCoding::encodeDomain(*reread) == written,
                "writing a domain read back gives the same file", QString::fromUtf8(written));
    return 0;
}
