// Lines, shapes and regions of the metafile player: pens, brushes and the
// records that outline and fill.

#include "WmfPlayer.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>

#include <cmath>
#include <numbers>

namespace wmf {

namespace {

constexpr int PsNull = 5;
constexpr int PsInsideFrame = 6;
constexpr int BkOpaque = 2;
constexpr int BsNull = 1;
constexpr int BsHatched = 2;

// The 8 x 8 hatch patterns, in their colour on a transparent ground.
QImage hatchImage(int hatch, QRgb colour)
{
    QImage img(8, 8, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            bool on = false;
            switch (hatch) {
            case 0:
                on = y == 0;
                break; // HS_HORIZONTAL
            case 1:
                on = x == 0;
                break; // HS_VERTICAL
            case 2:
                on = x == y;
                break; // HS_FDIAGONAL: top left to bottom right
            case 3:
                on = x + y == 7;
                break; // HS_BDIAGONAL: bottom left to top right
            case 4:
                on = x == 0 || y == 0;
                break; // HS_CROSS
            case 5:
                on = x == y || x + y == 7;
                break; // HS_DIAGCROSS
            default:
                on = true;
                break;
            }
            if (on)
                img.setPixel(x, y, colour);
        }
    }
    return img;
}

} // namespace

// The pen and brush colours under the foreground mix mode. Modes that need
// the pixels already on the device (inverting, XOR) draw as the plain copy:
// vector devices have no such operations.
bool Player::mixColour(QColor& c) const
{
    switch (m_dc.rop2) {
    case 1: // R2_BLACK
        c = Qt::black;
        return true;
    case 16: // R2_WHITE
        c = Qt::white;
        return true;
    case 4: // R2_NOTCOPYPEN
        c = QColor(255 - c.red(), 255 - c.green(), 255 - c.blue());
        return true;
    case 6:  // R2_NOT
    case 11: // R2_NOP
        return false;
    default:
        return true;
    }
}

// Device pixels per screen pixel: 1 on screens and images, about 12 on a
// 1200 dpi printer.
double Player::screenPixel() const
{
    const double dpi = m_p.device() ? m_p.device()->logicalDpiX() : 96;
    return std::max(1.0, std::round(dpi / 96));
}

bool Player::makePen(QPen& pen)
{
    const PenSpec& spec = m_dc.pen;
    const int style = spec.style & 0x0F;
    if (style == PsNull || style > PsInsideFrame)
        return false;
    QColor c = color(spec.color);
    if (!mixColour(c))
        return false;
    const double width = spec.width * std::abs(deviceScale().x());
    pen = QPen(c);
    // Width 0, and any pen that comes out no wider than a pixel, is the
    // one-pixel pen; only such pens have dashes (wider ones draw solid). On a
    // device much finer than a screen that pixel is a screen pixel, as for
    // patterns, so that outlines and dots do not vanish on paper.
    const double pixel = screenPixel();
    if (spec.width == 0 || width <= pixel) {
        pen.setWidthF(pixel > 1 ? pixel : 0);
        switch (style) {
        case 1:
            pen.setDashPattern({18, 6});
            break;
        case 2:
            pen.setDashPattern({3, 3});
            break;
        case 3:
            pen.setDashPattern({9, 6, 3, 6});
            break;
        case 4:
            pen.setDashPattern({9, 3, 3, 3, 3, 3});
            break;
        default:
            break;
        }
        pen.setCapStyle(Qt::FlatCap);
        return true;
    }
    pen.setWidthF(width);
    switch (spec.style & 0x0F00) {
    case 0x0100:
        pen.setCapStyle(Qt::SquareCap);
        break;
    case 0x0200:
        pen.setCapStyle(Qt::FlatCap);
        break;
    default:
        pen.setCapStyle(Qt::RoundCap);
        break;
    }
    switch (spec.style & 0xF000) {
    case 0x1000:
        pen.setJoinStyle(Qt::BevelJoin);
        break;
    case 0x2000:
        pen.setJoinStyle(Qt::MiterJoin);
        pen.setMiterLimit(10);
        break;
    default:
        pen.setJoinStyle(Qt::RoundJoin);
        break;
    }
    return true;
}

