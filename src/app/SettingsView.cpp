#include "app/SettingsView.h"

#include "settings/Localization.h"
#include "settings/Settings.h"
#include "ui/Appearance.h"
#include "ui/DrawingHelpers.h"
#include "ui/Notice.h"
#include "ui/SymbolImage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QUrl>

namespace {

constexpr int viewWidth = 430;
// The two cards the controls sit on, drawn beneath them.
constexpr QRect calendarCard(24, 100, 382, 108);
constexpr QRect applicationCard(24, 220, 382, 124);

// Sized to fit, its left edge at x and its middle at y.
void placeCentredOn(QWidget* widget, int x, int y) {
    widget->adjustSize();
    widget->move(x, y - widget->height() / 2);
}

void centreHorizontally(QWidget* widget, int y) {
    widget->adjustSize();
    widget->move((viewWidth - widget->width()) / 2, y);
}

QCheckBox* checkBox(const QString& title, QPoint origin, QWidget* parent) {
    auto* box = new QCheckBox(title, parent);
    box->setFont(systemFont(13, QFont::Normal));
    box->adjustSize();
    box->move(origin);
    return box;
}

QPushButton* pushButton(const QString& title, QWidget* parent) {
    auto* button = new QPushButton(title, parent);
    button->setFont(systemFont(13, QFont::Normal));
    button->adjustSize();
    return button;
}

} // namespace

SettingsView::SettingsView(Settings& settings, QWidget* parent)
    : QWidget(parent), m_settings(settings) {
    resize(viewWidth, fullHeight);
    setMinimumHeight(minimumHeight);
    buildHeader();
    buildCalendarCard();
    buildApplicationCard();
    buildFooter();
    applyColours();
    showSettings();
    // What another window or process changes shows here too.
    for (auto signal :
         {&Settings::firstWeekdayChanged, &Settings::showWeekNumbersChanged,
          &Settings::menuBarModeChanged, &Settings::automaticUpdateChecksChanged,
          &Settings::automaticUpdateDownloadsChanged, &Settings::compactSystemClockChanged})
        connect(&m_settings, signal, this, &SettingsView::showSettings);
}

void SettingsView::buildHeader() {
    m_back = new QToolButton(this);
    m_back->setAutoRaise(true);
    m_back->setAccessibleName("Retour");
    m_back->setToolTip(L("accessibility.back"));
    m_back->setGeometry(18, 46, 28, 28);
    connect(m_back, &QToolButton::clicked, this, &SettingsView::backRequested);
    QLabel* title = makeLabel(L("settings.title"), 20, QFont::Bold, QPalette::WindowText, this);
    placeCentredOn(title, 54, 60);
}

void SettingsView::buildCalendarCard() {
    QLabel* editorLabel =
        makeLabel(L("menubar.config_title"), 13, QFont::Normal, QPalette::WindowText, this);
    placeCentredOn(editorLabel, 40, 125);
    m_editor = pushButton(L("menubar.configure"), this);
    placeCentredOn(m_editor, 390 - m_editor->width(), 125);
    connect(m_editor, &QPushButton::clicked, this, &SettingsView::editorRequested);

    QLabel* weekdayLabel = makeLabel(L("cal.premier_jour_de_la_semaine"), 13, QFont::Normal,
                                     QPalette::WindowText, this);
    placeCentredOn(weekdayLabel, 40, 159);
    // Written once in French, as the design has them, in every language.
    m_weekday = new QComboBox(this);
    m_weekday->addItem("Lundi", 2);
    m_weekday->addItem("Dimanche", 1);
    m_weekday->setGeometry(280, 146, 110, 26);
    connect(m_weekday, &QComboBox::activated, this,
            [this](int index) { m_settings.setFirstWeekday(m_weekday->itemData(index).toInt()); });

    m_weekNumbers = checkBox(L("cal.afficher_les_numeros_de_semaine"), {40, 180}, this);
    connect(m_weekNumbers, &QCheckBox::toggled, this,
            [this](bool on) { m_settings.setShowWeekNumbers(on); });
}

void SettingsView::buildApplicationCard() {
    // On when the updater both checks and downloads by itself; the box sets both.
    m_automaticUpdates = checkBox(L("settings.auto_update"), {40, 232}, this);
    connect(m_automaticUpdates, &QCheckBox::toggled, this, [this](bool on) {
        m_settings.setAutomaticUpdateChecks(on);
        m_settings.setAutomaticUpdateDownloads(on);
    });
    m_menuBarMode = checkBox(L("settings.menu_bar_icon"), {40, 260}, this);
    connect(m_menuBarMode, &QCheckBox::toggled, this, &SettingsView::menuBarModeToggled);
    m_loginItem = checkBox(L("settings.launch_at_login"), {40, 288}, this);
    connect(m_loginItem, &QCheckBox::toggled, this, &SettingsView::loginItemToggled);
    m_compactClock = checkBox(L("settings.compact_system_clock"), {40, 316}, this);
    m_compactClock->hide();
    connect(m_compactClock, &QCheckBox::toggled, this, &SettingsView::compactClockToggled);
}

