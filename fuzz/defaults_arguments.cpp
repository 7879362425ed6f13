// Feeds command lines to the vesperin-defaults tool, in a configuration folder of the
// fuzzer's own that is emptied before every input.
//
// Input: UTF-8, commands cut at 0xFF bytes (never part of UTF-8), each command's arguments
// cut at NUL bytes, as a real command line is.
#include "FuzzSupport.h"
#include "settings/PreferenceCoding.h"
#include "settings/Preferences.h"
#include "tools/defaults/DefaultsCommand.h"

#include <QDir>
#include <QFile>
#include <QMap>

#include <algorithm>

namespace {

constexpr int maxCommands = 4;

// Every file of the configuration folder, by name.
QMap<QString, QByteArray> folderContents() {
    QMap<QString, QByteArray> contents;
    const QDir folder(Preferences::folder());
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden)) {
        QFile file(folder.filePath(name));
        contents.insert(name, file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
    }
    return contents;
}

// What a domain name may turn into: letters, digits, '.', '-' and '_'.
bool isPlainFileName(const QString& name) {
    return std::all_of(name.cbegin(), name.cend(), [](QChar c) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
               c == u'.' || c == u'-' || c == u'_';
    });
}

// The domain's file as the next process would read it.
std::optional<QVariantMap> storedDomain(const QString& domain) {
    QFile file(Preferences::folder() + "/" + domain + ".json");
    if (!file.exists())
        return QVariantMap();
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return PreferenceCoding::decodeDomain(file.readAll());
}

void runOne(const QStringList& args) {
    const QMap<QString, QByteArray> before = folderContents();
    QString output;
    QString errors;
    QTextStream out(&output);
    QTextStream err(&errors);
    const int status = DefaultsCommand::run(args, out, err);
    const QString line = args.join(u' ');

    Fuzz::check(status == DefaultsCommand::success || status == DefaultsCommand::failure ||
                    status == DefaultsCommand::usageError,
                "the tool exits with one of its three statuses", line);
    if (status == DefaultsCommand::usageError) {
        Fuzz::check(errors.startsWith("usage:"), "bad arguments print the usage", line);
        Fuzz::check(folderContents() == before, "bad arguments write nothing", line);
        return;
    }
    for (const QString& name : folderContents().keys())
        Fuzz::check(isPlainFileName(name), "a domain's file has a plain name", name);
    const QString& domain = args.at(1);
    const auto stored = storedDomain(domain);
    Fuzz::check(stored.has_value(), "the tool leaves a file that reads back", line);
    if (status != DefaultsCommand::success || args.size() < 3)
        return;
    const QString& key = args.at(2);
    const auto seen = Preferences::domain(domain).objectForKey(key);
    if (args.first() == "write")
        Fuzz::check(seen && stored->value(key) == *seen,
                    "a written value reads back the same from the file", line);
    else if (args.first() == "delete")
        Fuzz::check(!seen && !stored->contains(key), "a deleted key is gone", line);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(Fuzz::scratchFolder()));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QDir(Preferences::folder()).removeRecursively();
    const QList<QByteArray> commands = Fuzz::bytes(data, size).split('\xff');
    for (qsizetype i = 0; i < commands.size() && i < maxCommands; ++i)
        runOne(QString::fromUtf8(commands.at(i)).split(QChar(0)));
    return 0;
}
