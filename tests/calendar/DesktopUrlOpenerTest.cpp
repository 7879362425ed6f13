#include "calendar/DesktopUrlOpener.h"

#include "calendar/CalEngine.h"

#include <QDesktopServices>
#include <QTimeZone>

#include <gtest/gtest.h>

namespace {

class CalendarScheme : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public Q_SLOTS:
    void open(const QUrl& url) { opened.append(url); }
};

TEST(DesktopUrlOpenerTest, HandsTheCalendarAddressToTheDesktop) {
    CalendarScheme handler;
    QDesktopServices::setUrlHandler("ical", &handler, "open");
    DesktopUrlOpener::install();
    CalEngine::openInCalendarApp(
        QDateTime(QDate(2026, 3, 7), QTime(12, 0), QTimeZone("Europe/Paris")));
    QDesktopServices::unsetUrlHandler("ical");
    CalEngine::setUrlOpener(nullptr);
    EXPECT_EQ(handler.opened, QList<QUrl>{QUrl("ical://showdate/2026-03-07")});
}

} // namespace

#include "DesktopUrlOpenerTest.moc"
