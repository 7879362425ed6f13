#include "ui/AlertFrame.h"

#include "ui/AppIcon.h"
#include "ui/DrawingHelpers.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace AlertFrame {

namespace {
constexpr int iconSize = 64;
}

QVBoxLayout* build(QDialog& dialog, const QString& title, QDialogButtonBox* buttons) {
    dialog.setWindowTitle("Vesperin");
    auto* columns = new QHBoxLayout(&dialog);
    columns->setContentsMargins(20, 20, 20, 16);
    columns->setSpacing(16);

    auto* icon = new QLabel(&dialog);
    icon->setPixmap(QPixmap::fromImage(AppIcon::image(iconSize, dialog.devicePixelRatioF())));
    icon->setFixedSize(iconSize, iconSize);
    columns->addWidget(icon, 0, Qt::AlignTop);

    auto* column = new QVBoxLayout;
    column->setSpacing(8);
    QLabel* heading = makeLabel(title, 13, QFont::Bold, QPalette::WindowText, &dialog);
    heading->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    heading->setWordWrap(true);
    column->addWidget(heading);
    auto* content = new QVBoxLayout;
    content->setSpacing(8);
    column->addLayout(content);
    column->addSpacing(8);
    column->addWidget(buttons);
    columns->addLayout(column);
    return content;
}

} // namespace AlertFrame
