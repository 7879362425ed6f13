#pragma once

#include <QRect>
#include <QStringList>
#include <QWidget>

class ChipStripView;
class QComboBox;
class QPushButton;

// The small window that edits one part of an item, hanging under its segment: the part's
// chips, its time zone (typed with completion, or chosen from every known zone) and its
// language, and a button that removes the part. A popup: a click outside it or Escape closes
// it. It reports what the user does and never changes the layout itself.
class PartPopover : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize contentSize{460, 110};

    // `zones` follow the system zone's entry, `systemZone`, in the zone field's list;
    // `languages` are the titles of the language tags 1, 2 ... after the system language.
    PartPopover(const QString& systemZone, const QStringList& zones, const QString& systemLanguage,
                const QStringList& languages, QWidget* parent = nullptr);

    ChipStripView* strip() const { return m_strip; }
    QComboBox* zoneField() const { return m_zone; }
    QComboBox* languageBox() const { return m_language; }
    QPushButton* removeButton() const { return m_remove; }

    // Shows the part's zone (or the system zone's entry) and language tag, without reporting.
    void setZoneText(const QString& text);
    void setLanguageTag(int tag);
    // Opens under `anchor`, a rectangle in global coordinates, or again under the last one.
    void showUnder(const QRect& anchor);
    void showAgain();

Q_SIGNALS:
    // Return or leaving the field with typed text, or a zone chosen from the list.
    void zoneEntered(const QString& text);
    void languageChosen(int tag);
    void removeRequested();
    // A press outside closed the popover; the platform does not pass it on to what lies there.
    void pressedOutside(const QPointF& globalPosition);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void buildZoneField(const QString& systemZone, const QStringList& zones);

    ChipStripView* m_strip = nullptr;
    QComboBox* m_zone = nullptr;
    QComboBox* m_language = nullptr;
    QPushButton* m_remove = nullptr;
    QRect m_anchor;
};
