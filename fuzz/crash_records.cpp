// Feeds the system's crash stores to the listing of the application's crash records: what
// `coredumpctl --json=short` prints, through a launcher that plays coredumpctl, and an apport
// report in a report folder of the fuzzer's own.
//
// Input: the listing, then after the first NUL byte the apport report (NUL bytes included).
#include "FuzzSupport.h"
#include "crash/SystemCrashRecords.h"
#include "platform/ProcessLauncher.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace {

using SystemCrashRecords::Program;
using SystemCrashRecords::Record;

const Program program{"/opt/vesperin/bin/vesperin", "vesperin", 1000};
const QByteArray coredumpText = "Signal: 11 (SEGV)\n";

// Answers the listing with the input and every "info" with the same text; keeps the last
// arguments it was run with.
class FakeCoredumpTool : public ProcessLauncher {
public:
    explicit FakeCoredumpTool(const QByteArray& listing) : m_listing(listing) {}

    bool startDetached(const QString&, const QStringList&) override { return false; }

    std::optional<QByteArray> run(const QString& tool, const QStringList& arguments) override {
        Fuzz::check(tool == SystemCrashRecords::coredumpTool, "only coredumpctl is run", tool);
        lastArguments = arguments;
        return arguments == QStringList{"--json=short"} ? m_listing : coredumpText;
    }

    QStringList lastArguments;

private:
    QByteArray m_listing;
};

// The entry of the listing that `info` arguments pick out by time and pid.
bool namesAnEntry(const QJsonArray& listing, qint64 microseconds, qint64 pid) {
    return std::any_of(listing.cbegin(), listing.cend(), [&](const QJsonValue& value) {
        const QJsonObject entry = value.toObject();
        return entry.value("time").toInteger(-1) == microseconds &&
               entry.value("pid").toInteger(-1) == pid &&
               entry.value("uid").toInteger(-1) == qint64(program.userId);
    });
}

// "@<seconds>.<six digits>" back to microseconds; -1 when it is not that form.
qint64 instantOf(const QString& argument, QLatin1StringView option) {
    const QString value = argument.startsWith(option) ? argument.mid(option.size()) : QString();
    const qsizetype dot = value.indexOf(u'.');
    bool secondsRead = false;
    bool microsRead = false;
    const qint64 seconds = value.mid(1, dot - 1).toLongLong(&secondsRead);
    const qint64 micros = value.mid(dot + 1).toLongLong(&microsRead);
    if (!value.startsWith(u'@') || dot < 0 || value.size() - dot - 1 != 6 || !secondsRead ||
        !microsRead)
        return -1;
    return seconds * 1000000 + micros;
}

void checkCoredumpRecord(const Record& record, const QJsonArray& listing, const QStringList& info) {
    Fuzz::check(info.size() == 4 && info.at(0) == "info" && info.at(3).startsWith("COREDUMP_PID="),
                "a coredump is read with coredumpctl info and its pid", info.join(u' '));
    const qint64 since = instantOf(info.at(1), QLatin1StringView("--since="));
    const qint64 until = instantOf(info.at(2), QLatin1StringView("--until="));
    Fuzz::check(since >= 0 && since == until, "a coredump is read at its one instant",
                info.join(u' '));
    Fuzz::check(record.time == QDateTime::fromMSecsSinceEpoch(since / 1000, Qt::UTC),
                "a record's time is its entry's, in milliseconds", info.join(u' '));
    bool pidRead = false;
    const qint64 pid = info.at(3).mid(qstrlen("COREDUMP_PID=")).toLongLong(&pidRead);
    Fuzz::check(pidRead && pid > 0 && namesAnEntry(listing, since, pid),
                "a record is an entry of the program's user", info.join(u' '));
}

// The record's text is whole lines of the report, led by a line naming an executable, one of
// them ours, and none of a binary field.
void checkApportText(const QString& text, const QByteArray& report) {
    Fuzz::check(text.endsWith(u'\n'), "the text ends with a line feed", text);
    QStringList lines = text.split(u'\n');
    lines.removeLast();
    const auto isExecutablePath = [](const QString& line) {
        return line.section(u':', 0, 0) == "ExecutablePath";
    };
    Fuzz::check(isExecutablePath(lines.first()), "the text starts with the executable's path",
                text);
    Fuzz::check(std::any_of(lines.cbegin(), lines.cend(),
                            [&](const QString& line) {
                                return isExecutablePath(line) &&
                                       line.section(u':', 1).trimmed() == program.executable;
                            }),
                "the report is the executable's", text);
    QStringList reportLines;
    for (const QByteArray& line : report.split('\n'))
        reportLines.append(QString::fromUtf8(line));
    for (const QString& line : lines) {
        Fuzz::check(reportLines.contains(line), "every line is a line of the report", line);
        Fuzz::check(line.startsWith(u' ') || line.section(u':', 1).trimmed() != "base64",
                    "a binary field is left out", line);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    qputenv("APPORT_REPORT_DIR", QFile::encodeName(Fuzz::scratchFolder()));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QList<QByteArray> stores = Fuzz::fields(Fuzz::bytes(data, size), 2);
    const QByteArray report = stores.value(1);
    Fuzz::writeFile(Fuzz::scratchFolder() + "/_opt_vesperin_bin_vesperin.1000.crash", report);
    const QJsonArray listing = QJsonDocument::fromJson(stores.at(0)).array();

    FakeCoredumpTool tool(stores.at(0));
    const QList<Record> records = SystemCrashRecords::list(tool, program);
    Fuzz::check(records.size() <= listing.size() + 1, "no more records than entries and report");
    for (const Record& record : records) {
        tool.lastArguments.clear();
        const std::optional<QString> text = record.read();
        if (!tool.lastArguments.isEmpty()) {
            Fuzz::check(text == QString::fromUtf8(coredumpText), "a coredump reads as its text");
            checkCoredumpRecord(record, listing, tool.lastArguments);
        } else if (text) {
            checkApportText(*text, report);
        }
    }
    return 0;
}
