#include "calendar/CalendarGridView.h"

#include "settings/Settings.h"
#include "ui/Appearance.h"
#include "ui/DrawingHelpers.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

// Centred on the rectangle's centre by the text's measured line box, never clipped.
void drawCentred(QPainter& painter, const QRectF& rect, const QString& text) {
    const QFontMetricsF metrics(painter.font());
    const QPointF baseline(rect.center().x() - metrics.horizontalAdvance(text) / 2,
                           rect.center().y() - metrics.height() / 2 + metrics.ascent());
    painter.drawText(baseline, text);
}

} // namespace

CalendarGridView::CalendarGridView(const Settings& settings, Clock now, QWidget* parent)
    : QWidget(parent), m_settings(settings), m_now(std::move(now)), m_month(m_now()) {
    const auto redraw = [this] { update(); };
    connect(&settings, &Settings::firstWeekdayChanged, this, redraw);
    connect(&settings, &Settings::showWeekNumbersChanged, this, redraw);
}

void CalendarGridView::setMonth(const QDateTime& month) {
    m_month = month;
    update();
}

void CalendarGridView::setCompact(bool compact) {
    m_compact = compact;
    update();
}

void CalendarGridView::paintEvent(QPaintEvent*) {
    const MonthGrid::Metrics metrics = MonthGrid::Metrics::of(m_compact);
    const MonthGrid::Layout layout =
        MonthGrid::layout(size(), m_month, m_now(),
                          {m_compact, m_settings.showWeekNumbers(), m_settings.firstWeekday()});
    m_dayCells = layout.days;
    const Appearance appearance = Appearances::of(this);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    painter.setFont(systemFont(metrics.headerFontSize, QFont::DemiBold));
    painter.setPen(Appearances::secondaryLabelColor(appearance));
    for (const auto& cell : layout.header)
        drawCentred(painter, cell.rect, cell.text);

    painter.setFont(systemFont(metrics.weekFontSize, QFont::Medium));
    painter.setPen(Appearances::tertiaryLabelColor(appearance));
    for (const auto& cell : layout.weekNumbers)
        drawCentred(painter, cell.rect, cell.text);

    const QFont dayFont = systemFont(metrics.dayFontSize, QFont::Normal);
    const QFont todayFont = systemFont(metrics.dayFontSize, QFont::Bold);
    QColor dimmed = Appearances::labelColor(appearance);
    dimmed.setAlphaF(0.42);
    for (const auto& cell : layout.days) {
        if (cell.isToday) {
            const qreal diameter =
                std::min(cell.rect.width(), cell.rect.height()) - metrics.todayInset;
            painter.setPen(Qt::NoPen);
            painter.setBrush(calBlueFixed());
            painter.drawEllipse(cell.rect.center(), diameter / 2, diameter / 2);
            painter.setFont(todayFont);
            painter.setPen(Qt::white);
        } else {
            painter.setFont(dayFont);
            painter.setPen(cell.inShownMonth ? Appearances::labelColor(appearance) : dimmed);
        }
        drawCentred(painter, cell.rect, cell.text);
    }
}

void CalendarGridView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    if (const auto day = MonthGrid::dayAt(m_dayCells, event->position()))
        Q_EMIT dayDoubleClicked(*day);
}
