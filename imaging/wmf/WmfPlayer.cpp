#include "WmfPlayer.h"

#include "WmfDecode.h"

#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace wmf {

namespace {

constexpr int MapIsotropic = 7;
constexpr int MapAnisotropic = 8;
constexpr int MaxObjects = 65535;
constexpr int MaxSavedStates = 4096;
// Clip paths grow with every excluded rectangle; past this many elements
// further exclusions are ignored so that a hostile file cannot make each
// clip operation slower than the last without end.
constexpr int MaxClipElements = 20000;

// Extents out of any sensible range (repeated scaling can drive them there)
// are refused, so that the mapping stays finite.
bool usableExtent(double w, double h)
{
    auto ok = [](double v) { return std::abs(v) >= 1e-3 && std::abs(v) <= 1e7; };
    return ok(w) && ok(h);
}

} // namespace

Player::Player(QPainter& painter, const QRectF& target, const PlayerInput& input)
    : m_p(painter), m_target(target), m_in(input), m_reader(input.data, input.firstRecord)
{
    m_objects.resize(size_t(std::clamp(input.objectCount, 0, MaxObjects)));
    m_canDrawText = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
    // Two levels: the outer one keeps the caller's state, the inner one is
    // replaced whenever the metafile's clip changes.
    m_p.save();
    m_p.setClipRect(m_target, Qt::IntersectClip);
    m_p.save();
}

Player::~Player()
{
    m_p.restore();
    m_p.restore();
}

void Player::run()
{
    if (m_target.isEmpty())
        return;
    Record rec;
    while (m_reader.next(rec))
        dispatch(rec);
}

// ---------------------------------------------------------------- mapping

// Device units of the metafile per logical unit. The metafile is played as
// Windows plays a picture into a rectangle: in a device context whose
// viewport is that rectangle, so the window records decide the mapping even
// in the text map mode; a viewport extent counts only where the map mode
// lets files set one (isotropic, anisotropic).
QPointF Player::logicalScale() const
{
    const DcState& dc = m_dc;
    if (const int upi = metricUnitsPerInch(dc.mapMode)) {
        const double f = double(m_in.unitsPerInch) / upi;
        return {f, -f};
    }
    double vx, vy;
    if ((dc.mapMode == MapIsotropic || dc.mapMode == MapAnisotropic) && dc.viewportExtSet) {
        vx = dc.viewportExt.width();
        vy = dc.viewportExt.height();
    } else {
        const QSizeF ref = m_frozen ? m_refWindowExt : dc.windowExt;
        vx = std::abs(ref.width());
        vy = std::abs(ref.height());
    }
    double sx = dc.windowExt.width() != 0 ? vx / dc.windowExt.width() : 1;
    double sy = dc.windowExt.height() != 0 ? vy / dc.windowExt.height() : 1;
    if (dc.mapMode == MapIsotropic) {
        const double m = std::min(std::abs(sx), std::abs(sy));
        sx = std::copysign(m, sx);
        sy = std::copysign(m, sy);
    }
    return {sx, sy};
}

// Fixes how the metafile's device space lands on the target, at the first
// record that draws or clips: the frame is the window as the file set it by
// then, else the placeable bounds (or, for a plain file, its measured box).
void Player::freeze()
{
    if (m_frozen)
        return;
    const DcState& dc = m_dc;
    QRectF frame;
    if (dc.windowExtSet && !metricUnitsPerInch(dc.mapMode))
        frame = QRectF(dc.windowOrg, dc.windowExt);
    else if (!m_in.bounds.isNull())
        frame = QRectF(m_in.bounds);
    else
        frame = QRectF(dc.windowOrg, dc.windowExt);
    m_refWindowExt = dc.windowExt;
    m_frozen = true;

    const QPointF s = logicalScale();
    auto f = [&](const QPointF& l) {
        return QPointF((l.x() - dc.windowOrg.x()) * s.x() + dc.viewportOrg.x(),
                       (l.y() - dc.windowOrg.y()) * s.y() + dc.viewportOrg.y());
    };
    const QRectF fr = QRectF(f(frame.topLeft()), f(frame.bottomRight())).normalized();
    m_kx = fr.width() > 0 ? m_target.width() / fr.width() : 0;
    m_ky = fr.height() > 0 ? m_target.height() / fr.height() : 0;
    if (m_kx == 0)
        m_kx = m_ky != 0 ? m_ky : 1;
    if (m_ky == 0)
        m_ky = m_kx;
    m_tx = m_target.x() - fr.x() * m_kx;
    m_ty = m_target.y() - fr.y() * m_ky;
}

