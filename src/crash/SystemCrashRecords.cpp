#include "crash/SystemCrashRecords.h"

#include "platform/ProcessLauncher.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>

#include <algorithm>
#include <unistd.h>

namespace {

// The kernel keeps 15 bytes of a program's name (TASK_COMM_LEN, less the terminating zero).
constexpr qsizetype commandNameBytes = 15;

// The fields of an apport report that name its crash, in the order they lead the text.
const QByteArrayList leadingApportFields = {"ExecutablePath", "Signal", "SignalName",
                                            "StacktraceTop", "Stacktrace"};

std::optional<QString> strictUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

bool namesProgram(const QString& exe, const SystemCrashRecords::Program& program) {
    // The command name has no slash, so it never stands for a path.
    return !exe.isEmpty() &&
           (exe == program.executable || exe == program.executable + " (deleted)" ||
            exe == program.commandName);
}

QList<SystemCrashRecords::Record> coredumpRecords(ProcessLauncher& launcher,
                                                  const SystemCrashRecords::Program& program) {
    using SystemCrashRecords::coredumpTool;
    // Without entries, coredumpctl ends with a failure status: nothing to read then either.
    const auto listing = launcher.run(coredumpTool, {"--json=short"});
    if (!listing)
        return {};
    QList<SystemCrashRecords::Record> records;
    for (const QJsonValue& value : QJsonDocument::fromJson(*listing).array()) {
        const QJsonObject entry = value.toObject();
        const qint64 time = entry.value("time").toInteger(-1); // microseconds since the epoch
        const qint64 pid = entry.value("pid").toInteger(-1);
        if (time < 0 || pid <= 0 || entry.value("uid").toInteger(-1) != qint64(program.userId) ||
            !namesProgram(entry.value("exe").toString(), program))
            continue;
        // The entry's own time picks it out from earlier processes that had the same pid.
        const QString at =
            QString("@%1.%2").arg(time / 1000000).arg(time % 1000000, 6, 10, QChar('0'));
        const QStringList details = {"info", "--since=" + at, "--until=" + at,
                                     "COREDUMP_PID=" + QString::number(pid)};
        records.append({QDateTime::fromMSecsSinceEpoch(time / 1000, Qt::UTC),
                        [&launcher, details]() -> std::optional<QString> {
                            const auto text = launcher.run(coredumpTool, details);
                            return text ? strictUtf8(*text) : std::nullopt;
                        }});
    }
    return records;
}

struct ApportField {
    QByteArray key;
    QByteArray value; // what follows the key on its own line
    QByteArray lines; // as written, with the continuation lines that start with a space
};

// The report's text, or nothing when it is not the executable's. Core dumps make reports of
// many megabytes, all of it in base64 fields; those lines are read past, never kept.
std::optional<QString> readApportReport(const QString& path, const QByteArray& executable) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QList<ApportField> fields;
    bool inBinaryField = false;
    while (!file.atEnd()) {
        QByteArray line = file.readLine();
        if (!line.endsWith('\n'))
            line += '\n';
        if (line.startsWith(' ')) {
            if (!inBinaryField && !fields.isEmpty())
                fields.last().lines += line;
            continue;
        }
        const qsizetype colon = line.indexOf(':');
        const QByteArray value = line.mid(colon + 1).trimmed();
        inBinaryField = value == "base64";
        if (!inBinaryField)
            fields.append({line.left(colon), value, line});
    }
    const auto isExecutable = [&](const ApportField& field) {
        return field.key == "ExecutablePath" && field.value == executable;
    };
    if (std::none_of(fields.cbegin(), fields.cend(), isExecutable))
        return std::nullopt;
    QByteArray text;
    for (const QByteArray& key : leadingApportFields) {
        for (const ApportField& field : fields) {
            if (field.key == key)
                text += field.lines;
        }
    }
    for (const ApportField& field : fields) {
        if (!leadingApportFields.contains(field.key))
            text += field.lines;
    }
    return strictUtf8(text);
}

std::optional<SystemCrashRecords::Record> apportRecord(const SystemCrashRecords::Program& program) {
    // apport names a report after the program's path and the user, one report each.
    QString name = program.executable;
    name.replace('/', '_');
    const QString path = SystemCrashRecords::apportFolder() + '/' + name + '.' +
                         QString::number(program.userId) + ".crash";
    const QFileInfo file(path);
    if (!file.isFile())
        return std::nullopt;
    return SystemCrashRecords::Record{file.lastModified().toUTC(),
                                      [path, executable = QFile::encodeName(program.executable)] {
                                          return readApportReport(path, executable);
                                      }};
}

} // namespace

namespace SystemCrashRecords {

Program Program::current() {
    const QString executable = QCoreApplication::applicationFilePath();
    const QByteArray name = QFile::encodeName(QFileInfo(executable).fileName());
    return {executable, QString::fromUtf8(name.left(commandNameBytes)), unsigned(::getuid())};
}

QString apportFolder() {
    const QString chosen = qEnvironmentVariable("APPORT_REPORT_DIR");
    return chosen.isEmpty() ? QStringLiteral("/var/crash") : chosen;
}

QList<Record> list(ProcessLauncher& launcher, const Program& program) {
    QList<Record> records = coredumpRecords(launcher, program);
    if (auto report = apportRecord(program))
        records.append(std::move(*report));
    return records;
}

} // namespace SystemCrashRecords
