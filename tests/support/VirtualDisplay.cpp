#include "support/VirtualDisplay.h"

#include <QRegularExpression>

// Xvfb picks a free display itself and writes its number to its output once it accepts
// connections.
VirtualDisplay::VirtualDisplay() {
    m_server.start(
        "Xvfb", {"-displayfd", "1", "-screen", "0", "1280x800x24", "-nolisten", "tcp", "-noreset"});
    for (int wait = 0; wait < 100 && !m_server.canReadLine(); ++wait)
        m_server.waitForReadyRead(100);
    if (m_server.canReadLine())
        m_name = ":" + QString::fromLatin1(m_server.readLine().trimmed());
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

QByteArray VirtualDisplay::run(const QString& program, const QStringList& arguments) const {
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(program, arguments);
    process.waitForFinished(10000);
    return process.readAllStandardOutput();
}

std::optional<QRect> VirtualDisplay::windowFrame(const QString& title) const {
    const QString info = QString::fromUtf8(run("xwininfo", {"-name", title}));
    QList<int> numbers;
    for (const char* label :
         {"Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"}) {
        const auto match = QRegularExpression(QString(label) + R"(:\s+(-?\d+))").match(info);
        if (!match.hasMatch())
            return std::nullopt;
        numbers.append(match.captured(1).toInt());
    }
    return QRect(numbers[0], numbers[1], numbers[2], numbers[3]);
}

QString VirtualDisplay::windowProperty(const QString& title, const QString& property) const {
    return QString::fromUtf8(run("xprop", {"-name", title, property})).trimmed();
}

QImage VirtualDisplay::screenshot(const QRect& area) const {
    const QString crop =
        QString::asprintf("%dx%d+%d+%d", area.width(), area.height(), area.x(), area.y());
    return QImage::fromData(run("import", {"-window", "root", "-crop", crop, "png:-"}), "PNG");
}
