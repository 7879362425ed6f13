#include "crash/CrashReporter.h"

#include "crash/Logging.h"
#include "crash/SystemCrashRecords.h"
#include "network/NetworkHelper.h"
#include "network/ServiceEndpoints.h"
#include "platform/AppFolders.h"
#include "platform/AtomicFile.h"
#include "platform/OperatingSystem.h"
#include "settings/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QTextBoundaryFinder>

#include <chrono>

namespace {

constexpr std::chrono::milliseconds sendTimeout{8000};
const QString crashKind = QStringLiteral("crash");

struct PendingCrash {
    QString message;
    QString stack;
};

PendingCrash splitPendingCrash(const QString& text) {
    const QStringList parts = text.split(CrashReporter::separator);
    return {parts.at(0), parts.size() > 1 ? parts.at(1) : QString()};
}

// The first line that names the signal ("Signal: 11" in apport's reports, "Signal: 11 (SEGV)"
// in coredumpctl's), trimmed. Neither store names a C++ exception: the abort that follows it is
// the signal, and the exception itself is in the application's own record of the crash.
QString summaryOfRecord(const QString& text) {
    for (const QString& line : text.split('\n')) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith("Signal:"))
            return trimmed;
    }
    // The text the service knows these by, with the system's name.
    return QStringLiteral("Rapport système ") + OperatingSystem::osString();
}

// Counted in characters as the user sees them, so a cut never splits one.
QString truncatedRecord(const QString& text) {
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, text);
    qsizetype end = 0;
    for (int count = 0; count < CrashReporter::maxRecordCharacters; ++count) {
        end = characters.toNextBoundary();
        if (end < 0)
            return text;
    }
    return text.left(end);
}

} // namespace

namespace CrashReporter {

void sendEarlierCrashes(Settings& settings, ProcessLauncher& launcher) {
    // Temporary files of a write that a crash interrupted are useless now.
    AtomicFile::removeLeftovers(crashFile());
    sendPendingCrash(settings);
    sendSystemCrashReports(settings, launcher);
}

QString crashFile() {
    const QString folder = AppFolders::applicationSupport();
    QDir().mkpath(folder);
    return folder + "/pending-crash.txt";
}

bool sendPendingCrash(const Settings& settings) {
    const QString path = crashFile();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // Our own file: bytes that are not UTF-8 (an exception's text may hold any) are replaced
    // rather than keeping a report that could then never be sent.
    const QString text = QString::fromUtf8(file.readAll());
    file.close();
    QFile::remove(path); // before sending, so that a crash is sent once at most
    const PendingCrash crash = splitPendingCrash(text);
    send(settings, crashKind, crash.message, crash.stack);
    return true;
}

int sendSystemCrashReports(Settings& settings, ProcessLauncher& launcher) {
    const QDateTime lastScan = settings.lastCrashScan();
    QDateTime newest = lastScan;
    int sent = 0;
    const auto records = SystemCrashRecords::list(launcher, SystemCrashRecords::Program::current());
    for (const SystemCrashRecords::Record& record : records) {
        if (lastScan.isValid() && record.time <= lastScan)
            continue;
        const auto text = record.read();
        if (!text)
            continue;
        qCDebug(lcCrash) << "Sending the system's crash record of" << record.time;
        send(settings, crashKind, summaryOfRecord(*text), truncatedRecord(*text));
        ++sent;
        if (!newest.isValid() || record.time > newest)
            newest = record.time;
    }
    if (newest.isValid())
        settings.setLastCrashScan(newest);
    return sent;
}

void send(const Settings& settings, const QString& kind, const QString& message,
          const QString& stack) {
    const QString deviceId = settings.deviceId();
    const QJsonObject record{{"d", deviceId.isEmpty() ? QStringLiteral("?") : deviceId},
                             {"kind", kind},
                             {"message", message},
                             {"stack", stack},
                             {"v", ServiceEndpoints::appVersion()},
                             {"os", OperatingSystem::osString()}};
    // Nobody waits for the answer; the application owns the exchange until it ends.
    NetworkHelper::start(NetworkRequest::posting(ServiceEndpoints::crash(), record, sendTimeout),
                         QCoreApplication::instance());
}

} // namespace CrashReporter
