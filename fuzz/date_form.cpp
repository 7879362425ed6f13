// Feeds strftime-style date forms, as a translation in a gettext catalogue might hold them,
// to the writer of GNOME Calendar's date argument.
//
// Input: UTF-16 (lone surrogates included): the form.
#include "FuzzSupport.h"
#include "calendar/GnomeCalendarDate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString form = Fuzz::utf16(data, size);
    const QDate day(2026, 3, 7);
    const auto text = GnomeCalendarDate::render(form, day);
    if (!form.contains(u'%'))
        Fuzz::check(text == form, "a form without conversions is its own text", form);
    // Every conversion is written out: a '%' is left only where the form said "%%".
    if (text && !form.contains(u"%%"))
        Fuzz::check(!text->contains(u'%'), "no conversion is left as written", form);
    return 0;
}