QPointF Player::toDevice(double x, double y)
{
    freeze();
    const QPointF s = logicalScale();
    const DcState& dc = m_dc;
    const double fx = (x - dc.windowOrg.x()) * s.x() + dc.viewportOrg.x();
    const double fy = (y - dc.windowOrg.y()) * s.y() + dc.viewportOrg.y();
    return {fx * m_kx + m_tx, fy * m_ky + m_ty};
}

QPointF Player::toLogical(const QPointF& device)
{
    freeze();
    const QPointF s = logicalScale();
    const DcState& dc = m_dc;
    const double fx = (device.x() - m_tx) / m_kx;
    const double fy = (device.y() - m_ty) / m_ky;
    return {(fx - dc.viewportOrg.x()) / s.x() + dc.windowOrg.x(),
            (fy - dc.viewportOrg.y()) / s.y() + dc.windowOrg.y()};
}

QPointF Player::deviceScale()
{
    freeze();
    const QPointF s = logicalScale();
    return {s.x() * m_kx, s.y() * m_ky};
}

QRectF Player::deviceRect(double left, double top, double right, double bottom)
{
    return QRectF(toDevice(left, top), toDevice(right, bottom)).normalized();
}

void Player::setWindowExt(double w, double h)
{
    if (metricUnitsPerInch(m_dc.mapMode) || !usableExtent(w, h))
        return;
    m_dc.windowExt = QSizeF(w, h);
    m_dc.windowExtSet = true;
}

void Player::setViewportExt(double w, double h)
{
    if (m_dc.mapMode != MapIsotropic && m_dc.mapMode != MapAnisotropic)
        return;
    if (!usableExtent(w, h))
        return;
    m_dc.viewportExt = QSizeF(w, h);
    m_dc.viewportExtSet = true;
}

// ---------------------------------------------------------------- dispatch

void Player::dispatch(const Record& rec)
{
    switch (rec.function) {
    case LineTo:
    case MoveTo:
    case Rectangle:
    case RoundRect:
    case Ellipse:
    case Arc:
    case Pie:
    case Chord:
    case Polygon:
    case Polyline:
    case PolyPolygon:
    case SetPixel:
        drawShapeRecord(rec);
        break;
    case FillRegion:
    case FrameRegion:
    case PaintRegion:
    case InvertRegion:
        regionRecord(rec);
        break;
    case TextOut:
        textOut(rec);
        break;
    case ExtTextOut:
        extTextOut(rec);
        break;
    case PatBlt:
        patBlt(rec);
        break;
    case BitBlt:
    case StretchBlt:
    case DibBitBlt:
    case DibStretchBlt:
    case StretchDib:
    case SetDibToDev:
        blitRecord(rec);
        break;
    case CreatePenIndirect:
    case CreateBrushIndirect:
    case CreateFontIndirect:
    case CreatePalette:
    case CreatePatternBrush:
    case DibCreatePatternBrush:
    case CreateRegion:
    case SelectObject:
    case DeleteObject:
    case SelectPalette:
    case SetPalEntries:
    case AnimatePalette:
    case ResizePalette:
        dispatchObjects(rec);
        break;
    default:
        // Settings; unknown records, escapes and flood fills (which need the
        // pixels of a raster device) end up there and are skipped.
        dispatchState(rec);
        break;
    }
}

