#include "support/ProblemReportDialog.h"

#include "settings/Localization.h"
#include "ui/AlertFrame.h"
#include "ui/DrawingHelpers.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

ProblemReportDialog::ProblemReportDialog(QWidget* parent) : QDialog(parent) {
    auto* buttons = new QDialogButtonBox(this);
    m_send = buttons->addButton(L("common.send"), QDialogButtonBox::AcceptRole);
    m_cancel = buttons->addButton(L("common.cancel_button"), QDialogButtonBox::RejectRole);
    m_send->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    QLabel* message = makeLabel(L("report.message"), 12, QFont::Normal, QPalette::WindowText, this);
    message->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    message->setWordWrap(true);

    // The text area above the e-mail field, as one block of fixed size.
    auto* accessory = new QWidget(this);
    accessory->setFixedSize(accessorySize);
    m_text = new QPlainTextEdit(accessory);
    m_text->setGeometry(0, 6, 380, 110);
    m_text->setFont(systemFont(13, QFont::Normal));
    m_text->setTabChangesFocus(true);
    m_email = new QLineEdit(accessory);
    m_email->setGeometry(0, 126, 380, 24);
    m_email->setPlaceholderText(L("report.email_placeholder"));

    QVBoxLayout* content = AlertFrame::build(*this, L("report.title"), buttons);
    content->addWidget(message);
    content->addWidget(accessory);
    m_text->setFocus();
}

ProblemReport ProblemReportDialog::report() const {
    return {m_text->toPlainText(), m_email->text()};
}

void ProblemReportDialog::setReport(const ProblemReport& report) {
    m_text->setPlainText(report.text);
    m_email->setText(report.email);
}
