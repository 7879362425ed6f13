// Feeds bytes to the update feed's reader, and the same bytes read as UTF-8 to the notes' markup
// stripper.
#include "FuzzSupport.h"
#include "updates/AppcastFeed.h"

namespace {

const QUrl feedUrl("https://updates.example.org/vesperin/appcast.xml");

void checkFeed(const QByteArray& xml) {
    const AppcastFeed::Reading reading = AppcastFeed::read(xml, feedUrl);
    Fuzz::check(reading.error.isEmpty() || reading.items.isEmpty(),
                "a feed that cannot be read gives no releases");
    Fuzz::check(!reading.error.contains(u'\n'), "a reading error is one line", reading.error);
    for (const AppcastItem& item : reading.items) {
        Fuzz::check(AppcastFeed::isVersion(item.version), "every release has a version",
                    item.version);
        Fuzz::check(item.length == -1 || item.length > 0, "a length is positive or unknown");
        const QString scheme = item.page.scheme();
        Fuzz::check(item.page.isEmpty() || scheme == "http" || scheme == "https",
                    "a page is a web address", item.page.toString());
    }
    const UpdateCheck check = AppcastFeed::check(xml, feedUrl, "1.0");
    Fuzz::check(check.outcome != UpdateCheck::Outcome::newer ||
                    AppcastFeed::compareVersions(check.update.version, "1.0") > 0,
                "only a later version is newer", check.update.version);
}

bool isHtmlSpace(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

// White space is laid out as a browser does: single spaces between words, one or two line
// breaks between blocks, nothing at either end.
void checkNotes(const QString& html) {
    const QString text = AppcastFeed::plainText(html);
    Fuzz::check(text.isEmpty() || (!isHtmlSpace(text.front()) && !isHtmlSpace(text.back())),
                "no white space at either end", text);
    for (const char* run : {"  ", " \n", "\n ", "\n\n\n", "\t", "\r", "\f"})
        Fuzz::check(!text.contains(QLatin1StringView(run)), "white space collapsed", text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = Fuzz::bytes(data, size);
    checkFeed(bytes);
    checkNotes(QString::fromUtf8(bytes));
    return 0;
}
