#include "ui/SymbolImage.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QtMath>

#include <algorithm>
#include <cmath>

namespace {

// Symbols are designed on a 24 x 24 grid spanning the em box, as the glyphs of a symbol font
// are; every coordinate below is in those units and Canvas turns it into device pixels.
constexpr qreal gridUnits = 24.0;
constexpr qreal gridCentre = gridUnits / 2;
// Far beyond any use; keeps a nonsensical size from asking for gigabytes.
constexpr qreal largestSide = 4096;

// Stroke width in grid units for a font weight: about 1/24 of the box for ultralight, 1/7 for
// black, so a heavier weight always draws thicker lines.
qreal strokeUnits(QFont::Weight weight) {
    const qreal clamped = std::clamp(int(weight), 100, 900);
    return 1.0 + (clamped - 100) / 800 * 2.4;
}

// Draws in device pixels on an image whose pixel grid is aligned with the em box. Straight
// horizontal and vertical strokes get whole-pixel widths and are moved so that both of their
// edges fall on pixel boundaries: a one-pixel line half-way between two rows would come out
// as two grey rows, which is what makes small symbols look blurred.
class Canvas {
public:
    Canvas(QImage& image, QFont::Weight weight, const QColor& color)
        : m_painter(&image), m_scale(image.width() / gridUnits), m_weight(weight), m_color(color) {
        m_painter.setRenderHint(QPainter::Antialiasing);
    }

    qreal px(qreal units) const { return units * m_scale; }
    QPointF at(qreal x, qreal y) const { return {px(x), px(y)}; }

    qreal strokeUnits() const { return ::strokeUnits(m_weight); }
    qreal strokePixels() const { return std::max<qreal>(1, std::round(px(strokeUnits()))); }

    // The device coordinate nearest to `units` at which a straight stroke covers whole pixels.
    qreal snapped(qreal units) const {
        const qreal width = strokePixels();
        return std::round(px(units) - width / 2) + width / 2;
    }
    qreal edge(qreal units) const { return std::round(px(units)); }

    // A rectangle in grid units whose stroke centre lines are snapped like single strokes.
    QRectF strokeRect(qreal left, qreal top, qreal right, qreal bottom) const {
        return QRectF(QPointF(snapped(left), snapped(top)),
                      QPointF(snapped(right), snapped(bottom)));
    }
    QRectF edgeRect(qreal left, qreal top, qreal right, qreal bottom) const {
        return QRectF(QPointF(edge(left), edge(top)), QPointF(edge(right), edge(bottom)));
    }

    static QPainterPath outline(const QPainterPath& path, qreal width) {
        QPainterPathStroker stroker;
        stroker.setWidth(width);
        stroker.setCapStyle(Qt::RoundCap);
        stroker.setJoinStyle(Qt::RoundJoin);
        return stroker.createStroke(path);
    }
    void stroke(const QPainterPath& path) { stroke(path, strokePixels()); }
    // Strokes are filled as outlines: Qt draws pens of one device pixel or less with its
    // cosmetic line algorithm, which smears 45-degree lines over two pixels.
    void stroke(const QPainterPath& path, qreal width) { fill(outline(path, width)); }
    void fill(const QPainterPath& path) { m_painter.fillPath(path, m_color); }
    // Filled shapes thicken with the weight as strokes do, by an outline around the fill.
    void fillWithWeight(const QPainterPath& path) {
        fill(path);
        stroke(path, px(strokeUnits() * 0.5));
    }
    void erase(const QPainterPath& path, qreal width) {
        m_painter.save();
        m_painter.setCompositionMode(QPainter::CompositionMode_Clear);
        m_painter.fillPath(outline(path, width), Qt::black);
        m_painter.restore();
    }

