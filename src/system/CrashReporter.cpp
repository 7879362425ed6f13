#include "system/CrashReporter.h"

#include "platform/AppFolders.h"
#include "platform/AtomicFile.h"
#include "platform/OperatingSystem.h"
#include "service/ServiceEndpoints.h"
#include "settings/PreferenceKeys.h"
#include "settings/Preferences.h"

#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QNetworkReply>
#include <QStringDecoder>
#include <QTextBoundaryFinder>

#include <chrono>
#include <optional>

namespace {

constexpr std::chrono::milliseconds sendTimeout{8000};
const QString crashKind = QStringLiteral("crash");

std::optional<QString> readStrictUtf8(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder.decode(file.readAll());
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

struct PendingCrash {
    QString message;
    QString stack;
};

PendingCrash splitPendingCrash(const QString& text) {
    const QStringList parts = text.split(CrashReporter::separator);
    return {parts.at(0), parts.size() > 1 ? parts.at(1) : QString()};
}

bool isApplicationCrashLog(const QString& fileName) {
    return (fileName.startsWith("Vesperin") || fileName.startsWith("Orvenna Cal")) &&
           (fileName.endsWith(".ips") || fileName.endsWith(".crash"));
}

// The first non-empty line naming an exception or a termination, whichever comes first.
QString summaryOfLog(const QString& log) {
    for (const QString& line : log.split('\n', Qt::SkipEmptyParts)) {
        if (line.contains("Exception") || line.contains("Termination"))
            return line;
    }
    return QStringLiteral("Rapport système macOS"); // the text the service knows these by
}

// Counted in characters as the user sees them, so a cut never splits one.
QString truncatedLog(const QString& log) {
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, log);
    qsizetype end = 0;
    for (int count = 0; count < CrashReporter::maxLogCharacters; ++count) {
        end = characters.toNextBoundary();
        if (end < 0)
            return log;
    }
    return log.left(end);
}

} // namespace

namespace CrashReporter {

void install() {
    // Temporary files of a write that a crash interrupted are useless now.
    AtomicFile::removeLeftovers(crashFile());
    sendPendingCrash();
    sendSystemCrashReports();
    installHandlers();
}

QString crashFile() {
    const QString folder = AppFolders::applicationSupport();
    QDir().mkpath(folder);
    return folder + "/pending-crash.txt";
}

bool sendPendingCrash() {
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
    send(crashKind, crash.message, crash.stack);
    return true;
}

int sendSystemCrashReports() {
    const QDir folder(AppFolders::diagnosticReports());
    if (!folder.exists() || !QFileInfo(folder.path()).isReadable())
        return 0;
    Preferences& store = Preferences::standard();
    const auto lastScan = store.dateForKey(PreferenceKeys::lastCrashScan);
    auto newest = lastScan;
    int sent = 0;
    for (const QFileInfo& entry : folder.entryInfoList(QDir::Files, QDir::Unsorted)) {
        if (!isApplicationCrashLog(entry.fileName()))
            continue;
        const QDateTime modified = entry.lastModified();
        if (!modified.isValid() || (lastScan && modified <= *lastScan))
            continue;
        const auto log = readStrictUtf8(entry.filePath());
        if (!log)
            continue;
        send(crashKind, summaryOfLog(*log), truncatedLog(*log));
        ++sent;
        if (!newest || modified > *newest)
            newest = modified;
    }
    if (newest)
        store.setObject(PreferenceKeys::lastCrashScan, *newest);
    return sent;
}

void send(const QString& kind, const QString& message, const QString& stack) {
    const auto deviceId = Preferences::standard().stringForKey(PreferenceKeys::deviceId);
    const QJsonObject record{
        {"d", deviceId && !deviceId->isEmpty() ? *deviceId : QStringLiteral("?")},
        {"kind", kind},
        {"message", message},
        {"stack", stack},
        {"v", ServiceEndpoints::appVersion()},
        {"os", OperatingSystem::osString()}};
    QNetworkReply* reply = ServiceEndpoints::post(ServiceEndpoints::crash(), record, sendTimeout);
    QObject::connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
}

} // namespace CrashReporter
