// Feeds an os-release file, as a distribution (or a person) could write it, to the reader of
// the system's name that every report to the service carries.
#include "FuzzSupport.h"
#include "platform/OperatingSystem.h"

#include <QRegularExpression>

namespace {

// The name written back as NAME alone, in double quotes with its backslashes and quotes
// escaped.
QByteArray nameOnly(const QString& name) {
    QString quoted = name;
    quoted.replace(u'\\', QLatin1StringView("\\\\")).replace(u'"', QLatin1StringView("\\\""));
    return "NAME=\"" + quoted.toUtf8() + "\"\n";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto described = OperatingSystem::describeOsRelease(Fuzz::bytes(data, size));
    if (!described)
        return 0;
    const QString& name = *described;
    Fuzz::check(!name.isEmpty() && !name.front().isSpace() && !name.back().isSpace(),
                "a system's name has no white space at either end", name);
    Fuzz::check(!name.contains(u'\n'), "a system's name is one line", name);
    // Read again as the only field, the name describes itself, unless it ends the way a
    // distribution's NAME does that is cut off.
    static const QRegularExpression gnuLinux(R"(\s+GNU/Linux$)");
    if (!gnuLinux.match(name).hasMatch())
        Fuzz::check(OperatingSystem::describeOsRelease(nameOnly(name)) == name,
                    "a system's name, written as NAME, reads back the same", name);
    return 0;
}
