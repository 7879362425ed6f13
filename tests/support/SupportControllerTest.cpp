#include "support/SupportController.h"

#include "harness/ModalAnswerer.h"
#include "harness/PrivateSessionBus.h"
#include "harness/TestHttpServer.h"
#include "harness/TestProfile.h"
#include "harness/TestText.h"
#include "platform/SingleInstance.h"
#include "settings/Localization.h"
#include "settings/Preferences.h"
#include "settings/Settings.h"
#include "support/MessageAlert.h"
#include "support/MessageBodyView.h"
#include "support/MessagesWindow.h"
#include "support/ServiceClient.h"
#include "ui/Appearance.h"
#include "ui/PassThroughLabel.h"

#include <QAction>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

// Plays the desktop's dock: records the launcher entry updates it receives.
class DockListener : public QObject {
    Q_OBJECT
public:
    QList<QDBusMessage> updates;
public Q_SLOTS:
    void update(const QDBusMessage& message) { updates.append(message); }
};

// Alerts print as their icon, title and text in expectations.
void PrintTo(const SupportController::Alert& alert, std::ostream* out) {
    *out << int(alert.icon) << " " << alert.title << ": " << alert.text;
}

namespace {

const QByteArray openWithMessage = R"({"mid":5,"tk":"open","msg":"We fixed it"})";

// The colour the button's symbol is drawn in: that of its most opaque pixel.
QRgb symbolColour(const QToolButton& button) {
    const QImage image = button.icon().pixmap(32).toImage();
    QColor strongest(Qt::transparent);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y).alpha() > strongest.alpha())
                strongest = image.pixelColor(x, y);
    return strongest.rgb();
}

// The controller over a service client that talks to a scripted loopback service, with the
// main view's markers and a main window of the test's, and prompts and alerts that record.
class SupportControllerTest : public ProfileTest {
protected:
    SupportControllerTest() {
        controller.setMarkers(&button, &badge, &row);
        controller.setMainWindow(&mainWindow);
        // Each answer is given once; the drafts the user was shown are kept.
        controller.askForReport = [this](const ProblemReport& draft, QWidget* window) {
            drafts.append({draft.text, draft.email});
            EXPECT_EQ(window, mainWindow.isVisible() ? &mainWindow : nullptr);
            return std::exchange(report, std::nullopt);
        };
        controller.presentMessage = [this](const QString& body) {
            presented.append(body);
            if (auto during = std::exchange(whilePresenting, nullptr))
                during();
        };
        controller.showAlert = [this](const SupportController::Alert& alert) {
            alerts.append(alert);
        };
    }

    // One sync: the service answers `answer`, then the follow-up runs.
    void sync(const QByteArray& answer, SupportController& target) {
        server.answer(200, answer);
        bool ended = false;
        service.checkWithServer([&] {
            target.syncFinished();
            ended = true;
        });
        ASSERT_TRUE(waitUntil([&] { return ended; }));
    }
    void sync(const QByteArray& answer) { sync(answer, controller); }

    QList<QJsonObject> reports() const {
        QList<QJsonObject> sent;
        for (const RecordedRequest& request : server.requests())
            if (request.path == "/report")
                sent.append(request.json());
        return sent;
    }

    MessagesWindow& window() { return *controller.messagesWindow(); }
    QString shownBody(int index) { return window().bodies().at(index)->toPlainText(); }

    TestHttpServer server;
    ScopedEnvironment address{"VESPERIN_SERVICE_URL", server.url().toEncoded()};
    Settings settings{Preferences::standard()};
    ServiceClient service{settings, wallClockNow};
    SupportController controller{service, QDBusConnection::sessionBus()};
    QToolButton button;
    PassThroughLabel badge;
    QAction row{"messages"};
    QWidget mainWindow;
    std::optional<ProblemReport> report;
    QList<QStringList> drafts;
    QStringList presented;
    std::function<void()> whilePresenting;
    QList<SupportController::Alert> alerts;
};

