#include "ui/Notice.h"

#include "settings/Localization.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

namespace Notice {

void present(QMessageBox* box) {
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
    box->raise();
    box->activateWindow();
}

QMessageBox* show(const QString& text, QWidget* parent) {
    auto* box =
        new QMessageBox(QMessageBox::Information, "Vesperin", QString(), QMessageBox::Ok, parent);
    box->setTextFormat(Qt::PlainText);
    box->setText(text);
    present(box);
    return box;
}

void openUrl(const QUrl& url, QWidget* parent) {
    if (!QDesktopServices::openUrl(url))
        show(L("common.no_browser"), parent);
}

} // namespace Notice
