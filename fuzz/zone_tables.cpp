// Feeds two time-zone tables (the input cut at its first NUL byte) to the reader of the
// system's zone tables, through files in a folder of the fuzzer's own.
#include "FuzzSupport.h"
#include "model/Places.h"
#include "platform/Graphemes.h"

namespace {

QString writtenTable(const QString& name, const QByteArray& content) {
    QString path = Fuzz::scratchFolder() + "/" + name;
    Fuzz::writeFile(path, content);
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QList<QByteArray> tables = Fuzz::fields(Fuzz::bytes(data, size), 2);
    const QString first = writtenTable("zone.tab", tables.at(0));
    const QString second = writtenTable("zone1970.tab", tables.value(1));
    const QString missing = Fuzz::scratchFolder() + "/missing.tab";

    const QHash<QString, QString> both = Places::readCountryByZone({first, missing, second});

    // The first table wins over the second for a zone both name; a missing one changes nothing.
    QHash<QString, QString> merged = Places::readCountryByZone({second});
    const QHash<QString, QString> firstOnly = Places::readCountryByZone({first});
    for (auto it = firstOnly.cbegin(); it != firstOnly.cend(); ++it)
        merged.insert(it.key(), it.value());
    Fuzz::check(both == merged, "the first table naming a zone wins");

    for (auto it = both.cbegin(); it != both.cend(); ++it) {
        Fuzz::check(Graphemes::count(it.value()) == 2, "a country code is two graphemes",
                    it.value());
        if (const auto flag = Places::flagForCountry(it.value()))
            Fuzz::check(flag->isValidUtf16(), "a flag is well-formed text", it.value());
    }
    return 0;
}
