#include "platform/ProcessLauncher.h"

#include <QProcess>

namespace {

// The tools run to completion here answer in milliseconds; a tool stuck on an unresponsive
// session bus must not hold the caller for long.
constexpr int runTimeoutMs = 5000;

class SystemProcessLauncher final : public ProcessLauncher {
public:
    bool startDetached(const QString& program, const QStringList& arguments) override {
        return QProcess::startDetached(program, arguments);
    }

    std::optional<QByteArray> run(const QString& program, const QStringList& arguments) override {
        QProcess process;
        process.setStandardInputFile(QProcess::nullDevice());
        process.start(program, arguments);
        if (!process.waitForStarted(runTimeoutMs))
            return std::nullopt;
        if (!process.waitForFinished(runTimeoutMs)) {
            process.kill();
            process.waitForFinished();
            return std::nullopt;
        }
        if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
            return std::nullopt;
        return process.readAllStandardOutput();
    }
};

} // namespace

ProcessLauncher& ProcessLauncher::system() {
    static SystemProcessLauncher launcher;
    return launcher;
}