bool Player::makeBrush(const BrushSpec& spec, QBrush& brush)
{
    if (spec.style == BsNull)
        return false;
    QColor c = color(spec.color);
    if (!mixColour(c))
        return false;
    // Hatches and patterns are device pixels on Windows and start at the
    // device origin. On a device much finer than a screen (a printer, PDF)
    // they would all but vanish, so there a pattern pixel is a screen pixel.
    const double scale = screenPixel();
    auto textured = [&](const QImage& img) {
        QBrush b(img);
        if (scale != 1)
            b.setTransform(QTransform::fromScale(scale, scale));
        return b;
    };
    if (spec.style == 0) {
        brush = QBrush(c);
    } else if (spec.style == BsHatched) {
        brush = textured(hatchImage(spec.hatch, c.rgb()));
    } else if (spec.monoPattern) {
        // A one-bit device bitmap: clear bits in the text colour, set bits in
        // the background colour.
        QImage img = spec.pattern;
        img.setColorTable({color(m_dc.textColor).rgb(), color(m_dc.bkColor).rgb()});
        brush = textured(img.convertToFormat(QImage::Format_RGB32));
    } else if (!spec.pattern.isNull()) {
        brush = textured(spec.pattern);
    } else {
        return false;
    }
    return true;
}

void Player::fillWithBrush(const QPainterPath& path, const BrushSpec& spec)
{
    QBrush brush;
    if (!makeBrush(spec, brush))
        return;
    applyClip();
    if (spec.style == BsHatched && m_dc.bkMode == BkOpaque)
        m_p.fillPath(path, color(m_dc.bkColor));
    m_p.fillPath(path, brush);
}

void Player::paintPath(const QPainterPath& path, bool fill, bool stroke)
{
    applyClip();
    if (fill)
        fillWithBrush(path, m_dc.brush);
    QPen pen;
    const bool outlined = stroke && makePen(pen);
    if (outlined) {
        if (pen.style() == Qt::CustomDashLine && m_dc.bkMode == BkOpaque) {
            QPen gaps(color(m_dc.bkColor), pen.widthF());
            gaps.setCapStyle(Qt::FlatCap);
            m_p.strokePath(path, gaps);
        }
        m_p.strokePath(path, pen);
    } else if (fill && m_dc.brush.style == 0 && m_dc.rop2 == 13 && smoothEdges()) {
        // Clip art builds shades from many abutting shapes without outlines.
        // Smoothed edges would let a faint seam through between them, which
        // Windows' pixel-exact filling never shows: a hairline in the fill's
        // own colour closes it.
        m_p.strokePath(path, QPen(color(m_dc.brush.color), 0));
    }
}

// Whether edges come out smoothed: antialiasing on the painter, or a vector
// device whose viewer will smooth them.
bool Player::smoothEdges() const
{
    const QPaintEngine* engine = m_p.paintEngine();
    return m_p.testRenderHint(QPainter::Antialiasing) ||
           (engine && engine->type() != QPaintEngine::Raster);
}

// An inside-frame pen keeps the whole outline within the shape's rectangle.
QRectF Player::insideFrame(QRectF rect)
{
    if ((m_dc.pen.style & 0x0F) != PsInsideFrame)
        return rect;
    const double half = m_dc.pen.width * std::abs(deviceScale().x()) / 2;
    if (half <= 0.5 || rect.width() <= 2 * half || rect.height() <= 2 * half)
        return rect;
    return rect.adjusted(half, half, -half, -half);
}

void Player::drawShapeRecord(const Record& rec)
{
    const Params& p = rec.params;
    switch (rec.function) {
    case MoveTo:
        if (p.has(2))
            m_dc.currentPos = QPointF(p.s16(1), p.s16(0));
        break;
    case LineTo:
        if (p.has(2)) {
            QPainterPath path(toDevice(m_dc.currentPos.x(), m_dc.currentPos.y()));
            path.lineTo(toDevice(p.s16(1), p.s16(0)));
            m_dc.currentPos = QPointF(p.s16(1), p.s16(0));
            paintPath(path, false, true);
        }
        break;
    case Rectangle:
    case Ellipse:
        if (p.has(4)) {
            const QRectF r = insideFrame(deviceRect(p.s16(3), p.s16(2), p.s16(1), p.s16(0)));
            QPainterPath path;
            if (rec.function == Rectangle)
                path.addRect(r);
            else
                path.addEllipse(r);
            paintPath(path, true, true);
        }
        break;
    case RoundRect:
        if (p.has(6)) {
            const QRectF r = insideFrame(deviceRect(p.s16(5), p.s16(4), p.s16(3), p.s16(2)));
            const QPointF s = deviceScale();
            const double rx = std::min(std::abs(p.s16(1) * s.x()) / 2, r.width() / 2);
            const double ry = std::min(std::abs(p.s16(0) * s.y()) / 2, r.height() / 2);
            QPainterPath path;
            path.addRoundedRect(r, rx, ry);
            paintPath(path, true, true);
        }
        break;
    case Arc:
    case Pie:
    case Chord:
        if (p.has(8))
            arcLike(rec);
        break;
    case Polygon:
    case Polyline: {
        const qsizetype n = std::min<qsizetype>(p.u16(0), (p.words() - 1) / 2);
        if (n < 2)
            break;
        QPolygonF poly;
        poly.reserve(n);
        for (qsizetype i = 0; i < n; ++i)
            poly.append(toDevice(p.s16(1 + 2 * i), p.s16(2 + 2 * i)));
        QPainterPath path;
        path.addPolygon(poly);
        if (rec.function == Polygon) {
            path.closeSubpath();
            path.setFillRule(m_dc.polyFillMode == 2 ? Qt::WindingFill : Qt::OddEvenFill);
            paintPath(path, true, true);
        } else {
            paintPath(path, false, true);
        }
        break;
    }
    case PolyPolygon: {
        const int polygons = p.u16(0);
        if (!p.has(1 + polygons))
            break;
        QPainterPath path;
        path.setFillRule(m_dc.polyFillMode == 2 ? Qt::WindingFill : Qt::OddEvenFill);
        qsizetype at = 1 + polygons;
        for (int k = 0; k < polygons; ++k) {
            const int n = p.u16(1 + k);
            if (!p.has(at + 2 * qsizetype(n)))
                break;
            if (n >= 2) {
                QPolygonF poly;
                poly.reserve(n);
                for (int i = 0; i < n; ++i)
                    poly.append(toDevice(p.s16(at + 2 * i), p.s16(at + 2 * i + 1)));
                path.addPolygon(poly);
                path.closeSubpath();
            }
            at += 2 * qsizetype(n);
        }
        paintPath(path, true, true);
        break;
    }
    case SetPixel:
        if (p.has(4)) {
            const QPointF at = toDevice(p.s16(3), p.s16(2));
            const QPointF s = deviceScale();
            applyClip();
            m_p.fillRect(
                QRectF(at, QSizeF(std::max(1.0, std::abs(s.x())), std::max(1.0, std::abs(s.y())))),
                color(p.u32(0)));
        }
        break;
    default:
        break;
    }
}

