#pragma once

#include <QGlyphRun>
#include <QHash>
#include <QStyledItemDelegate>

// Draws the rows of the editor's item list: the style's row (selection, focus) and the text
// on one line, cut with an ellipsis at the right when too long. The text is drawn run by run:
// the layout of each emoji run is kept, since laying colour emoji out costs far more than
// anything else in a row, and a row showing seconds is drawn again every second.
class ItemRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    struct LaidOut {
        QList<QGlyphRun> glyphs; // from the top left of the line
        qreal ascent = 0;
        qreal width = 0;
    };

    const LaidOut& emojiRun(const QString& text, const QFont& font) const;
    void drawLine(QPainter& painter, const QRectF& rect, const QString& text) const;

    mutable QHash<QString, LaidOut> m_emoji; // by font and text
};
