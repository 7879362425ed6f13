#include "editor/PartPopover.h"

#include "editor/ChipStripView.h"
#include "editor/PopoverPlacement.h"
#include "editor/ZoneMatching.h"
#include "settings/Localization.h"
#include "ui/Appearance.h"
#include "ui/DrawingHelpers.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTimer>

namespace {

constexpr qreal cornerRadius = 8;

// A zone's entry: its identifier, and the city it is named after, fainter, at the right.
class ZoneEntryDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        const QString city = index.data(PartPopover::cityRole).toString();
        if (city.isEmpty())
            return;
        painter->save();
        const bool selected = option.state.testFlag(QStyle::State_Selected);
        painter->setPen(selected
                            ? option.palette.color(QPalette::HighlightedText)
                            : Appearances::secondaryLabelColor(Appearances::of(option.palette)));
        painter->setFont(option.font);
        painter->drawText(option.rect.adjusted(0, 0, -8, 0), Qt::AlignRight | Qt::AlignVCenter,
                          city);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        const QString city = index.data(PartPopover::cityRole).toString();
        if (!city.isEmpty())
            size.rwidth() += option.fontMetrics.horizontalAdvance(city) + 24;
        return size;
    }
};

// Completion searches identifiers and cities, but what it puts into the field is the
// identifier.
class ZoneCompleter : public QCompleter {
public:
    using QCompleter::QCompleter;

    QString pathFromIndex(const QModelIndex& index) const override {
        return index.data(Qt::DisplayRole).toString();
    }
};

QString searchText(const QString& zone, const QString& city) {
    return QStringList{zone, city, ZoneMatching::searchKey(zone), ZoneMatching::searchKey(city)}
        .join(u'\n');
}

// The city is shown beside a zone only where it says more than the identifier's last piece
// (Europe/Vienna is "Wien" in German, but America/New_York is "New York" everywhere).
bool cityAddsToZone(const QString& zone, const QString& city) {
    const QString place = zone.section(u'/', -1);
    return !city.isEmpty() && ZoneMatching::searchKey(city) != ZoneMatching::searchKey(place);
}

} // namespace

PartPopover::PartPopover(const QString& systemZone, const QStringList& zones,
                         const QStringList& cities, const QString& systemLanguage,
                         const QStringList& languages, QWidget* parent)
    : QWidget(parent) {
    setFixedSize(contentSize);
    setAutoFillBackground(false);
    hide();
    m_strip = new ChipStripView(ChipStripView::Mode::strip, this);
    m_strip->setGeometry(10, 10, 440, 34);
    m_strip->setAccessibleName(L("menubar.strip_title"));
    m_strip->setAccessibleDescription(L("menubar.strip_help"));
    buildZoneField(systemZone, zones, cities);

    m_language = new QComboBox(this);
    m_language->setGeometry(254, 56, 122, 26);
    m_language->setFont(systemFont(12, QFont::Normal));
    m_language->setToolTip(L("menubar.language"));
    m_language->setAccessibleName(L("menubar.language"));
    m_language->addItem(systemLanguage, 0);
    for (int tag = 1; tag <= languages.size(); ++tag)
        m_language->addItem(languages[tag - 1], tag);
    connect(m_language, &QComboBox::activated, this,
            [this](int index) { Q_EMIT languageChosen(m_language->itemData(index).toInt()); });

    m_remove = new QPushButton(L("menubar.remove_part_short"), this);
    m_remove->setFont(systemFont(11, QFont::Normal));
    m_remove->setAutoDefault(false);
    // Sized to fit, its right end at 450, but never over the language box.
    const int width =
        std::min(m_remove->sizeHint().width(), 450 - 8 - m_language->geometry().right());
    m_remove->setGeometry(450 - width, 59, width, m_remove->sizeHint().height());
    connect(m_remove, &QPushButton::clicked, this, &PartPopover::removeRequested);
}

