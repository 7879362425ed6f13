#pragma once

#include "updates/AppcastFeed.h"

#include <QString>

class QMessageBox;
class QWidget;
class Updater;

// What the updater tells the user, in plain message boxes: the feed's text is shown as
// written and never taken for markup, and no button installs or runs anything: one opens the
// release's page in the browser, another the folder that holds a verified download.
namespace UpdateAlerts {

// The result of a check: a newer release (its version, the running one, its notes and a
// button to its page when it has one), up to date, or the reason of the failure.
QMessageBox* checkResultBox(const UpdateCheck& result, QWidget* parent = nullptr);
// A verified download, with a button that opens its folder.
QMessageBox* updateReadyBox(const QString& path, const AppcastItem& update,
                            QWidget* parent = nullptr);
// A newer release whose download failed, why, and a button to its page when it has one.
QMessageBox* downloadFailedBox(const AppcastItem& update, const QString& reason,
                               QWidget* parent = nullptr);

// Shows every result the updater reports in those boxes, without waiting for them to be
// closed (each is deleted when closed), for as long as the updater lives.
void showResults(Updater& updater, QWidget* parent = nullptr);

} // namespace UpdateAlerts
