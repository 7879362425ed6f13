#include "editor/ItemRowDelegate.h"

#include "editor/EmojiRuns.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

namespace {

// More emoji runs than a list shows; past it the cache starts afresh.
constexpr qsizetype emojiCacheLimit = 256;
const QString ellipsis = QStringLiteral("\u2026");

} // namespace

void ItemRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    QStyleOptionViewItem row = option;
    initStyleOption(&row, index);
    const QString text = row.text;
    row.text.clear();
    const QWidget* view = row.widget;
    QStyle* style = view ? view->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &row, painter, view);

    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &row, view);
    const bool selected = row.state.testFlag(QStyle::State_Selected);
    painter->save();
    painter->setFont(row.font);
    painter->setPen(row.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    drawLine(*painter, QRectF(textRect).adjusted(2, 0, -2, 0), text);
    painter->restore();
}

// Runs are placed side by side on one baseline. The first run that does not fit is cut with
// an ellipsis (an emoji run is replaced by it), and nothing after it is drawn.
void ItemRowDelegate::drawLine(QPainter& painter, const QRectF& rect, const QString& text) const {
    const QFont& font = painter.font();
    const QFontMetricsF metrics(font);
    const qreal baseline = rect.top() + (rect.height() - metrics.height()) / 2 + metrics.ascent();
    const QList<EmojiRuns::Run> runs = EmojiRuns::split(text);
    QList<qreal> widths;
    for (const EmojiRuns::Run& run : runs)
        widths.append(run.emoji ? emojiRun(run.text, font).width
                                : metrics.horizontalAdvance(run.text));
    const qsizetype whole =
        EmojiRuns::wholeRuns(widths, rect.width(), metrics.horizontalAdvance(ellipsis));
    qreal x = rect.left();
    for (qsizetype i = 0; i < whole; ++i) {
        if (runs[i].emoji) {
            const LaidOut& laidOut = emojiRun(runs[i].text, font);
            for (const QGlyphRun& glyphs : laidOut.glyphs)
                painter.drawGlyphRun(QPointF(x, baseline - laidOut.ascent), glyphs);
        } else {
            painter.drawText(QPointF(x, baseline), runs[i].text);
        }
        x += widths[i];
    }
    if (whole < runs.size()) {
        painter.drawText(QPointF(x, baseline),
                         runs[whole].emoji ? ellipsis
                                           : metrics.elidedText(runs[whole].text, Qt::ElideRight,
                                                                rect.right() - x));
    }
}

const ItemRowDelegate::LaidOut& ItemRowDelegate::emojiRun(const QString& text,
                                                          const QFont& font) const {
    const QString key = font.key() + u'\n' + text;
    if (const auto found = m_emoji.constFind(key); found != m_emoji.constEnd())
        return *found;
    if (m_emoji.size() >= emojiCacheLimit)
        m_emoji.clear();
    QTextLayout layout(text, font);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    return *m_emoji.insert(key, {line.glyphRuns(), line.ascent(), line.naturalTextWidth()});
}
