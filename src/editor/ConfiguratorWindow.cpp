#include "editor/ConfiguratorWindow.h"

#include "editor/ChipStripView.h"
#include "editor/EditorTables.h"
#include "editor/SegmentBarView.h"
#include "model/MenuBarLayout.h"
#include "platform/WindowPlacement.h"
#include "settings/Localization.h"
#include "ui/Appearance.h"
#include "ui/DrawingHelpers.h"
#include "ui/SymbolImage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QHideEvent>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>

#include <algorithm>

namespace {

constexpr int listX = 16;
constexpr int listWidth = 220;
constexpr int editorX = 256;
constexpr QSize symbolButtonSize(36, 26);
constexpr qreal symbolSize = 14;

} // namespace

ConfiguratorWindow::ConfiguratorWindow(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setWindowTitle(L("menubar.config_title"));
    setFixedSize(contentSize);
    setSizeGripEnabled(false);
    smallLabel(L("menubar.bar_title"), {listX, 14});
    m_bar = new SegmentBarView(this);
    m_bar->setGeometry(listX, 32, 748, 40);
    m_bar->setAccessibleName(L("menubar.bar_title"));
    m_bar->setAccessibleDescription(L("menubar.bar_help"));
    buildList();
    buildEditor();
    buildFooter();
    applyColours();
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        m_designed.append({child, child->geometry()});
}

void ConfiguratorWindow::fitInto(const QRect& workArea) {
    // Below the list and the palette: the part buttons, presets, padding, the list's buttons,
    // the hint and Done.
    constexpr int belowTheLists = 468;
    const int squeeze = std::clamp(contentSize.height() - WindowPlacement::contentRoom(workArea), 0,
                                   maximumSqueeze);
    for (const auto& [widget, designed] : std::as_const(m_designed)) {
        QRect frame = designed;
        if (widget == m_list || widget == m_paletteArea)
            frame.setHeight(designed.height() - squeeze);
        else if (designed.top() >= belowTheLists)
            frame.translate(0, -squeeze);
        widget->setGeometry(frame);
    }
    setFixedSize(contentSize.width(), contentSize.height() - squeeze);
    WindowPlacement::centreIn(this, workArea);
}