TEST_F(SupportControllerTest, OpeningTheWindowListsTheWaitingMessageFirstAndClearsTheMarkers) {
    service.archiveOwn("Are the week numbers right?");
    sync(openWithMessage);
    EXPECT_TRUE(presented.isEmpty()) << "the main window is not visible";
    EXPECT_TRUE(controller.isUnread());
    EXPECT_FALSE(badge.isHidden());
    EXPECT_FALSE(badge.pixmap().isNull());
    EXPECT_FALSE(button.isHidden());
    EXPECT_TRUE(row.isVisible());
    const QRgb accent = Appearances::accentColor(button.palette()).rgb();
    EXPECT_EQ(symbolColour(button), accent);

    controller.showMessages();
    EXPECT_TRUE(window().isVisible());
    ASSERT_EQ(window().bodies().size(), 2);
    EXPECT_EQ(shownBody(0), "We fixed it");
    EXPECT_EQ(shownBody(1), "Are the week numbers right?");
    EXPECT_FALSE(service.pendingMessage());
    EXPECT_FALSE(controller.isUnread());
    EXPECT_TRUE(badge.isHidden());
    EXPECT_FALSE(button.isHidden()) << "the ticket is still open";
    EXPECT_NE(symbolColour(button), accent);

    // A message read in its alert shows at once in the open conversation.
    mainWindow.show();
    sync(R"({"mid":6,"tk":"open","msg":"Version 1.2.1 is out"})");
    EXPECT_EQ(presented, QStringList{"Version 1.2.1 is out"});
    EXPECT_EQ(shownBody(0), "Version 1.2.1 is out");
}

TEST_F(SupportControllerTest, AReplyIsSentOnceUnlessBlankAndStaysListedWhenItFails) {
    sync(openWithMessage);
    controller.showMessages();
    window().replyField()->setText(" \t  ");
    controller.sendReply();
    EXPECT_EQ(window().replyField()->text(), " \t  ") << "a blank reply stays in its field";

    server.answer(500, R"({"ok": true})");
    window().replyField()->setText("  Still broken\t");
    controller.sendReply();
    EXPECT_TRUE(window().replyField()->text().isEmpty());
    EXPECT_EQ(shownBody(0), "Still broken") << "listed at once";
    ASSERT_TRUE(waitUntil([&] { return !alerts.isEmpty(); }));
    EXPECT_EQ(alerts,
              (QList<SupportController::Alert>{{QMessageBox::Warning, L("common.send_failed_title"),
                                                L("messages.send_failed_message")}}));
    ASSERT_EQ(reports().size(), 1);
    EXPECT_EQ(reports().at(0).value("text"), "Still broken");
    EXPECT_FALSE(reports().at(0).contains("email"));
    const ArchivedMessage newest = service.messageHistory().first();
    EXPECT_TRUE(newest.mine);
    EXPECT_EQ(newest.body, "Still broken");

    server.answer(200, R"({"ok": true})");
    window().replyField()->setText("It works now");
    controller.sendReply();
    ASSERT_TRUE(waitUntil([&] { return reports().size() == 2; }));
    QTest::qWait(300);
    EXPECT_EQ(alerts.size(), 1) << "a delivered reply says nothing";
}

