// The smallest honest Qt Widgets clock: a frameless label along the top of the screen whose
// text a 1-second QTimer sets. The peers benchmark measures Vesperin against it, so that what
// Qt itself costs is not counted against the application.
#include <QApplication>
#include <QDateTime>
#include <QLabel>
#include <QScreen>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel label;
    label.setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    label.setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label.setGeometry(0, 0, QGuiApplication::primaryScreen()->geometry().width(), 24);
    const auto tick = [&label] {
        label.setText(QDateTime::currentDateTime().toString("HH:mm:ss"));
    };
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &label, tick);
    tick();
    timer.start(1000);
    label.show();
    return app.exec();
}
