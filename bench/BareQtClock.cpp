// The smallest honest Qt Widgets clock: a frameless label along the top of the screen whose
// text a 1-second QTimer sets. The peers benchmark measures Vesperin against it, so that what
// Qt itself costs is not counted against the application.
//
// Built with WITH_APPLICATION_LIBRARIES, it also loads what the application links (QtDBus,
// ICU) and formats its text with an ICU formatter as the application does: the floor
// that those dependencies alone set for memory and start-up.
#include <QApplication>
#include <QDateTime>
#include <QLabel>
#include <QScreen>
#include <QTimer>

#ifdef WITH_APPLICATION_LIBRARIES
#include <QDBusConnection>

#include <unicode/smpdtfmt.h>

#include <memory>

namespace {

QString timeText() {
    static const std::unique_ptr<icu::SimpleDateFormat> formatter = [] {
        UErrorCode status = U_ZERO_ERROR;
        return std::make_unique<icu::SimpleDateFormat>(icu::UnicodeString(u"HH:mm:ss"), status);
    }();
    icu::UnicodeString text;
    formatter->format(UDate(QDateTime::currentMSecsSinceEpoch()), text);
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

// Touches one symbol of each Qt library so the linker keeps them, as the application needs them.
void touchLibraries() {
    Q_UNUSED(QDBusConnection::sessionBus().isConnected());
}

} // namespace
#else
namespace {

QString timeText() {
    return QDateTime::currentDateTime().toString("HH:mm:ss");
}

void touchLibraries() {}

} // namespace
#endif

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    touchLibraries();
    QLabel label;
    label.setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    label.setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label.setGeometry(0, 0, QGuiApplication::primaryScreen()->geometry().width(), 24);
    const auto tick = [&label] { label.setText(timeText()); };
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &label, tick);
    tick();
    timer.start(1000);
    label.show();
    return app.exec();
}
