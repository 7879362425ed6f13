#include "updates/UpdateAlerts.h"

#include "network/ServiceEndpoints.h"
#include "settings/Localization.h"
#include "ui/Notice.h"
#include "updates/Updater.h"

#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

namespace {

// Longer notes are cut in the box and shown whole behind its details button.
constexpr qsizetype shownNotesLength = 1500;
constexpr int detailWidth = 340;

QMessageBox* plainBox(QMessageBox::Icon icon, const QString& text, const QString& detail,
                      QWidget* parent) {
    auto* box = new QMessageBox(icon, L("update.title"), QString(), QMessageBox::Close, parent);
    box->setTextFormat(Qt::PlainText);
    box->setText(text);
    box->setInformativeText(detail);
    // Qt guesses the format of the informative text; text from the feed must never render.
    // Release notes and addresses read better on lines wider than Qt's narrowest box.
    if (auto* label = box->findChild<QLabel*>("qt_msgbox_informativelabel")) {
        label->setTextFormat(Qt::PlainText);
        label->setMinimumWidth(detailWidth);
    }
    return box;
}

// A button that opens `url` in the desktop's handler and closes the box.
void addOpenButton(QMessageBox* box, const QString& title, const QUrl& url) {
    QPushButton* button = box->addButton(title, QMessageBox::AcceptRole);
    box->setDefaultButton(button);
    QObject::connect(
        button, &QPushButton::clicked, box,
        [url, parent = QPointer(box->parentWidget())] { Notice::openUrl(url, parent); });
}

void addPageButton(QMessageBox* box, const AppcastItem& update) {
    if (!update.page.isEmpty())
        addOpenButton(box, L("update.open_page"), update.page);
}

QString shownNotes(const QString& notes) {
    if (notes.size() <= shownNotesLength)
        return notes;
    const qsizetype cut = notes.lastIndexOf(u' ', shownNotesLength);
    return notes.left(cut > 0 ? cut : shownNotesLength) + u'\u2026';
}

QMessageBox* newerBox(const AppcastItem& update, QWidget* parent) {
    QString detail = L("update.current_version", ServiceEndpoints::appVersion());
    if (!update.notes.isEmpty())
        detail += "\n\n" + shownNotes(update.notes);
    QMessageBox* box = plainBox(QMessageBox::Information,
                                L("update.available", update.shownVersion()), detail, parent);
    if (shownNotes(update.notes) != update.notes)
        box->setDetailedText(update.notes);
    addPageButton(box, update);
    return box;
}

} // namespace

namespace UpdateAlerts {

QMessageBox* checkResultBox(const UpdateCheck& result, QWidget* parent) {
    switch (result.outcome) {
    case UpdateCheck::Outcome::newer:
        return newerBox(result.update, parent);
    case UpdateCheck::Outcome::upToDate:
        return plainBox(QMessageBox::Information, L("update.up_to_date"),
                        L("update.up_to_date_detail", ServiceEndpoints::appVersion()), parent);
    case UpdateCheck::Outcome::failed:
        break;
    }
    return plainBox(QMessageBox::Warning, L("update.failed"), result.reason, parent);
}

QMessageBox* updateReadyBox(const QString& path, const AppcastItem& update, QWidget* parent) {
    const QString folder = QFileInfo(path).absolutePath();
    QMessageBox* box = plainBox(QMessageBox::Information, L("update.ready", update.shownVersion()),
                                L("update.ready_detail", folder), parent);
    addOpenButton(box, L("update.show_in_folder"), QUrl::fromLocalFile(folder));
    return box;
}

QMessageBox* downloadFailedBox(const AppcastItem& update, const QString& reason, QWidget* parent) {
    QMessageBox* box = plainBox(QMessageBox::Warning,
                                L("update.download_failed", update.shownVersion()), reason, parent);
    addPageButton(box, update);
    return box;
}

void showResults(Updater& updater, QWidget* parent) {
    const QPointer<QWidget> window = parent;
    QObject::connect(
        &updater, &Updater::checkFinished, &updater,
        [window](const UpdateCheck& result) { Notice::present(checkResultBox(result, window)); });
    QObject::connect(
        &updater, &Updater::updateFound, &updater,
        [window](const AppcastItem& update) { Notice::present(newerBox(update, window)); });
    QObject::connect(&updater, &Updater::updateReady, &updater,
                     [window](const QString& path, const AppcastItem& update) {
                         Notice::present(updateReadyBox(path, update, window));
                     });
    QObject::connect(&updater, &Updater::downloadFailed, &updater,
                     [window](const AppcastItem& update, const QString& reason) {
                         Notice::present(downloadFailedBox(update, reason, window));
                     });
}

} // namespace UpdateAlerts
