#include "calendar/CalPanelController.h"

#include "calendar/CalEngine.h"
#include "calendar/CalPanel.h"
#include "calendar/CalendarGridView.h"
#include "settings/Localization.h"
#include "settings/Settings.h"
#include "ui/Appearance.h"
#include "ui/DrawingHelpers.h"
#include "ui/SymbolImage.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QWheelEvent>
#include <QWindow>

#include <cstdlib>

namespace {

struct Navigation {
    const char* symbol;
    const char* key;
    int rightOffset; // the button's x is W minus this
    void (CalPanelController::*action)();
};

const Navigation navigation[] = {
    {"chevron.left.2", "cal.annee_precedente", 122, &CalPanelController::previousYear},
    {"chevron.left", "cal.mois_precedent", 94, &CalPanelController::previousMonth},
    {"chevron.right", "cal.mois_suivant", 66, &CalPanelController::nextMonth},
    {"chevron.right.2", "cal.annee_suivante", 38, &CalPanelController::nextYear},
};

QToolButton* navigationButton(const Navigation& step, QWidget* parent, Appearance appearance) {
    auto* button = new QToolButton(parent);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    const qreal ratio = parent->devicePixelRatioF();
    if (auto image = SymbolImage::image(step.symbol, 12, QFont::Bold,
                                        Appearances::secondaryLabelColor(appearance), ratio)) {
        button->setIcon(QIcon(QPixmap::fromImage(*image)));
        button->setIconSize(QSize(14, 14));
    }
    button->setAccessibleName(L(step.key));
    button->setToolTip(L(step.key));
    return button;
}

} // namespace

CalPanelController::CalPanelController(const Settings& settings, CalEngine::DayOpener openDay,
                                       Clock now, QObject* parent)
    : QObject(parent), m_settings(settings), m_openDay(std::move(openDay)), m_now(std::move(now)),
      m_displayedMonth(m_now()) {
    // A panel built for other week numbers closes; the next opening builds it anew. One that
    // was opened after the change (which may be announced a moment later) stays.
    connect(&settings, &Settings::showWeekNumbersChanged, this, [this] {
        if (m_panel && m_panel->width() != CalPanel::widthFor(m_settings.showWeekNumbers()))
            close();
    });
}

CalPanelController::~CalPanelController() {
    close();
}

bool CalPanelController::isVisible() const {
    return m_panel && m_panel->isVisible();
}

void CalPanelController::toggle(const ScreenAnchor& anchor) {
    if (isVisible()) {
        close();
        return;
    }
    if (m_sinceClose.isValid() && m_sinceClose.elapsed() <= reopenGuardMs)
        return;
    show(anchor);
}

void CalPanelController::show(const ScreenAnchor& anchor) {
    close();
    m_displayedMonth = m_now();
    const int width = CalPanel::widthFor(m_settings.showWeekNumbers());
    build(width);
    place(anchor, width);
    m_panel->show();
    m_panel->raise();
    m_panel->activateWindow();
    connect(m_panel, &CalPanel::deactivated, this, &CalPanelController::close);
    qApp->installEventFilter(this);
}

void CalPanelController::build(int width) {
    m_panel = new CalPanel(width);
    const Appearance appearance = Appearances::of(m_panel);

    m_monthLabel = makeLabel(CalEngine::monthTitle(m_displayedMonth), 15, QFont::DemiBold,
                             Appearances::labelColor(appearance), m_panel);
    m_monthLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_monthLabel->adjustSize();
    m_monthLabel->move(18, 24 - m_monthLabel->height() / 2);

    for (const Navigation& step : navigation) {
        QToolButton* button = navigationButton(step, m_panel, appearance);
        button->setGeometry(width - step.rightOffset, 12, 24, 24);
        connect(button, &QToolButton::clicked, this, step.action);
    }

    m_gridView = new CalendarGridView(m_settings, m_now, m_panel);
    m_gridView->setCompact(true);
    m_gridView->setMonth(m_displayedMonth);
    m_gridView->setGeometry(12, 44, width - 24, 218);
    connect(m_gridView, &CalendarGridView::dayDoubleClicked, this,
            &CalPanelController::openInCalendar);

    m_todayButton = new QPushButton(L("cal.aujourd_hui"), m_panel);
    m_todayButton->setFocusPolicy(Qt::NoFocus);
    m_todayButton->setFont(systemFont(11, QFont::Normal));
    m_todayButton->adjustSize();
    m_todayButton->move(14, 282);
    connect(m_todayButton, &QPushButton::clicked, this, &CalPanelController::goToday);

    m_hint = makeLabel(QString(), 10, QFont::Normal, Appearances::secondaryLabelColor(appearance),
                       m_panel);
    m_hint->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setHint(L("cal.double_clic_ouvrir_dans_calendrier"));
}

// Right-aligned 14 points from the panel's edge, centred on the Today button.
void CalPanelController::setHint(const QString& text) {
    m_hint->setText(text);
    m_hint->adjustSize();
    m_hint->move(m_panel->width() - 14 - m_hint->width(),
                 m_todayButton->geometry().center().y() - m_hint->height() / 2);
}

// A day opened in the calendar application closes the panel. Without one, closing would
// look as if the double-click had simply failed: the panel stays and says why.
void CalPanelController::openInCalendar(const QDateTime& day) {
    if (CalEngine::openInCalendarApp(day, m_openDay))
        close();
    else if (m_hint)
        setHint(L("cal.no_calendar_app"));
}

