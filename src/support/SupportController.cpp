#include "support/SupportController.h"

#include "settings/Localization.h"
#include "support/MessageAlert.h"
#include "support/MessagesWindow.h"
#include "support/ServiceClient.h"

#include <QLabel>
#include <QLineEdit>
#include <QTimer>

namespace {

// Runs the dialog modally, in front and active once shown. Shown before exec() it would not
// be modal at all.
int runInFront(QDialog& dialog) {
    QTimer::singleShot(0, &dialog, [&dialog] {
        dialog.raise();
        dialog.activateWindow();
    });
    return dialog.exec();
}

std::optional<ProblemReport> askWithDialog(const ProblemReport& draft, QWidget* window) {
    ProblemReportDialog dialog(window);
    if (window)
        dialog.setWindowModality(Qt::WindowModal);
    dialog.setReport(draft);
    if (runInFront(dialog) != QDialog::Accepted)
        return std::nullopt;
    return dialog.report();
}

void presentInAlert(const QString& body) {
    MessageAlert alert(body);
    runInFront(alert);
}

void showInMessageBox(const SupportController::Alert& alert) {
    QMessageBox box(alert.icon, "Vesperin", QString(), QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.setText(alert.title);
    box.setInformativeText(alert.text);
    if (auto* label = box.findChild<QLabel*>("qt_msgbox_informativelabel"))
        label->setTextFormat(Qt::PlainText);
    runInFront(box);
}

} // namespace

SupportController::SupportController(ServiceClient& service, const QDBusConnection& bus,
                                     QObject* parent)
    : QObject(parent), askForReport(askWithDialog), presentMessage(presentInAlert),
      showAlert(showInMessageBox), m_service(service), m_launcherBadge(bus) {}

SupportController::~SupportController() = default;

void SupportController::setMarkers(QToolButton* messagesButton, PassThroughLabel* messagesBadge,
                                   QAction* applicationMessagesRow) {
    m_markers.attach(messagesButton, messagesBadge, applicationMessagesRow);
    refreshMessageBadges();
}

void SupportController::setMainWindow(QWidget* window) {
    m_mainWindow = window;
}

bool SupportController::isTicketOpen() const {
    return m_service.ticketState() == QLatin1String("open");
}

bool SupportController::isUnread() const {
    return isTicketOpen() && m_service.pendingMessage();
}

void SupportController::showMessages() {
    if (m_service.pendingMessage()) {
        m_service.markMessageShown();
        refreshMessageBadges();
    }
    if (!m_window) {
        m_window = std::make_unique<MessagesWindow>();
        connect(m_window.get(), &MessagesWindow::sendRequested, this,
                &SupportController::sendReply);
    }
    m_window->showConversation(m_service.messageHistory());
    m_window->setReplyOpen(isTicketOpen());
    m_window->present();
}

void SupportController::sendReply() {
    if (!m_window || !m_window->isReplyOpen())
        return;
    const QString text = m_window->replyField()->text().trimmed();
    if (text.isEmpty())
        return;
    m_window->replyField()->clear();
    m_service.archiveOwn(text);
    showMessages();
    m_service.reportProblem(text, std::nullopt, [self = QPointer(this)](bool delivered) {
        if (self && !delivered)
            self->showAlertLater({QMessageBox::Warning, L("common.send_failed_title"),
                                  L("messages.send_failed_message")});
    });
}

void SupportController::showPendingMessage() {
    const auto pending = m_service.pendingMessage();
    if (!pending || m_presentingMessage)
        return;
    m_presentingMessage = true;
    presentMessage(pending->body);
    m_presentingMessage = false;
    // A newer message that came while this one was open waits for its own alert.
    m_service.markMessageShown(*pending);
    refreshMessageBadges();
    // An open conversation shows what was just read in it too.
    if (m_window && m_window->isVisible())
        m_window->showConversation(m_service.messageHistory());
}

void SupportController::refreshMessageBadges() {
    const bool open = isTicketOpen();
    const bool unread = isUnread();
    m_markers.show(open, unread);
    m_launcherBadge.setCount(unread ? 1 : 0);
    if (m_window)
        m_window->setReplyOpen(open);
}

void SupportController::reportProblem() {
    askAndSend({});
}

void SupportController::askAndSend(const ProblemReport& draft) {
    const std::optional<ProblemReport> report = askForReport(draft, visibleMainWindow());
    if (!report)
        return;
    const QString text = report->text.trimmed();
    if (text.isEmpty())
        return;
    m_service.reportProblem(
        text, report->email, [self = QPointer(this), written = *report](bool sent) {
            if (!self)
                return;
            if (sent) {
                self->showAlertLater(
                    {QMessageBox::Information, L("report.sent_title"), L("report.sent_message")});
                return;
            }
            // What the user wrote is not lost to a network failure: the dialog comes back with it.
            QMetaObject::invokeMethod(
                self,
                [self, written] {
                    self->showAlert({QMessageBox::Warning, L("common.send_failed_title"),
                                     L("report.failed_message")});
                    if (self)
                        self->askAndSend(written);
                },
                Qt::QueuedConnection);
        });
}

QWidget* SupportController::visibleMainWindow() const {
    return m_mainWindow && m_mainWindow->isVisible() ? m_mainWindow.data() : nullptr;
}

void SupportController::syncFinished() {
    refreshMessageBadges();
    if (m_service.pendingMessage() && m_mainWindow && m_mainWindow->isVisible())
        showPendingMessage();
}

void SupportController::showAlertLater(const Alert& alert) {
    QMetaObject::invokeMethod(
        this, [this, alert] { showAlert(alert); }, Qt::QueuedConnection);
}