// A message that waits while the ticket is not open marks nothing, and the conversation
// takes no reply then; the message's alert still shows over a visible main window.
TEST_F(SupportControllerTest, WithTheTicketNotOpenNothingIsMarkedButTheAlertStillShows) {
    const QByteArray closedWithMessage = R"({"mid":7,"tk":"closed","msg":"Closing this ticket"})";
    sync(closedWithMessage);
    EXPECT_TRUE(service.pendingMessage());
    EXPECT_FALSE(controller.isUnread());
    EXPECT_TRUE(button.isHidden());
    EXPECT_TRUE(badge.isHidden());
    EXPECT_FALSE(row.isVisible());

    mainWindow.show();
    sync(closedWithMessage);
    EXPECT_EQ(presented, QStringList{"Closing this ticket"});
    EXPECT_FALSE(service.pendingMessage());

    controller.showMessages();
    EXPECT_TRUE(window().replyField()->isHidden());
    EXPECT_TRUE(window().sendButton()->isHidden());
    EXPECT_EQ(window().hint()->text(), L("messages.closed_hint"));
    window().replyField()->setText("One more thing");
    controller.sendReply();

    sync(R"({"mid":0,"tk":"open","msg":""})");
    EXPECT_FALSE(window().replyField()->isHidden()) << "the ticket opened again";
    EXPECT_EQ(window().replyField()->text(), "One more thing");
    EXPECT_FALSE(button.isHidden());
    EXPECT_TRUE(reports().isEmpty());
}

// The hourly sync may end while the alert of a message is open: no second alert opens over
// it, and a newer message that came meanwhile is not taken as read with the first.
TEST_F(SupportControllerTest, AMessageThatArrivesWhileAnAlertIsOpenWaitsForItsOwn) {
    mainWindow.show();
    whilePresenting = [this] { sync(R"({"mid":6,"tk":"open","msg":"Second"})"); };
    sync(R"({"mid":5,"tk":"open","msg":"First"})");
    EXPECT_EQ(presented, QStringList{"First"});
    EXPECT_EQ(service.pendingMessage(), (PendingMessage{6, "Second"}));
    EXPECT_TRUE(controller.isUnread());
    EXPECT_FALSE(badge.isHidden());
    EXPECT_EQ(service.messageHistory().first().body, "First");

    sync(R"({"mid":0,"tk":"open","msg":""})");
    EXPECT_EQ(presented, (QStringList{"First", "Second"}));
    EXPECT_FALSE(controller.isUnread());
}

// A report that could not be sent is offered again as it was written, after the alert.
TEST_F(SupportControllerTest, AReportIsSentOnceWithItsMembersUnlessBlankAndOfferedAgainIfNot) {
    report = ProblemReport{" \n\t ", "me@example.org"};
    controller.reportProblem(); // blank: nothing at all
    report = ProblemReport{"  It crashes at midnight\n", "me@example.org"};
    server.answer(200, R"({"ok": false})");
    controller.reportProblem();
    ASSERT_TRUE(waitUntil([&] { return drafts.size() == 3; }));
    EXPECT_EQ(drafts.last(), (QStringList{"  It crashes at midnight\n", "me@example.org"}));
    EXPECT_EQ(drafts.first(), (QStringList{"", ""}));
    ASSERT_EQ(reports().size(), 1);
    // Trimmed; the members every request carries are the service client's business.
    EXPECT_EQ(reports().at(0).value("text"), "It crashes at midnight");
    EXPECT_EQ(reports().at(0).value("email"), "me@example.org");
    EXPECT_EQ(alerts,
              (QList<SupportController::Alert>{{QMessageBox::Warning, L("common.send_failed_title"),
                                                L("report.failed_message")}}));
}