void Player::dispatchState(const Record& rec)
{
    const Params& p = rec.params;
    DcState& dc = m_dc;
    switch (rec.function) {
    case SaveDC:
        if (m_saved.size() < MaxSavedStates)
            m_saved.append(dc);
        break;
    case RestoreDC:
        if (p.has(1))
            restoreDC(p.s16(0));
        break;
    case SetMapMode:
        if (p.has(1) && p.u16(0) >= 1 && p.u16(0) <= 8)
            dc.mapMode = p.u16(0);
        break;
    case SetWindowOrg:
        if (p.has(2))
            dc.windowOrg = QPointF(p.s16(1), p.s16(0));
        break;
    case SetWindowExt:
        if (p.has(2))
            setWindowExt(p.s16(1), p.s16(0));
        break;
    case SetViewportOrg:
        if (p.has(2))
            dc.viewportOrg = QPointF(p.s16(1), p.s16(0));
        break;
    case SetViewportExt:
        if (p.has(2))
            setViewportExt(p.s16(1), p.s16(0));
        break;
    case OffsetWindowOrg:
        if (p.has(2))
            dc.windowOrg += QPointF(p.s16(1), p.s16(0));
        break;
    case OffsetViewportOrg:
        if (p.has(2))
            dc.viewportOrg += QPointF(p.s16(1), p.s16(0));
        break;
    case ScaleWindowExt:
    case ScaleViewportExt:
        if (p.has(4) && p.s16(0) != 0 && p.s16(2) != 0) {
            const bool window = rec.function == ScaleWindowExt;
            const QSizeF e = window ? dc.windowExt : dc.viewportExt;
            const double w = e.width() * p.s16(3) / p.s16(2);
            const double h = e.height() * p.s16(1) / p.s16(0);
            if (window)
                setWindowExt(w, h);
            else
                setViewportExt(w, h);
        }
        break;
    case SetBkColor:
        if (p.has(2))
            dc.bkColor = p.u32(0);
        break;
    case SetTextColor:
        if (p.has(2))
            dc.textColor = p.u32(0);
        break;
    case SetBkMode:
        if (p.has(1) && (p.u16(0) == 1 || p.u16(0) == 2))
            dc.bkMode = p.u16(0);
        break;
    case SetPolyFillMode:
        if (p.has(1) && (p.u16(0) == 1 || p.u16(0) == 2))
            dc.polyFillMode = p.u16(0);
        break;
    case SetTextAlign:
        if (p.has(1))
            dc.textAlign = p.u16(0);
        break;
    case SetRop2:
        if (p.has(1) && p.u16(0) >= 1 && p.u16(0) <= 16)
            dc.rop2 = p.u16(0);
        break;
    case SetStretchBltMode:
        if (p.has(1))
            dc.stretchMode = p.u16(0);
        break;
    case SetTextCharExtra:
        if (p.has(1))
            dc.charExtra = p.s16(0);
        break;
    case SetTextJustification:
        if (p.has(2)) {
            dc.breakCount = p.s16(0);
            dc.breakExtra = p.s16(1);
        }
        break;
    case IntersectClipRect:
    case ExcludeClipRect:
        if (p.has(4)) {
            const QRectF r = deviceRect(p.s16(3), p.s16(2), p.s16(1), p.s16(0));
            if (rec.function == IntersectClipRect)
                intersectClip(r);
            else
                excludeClip(r);
        }
        break;
    case SelectClipRegion:
        if (p.has(1))
            selectClipRegion(p.u16(0));
        break;
    case OffsetClipRgn:
        if (p.has(2) && dc.clip.active) {
            const QPointF s = deviceScale();
            const QPointF d(p.s16(1) * s.x(), p.s16(0) * s.y());
            dc.clip.rect.translate(d);
            dc.clip.path.translate(d);
            m_clipDirty = true;
        }
        break;
    default:
        break;
    }
}

void Player::restoreDC(int saved)
{
    const int depth = int(m_saved.size());
    int keep; // states left on the stack after the restore
    if (saved < 0)
        keep = depth + saved;
    else if (saved > 0)
        keep = saved - 1;
    else
        return;
    if (keep < 0 || keep >= depth)
        return;
    m_dc = m_saved[keep];
    m_saved.resize(keep);
    m_clipDirty = true;
}

