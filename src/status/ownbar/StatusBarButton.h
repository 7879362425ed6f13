#pragma once

#include "platform/WheelSteps.h"

#include <QFont>
#include <QImage>
#include <QTextLayout>
#include <QWidget>

#include <memory>
#include <optional>

class QMenu;
class StatusItem;

// The clickable face of one status item: an optional image and a title, drawn in the bar's
// text colour. It reports left and right mouse-ups (never mouse-downs), and while its item has
// a menu attached, a click shows that menu under the item instead.
//
// A clock changes its title every second, so a title is shaped once, when it changes, and
// kept laid out for measuring and drawing; a new title of the same width repaints only the
// characters that differ and moves nothing in the bar.
class StatusBarButton : public QWidget {
    Q_OBJECT
public:
    explicit StatusBarButton(StatusItem* item, QWidget* parent = nullptr);
    ~StatusBarButton() override;

    StatusItem* item() const { return m_item; }

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
    QSize sizeHint() const override;

    // Shows `menu` under the button, highlighted while it is open, and returns at once.
    void popUpMenu(QMenu& menu);

    static constexpr int contentInset = 2;

Q_SIGNALS:
    void clicked(Qt::MouseButton button);
    // Whole notches of a wheel turned over the button: positive away from the user.
    void wheelTurned(int steps);
    void titleChanged(const QString& title);
    // The title, its font or the image changed the width the content needs.
    void fittingWidthChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

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

    StatusItem* m_item;
    QString m_title;
    QFont m_font;
    std::unique_ptr<QTextLayout> m_titleLayout; // null while the title is empty
    int m_titleWidth = 0;
    QImage m_image;
    bool m_imageIsTemplate = false;
    bool m_highlighted = false;
    std::optional<QPoint> m_altPress;
    bool m_dragging = false;
    WheelSteps m_wheel;
};
