// Feeds two time-zone tables (the input cut at its first NUL byte) to the reader of the
// system's zone tables, through files in a folder of the fuzzer's own.
#include "FuzzSupport.h"
#include "model/Places.h"
#include "platform/Graphemes.h"

#include <QFile>

namespace {

QString writtenTable(const QString& name, const QByteArray& content) {
    const QString path = Fuzz::scratchFolder() + "/" + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(content) != content.size())
        Fuzz::check(false, "the scratch table can be written", path);
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input = Fuzz::bytes(data, size);
    const qsizetype cut = input.indexOf('\0');
    const QString first = writtenTable("zone.tab", cut < 0 ? input : input.left(cut));
    const QString second =
        writtenTable("zone1970.tab", cut < 0 ? QByteArray() : input.mid(cut + 1));
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
