#pragma once

#include <QPointer>
#include <QRect>
#include <QStringList>
#include <QWidget>

class ChipStripView;
class QComboBox;
class QPushButton;

// The small panel that edits one part of an item, hanging under its segment: the part's
// chips, its time zone (typed with completion by identifier or city, or chosen from every
// known zone) and its language, and a button that removes the part. It reports what the user
// does and never changes the layout itself.
//
// It lies over its window's content instead of being a window of its own, and takes no grab:
// a grabbing popup swallows, on X11, the click that closes it and keeps a press under it from
// becoming a drag, and a window of its own cannot be placed under a segment on Wayland. So it
// closes itself on Escape, on a press anywhere outside it (seen by an application event
// filter; the press still acts where it lands) and when its window stops being active. A press
// on the anchor view (`setAnchorView`) is the anchor's to handle.
class PartPopover : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize contentSize{460, 110};
    // Item data of the zone field's entries: the city of a zone, and the text completion
    // searches (identifier and city, as written and as `ZoneMatching::searchKey` writes them).
    static constexpr int cityRole = Qt::UserRole + 1;
    static constexpr int searchRole = Qt::UserRole + 2;

    // `zones` follow the system zone's entry, `systemZone`, in the zone field's list, with
    // their `cities` (one per zone, empty for none); `languages` are the titles of the language
    // tags 1, 2 ... after the system language. `parent` is the window it lies over.
    PartPopover(const QString& systemZone, const QStringList& zones, const QStringList& cities,
                const QString& systemLanguage, const QStringList& languages, QWidget* parent);

    ChipStripView* strip() const { return m_strip; }
    QComboBox* zoneField() const { return m_zone; }
    QComboBox* languageBox() const { return m_language; }
    QPushButton* removeButton() const { return m_remove; }

    // The view whose presses do not close the popover.
    void setAnchorView(QWidget* view) { m_anchorView = view; }
    // Shows the part's zone (or the system zone's entry) and language tag, without reporting.
    void setZoneText(const QString& text);
    void setLanguageTag(int tag);
    // Opens under `anchor`, a rectangle in the parent's coordinates, kept inside the parent;
    // or again under the last one.
    void showUnder(const QRect& anchor);
    void showAgain();
    // Closes it as Escape does: the keyboard focus it held goes back to the anchor view.
    void dismiss();

Q_SIGNALS:
    // Return or leaving the field with typed text, or a zone chosen from the list.
    void zoneEntered(const QString& text);
    void languageChosen(int tag);
    void removeRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void buildZoneField(const QString& systemZone, const QStringList& zones,
                        const QStringList& cities);
    // Whether a press on the widget leaves the popover open: one inside it or on the anchor
    // view, or in a popup window.
    bool pressLeavesOpen(const QWidget* widget) const;
    void closeUnlessActive();

    ChipStripView* m_strip = nullptr;
    QComboBox* m_zone = nullptr;
    QComboBox* m_language = nullptr;
    QPushButton* m_remove = nullptr;
    QPointer<QWidget> m_anchorView;
    QRect m_anchor;
};
