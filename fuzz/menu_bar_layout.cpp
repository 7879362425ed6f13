// Feeds bytes to the decoder of the stored menu-bar layout.
#include "FuzzSupport.h"
#include "model/MenuBarItem.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto items = MenuBarItemCoding::decode(Fuzz::bytes(data, size));
    if (!items)
        return 0;
    // The editor writes a decoded layout back when the user changes anything: it must read
    // back as the same items, and writing those gives the same bytes.
    const QByteArray written = MenuBarItemCoding::encode(*items);
    const auto reread = MenuBarItemCoding::decode(written);
    Fuzz::check(reread.has_value(), "a decoded layout, written again, can be decoded",
                QString::fromUtf8(written));
    Fuzz::check(*reread == *items, "a decoded layout, written and decoded again, is unchanged",
                QString::fromUtf8(written));
    Fuzz::check(MenuBarItemCoding::encode(*reread) == written,
                "writing a layout decoded again gives the same bytes", QString::fromUtf8(written));
    return 0;
}
