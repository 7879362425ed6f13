#include "support/MessageAlert.h"

#include "settings/Localization.h"
#include "support/MessageBodyView.h"
#include "ui/AlertFrame.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

MessageAlert::MessageAlert(const QString& body, QWidget* parent) : QDialog(parent) {
    auto* buttons = new QDialogButtonBox(this);
    m_understood =
        buttons->addButton(L("messages.understood_button"), QDialogButtonBox::AcceptRole);
    m_understood->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    m_body = new MessageBodyView(body, this);
    m_body->fitTo(bodyWidth, bodyMaxHeight);
    AlertFrame::build(*this, L("messages.banner_title"), buttons)->addWidget(m_body);
    m_understood->setFocus();
}