// The prompts and alerts as the application shows them: modal dialogs, answered here from
// their own event loops.
TEST_F(SupportControllerTest, TheRealDialogsAskAndTellInTheirOwnLoops) {
    SupportController real(service, QDBusConnection::sessionBus());
    real.setMainWindow(&mainWindow);
    QStringList seen;
    bool cancelNext = true;
    const ModalAnswerer answerer([&](QWidget* modal) {
        if (auto* dialog = qobject_cast<ProblemReportDialog*>(modal)) {
            EXPECT_EQ(dialog->focusWidget(), dialog->textArea()) << "the text comes first";
            dialog->textArea()->setPlainText("The panel opens twice");
            (std::exchange(cancelNext, false) ? dialog->cancelButton() : dialog->sendButton())
                ->click();
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            seen.append(box->text() + "|" + box->informativeText());
            box->button(QMessageBox::Ok)->click();
        } else if (auto* alert = qobject_cast<MessageAlert*>(modal)) {
            seen.append(alert->body()->toPlainText());
            alert->understoodButton()->click();
        }
    });
    real.reportProblem();
    EXPECT_TRUE(seen.isEmpty());
    server.answer(200, R"({"ok": true})");
    real.reportProblem();
    ASSERT_TRUE(waitUntil([&] { return !seen.isEmpty(); }));
    EXPECT_EQ(seen, QStringList{L("report.sent_title") + "|" + L("report.sent_message")});
    ASSERT_EQ(reports().size(), 1) << "the cancelled report was not sent";
    EXPECT_EQ(reports().at(0).value("text"), "The panel opens twice");

    mainWindow.show();
    sync(openWithMessage, real);
    EXPECT_EQ(seen.last(), "We fixed it");
    EXPECT_FALSE(service.pendingMessage());
}

// The dock learns the unread count from the launcher entry's signal, once per change.
TEST_F(SupportControllerTest, TheLauncherEntryCarriesTheUnreadCountOnTheSessionBus) {
    if (!PrivateSessionBus::isAvailable())
        GTEST_SKIP() << "dbus-daemon is not installed";
    PrivateSessionBus session;
    ASSERT_FALSE(session.address().isEmpty());
    {
        QDBusConnection application = QDBusConnection::connectToBus(session.address(), "app");
        QDBusConnection dock = QDBusConnection::connectToBus(session.address(), "dock");
        ASSERT_TRUE(application.isConnected() && dock.isConnected());
        // The single instance claims its object first, as in the application.
        SingleInstance instance("com.orvennalabs.Vesperin", application);
        ASSERT_EQ(instance.claim(), SingleInstance::Claim::primary);
        DockListener listener;
        ASSERT_TRUE(dock.connect(QString(), LauncherBadge::objectPath, LauncherBadge::interface,
                                 "Update", &listener, SLOT(update(QDBusMessage))));
        SupportController onBus(service, application);

        sync(openWithMessage, onBus);
        ASSERT_TRUE(waitUntil([&] { return listener.updates.size() == 1; }));
        // A dock that starts after the signal asks (its call is answered from the event loop).
        const QDBusMessage query = dock.call(
            QDBusMessage::createMethodCall(application.baseService(), LauncherBadge::objectPath,
                                           LauncherBadge::interface, "Query"),
            QDBus::BlockWithGui);
        ASSERT_EQ(query.type(), QDBusMessage::ReplyMessage) << query.errorMessage().toStdString();
        EXPECT_EQ(query.arguments().value(0).toString(), LauncherBadge::applicationUri);
        EXPECT_EQ(qdbus_cast<QVariantMap>(query.arguments().value(1)).value("count").toLongLong(),
                  1);
        onBus.refreshMessageBadges(); // no change: nothing sent
        onBus.showMessages();
        ASSERT_TRUE(waitUntil([&] { return listener.updates.size() == 2; }));
        QTest::qWait(100);
        EXPECT_EQ(listener.updates.size(), 2);

        for (const auto& [update, count, visible] :
             {std::tuple(listener.updates.at(0), 1, true),
              std::tuple(listener.updates.at(1), 0, false)}) {
            EXPECT_EQ(update.signature(), "sa{sv}");
            EXPECT_EQ(update.arguments().at(0).toString(), LauncherBadge::applicationUri);
            const auto properties = qdbus_cast<QVariantMap>(update.arguments().at(1));
            EXPECT_EQ(properties.value("count").typeId(), QMetaType::LongLong);
            EXPECT_EQ(properties.value("count").toLongLong(), count);
            EXPECT_EQ(properties.value("count-visible"), QVariant(visible));
        }
    }
    QDBusConnection::disconnectFromBus("app");
    QDBusConnection::disconnectFromBus("dock");
}

} // namespace

#include "SupportControllerTest.moc"
