#include "editor/TextPrompt.h"

#include "settings/Localization.h"
#include "ui/DrawingHelpers.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <limits>

namespace TextPrompt {

std::optional<QString> ask(QWidget* parent, const QString& initial) {
    QDialog dialog(parent);
    dialog.setWindowTitle(L("menubar.text_prompt"));
    auto* layout = new QVBoxLayout(&dialog);
    QLabel* message = makeLabel(L("menubar.text_prompt"), 13, QFont::Bold, QPalette::WindowText);
    QLabel* details =
        makeLabel(L("menubar.text_prompt_msg"), 11, QFont::Normal, QPalette::WindowText);
    for (QLabel* label : {message, details}) {
        label->setAlignment(Qt::AlignLeft);
        label->setWordWrap(true);
        layout->addWidget(label);
    }
    auto* field = new QLineEdit(initial);
    field->setMaxLength(std::numeric_limits<int>::max()); // free text of any length
    field->setFixedSize(260, 24);
    layout->addWidget(field);
    auto* buttons = new QDialogButtonBox;
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(L("common.cancel_button"), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    field->setFocus();
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return field->text();
}

} // namespace TextPrompt
