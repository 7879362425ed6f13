#include "FuzzSupport.h"

#include "platform/SystemContext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace Fuzz {

QByteArray bytes(const uint8_t* data, size_t size) {
    return QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
}

QString utf16(const uint8_t* data, size_t size) {
    QString text;
    text.reserve(qsizetype(size / 2));
    for (size_t i = 0; i + 1 < size; i += 2)
        text.append(QChar(char16_t(data[i] | (data[i + 1] << 8))));
    return text;
}

QList<QByteArray> fields(const QByteArray& input, int count) {
    QList<QByteArray> cut;
    qsizetype from = 0;
    while (cut.size() + 1 < count) {
        const qsizetype nul = input.indexOf('\0', from);
        if (nul < 0)
            break;
        cut.append(input.mid(from, nul - from));
        from = nul + 1;
    }
    cut.append(input.mid(from));
    return cut;
}

void fixLocaleAndZone() {
    qputenv("TZ", "Europe/Paris");
    qputenv("LANG", "en_US.UTF-8");
    for (const char* name : {"LC_ALL", "LC_TIME", "LC_MESSAGES", "LANGUAGE"})
        qunsetenv(name);
    SystemContext::reloadFromEnvironment();
}

QString scratchFolder() {
    static QTemporaryDir folder(QDir::tempPath() + "/vesperin-fuzz-XXXXXX");
    if (!folder.isValid()) {
        std::fprintf(stderr, "fuzz: no temporary folder\n");
        std::abort();
    }
    return folder.path();
}

void writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    const bool written = QDir().mkpath(QFileInfo(path).path()) &&
                         file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                         file.write(content) == content.size();
    check(written, "a scratch file can be written", path);
}

void check(bool holds, const char* invariant, const QString& detail) {
    if (holds)
        return;
    std::fprintf(stderr, "\nBROKEN INVARIANT: %s\n", invariant);
    if (!detail.isEmpty())
        std::fprintf(stderr, "%s\n", detail.toUtf8().constData());
    std::abort();
}

} // namespace Fuzz
