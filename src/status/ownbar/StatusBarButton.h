#pragma once

#include "platform/WheelSteps.h"

#include <QFont>
#include <QImage>
#include <QObject>
#include <QRect>
#include <QTextLayout>

#include <memory>
#include <optional>

class QMenu;
class QMouseEvent;
class QPainter;
class QWheelEvent;
class StatusBar;
class StatusItem;

// The clickable face of one status item: an optional image and a title, drawn in the bar's
// text colour inside the bar's window. It is no widget: the bar draws it into its own backing
// store and hands it the pointer events that fall on it, so that a tick goes through no widget
// machinery. It reports left and right mouse-ups (never mouse-downs).
//
// A clock changes its title every second, so a title is shaped once, when it changes, and
// kept laid out for measuring and drawing; a new title of the same width repaints only the
// characters that differ and moves nothing in the bar.
class StatusBarButton : public QObject {
    Q_OBJECT
public:
    explicit StatusBarButton(StatusItem* item);
    ~StatusBarButton() override;

    StatusItem* item() const { return m_item; }
    StatusBar* bar() const;

    QString title() const { return m_title; }
    void setTitle(const QString& title);
    void setTitleFont(const QFont& font);
    QFont titleFont() const { return m_font; }

    // A template image is a mask: only its alpha counts, and it is drawn in the bar's text
    // colour so it fits both light and dark bars.
    void setImage(const QImage& image, bool isTemplate);
    QImage image() const { return m_image; }
    bool imageIsTemplate() const { return m_imageIsTemplate; }

    // The width the content needs: title and image plus a small inset on each side.
    int fittingWidth() const;

    // Where the button is in the bar, which places it.
    QRect geometry() const { return m_geometry; }
    void setGeometry(const QRect& geometry);
    int x() const { return m_geometry.x(); }
    int width() const { return m_geometry.width(); }
    int height() const { return m_geometry.height(); }
    QRect rect() const { return {QPoint(0, 0), m_geometry.size()}; }
    QPoint mapToGlobal(const QPoint& point) const;
    qreal devicePixelRatio() const;

    // What assistive technology reads for the button when its title says nothing (an icon).
    // Setting it announces it, so only a new name is set.
    QString accessibleName() const { return m_accessibleName; }
    void setAccessibleName(const QString& name);

    // Shows `menu` under the button, highlighted while it is open, and returns at once.
    void popUpMenu(QMenu& menu);

    // Draws the button with the painter's origin at its top left corner.
    void paint(QPainter& painter) const;

    // The pointer's events that the bar routes to the button, in the button's coordinates:
    // after a press, the moves and the release go to the button pressed.
    void mousePressEvent(QMouseEvent* event);
    void mouseMoveEvent(QMouseEvent* event);
    void mouseReleaseEvent(QMouseEvent* event);
    void wheelEvent(QWheelEvent* event);

    static constexpr int contentInset = 2;

Q_SIGNALS:
    void clicked(Qt::MouseButton button);
    // Whole notches of a wheel turned over the button: positive away from the user.
    void wheelTurned(int steps);
    void titleChanged(const QString& title);
    // The title, its font or the image changed the width the content needs.
    void fittingWidthChanged();

private:
    QImage tintedImage() const;
    void setHighlighted(bool highlighted);
    void layOutTitle();
    qreal imageWidth() const;
    // Where the content, and the title within it, start inside the button.
    qreal contentX() const;
    qreal titleX() const;
    // The part of the button where `before` and the current title differ, both laid out.
    QRect changedTitleRect(const QTextLayout& before) const;
    void contentResized();
    // Has the bar draw `area` of the button again.
    void update(const QRect& area);

    StatusItem* m_item;
    QRect m_geometry;
    QString m_title;
    QFont m_font;
    std::unique_ptr<QTextLayout> m_titleLayout; // null while the title is empty
    int m_titleWidth = 0;
    QImage m_image;
    bool m_imageIsTemplate = false;
    bool m_highlighted = false;
    QString m_accessibleName;
    std::optional<QPoint> m_altPress;
    bool m_dragging = false;
    WheelSteps m_wheel;
};