// ---------------------------------------------------------------- objects

void Player::addObject(Object obj)
{
    // Windows gives each new object the lowest free slot of the table. No
    // slot below m_firstFree is free, which keeps the search short.
    for (size_t i = m_firstFree; i < m_objects.size(); ++i) {
        if (std::holds_alternative<std::monostate>(m_objects[i])) {
            m_objects[i] = std::move(obj);
            m_firstFree = i + 1;
            return;
        }
    }
    m_firstFree = m_objects.size();
    if (m_objects.size() < size_t(MaxObjects)) {
        m_objects.push_back(std::move(obj));
        m_firstFree = m_objects.size();
    }
}

Object* Player::object(int index)
{
    if (index < 0 || size_t(index) >= m_objects.size())
        return nullptr;
    return &m_objects[size_t(index)];
}

void Player::selectObject(int index)
{
    Object* obj = object(index);
    if (!obj)
        return;
    if (auto* pen = std::get_if<PenSpec>(obj))
        m_dc.pen = *pen;
    else if (auto* brush = std::get_if<BrushSpec>(obj))
        m_dc.brush = *brush;
    else if (auto* font = std::get_if<FontSpec>(obj))
        m_dc.font = *font;
    else if (std::holds_alternative<QRegion>(*obj))
        selectClipRegion(index);
}

// The selected copy stays in use (Windows keeps a selected object alive until
// it is deselected); the slot becomes free for the next object.
void Player::deleteObject(int index)
{
    if (Object* obj = object(index)) {
        *obj = std::monostate{};
        m_firstFree = std::min(m_firstFree, size_t(index));
    }
}

QColor Player::color(quint32 ref) const
{
    if ((ref >> 24) == 0x01) { // PALETTEINDEX
        const int index = int(ref & 0xFFFF);
        if (m_dc.palette && index < m_dc.palette->size())
            return QColor(m_dc.palette->at(index));
        return QColor(0, 0, 0);
    }
    return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF));
}

