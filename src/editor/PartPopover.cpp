#include "editor/PartPopover.h"

#include "editor/ChipStripView.h"
#include "editor/PopoverPlacement.h"
#include "platform/Appearance.h"
#include "settings/DrawingHelpers.h"
#include "settings/Localization.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

PartPopover::PartPopover(const QString& systemZone, const QStringList& zones,
                         const QString& systemLanguage, const QStringList& languages,
                         QWidget* parent)
    : QWidget(parent, Qt::Popup) {
    setFixedSize(contentSize);
    m_strip = new ChipStripView(ChipStripView::Mode::strip, this);
    m_strip->setGeometry(10, 10, 440, 34);
    buildZoneField(systemZone, zones);

    m_language = new QComboBox(this);
    m_language->setGeometry(254, 56, 122, 26);
    m_language->setFont(systemFont(12, QFont::Normal));
    m_language->setToolTip(L("menubar.language"));
    m_language->addItem(systemLanguage, 0);
    for (int tag = 1; tag <= languages.size(); ++tag)
        m_language->addItem(languages[tag - 1], tag);
    connect(m_language, &QComboBox::activated, this,
            [this](int index) { Q_EMIT languageChosen(m_language->itemData(index).toInt()); });

    m_remove = new QPushButton(L("menubar.remove_part_short"), this);
    m_remove->setFont(systemFont(11, QFont::Normal));
    // Sized to fit, its right end at 450, but never over the language box.
    const int width =
        std::min(m_remove->sizeHint().width(), 450 - 8 - m_language->geometry().right());
    m_remove->setGeometry(450 - width, 59, width, m_remove->sizeHint().height());
    connect(m_remove, &QPushButton::clicked, this, &PartPopover::removeRequested);
}

// Completion offers every zone containing what was typed, whatever its case; Return, leaving
// the field and a choice from either list report the text, which the owner resolves.
void PartPopover::buildZoneField(const QString& systemZone, const QStringList& zones) {
    m_zone = new QComboBox(this);
    m_zone->setGeometry(10, 56, 236, 26);
    m_zone->setFont(systemFont(12, QFont::Normal));
    m_zone->setToolTip(L("menubar.timezone"));
    m_zone->setEditable(true);
    m_zone->setInsertPolicy(QComboBox::NoInsert);
    m_zone->setMaxVisibleItems(14);
    m_zone->addItem(systemZone);
    m_zone->addItems(zones);
    auto* completer = new QCompleter(m_zone->model(), m_zone);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setFilterMode(Qt::MatchContains);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    m_zone->setCompleter(completer);
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
    const QScreen* screen = QGuiApplication::screenAt(anchor.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    move(PopoverPlacement::origin(anchor, size(), screen->availableGeometry()));
    show();
}

void PartPopover::showAgain() {
    showUnder(m_anchor);
}

// A popup window has no frame of its own: a hairline sets it off from what lies beneath.
void PartPopover::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    painter.setPen(QPen(Appearances::tertiaryLabelColor(Appearances::of(this)), 1));
    painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

void PartPopover::mousePressEvent(QMouseEvent* event) {
    const bool outside = !rect().contains(event->position().toPoint());
    QWidget::mousePressEvent(event); // closes a popup pressed outside
    if (outside && event->button() == Qt::LeftButton)
        Q_EMIT pressedOutside(event->globalPosition());
}