QPoint CalPanelController::originUnder(const QRect& button, const QRect& available, int width) {
    int x = button.x() + button.width() / 2 - width / 2;
    int y = button.bottom() + 1 + gapBelowButton;
    x = std::max(available.left() + screenMargin,
                 std::min(available.right() + 1 - width - screenMargin, x));
    y = std::min(available.bottom() + 1 - CalPanel::height - screenMargin, y);
    return {x, y};
}

QPoint CalPanelController::originAtTop(const QRect& available, int width) {
    return {available.x() + available.width() / 2 - width / 2, available.top() + screenMargin};
}

// A point in the upper half is on a panel along the top: the calendar drops below it, right
// under the work area's edge if need be. In the lower half it rises above the point.
QPoint CalPanelController::originAt(const QPoint& point, const QRect& available, int width) {
    const auto within = [](int low, int value, int high) {
        return std::max(low, std::min(high, value));
    };
    const int x = within(available.left() + screenMargin, point.x() - width / 2,
                         available.right() + 1 - width - screenMargin);
    const int lowest = available.bottom() + 1 - CalPanel::height;
    const int y = point.y() <= available.center().y()
                      ? within(available.top(), point.y() + gapBelowButton, lowest - screenMargin)
                      : within(available.top() + screenMargin,
                               point.y() - gapBelowButton - CalPanel::height, lowest);
    return {x, y};
}

// Panels that know no place for their item send (0, 0), or a point off every screen, or
// nothing at all (a row of their menu): the pointer is then where the user looks.
std::optional<QPoint> CalPanelController::usablePoint(const ScreenAnchor& anchor) {
    const QPoint pointer = QCursor::pos();
    const bool pointerShown = QGuiApplication::screenAt(pointer) != nullptr;
    const auto nearPointer = [&](QPoint point) {
        const QPoint distance = point - pointer;
        return !pointerShown ||
               (std::abs(distance.x()) <= pointerReach && std::abs(distance.y()) <= pointerReach);
    };
    const bool given = anchor.point && *anchor.point != QPoint(0, 0) &&
                       QGuiApplication::screenAt(*anchor.point) && nearPointer(*anchor.point);
    if (given)
        return anchor.point;
    if (anchor.shownFrame())
        return std::nullopt;
    return pointerShown ? std::optional(pointer) : std::nullopt;
}

void CalPanelController::place(const ScreenAnchor& anchor, int width) {
    if (const std::optional<QPoint> point = usablePoint(anchor)) {
        if (QScreen* screen = QGuiApplication::screenAt(*point))
            m_panel->move(originAt(*point, screen->availableGeometry(), width));
        return;
    }
    if (const std::optional<QRect> frame = anchor.shownFrame()) {
        QScreen* screen = anchor.screen() ? anchor.screen() : QGuiApplication::primaryScreen();
        const QRect available = screen ? screen->availableGeometry() : QRect();
        m_panel->move(
            screen ? originUnder(*frame, available, width)
                   : QPoint(frame->center().x() - width / 2, frame->bottom() + 1 + gapBelowButton));
        return;
    }
    if (QScreen* screen = QGuiApplication::primaryScreen())
        m_panel->move(originAtTop(screen->availableGeometry(), width));
}

void CalPanelController::close() {
    if (!m_panel)
        return;
    m_sinceClose.start();
    qApp->removeEventFilter(this);
    m_panel->disconnect(this);
    m_panel->hide();
    m_panel->deleteLater(); // may be running one of its own children's handlers right now
    m_panel = nullptr;
    m_gridView = nullptr;
    m_monthLabel = nullptr;
    m_hint = nullptr;
    m_todayButton = nullptr;
}

void CalPanelController::scroll(int delta) {
    if (isVisible() && delta != 0)
        shift(delta > 0 ? -1 : 1);
}

void CalPanelController::shift(int months) {
    m_displayedMonth = CalEngine::shiftMonth(m_displayedMonth, months);
    showDisplayedMonth();
}

void CalPanelController::goToday() {
    m_displayedMonth = m_now();
    showDisplayedMonth();
}

void CalPanelController::showDisplayedMonth() {
    if (m_gridView)
        m_gridView->setMonth(m_displayedMonth);
    if (m_monthLabel) {
        m_monthLabel->setText(CalEngine::monthTitle(m_displayedMonth));
        m_monthLabel->adjustSize();
    }
}

// The month a key of the open panel turns to: Page Up and Page Down, or Ctrl with an arrow.
int CalPanelController::monthsForKey(const QKeyEvent& key) {
    const bool control = key.modifiers() & Qt::ControlModifier;
    switch (key.key()) {
    case Qt::Key_PageUp:
        return -1;
    case Qt::Key_PageDown:
        return 1;
    case Qt::Key_Left:
    case Qt::Key_Up:
        return control ? -1 : 0;
    case Qt::Key_Right:
    case Qt::Key_Down:
        return control ? 1 : 0;
    default:
        return 0;
    }
}

// While the panel is open: Escape anywhere in the application closes it and goes no further;
// a press on any other window closes it and carries on to that window. Keys and the wheel
// over the panel turn its month.
bool CalPanelController::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            close();
            return true;
        }
        if (const int months = monthsForKey(*key)) {
            shift(months);
            return true;
        }
    }
    if (event->type() == QEvent::Wheel && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == m_panel) {
        if (const int steps = m_wheel.add(static_cast<QWheelEvent*>(event)->angleDelta().y()))
            shift(-steps);
        return true;
    }
    // The own bar is a window without widgets: its presses arrive on the window alone.
    if (event->type() == QEvent::MouseButtonPress &&
        ((watched->isWidgetType() && static_cast<QWidget*>(watched)->window() != m_panel) ||
         (watched->isWindowType() && static_cast<QWindow*>(watched) != m_panel->windowHandle())))
        close();
    return QObject::eventFilter(watched, event);
}
