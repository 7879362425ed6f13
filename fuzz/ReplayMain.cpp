// The main of a fuzz target built without libFuzzer: it runs the target once on each file
// named on the command line, or on each file of each folder named, so that every input once
// kept in a corpus, crashes included, is tried again by the ordinary test suite. It runs in
// the tests' fixed world; it fails on a missing path or when there was nothing to replay, so a
// wrong corpus path cannot pass unnoticed.
#include "harness/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

// The files a path names: itself, or the files of the folder in name order.
QStringList inputsOf(const QString& path) {
    const QFileInfo info(path);
    if (!info.isDir())
        return {path};
    QStringList inputs;
    const QDir folder(path);
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden, QDir::Name))
        inputs.append(folder.filePath(name));
    return inputs;
}

bool replay(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "replay: cannot read %s\n", qPrintable(path));
        return false;
    }
    const QByteArray content = file.readAll();
    // A buffer of exactly the input's size, never null, as libFuzzer gives, so that the
    // sanitizers see a read past its end.
    const auto bytes = std::make_unique<uint8_t[]>(size_t(content.size()));
    std::copy(content.cbegin(), content.cend(), bytes.get());
    std::fprintf(stderr, "replay: %s\n", qPrintable(path));
    LLVMFuzzerTestOneInput(bytes.get(), size_t(content.size()));
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const TestEnvironment environment;
    if (!environment.isReady())
        return 2;
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        const QString path = QFile::decodeName(argv[i]);
        if (!QFileInfo::exists(path)) {
            std::fprintf(stderr, "replay: no such file or folder: %s\n", argv[i]);
            return 2;
        }
        for (const QString& input : inputsOf(path)) {
            if (!replay(input))
                return 2;
            ++replayed;
        }
    }
    if (replayed == 0) {
        std::fprintf(stderr, "replay: no input to replay\n");
        return 2;
    }
    std::fprintf(stderr, "replay: %d inputs, no fault\n", replayed);
    return 0;
}
