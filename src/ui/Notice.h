#pragma once

class QMessageBox;
class QString;
class QUrl;
class QWidget;

// Short notices that need no answer, and the actions that may have to give one: a failure
// the user caused by a click is said where the click was, never only on standard error.
namespace Notice {

// Shows `box` in front without waiting for it; it is deleted once closed.
void present(QMessageBox* box);
// Presents a notice holding `text` as plain text; over `parent` when one is given.
QMessageBox* show(const QString& text, QWidget* parent = nullptr);
// Opens `url` in the desktop's handler, or says that no web browser was found.
void openUrl(const QUrl& url, QWidget* parent = nullptr);

} // namespace Notice
