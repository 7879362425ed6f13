#pragma once

#include "platform/LauncherBadge.h"
#include "support/MessageMarkers.h"
#include "support/ProblemReportDialog.h"

#include <QMessageBox>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

class PassThroughLabel;
class MessagesWindow;
class QAction;
class QToolButton;
class ServiceClient;

// What the user sees of the support channel: the messages window with the conversation and
// the reply field, the alert of a new message, the problem-report dialog and the alerts that
// say how sending went, and the unread markers (the main view's messages button and badge,
// the application menu's messages row, the launcher's count badge). Everything the service
// wrote is shown as plain text.
//
// A message is unread while the ticket is open and the message waits; a message that waits
// while the ticket is not open marks nothing. The messages window can always be read; it
// takes a reply only while the ticket is open.
class SupportController : public QObject {
    Q_OBJECT
public:
    struct Alert {
        QMessageBox::Icon icon = QMessageBox::Information;
        QString title;
        QString text;

        bool operator==(const Alert&) const = default;
    };

    // The launcher badge goes out on `bus` when it is connected.
    SupportController(ServiceClient& service, const QDBusConnection& bus,
                      QObject* parent = nullptr);
    ~SupportController() override;

    // The markers outside the controller's windows; any may be null.
    void setMarkers(QToolButton* messagesButton, PassThroughLabel* messagesBadge,
                    QAction* applicationMessagesRow);
    // A message that waits is shown in its alert after a sync only while this window is
    // visible; without one it waits for the messages window.
    void setMainWindow(QWidget* window);

    // Opens the messages window, or fills it afresh: a waiting message is shown there, which
    // counts as read.
    void showMessages();
    // Sends the reply field's text, trimmed, unless that is blank or the ticket is not open;
    // the reply is listed at once, and an alert says when it did not reach the service.
    void sendReply();
    // The alert of the waiting message; once closed, the message counts as read. Nothing
    // while that alert is already open.
    void showPendingMessage();
    void refreshMessageBadges();
    // Asks for a problem report and sends it; nothing when cancelled or blank. An alert says
    // how sending went; after a failure the report is offered again as it was written.
    void reportProblem();
    // After each check with the service: the markers, then the waiting message's alert when
    // the main window is visible.
    void syncFinished();

    bool isTicketOpen() const;
    bool isUnread() const;

    // Null until the messages window was first shown.
    MessagesWindow* messagesWindow() const { return m_window.get(); }
    const LauncherBadge& launcherBadge() const { return m_launcherBadge; }

    // What the user is asked and shown; by default modal dialogs, after the application was
    // brought to the front. Tests replace them.
    // The problem report, starting from `draft`, or nothing when the user cancelled; over
    // `window` (window-modal) when one is given.
    std::function<std::optional<ProblemReport>(const ProblemReport& draft, QWidget* window)>
        askForReport;
    // Returns once the user closed the alert of the message with this body.
    std::function<void(const QString& body)> presentMessage;
    std::function<void(const Alert& alert)> showAlert;

private:
    // From the event loop, so that the exchange that ended has returned before a modal alert
    // runs.
    void showAlertLater(const Alert& alert);
    void askAndSend(const ProblemReport& draft);
    // The main window while it shows, for dialogs to sit over.
    QWidget* visibleMainWindow() const;

    ServiceClient& m_service;
    LauncherBadge m_launcherBadge;
    MessageMarkers m_markers;
    QPointer<QWidget> m_mainWindow;
    std::unique_ptr<MessagesWindow> m_window;
    bool m_presentingMessage = false;
};