// Completion offers every zone whose identifier or city contains what was typed, whatever its
// case or accents; Return, leaving the field and a choice from either list report the text,
// which the owner resolves.
void PartPopover::buildZoneField(const QString& systemZone, const QStringList& zones,
                                 const QStringList& cities) {
    m_zone = new QComboBox(this);
    m_zone->setGeometry(10, 56, 236, 26);
    m_zone->setFont(systemFont(12, QFont::Normal));
    m_zone->setToolTip(L("menubar.timezone"));
    m_zone->setAccessibleName(L("menubar.timezone"));
    m_zone->setEditable(true);
    m_zone->lineEdit()->setAccessibleName(L("menubar.timezone"));
    m_zone->setInsertPolicy(QComboBox::NoInsert);
    m_zone->setMaxVisibleItems(14);
    m_zone->addItem(systemZone);
    m_zone->setItemData(0, systemZone, searchRole);
    const QFontMetrics metrics(m_zone->font());
    int widest = 0;
    for (qsizetype i = 0; i < zones.size(); ++i) {
        const QString city = cities.value(i);
        const int row = m_zone->count();
        m_zone->addItem(zones[i]);
        m_zone->setItemData(row, searchText(zones[i], city), searchRole);
        int width = metrics.horizontalAdvance(zones[i]);
        if (cityAddsToZone(zones[i], city)) {
            m_zone->setItemData(row, city, cityRole);
            width += metrics.horizontalAdvance(city) + 24;
        }
        widest = std::max(widest, width);
    }
    m_zone->setItemDelegate(new ZoneEntryDelegate(m_zone));
    m_zone->view()->setMinimumWidth(widest + 40);
    auto* completer = new ZoneCompleter(m_zone->model(), m_zone);
    completer->setCompletionRole(searchRole);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setFilterMode(Qt::MatchContains);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    completer->setMaxVisibleItems(10);
    m_zone->setCompleter(completer);
    completer->popup()->setItemDelegate(new ZoneEntryDelegate(completer->popup()));
    completer->popup()->setMinimumWidth(widest + 40);
    connect(m_zone, &QComboBox::textActivated, this, &PartPopover::zoneEntered);
    connect(m_zone->lineEdit(), &QLineEdit::editingFinished, this,
            [this] { Q_EMIT zoneEntered(m_zone->currentText()); });
}

// The text is the editor's: a completion still offered for what was typed goes.
void PartPopover::setZoneText(const QString& text) {
    const QSignalBlocker quiet(m_zone);
    m_zone->setEditText(text);
    m_zone->completer()->popup()->hide();
}

void PartPopover::setLanguageTag(int tag) {
    const QSignalBlocker quiet(m_language);
    m_language->setCurrentIndex(std::max(0, m_language->findData(tag)));
}

void PartPopover::showUnder(const QRect& anchor) {
    m_anchor = anchor;
    if (const QWidget* window = parentWidget())
        move(PopoverPlacement::origin(anchor, size(), window->rect()));
    raise();
    show();
}

void PartPopover::showAgain() {
    showUnder(m_anchor);
}

void PartPopover::dismiss() {
    const bool hadFocus = isAncestorOf(QApplication::focusWidget());
    hide();
    if (hadFocus && m_anchorView)
        m_anchorView->setFocus(Qt::PopupFocusReason);
}

// A popup window (a combo box's list, the completions, a menu) closes itself; a press in it
// is never outside the popover.
bool PartPopover::pressLeavesOpen(const QWidget* widget) const {
    if (widget->window()->windowType() == Qt::Popup)
        return true;
    for (; widget; widget = widget->parentWidget()) {
        if (widget == this || widget == m_anchorView)
            return true;
    }
    return false;
}

void PartPopover::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    qApp->installEventFilter(this);
}

void PartPopover::hideEvent(QHideEvent* event) {
    qApp->removeEventFilter(this);
    QWidget::hideEvent(event);
}

bool PartPopover::eventFilter(QObject* watched, QEvent* event) {
    const auto* widget = qobject_cast<const QWidget*>(watched);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (widget && !pressLeavesOpen(widget))
            hide();
        break;
    case QEvent::KeyPress:
        // Escape first closes a list the popover opened, then the popover, never the window.
        if (static_cast<const QKeyEvent*>(event)->key() == Qt::Key_Escape && widget &&
            widget->window() == window() && !QApplication::activePopupWidget()) {
            dismiss();
            return true;
        }
        break;
    case QEvent::WindowDeactivate:
        // A list the popover opened (completions, a combo box's) takes the activation for a
        // while; only another window closes the popover.
        if (watched == window())
            QTimer::singleShot(0, this, &PartPopover::closeUnlessActive);
        break;
    default:
        break;
    }
    return false;
}

void PartPopover::closeUnlessActive() {
    const QWidget* active = QApplication::activeWindow();
    if (active != window() && !QApplication::activePopupWidget() &&
        !(active && active->windowType() == Qt::Popup))
        hide();
}

// A press on its background is its own: it must not go on to the window beneath, which the
// event filter would take for a press outside.
void PartPopover::mousePressEvent(QMouseEvent* event) {
    event->accept();
}

// Return ends typing in the zone field; it must not go on to the window's default button.
void PartPopover::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

// No window frame sets it off: a rounded panel with a hairline and a faint shadow line.
void PartPopover::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Appearance appearance = Appearances::of(this);
    const QRectF bounds = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(Appearances::tertiaryLabelColor(appearance), 1));
    painter.setBrush(
        palette().color(QPalette::Window).lighter(appearance == Appearance::dark ? 130 : 103));
    painter.drawRoundedRect(bounds, cornerRadius, cornerRadius);
}
