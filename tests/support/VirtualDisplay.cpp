#include "support/VirtualDisplay.h"

#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

namespace {

bool displayIsTaken(int number) {
    return QFile::exists(QString("/tmp/.X%1-lock").arg(number)) ||
           QFile::exists(QString("/tmp/.X11-unix/X%1").arg(number));
}

} // namespace

// Picks a free display well above the ones desktops use, and waits until the server answers.
VirtualDisplay::VirtualDisplay(int width, int height) {
    for (int attempt = 0; attempt < 5 && m_name.isEmpty(); ++attempt) {
        const int number = 200 + int(QRandomGenerator::global()->bounded(700));
        if (displayIsTaken(number))
            continue;
        m_server.start("Xvfb", {QString(":%1").arg(number), "-screen", "0",
                                QString("%1x%2x24").arg(width).arg(height), "-nolisten", "tcp",
                                "-noreset"});
        if (!m_server.waitForStarted(5000))
            return;
        m_name = QString(":%1").arg(number);
        if (!QTest::qWaitFor([this] { return answers(); }, 10000)) {
            m_server.kill();
            m_server.waitForFinished(3000);
            m_name.clear();
        }
    }
}

bool VirtualDisplay::answers() const {
    QProcess probe;
    probe.setProcessEnvironment(environment());
    probe.start("xdpyinfo", {});
    return probe.waitForFinished(5000) && probe.exitStatus() == QProcess::NormalExit &&
           probe.exitCode() == 0;
}

VirtualDisplay::~VirtualDisplay() {
    m_server.terminate();
    m_server.waitForFinished(3000);
}

QProcessEnvironment VirtualDisplay::environment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", m_name);
    environment.insert("QT_QPA_PLATFORM", "xcb");
    return environment;
}

QString VirtualDisplay::run(const QString& program, const QStringList& arguments) const {
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(program, arguments);
    process.waitForFinished(10000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

std::optional<QRect> VirtualDisplay::windowFrame(const QString& title) const {
    const QString info = run("xwininfo", {"-name", title});
    auto number = [&](const char* label) -> std::optional<int> {
        const auto match = QRegularExpression(QString(label) + R"(:\s+(-?\d+))").match(info);
        return match.hasMatch() ? std::optional<int>(match.captured(1).toInt()) : std::nullopt;
    };
    const auto x = number("Absolute upper-left X");
    const auto y = number("Absolute upper-left Y");
    const auto width = number("Width");
    const auto height = number("Height");
    if (!x || !y || !width || !height)
        return std::nullopt;
    return QRect(*x, *y, *width, *height);
}

QString VirtualDisplay::windowProperty(const QString& title, const QString& property) const {
    return run("xprop", {"-name", title, property}).trimmed();
}

QImage VirtualDisplay::screenshot(const QRect& area) const {
    QStringList arguments{"-window", "root"};
    if (!area.isNull())
        arguments << "-crop"
                  << QString("%1x%2+%3+%4")
                         .arg(area.width())
                         .arg(area.height())
                         .arg(area.x())
                         .arg(area.y());
    arguments << "png:-";
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start("import", arguments);
    process.waitForFinished(10000);
    return QImage::fromData(process.readAllStandardOutput(), "PNG");
}