void ConfiguratorWindow::buildList() {
    smallLabel(L("menubar.items"), {listX, 90});
    m_list = new QListView(this);
    m_list->setAccessibleName(L("menubar.items"));
    m_list->setGeometry(listX, 108, listWidth, 504);
    m_list->setUniformItemSizes(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setTextElideMode(Qt::ElideRight);
    m_add = symbolButton("plus", "menubar.add", 16);
    m_remove = symbolButton("minus", "menubar.remove", 56);
    m_duplicate = symbolButton("plus.square.on.square", "menubar.duplicate", 96);
    m_up = symbolButton("arrow.up", "menubar.move_up", 136);
    m_down = symbolButton("arrow.down", "menubar.move_down", 176);
}

void ConfiguratorWindow::buildEditor() {
    m_enabled = new QCheckBox(L("menubar.enabled"), this);
    m_enabled->setFont(systemFont(13, QFont::Normal));
    m_enabled->adjustSize();
    m_enabled->move(editorX, 90);

    smallLabel(L("menubar.palette"), {editorX, 120});
    m_paletteArea = new QScrollArea(this);
    m_paletteArea->setGeometry(editorX, 138, 508, 330);
    m_paletteArea->setFrameShape(QFrame::NoFrame);
    m_paletteArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_paletteArea->viewport()->setAutoFillBackground(false);
    // The palette takes the focus by Tab itself; a click on it leaves the focus where it is.
    m_paletteArea->setFocusPolicy(Qt::NoFocus);
    m_palette = new ChipStripView(ChipStripView::Mode::palette);
    m_palette->setWraps(true);
    m_palette->setAccessibleName(L("menubar.palette"));
    m_palette->setAccessibleDescription(L("menubar.palette_help"));
    m_paletteArea->setWidget(m_palette);

    m_addPart = smallButton(L("menubar.add_part"), {editorX, 480});
    m_text = smallButton(L("menubar.text_button"), {m_addPart->geometry().right() + 1 + 8, 480});
    m_separator = new QComboBox(this);
    m_separator->setGeometry(614, 479, 150, 24);
    m_separator->setFont(systemFont(11, QFont::Normal));
    QLabel* separatorLabel = smallLabel(L("menubar.separator"), {0, 485});
    separatorLabel->move(m_separator->x() - 6 - separatorLabel->width(), 485);

    m_presets = new QPushButton(L("menubar.presets"), this);
    m_presets->setGeometry(544, 524, 220, 26);
    m_presets->setAutoDefault(false);
    m_presets->setMenu(new QMenu(m_presets));
    smallLabel(L("menubar.presets_hint"), {editorX, 530});

    smallLabel(L("menubar.padding"), {editorX, 574});
    m_padding = new QSlider(Qt::Horizontal, this);
    m_padding->setAccessibleName(L("menubar.padding"));
    m_padding->setGeometry(editorX, 592, 448, 20);
    m_padding->setRange(int(MenuBarLayout::minimumPadding * EditorTables::paddingSliderScale),
                        int(MenuBarLayout::maximumPadding * EditorTables::paddingSliderScale));
    m_paddingValue = smallLabel(QString(), {710, 593});
    m_paddingValue->setFont(systemFont(11, QFont::Normal));
    m_paddingValue->setGeometry(710, 593, 54, 18);
    m_paddingValue->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    m_clock = new QCheckBox(L("settings.compact_system_clock"), this);
    m_clock->setFont(systemFont(13, QFont::Normal));
    m_clock->adjustSize();
    m_clock->move(editorX, 626);
    m_clock->hide();
}

void ConfiguratorWindow::buildFooter() {
    QLabel* hint = smallLabel(L("menubar.hint_order"), {listX, 668});
    hint->setFont(systemFont(11, QFont::Normal));
    hint->setWordWrap(true);
    hint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    hint->setGeometry(listX, 668, 628, 36);
    m_done = new QPushButton(L("menubar.done"), this);
    m_done->setFont(systemFont(13, QFont::Normal));
    m_done->adjustSize();
    m_done->move(764 - m_done->width(), 678);
    m_done->setDefault(true);
    connect(m_done, &QPushButton::clicked, this, &QDialog::close);
}

QLabel* ConfiguratorWindow::smallLabel(const QString& text, QPoint origin) {
    QLabel* label = makeLabel(text, 11, QFont::DemiBold, QPalette::WindowText, this);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->adjustSize();
    label->move(origin);
    m_secondaryLabels.append(label);
    return label;
}

QPushButton* ConfiguratorWindow::symbolButton(const char* symbol, const char* key, int x) {
    auto* button = new QPushButton(this);
    button->setGeometry(QRect(QPoint(x, 620), symbolButtonSize));
    button->setAccessibleName(L(key));
    button->setToolTip(L(key));
    button->setAutoDefault(false);
    button->setIconSize(QSize(symbolSize, symbolSize));
    m_symbolButtons.append({button, symbol});
    return button;
}

QPushButton* ConfiguratorWindow::smallButton(const QString& title, QPoint origin) {
    auto* button = new QPushButton(title, this);
    button->setFont(systemFont(11, QFont::Normal));
    button->setAutoDefault(false);
    button->adjustSize();
    button->move(origin);
    return button;
}

void ConfiguratorWindow::applyColours() {
    const Appearance appearance = Appearances::of(this);
    for (QLabel* label : std::as_const(m_secondaryLabels)) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, Appearances::secondaryLabelColor(appearance));
        label->setPalette(palette);
    }
    for (const auto& [button, symbol] : std::as_const(m_symbolButtons)) {
        QIcon icon;
        for (const auto& [mode, colour] :
             {std::pair{QIcon::Normal, Appearances::labelColor(appearance)},
              std::pair{QIcon::Disabled, Appearances::tertiaryLabelColor(appearance)}}) {
            if (const auto image = SymbolImage::image(symbol, symbolSize, QFont::Medium, colour,
                                                      devicePixelRatioF()))
                icon.addPixmap(QPixmap::fromImage(*image), mode);
        }
        button->setIcon(icon);
    }
}

// A spontaneous hide is the desktop's (another workspace, a minimized window): the window is
// still open.
void ConfiguratorWindow::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (!event->spontaneous())
        Q_EMIT hidden();
}

void ConfiguratorWindow::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && m_done) {
        applyColours();
        Q_EMIT appearanceChanged();
    }
}