// Arc, Pie and Chord: an ellipse in its bounding box, from the radial line
// through the start point counter-clockwise to the radial line through the
// end point; the same point twice gives the whole ellipse.
void Player::arcLike(const Record& rec)
{
    const Params& p = rec.params;
    const QRectF r = insideFrame(deviceRect(p.s16(7), p.s16(6), p.s16(5), p.s16(4)));
    const double a = r.width() / 2;
    const double b = r.height() / 2;
    if (a <= 0 || b <= 0)
        return;
    const QPointF c = r.center();
    // Angles of the ellipse's parameter, in degrees counter-clockwise on the
    // page, as QPainterPath::arcTo takes them.
    auto angle = [&](const QPointF& pt) {
        return std::atan2(-(pt.y() - c.y()) / b, (pt.x() - c.x()) / a) * 180 / std::numbers::pi;
    };
    const double start = angle(toDevice(p.s16(3), p.s16(2)));
    const double end = angle(toDevice(p.s16(1), p.s16(0)));
    double sweep = end - start;
    while (sweep <= 1e-9)
        sweep += 360;

    QPainterPath path;
    switch (rec.function) {
    case Arc:
        path.arcMoveTo(r, start);
        path.arcTo(r, start, sweep);
        paintPath(path, false, true);
        break;
    case Pie:
        path.moveTo(c);
        path.arcTo(r, start, sweep);
        path.closeSubpath();
        paintPath(path, true, true);
        break;
    default: // Chord
        path.arcMoveTo(r, start);
        path.arcTo(r, start, sweep);
        path.closeSubpath();
        paintPath(path, true, true);
        break;
    }
}

void Player::regionRecord(const Record& rec)
{
    const Params& p = rec.params;
    if (!p.has(1))
        return;
    Object* obj = object(p.u16(0));
    const QRegion* region = obj ? std::get_if<QRegion>(obj) : nullptr;
    if (!region || region->isEmpty())
        return;
    switch (rec.function) {
    case PaintRegion:
        fillWithBrush(regionPath(*region), m_dc.brush);
        break;
    case FillRegion:
    case FrameRegion: {
        if (!p.has(2))
            return;
        Object* brushObj = object(p.u16(1));
        const BrushSpec* brush = brushObj ? std::get_if<BrushSpec>(brushObj) : nullptr;
        if (!brush)
            return;
        if (rec.function == FillRegion) {
            fillWithBrush(regionPath(*region), *brush);
            return;
        }
        if (!p.has(4))
            return;
        // The frame is what an erosion by the stroke size takes away.
        const int h = std::abs(p.s16(2));
        const int w = std::abs(p.s16(3));
        const QRegion inner = region->intersected(region->translated(w, 0))
                                  .intersected(region->translated(-w, 0))
                                  .intersected(region->translated(0, h))
                                  .intersected(region->translated(0, -h));
        fillWithBrush(regionPath(region->subtracted(inner)), *brush);
        break;
    }
    default: // InvertRegion needs the device's pixels: skipped
        break;
    }
}

} // namespace wmf
