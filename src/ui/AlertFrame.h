#pragma once

class QDialog;
class QDialogButtonBox;
class QString;
class QVBoxLayout;

// The frame the support channel's alerts share, laid out as the desktop's alerts are: the
// application's icon on the left; on the right a bold title over what the alert holds, and
// its buttons under that.
namespace AlertFrame {

// Lays `dialog` out so, titled "Vesperin", with `buttons` at the bottom; returns the column
// under the title for the alert's content.
QVBoxLayout* build(QDialog& dialog, const QString& title, QDialogButtonBox* buttons);

} // namespace AlertFrame