void SettingsView::buildFooter() {
    m_checkUpdates = pushButton(L("menu.check_updates"), this);
    m_checkUpdates->move(24, 426);
    connect(m_checkUpdates, &QPushButton::clicked, this, &SettingsView::checkForUpdatesRequested);
    m_report = pushButton(L("menu.report_problem"), this);
    m_report->move(m_checkUpdates->geometry().right() + 1 + 10, 426);
    connect(m_report, &QPushButton::clicked, this, &SettingsView::reportProblemRequested);

    auto* logo = new QLabel(this);
    m_footer = {logo};
    logo->setGeometry((viewWidth - 48) / 2, 584, 48, 48);
    if (const auto mark = orvennaMark())
        logo->setPixmap(QPixmap::fromImage(mark->scaled(
            logo->size() * devicePixelRatioF(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    m_version = makeLabel(QStringLiteral("Vesperin v" VESPERIN_VERSION), 12, QFont::DemiBold,
                          QPalette::WindowText, this);
    centreHorizontally(m_version, 642);
    m_makerLine = makeLabel(L("about.developed_by"), 11, QFont::Normal, QPalette::WindowText, this);
    centreHorizontally(m_makerLine, 657);

    m_makerLink = new QPushButton(QUrl(makerAddress).host(), this);
    m_makerLink->setFlat(true);
    m_makerLink->setCursor(Qt::PointingHandCursor);
    m_makerLink->setFont(systemFont(12, QFont::DemiBold));
    m_makerLink->setStyleSheet("QPushButton { border: none; padding: 0; }");
    centreHorizontally(m_makerLink, 691);
    m_footer += {m_version, m_makerLine, m_makerLink};
    for (QWidget* widget : std::as_const(m_footer))
        m_footerOffsets.append(fullHeight - widget->y());
    connect(m_makerLink, &QPushButton::clicked, this,
            [this] { Notice::openUrl(QUrl(makerAddress), window()); });
}

// The controls show the settings without acting on them again.
void SettingsView::showSettings() {
    const QSignalBlocker weekdayBlocker(m_weekday), weekNumbersBlocker(m_weekNumbers),
        modeBlocker(m_menuBarMode), updatesBlocker(m_automaticUpdates),
        clockBlocker(m_compactClock);
    m_weekday->setCurrentIndex(m_weekday->findData(m_settings.firstWeekday()));
    m_weekNumbers->setChecked(m_settings.showWeekNumbers());
    m_menuBarMode->setChecked(m_settings.menuBarMode());
    m_automaticUpdates->setChecked(m_settings.automaticUpdateChecks() &&
                                   m_settings.automaticUpdateDownloads());
    m_compactClock->setChecked(m_settings.compactSystemClock());
}

void SettingsView::setLoginItemEnabled(bool enabled) {
    const QSignalBlocker blocker(m_loginItem);
    m_loginItem->setChecked(enabled);
}

void SettingsView::setCompactClockAvailable(bool available) {
    m_compactClock->setVisible(available);
}

void SettingsView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor label = Appearances::labelColor(Appearances::of(this));
    QColor border = label, fill = label;
    border.setAlphaF(0.08);
    fill.setAlphaF(0.05);
    for (const QRect& card : {calendarCard, applicationCard}) {
        QPainterPath path;
        path.addRoundedRect(QRectF(card).adjusted(0.5, 0.5, -0.5, -0.5), 10, 10);
        painter.fillPath(path, fill);
        painter.setPen(QPen(border, 1));
        painter.drawPath(path);
    }
    painter.fillRect(QRect(24, 468, 382, 1), border);
}

// The mark and the maker's lines keep their distance from the bottom edge: on a short screen
// the empty space above them is what gives.
void SettingsView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    for (qsizetype i = 0; i < m_footer.size(); ++i)
        m_footer[i]->move(m_footer[i]->x(), height() - m_footerOffsets[i]);
}

void SettingsView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && m_makerLink)
        applyColours();
}

void SettingsView::applyColours() {
    const Appearance appearance = Appearances::of(this);
    QPalette secondary = m_makerLine->palette();
    secondary.setColor(QPalette::WindowText, Appearances::secondaryLabelColor(appearance));
    m_makerLine->setPalette(secondary);
    QPalette mauve = m_makerLink->palette();
    mauve.setColor(QPalette::ButtonText, orvennaMauve(appearance));
    m_makerLink->setPalette(mauve);
    if (const auto chevron =
            SymbolImage::image("chevron.left", 15, QFont::DemiBold,
                               Appearances::secondaryLabelColor(appearance), devicePixelRatioF())) {
        m_back->setIcon(QIcon(QPixmap::fromImage(*chevron)));
        m_back->setIconSize(QSize(15, 15));
    }
}