    QPainter& painter() { return m_painter; }
    // Mirrors later drawing across the vertical or horizontal centre line of the box. The box
    // is a whole number of pixels wide, so snapped strokes stay snapped.
    void mirrorHorizontally() {
        m_painter.translate(m_painter.device()->width(), 0);
        m_painter.scale(-1, 1);
    }
    void mirrorVertically() {
        m_painter.translate(0, m_painter.device()->height());
        m_painter.scale(1, -1);
    }

private:
    QPainter m_painter;
    qreal m_scale;
    QFont::Weight m_weight;
    QColor m_color;
};

QPainterPath polyline(std::initializer_list<QPointF> points) {
    QPainterPath path;
    for (const QPointF& point : points) {
        if (path.elementCount() == 0)
            path.moveTo(point);
        else
            path.lineTo(point);
    }
    return path;
}

// A chevron opening to the right with its tip at (`tipX`, centre), its arms at 45 degrees.
// The tip sits where a stroke is crisp and the arms run a whole number of pixels on both axes,
// so thin diagonal strokes come out as clean staircases rather than grey smears.
QPainterPath chevron(const Canvas& c, qreal tipX, qreal armLength) {
    const QPointF tip(c.snapped(tipX), c.snapped(gridCentre));
    const qreal arm = std::round(c.px(armLength));
    return polyline({tip + QPointF(arm, -arm), tip, tip + QPointF(arm, arm)});
}

void drawChevronLeft(Canvas& c) {
    c.stroke(chevron(c, 8.5, 7));
}

void drawDoubleChevronLeft(Canvas& c) {
    c.stroke(chevron(c, 5.5, 6));
    c.stroke(chevron(c, 12.5, 6));
}

QPainterPath horizontalBar(const Canvas& c, qreal centreY, qreal fromX, qreal toX) {
    const qreal y = c.snapped(centreY);
    return polyline({{c.px(fromX), y}, {c.px(toX), y}});
}

QPainterPath verticalBar(const Canvas& c, qreal centreX, qreal fromY, qreal toY) {
    const qreal x = c.snapped(centreX);
    return polyline({{x, c.px(fromY)}, {x, c.px(toY)}});
}

QPainterPath plusSign(const Canvas& c, qreal centre, qreal arm) {
    QPainterPath path = horizontalBar(c, centre, centre - arm, centre + arm);
    path.addPath(verticalBar(c, centre, centre - arm, centre + arm));
    return path;
}

void drawPlus(Canvas& c) {
    c.stroke(plusSign(c, gridCentre, 7.5));
}

void drawMinus(Canvas& c) {
    c.stroke(horizontalBar(c, gridCentre, 4.5, 19.5));
}

void drawArrowUp(Canvas& c) {
    const QPointF tip(c.snapped(gridCentre), c.snapped(4.5));
    const qreal head = std::round(c.px(6.5));
    QPainterPath path = polyline({{tip.x(), c.px(20)}, tip});
    path.addPath(polyline({tip + QPointF(-head, head), tip, tip + QPointF(head, head)}));
    c.stroke(path);
}

QPainterPath roundedRect(const QRectF& rect, qreal radius) {
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

// A page with a filled header band and two rows of day dots.
void drawCalendar(Canvas& c) {
    const QRectF page = c.strokeRect(3, 3.5, 21, 21);
    const qreal radius = c.px(3.5);
    c.stroke(roundedRect(page, radius));

    const qreal halfStroke = c.strokePixels() / 2;
    QPainterPath band = roundedRect(page.adjusted(-halfStroke, -halfStroke, halfStroke, halfStroke),
                                    radius + halfStroke);
    band &= roundedRect(QRectF(QPointF(0, 0), QPointF(c.px(gridUnits), c.edge(9))), 0);
    c.fill(band);

    // Dots never grow past half their spacing, or they merge into a grey block at small sizes;
    // dots of one or two pixels are drawn square, since a circle that small only blurs.
    const qreal spacing = 4;
    const qreal dot = std::clamp<qreal>(std::round(c.px(c.strokeUnits() * 1.15)), 1,
                                        std::max<qreal>(1, std::floor(c.px(spacing) / 2)));
    QPainterPath dots;
    for (const qreal y : {13.5, 13.5 + spacing}) {
        for (const qreal x : {gridCentre - spacing, gridCentre, gridCentre + spacing}) {
            const QRectF box(QPointF(std::round(c.px(x) - dot / 2), std::round(c.px(y) - dot / 2)),
                             QSizeF(dot, dot));
            if (dot <= 2)
                dots.addRect(box);
            else
                dots.addEllipse(box);
        }
    }
    c.fill(dots);
}

QPointF polar(const Canvas& c, qreal radius, qreal degrees) {
    const qreal angle = qDegreesToRadians(degrees);
    return c.at(gridCentre + radius * std::cos(angle), gridCentre + radius * std::sin(angle));
}

// Eight teeth around a disc with a round hole through its middle.
void drawGear(Canvas& c) {
    constexpr int teeth = 8;
    constexpr qreal tipRadius = 10.5, rootRadius = 7.9, holeRadius = 3.5;
    constexpr qreal pitch = 360.0 / teeth, halfTip = 7.5, halfBase = 13.5;
    constexpr int arcSteps = 4;

    QPainterPath gear;
    gear.moveTo(polar(c, rootRadius, -halfBase));
    for (int tooth = 0; tooth < teeth; ++tooth) {
        const qreal middle = tooth * pitch;
        gear.lineTo(polar(c, rootRadius, middle - halfBase));
        gear.lineTo(polar(c, tipRadius, middle - halfTip));
        gear.lineTo(polar(c, tipRadius, middle + halfTip));
        gear.lineTo(polar(c, rootRadius, middle + halfBase));
        const qreal gap = pitch - 2 * halfBase;
        for (int step = 1; step <= arcSteps; ++step)
            gear.lineTo(polar(c, rootRadius, middle + halfBase + gap * step / arcSteps));
    }
    gear.closeSubpath();
    gear.addEllipse(c.at(gridCentre, gridCentre), c.px(holeRadius), c.px(holeRadius));
    gear.setFillRule(Qt::OddEvenFill);
    c.fillWithWeight(gear);
}

// A filled envelope with its flap line cut out of it.
void drawEnvelope(Canvas& c) {
    const qreal grow = (c.strokeUnits() - ::strokeUnits(QFont::Medium)) / 2;
    const QRectF body = c.edgeRect(2 - grow, 5 - grow, 22 + grow, 19 + grow);
    c.fill(roundedRect(body, c.px(2.5)));

    const qreal cut = std::max<qreal>(1, c.px(1.6));
    const qreal inset = c.px(1);
    c.erase(polyline({body.topLeft() + QPointF(inset, inset), c.at(gridCentre, 13.2),
                      body.topRight() + QPointF(-inset, inset)}),
            cut);
}

// A square with a plus, in front of a second square of which only the edges outside the
// first one show.
void drawPlusSquareOnSquare(Canvas& c) {
    const qreal radius = c.px(3.5);
    const QRectF front = c.strokeRect(8, 8, 21, 21);
    const QRectF back = c.strokeRect(3, 3, 16, 16);
    const qreal gap = c.strokePixels() + c.px(1.5);

    QPainterPath visible;
    visible.addRect(QRectF(0, 0, c.px(gridUnits), c.px(gridUnits)));
    visible -= roundedRect(front.adjusted(-gap, -gap, gap, gap), radius + gap);
    c.painter().setClipPath(visible);
    c.stroke(roundedRect(back, radius));
    c.painter().setClipping(false);

    c.stroke(roundedRect(front, radius));
    c.stroke(plusSign(c, 14.5, 3.2));
}

using Drawing = void (*)(Canvas&);

void drawChevronRight(Canvas& c) {
    c.mirrorHorizontally();
    drawChevronLeft(c);
}

void drawDoubleChevronRight(Canvas& c) {
    c.mirrorHorizontally();
    drawDoubleChevronLeft(c);
}

void drawArrowDown(Canvas& c) {
    c.mirrorVertically();
    drawArrowUp(c);
}

const QHash<QString, Drawing>& drawings() {
    static const QHash<QString, Drawing> table{
        {"calendar", drawCalendar},
        {"chevron.left", drawChevronLeft},
        {"chevron.right", drawChevronRight},
        {"chevron.left.2", drawDoubleChevronLeft},
        {"chevron.right.2", drawDoubleChevronRight},
        {"gearshape.fill", drawGear},
        {"envelope.fill", drawEnvelope},
        {"plus", drawPlus},
        {"minus", drawMinus},
        {"plus.square.on.square", drawPlusSquareOnSquare},
        {"arrow.up", drawArrowUp},
        {"arrow.down", drawArrowDown},
    };
    return table;
}

} // namespace

namespace SymbolImage {

std::optional<QImage> image(const QString& name, qreal pointSize, QFont::Weight weight,
                            const QColor& color, qreal devicePixelRatio) {
    const auto drawing = drawings().constFind(name);
    if (drawing == drawings().cend())
        return std::nullopt;
    const qreal side = std::ceil(pointSize * devicePixelRatio);
    if (!(side >= 1 && side <= largestSide))
        return std::nullopt;

    const int pixels = int(side);
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return std::nullopt;
    image.fill(Qt::transparent);
    {
        Canvas canvas(image, weight, color);
        (*drawing)(canvas);
    }
    image.setDevicePixelRatio(devicePixelRatio);
    return image;
}

bool exists(const QString& name) {
    return drawings().contains(name);
}

} // namespace SymbolImage
