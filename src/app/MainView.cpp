#include "app/MainView.h"

#include "calendar/CalEngine.h"
#include "calendar/CalendarGridView.h"
#include "settings/Localization.h"
#include "settings/Settings.h"
#include "ui/AppIcon.h"
#include "ui/Appearance.h"
#include "ui/DrawingHelpers.h"
#include "ui/PassThroughLabel.h"
#include "ui/SymbolImage.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int cornerMargin = 14;
constexpr int cornerButton = 30;

QToolButton* symbolButton(const char* symbol, const QString& accessibleName, const QString& tooltip,
                          QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setAutoRaise(true);
    button->setProperty("symbol", symbol);
    button->setAccessibleName(accessibleName);
    button->setToolTip(tooltip);
    button->resize(cornerButton, cornerButton);
    return button;
}

void tintSymbol(QToolButton* button, qreal pointSize, QFont::Weight weight, const QColor& colour) {
    const QString symbol = button->property("symbol").toString();
    if (const auto image =
            SymbolImage::image(symbol, pointSize, weight, colour, button->devicePixelRatioF())) {
        button->setIcon(QIcon(QPixmap::fromImage(*image)));
        button->setIconSize(QSize(qCeil(pointSize), qCeil(pointSize)));
    }
}

void setTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

} // namespace

MainView::MainView(const Settings& settings, Clock now, QWidget* parent)
    : QWidget(parent), m_settings(settings), m_now(std::move(now)) {
    resize(size);
    buildContent();
    buildCornerButtons();
    applyColours();
    refreshCalUI();
}

const char* MainView::calButtonTitleKey(bool menuBarMode, bool shown) {
    if (menuBarMode)
        return "menubar.configure";
    return shown ? "stats.remove_from_menubar" : "quota.shown_in_menubar_title";
}

// A column centred on the view, its middle 4 points below the view's.
void MainView::buildContent() {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 8, 0, 0);
    column->setSpacing(0);
    column->addStretch();
    const auto add = [column](QWidget* widget, int spacingAfter) {
        column->addWidget(widget, 0, Qt::AlignHCenter);
        column->addSpacing(spacingAfter);
    };

    m_icon = new QLabel(this);
    m_icon->setFixedSize(92, 92);
    add(m_icon, 12);
    add(makeLabel("Vesperin", 24, QFont::Bold, QPalette::WindowText, this), 8);
    m_tagline =
        makeLabel(L("cal.ton_calendrier_d_un_clic"), 13, QFont::Normal, QPalette::WindowText, this);
    add(m_tagline, 18);
    m_monthLabel = makeLabel(QString(), 13, QFont::DemiBold, QPalette::WindowText, this);
    add(m_monthLabel, 4);

    m_grid = new CalendarGridView(m_settings, m_now, this);
    m_grid->setFixedSize(308, 216);
    connect(m_grid, &CalendarGridView::dayDoubleClicked, this, &MainView::dayDoubleClicked);
    add(m_grid, 16);

    m_calButton = new QPushButton(this);
    m_calButton->setDefault(true);
    // Outside a dialog a default button takes Return only while it has the focus, which a
    // visit to the settings or a Tab takes away: Return and Enter press it wherever the focus
    // is in this view, as in an alert.
    for (const int key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* shortcut = new QShortcut(QKeySequence(key), this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, m_calButton, &QPushButton::animateClick);
    }
    m_calButton->setFont(systemFont(13, QFont::Medium));
    m_calButton->setStyleSheet(
        QString("QPushButton { background: %1; color: white; border: none; border-radius: 8px;"
                " padding: 7px 18px; } QPushButton:pressed { background: %2; }")
            .arg(calBlueFixed().name(), calBlueFixed().darker(120).name()));
    connect(m_calButton, &QPushButton::clicked, this, &MainView::calButtonClicked);
    add(m_calButton, 8);

    m_calStatus = makeLabel(QString(), 12, QFont::Normal, QPalette::WindowText, this);
    column->addWidget(m_calStatus, 0, Qt::AlignHCenter);
    column->addStretch();
}

void MainView::buildCornerButtons() {
    m_settingsButton =
        symbolButton("gearshape.fill", L("settings.title"), L("settings.title"), this);
    connect(m_settingsButton, &QToolButton::clicked, this, &MainView::settingsRequested);
    // Shown once there is a conversation with support to read.
    m_messagesButton = symbolButton("envelope.fill", "Messages", L("accessibility.messages"), this);
    m_messagesButton->hide();
    connect(m_messagesButton, &QToolButton::clicked, this, &MainView::messagesRequested);
    m_messagesBadge = new PassThroughLabel(this);
    m_messagesBadge->resize(14, 14);
    m_messagesBadge->hide();
}

void MainView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_settingsButton->move(width() - cornerMargin - cornerButton,
                           height() - cornerMargin - cornerButton);
    m_messagesButton->move(m_settingsButton->x() - 4 - cornerButton, m_settingsButton->y());
    const QPoint badgeCentre(m_messagesButton->geometry().right() + 1 - 7,
                             m_messagesButton->y() + 7);
    m_messagesBadge->move(badgeCentre - QPoint(7, 7));
}

// Secondary and tertiary texts are no palette role: they are coloured for the appearance, and
// again when it changes.
void MainView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && m_calStatus)
        applyColours();
}

void MainView::applyColours() {
    const Appearance appearance = Appearances::of(this);
    m_icon->setPixmap(QPixmap::fromImage(AppIcon::image(92, devicePixelRatioF())));
    setTextColour(m_tagline, Appearances::secondaryLabelColor(appearance));
    setTextColour(m_monthLabel, Appearances::secondaryLabelColor(appearance));
    setTextColour(m_calStatus, statusItemsShown() ? calBlue(appearance)
                                                  : Appearances::tertiaryLabelColor(appearance));
    const QColor symbols = Appearances::secondaryLabelColor(appearance);
    tintSymbol(m_settingsButton, 16, QFont::Normal, symbols);
}

bool MainView::statusItemsShown() const {
    return m_statusItemsPlaced && (m_settings.showInMenuBar() || m_settings.menuBarMode());
}

void MainView::setStatusItemsPlaced(bool placed) {
    m_statusItemsPlaced = placed;
    refreshCalUI();
}

void MainView::refreshCalUI() {
    const bool shown = statusItemsShown();
    m_calButton->setText(L(calButtonTitleKey(m_settings.menuBarMode(), shown)));
    m_calButton->adjustSize();
    m_calStatus->setText(
        L(shown ? "cal.visible_dans_la_barre_de" : "cal.pas_encore_dans_la_barre"));
    m_calStatus->setFont(systemFont(12, shown ? QFont::DemiBold : QFont::Normal));
    applyColours();
    refreshMonthPreview();
}

void MainView::refreshMonthPreview() {
    const QDateTime today = m_now();
    m_monthLabel->setText(CalEngine::monthTitle(today));
    m_grid->setMonth(today);
}