void Player::dispatchObjects(const Record& rec)
{
    const Params& p = rec.params;
    switch (rec.function) {
    case CreatePenIndirect: {
        PenSpec pen;
        pen.style = p.u16(0);
        pen.width = std::abs(int(p.s16(1)));
        pen.color = p.u32(3);
        addObject(pen);
        break;
    }
    case CreateBrushIndirect: {
        BrushSpec brush;
        brush.style = p.u16(0);
        brush.color = p.u32(1);
        brush.hatch = p.u16(3);
        if (brush.style != 0 && brush.style != 1 && brush.style != 2)
            brush.style = 0; // a pattern cannot travel in this record
        addObject(brush);
        break;
    }
    case CreateFontIndirect: {
        FontSpec font;
        font.height = p.s16(0);
        font.width = p.s16(1);
        font.escapement = p.s16(2);
        font.weight = p.s16(4);
        const QByteArrayView bytes = p.tail(10);
        auto byteAt = [&](qsizetype i) { return i < bytes.size() ? uchar(bytes[i]) : uchar(0); };
        font.italic = byteAt(0);
        font.underline = byteAt(1);
        font.strikeOut = byteAt(2);
        font.charSet = byteAt(3);
        font.pitchAndFamily = byteAt(7);
        const QByteArrayView face = bytes.size() > 8 ? bytes.sliced(8) : QByteArrayView();
        const qsizetype end =
            std::min(face.indexOf('\0') < 0 ? face.size() : face.indexOf('\0'), qsizetype(32));
        font.face = face.first(end).toByteArray();
        addObject(font);
        break;
    }
    case CreatePalette: {
        auto entries = std::make_shared<QList<QRgb>>();
        const int count = std::min<int>(p.u16(1), int((p.words() - 2) / 2));
        for (int i = 0; i < count; ++i) {
            const quint32 e = p.u32(2 + 2 * i);
            entries->append(qRgb(int(e & 0xFF), int((e >> 8) & 0xFF), int((e >> 16) & 0xFF)));
        }
        addObject(PaletteRef(entries));
        break;
    }
    case CreatePatternBrush: {
        BrushSpec brush;
        brush.style = 3; // BS_PATTERN
        brush.pattern = decodeBitmap16(p.tail(0), 32);
        brush.monoPattern = brush.pattern.format() == QImage::Format_Mono;
        if (brush.pattern.isNull())
            brush.style = 0;
        addObject(brush);
        break;
    }
    case DibCreatePatternBrush: {
        BrushSpec brush;
        brush.style = 6; // BS_DIBPATTERNPT
        brush.pattern = dib(p.tail(4), p.u16(1));
        if (brush.pattern.isNull())
            brush.style = 1;
        addObject(brush);
        break;
    }
    case CreateRegion:
        addObject(decodeRegion(p));
        break;
    case SelectObject:
        if (p.has(1))
            selectObject(p.u16(0));
        break;
    case DeleteObject:
        if (p.has(1))
            deleteObject(p.u16(0));
        break;
    case SelectPalette:
        if (p.has(1)) {
            if (Object* obj = object(p.u16(0)); obj && std::holds_alternative<PaletteRef>(*obj))
                m_dc.palette = std::get<PaletteRef>(*obj);
        }
        break;
    case SetPalEntries:
    case AnimatePalette:
        // Changes entries of the selected palette from a start index.
        if (m_dc.palette && p.has(2)) {
            const int start = p.u16(0);
            const int count = std::min<int>(p.u16(1), int((p.words() - 2) / 2));
            for (int i = 0; i < count && start + i < m_dc.palette->size(); ++i) {
                const quint32 e = p.u32(2 + 2 * i);
                (*m_dc.palette)[start + i] =
                    qRgb(int(e & 0xFF), int((e >> 8) & 0xFF), int((e >> 16) & 0xFF));
            }
        }
        break;
    case ResizePalette:
        if (m_dc.palette && p.has(1) && p.u16(0) <= 1024)
            m_dc.palette->resize(p.u16(0), qRgb(0, 0, 0));
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------- clip

void Player::applyClip()
{
    if (!m_clipDirty)
        return;
    m_clipDirty = false;
    m_p.restore();
    m_p.save();
    const ClipState& c = m_dc.clip;
    if (!c.active)
        return;
    if (c.isRect)
        m_p.setClipRect(c.rect, Qt::IntersectClip);
    else
        m_p.setClipPath(c.path, Qt::IntersectClip);
}

void Player::intersectClip(const QRectF& rect)
{
    ClipState& c = m_dc.clip;
    if (!c.active) {
        c = ClipState{true, true, rect, {}};
    } else if (c.isRect) {
        c.rect = c.rect.intersected(rect);
    } else {
        QPainterPath r;
        r.addRect(rect);
        c.path = c.path.intersected(r);
    }
    m_clipDirty = true;
}

void Player::excludeClip(const QRectF& rect)
{
    ClipState& c = m_dc.clip;
    QPainterPath base;
    if (!c.active)
        base.addRect(m_target);
    else if (c.isRect)
        base.addRect(c.rect);
    else
        base = c.path;
    if (base.elementCount() > MaxClipElements)
        return;
    QPainterPath r;
    r.addRect(rect);
    c.path = base.subtracted(r);
    c.active = true;
    c.isRect = false;
    m_clipDirty = true;
}

QPainterPath Player::regionPath(const QRegion& region)
{
    QPainterPath path;
    for (const QRect& r : region)
        path.addRect(deviceRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height()));
    return path;
}

void Player::selectClipRegion(int index)
{
    Object* obj = object(index);
    const QRegion* region = obj ? std::get_if<QRegion>(obj) : nullptr;
    if (!region) { // no region: back to the whole picture
        m_dc.clip = ClipState{};
    } else {
        freeze();
        m_dc.clip = ClipState{true, false, {}, regionPath(*region)};
    }
    m_clipDirty = true;
}

} // namespace wmf
