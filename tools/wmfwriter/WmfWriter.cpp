#include "WmfWriter.h"

#include <QtEndian>

#include <algorithm>
#include <map>

namespace {

// Record function numbers.
enum : quint16
{
    RecEof = 0x0000,
    RecRealizePalette = 0x0035,
    RecSaveDC = 0x001E,
    RecSetBkMode = 0x0102,
    RecSetMapMode = 0x0103,
    RecSetRop2 = 0x0104,
    RecSetPolyFillMode = 0x0106,
    RecSetStretchBltMode = 0x0107,
    RecSetTextCharExtra = 0x0108,
    RecRestoreDC = 0x0127,
    RecPaintRegion = 0x012B,
    RecSelectClipRegion = 0x012C,
    RecSelectObject = 0x012D,
    RecSetTextAlign = 0x012E,
    RecDibCreatePatternBrush = 0x0142,
    RecDeleteObject = 0x01F0,
    RecCreatePatternBrush = 0x01F9,
    RecSetBkColor = 0x0201,
    RecSetTextColor = 0x0209,
    RecSetWindowOrg = 0x020B,
    RecSetWindowExt = 0x020C,
    RecSetViewportOrg = 0x020D,
    RecSetViewportExt = 0x020E,
    RecOffsetWindowOrg = 0x020F,
    RecLineTo = 0x0213,
    RecMoveTo = 0x0214,
    RecSelectPalette = 0x0234,
    RecCreatePenIndirect = 0x02FA,
    RecCreateFontIndirect = 0x02FB,
    RecCreateBrushIndirect = 0x02FC,
    RecPolygon = 0x0324,
    RecPolyline = 0x0325,
    RecScaleWindowExt = 0x0410,
    RecExcludeClipRect = 0x0415,
    RecIntersectClipRect = 0x0416,
    RecEllipse = 0x0418,
    RecRectangle = 0x041B,
    RecSetPixel = 0x041F,
    RecFillRegion = 0x0228,
    RecFrameRegion = 0x0429,
    RecTextOut = 0x0521,
    RecPolyPolygon = 0x0538,
    RecRoundRect = 0x061C,
    RecPatBlt = 0x061D,
    RecEscape = 0x0626,
    RecCreateRegion = 0x06FF,
    RecArc = 0x0817,
    RecPie = 0x081A,
    RecChord = 0x0830,
    RecDibBitBlt = 0x0940,
    RecExtTextOut = 0x0A32,
    RecDibStretchBlt = 0x0B41,
    RecStretchDib = 0x0F43,
    RecCreatePalette = 0x00F7,
};

void put16(QByteArray& out, int v)
{
    const quint16 w = quint16(v);
    out.append(char(w & 0xFF));
    out.append(char(w >> 8));
}

void put32(QByteArray& out, quint32 v)
{
    put16(out, int(v & 0xFFFF));
    put16(out, int(v >> 16));
}

void padEven(QByteArray& out)
{
    if (out.size() % 2)
        out.append('\0');
}

} // namespace

quint32 WmfWriter::rgb(int r, int g, int b)
{
    return quint32(r & 0xFF) | quint32(g & 0xFF) << 8 | quint32(b & 0xFF) << 16;
}

quint32 WmfWriter::paletteIndex(int index)
{
    return 0x01000000u | quint32(index & 0xFFFF);
}

QByteArray WmfWriter::dib(const QImage& source, int bits, bool topDown)
{
    QImage img;
    QList<QRgb> table;
    if (bits <= 8) {
        const int maxColours = 1 << bits;
        img = source.format() == QImage::Format_Indexed8
                  ? source
                  : source.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
        table = img.colorTable();
        if (table.size() > maxColours) {
            table.resize(maxColours);
            img = source.convertToFormat(QImage::Format_Indexed8, table, Qt::ThresholdDither);
        }
        while (table.size() < maxColours)
            table.append(qRgb(0, 0, 0));
    } else {
        img = source.convertToFormat(QImage::Format_ARGB32);
        bits = bits >= 32 ? 32 : 24;
    }
    const int w = img.width();
    const int h = img.height();
    const int stride = ((w * bits + 31) / 32) * 4;

    QByteArray out;
    put32(out, 40);
    put32(out, quint32(w));
    put32(out, quint32(topDown ? -h : h));
    put16(out, 1);
    put16(out, bits);
    put32(out, 0); // BI_RGB
    put32(out, quint32(stride * h));
    put32(out, 3780);
    put32(out, 3780);
    put32(out, quint32(table.size()));
    put32(out, 0);
    for (QRgb c : table) {
        out.append(char(qBlue(c)));
        out.append(char(qGreen(c)));
        out.append(char(qRed(c)));
        out.append('\0');
    }
    for (int row = 0; row < h; ++row) {
        const int y = topDown ? row : h - 1 - row;
        QByteArray line(stride, '\0');
        auto* dst = reinterpret_cast<uchar*>(line.data());
        for (int x = 0; x < w; ++x) {
            if (bits <= 8) {
                const int idx = img.pixelIndex(x, y);
                const int bitPos = x * bits;
                dst[bitPos / 8] |= uchar(idx << (8 - bits - bitPos % 8));
            } else {
                const QRgb c = img.pixel(x, y);
                uchar* p = dst + x * (bits / 8);
                p[0] = uchar(qBlue(c));
                p[1] = uchar(qGreen(c));
                p[2] = uchar(qRed(c));
                if (bits == 32)
                    p[3] = uchar(qAlpha(c));
            }
        }
        out.append(line);
    }
    return out;
}

void WmfWriter::setPlaceable(int left, int top, int right, int bottom, int unitsPerInch)
{
    m_placeable = true;
    m_bounds[0] = left;
    m_bounds[1] = top;
    m_bounds[2] = right;
    m_bounds[3] = bottom;
    m_unitsPerInch = unitsPerInch;
}

void WmfWriter::record(quint16 function, const QByteArray& params)
{
    QByteArray p = params;
    padEven(p);
    const quint32 sizeWords = 3 + quint32(p.size() / 2);
    put32(m_records, sizeWords);
    put16(m_records, function);
    m_records.append(p);
    m_maxRecordWords = std::max(m_maxRecordWords, sizeWords);
}

void WmfWriter::record(quint16 function, const QList<quint16>& params)
{
    QByteArray p;
    for (quint16 w : params)
        put16(p, w);
    record(function, p);
}

void WmfWriter::words(quint16 function, std::initializer_list<int> values)
{
    QByteArray p;
    for (int v : values)
        put16(p, v);
    record(function, p);
}

int WmfWriter::takeSlot()
{
    for (int i = 0; i < m_slots.size(); ++i) {
        if (!m_slots[i]) {
            m_slots[i] = true;
            return i;
        }
    }
    m_slots.append(true);
    return int(m_slots.size()) - 1;
}

// Parameters are stored in the reverse order of the drawing call's arguments.
void WmfWriter::setMapMode(int mode)
{
    words(RecSetMapMode, {mode});
}
void WmfWriter::setWindowOrg(int x, int y)
{
    words(RecSetWindowOrg, {y, x});
}
void WmfWriter::setWindowExt(int w, int h)
{
    words(RecSetWindowExt, {h, w});
}
void WmfWriter::setViewportOrg(int x, int y)
{
    words(RecSetViewportOrg, {y, x});
}
void WmfWriter::setViewportExt(int w, int h)
{
    words(RecSetViewportExt, {h, w});
}
void WmfWriter::offsetWindowOrg(int dx, int dy)
{
    words(RecOffsetWindowOrg, {dy, dx});
}
void WmfWriter::scaleWindowExt(int xNum, int xDenom, int yNum, int yDenom)
{
    words(RecScaleWindowExt, {yDenom, yNum, xDenom, xNum});
}
void WmfWriter::saveDC()
{
    words(RecSaveDC, {});
}
void WmfWriter::restoreDC(int saved)
{
    words(RecRestoreDC, {saved});
}

int WmfWriter::createPenIndirect(int style, int width, quint32 color)
{
    QByteArray p;
    put16(p, style);
    put16(p, width);
    put16(p, 0);
    put32(p, color);
    record(RecCreatePenIndirect, p);
    return takeSlot();
}

int WmfWriter::createBrushIndirect(int style, quint32 color, int hatch)
{
    QByteArray p;
    put16(p, style);
    put32(p, color);
    put16(p, hatch);
    record(RecCreateBrushIndirect, p);
    return takeSlot();
}

int WmfWriter::createDibPatternBrush(const QByteArray& dibBytes, int colorUsage)
{
    QByteArray p;
    put16(p, BsDibPatternPt);
    put16(p, colorUsage);
    p.append(dibBytes);
    record(RecDibCreatePatternBrush, p);
    return takeSlot();
}

int WmfWriter::createPatternBrush(const QImage& monoPattern)
{
    const QImage img = monoPattern.convertToFormat(QImage::Format_Mono);
    const int w = img.width();
    const int h = img.height();
    const int widthBytes = ((w + 15) / 16) * 2;
    QByteArray p;
    put16(p, 0); // type
    put16(p, w);
    put16(p, h);
    put16(p, widthBytes);
    p.append(char(1)); // planes
    p.append(char(1)); // bits per pixel
    put32(p, 0);       // bits pointer of the in-memory structure
    p.append(QByteArray(18, '\0'));
    for (int y = 0; y < h; ++y) {
        QByteArray line(widthBytes, '\0');
        for (int x = 0; x < w; ++x) {
            if (qGray(img.pixel(x, y)) >= 128)
                line[x / 8] = char(uchar(line[x / 8]) | (0x80 >> (x % 8)));
        }
        p.append(line);
    }
    record(RecCreatePatternBrush, p);
    return takeSlot();
}

int WmfWriter::createFontIndirect(const Font& font)
{
    QByteArray p;
    put16(p, font.height);
    put16(p, font.width);
    put16(p, font.escapement);
    put16(p, font.orientation);
    put16(p, font.weight);
    p.append(char(font.italic));
    p.append(char(font.underline));
    p.append(char(font.strikeOut));
    p.append(char(font.charSet));
    p.append(char(0)); // out precision
    p.append(char(0)); // clip precision
    p.append(char(0)); // quality
    p.append(char(font.pitchAndFamily));
    QByteArray face = font.faceName.left(31);
    face.append(QByteArray(32 - face.size(), '\0'));
    p.append(face);
    record(RecCreateFontIndirect, p);
    return takeSlot();
}

int WmfWriter::createPalette(const QList<QRgb>& entries)
{
    QByteArray p;
    put16(p, 0x0300);
    put16(p, int(entries.size()));
    for (QRgb c : entries) {
        p.append(char(qRed(c)));
        p.append(char(qGreen(c)));
        p.append(char(qBlue(c)));
        p.append('\0');
    }
    record(RecCreatePalette, p);
    return takeSlot();
}

int WmfWriter::createRegion(const QRegion& region)
{
    // Rectangles of a QRegion come in bands of equal top and bottom: one scan each.
    std::map<std::pair<int, int>, QList<QRect>> bands;
    for (const QRect& r : region)
        bands[{r.top(), r.bottom() + 1}].append(r);
    QByteArray scans;
    int maxScan = 0;
    for (const auto& [tb, rects] : bands) {
        const int count = int(rects.size()) * 2;
        maxScan = std::max(maxScan, int(rects.size()));
        put16(scans, count);
        put16(scans, tb.first);
        put16(scans, tb.second);
        for (const QRect& r : rects) {
            put16(scans, r.left());
            put16(scans, r.right() + 1);
        }
        put16(scans, count);
    }
    const QRect b = region.boundingRect();
    QByteArray p;
    put16(p, 0);
    put16(p, 6);
    put32(p, 0);
    put16(p, 22 + int(scans.size()));
    put16(p, int(bands.size()));
    put16(p, maxScan);
    put16(p, b.left());
    put16(p, b.top());
    put16(p, b.right() + 1);
    put16(p, b.bottom() + 1);
    p.append(scans);
    record(RecCreateRegion, p);
    return takeSlot();
}

void WmfWriter::selectObject(int slot)
{
    words(RecSelectObject, {slot});
}
void WmfWriter::deleteObject(int slot)
{
    words(RecDeleteObject, {slot});
    if (slot >= 0 && slot < m_slots.size())
        m_slots[slot] = false;
}
void WmfWriter::selectPalette(int slot)
{
    words(RecSelectPalette, {slot});
}
void WmfWriter::realizePalette()
{
    words(RecRealizePalette, {});
}
void WmfWriter::selectClipRegion(int slot)
{
    words(RecSelectClipRegion, {slot});
}

void WmfWriter::setTextColor(quint32 color)
{
    words(RecSetTextColor, {int(color & 0xFFFF), int(color >> 16)});
}
void WmfWriter::setBkColor(quint32 color)
{
    words(RecSetBkColor, {int(color & 0xFFFF), int(color >> 16)});
}
void WmfWriter::setBkMode(int mode)
{
    words(RecSetBkMode, {mode});
}
void WmfWriter::setTextAlign(int align)
{
    words(RecSetTextAlign, {align});
}
void WmfWriter::setPolyFillMode(int mode)
{
    words(RecSetPolyFillMode, {mode});
}
void WmfWriter::setRop2(int rop2)
{
    words(RecSetRop2, {rop2});
}
void WmfWriter::setStretchBltMode(int mode)
{
    words(RecSetStretchBltMode, {mode});
}
void WmfWriter::setTextCharExtra(int extra)
{
    words(RecSetTextCharExtra, {extra});
}

void WmfWriter::moveTo(int x, int y)
{
    words(RecMoveTo, {y, x});
}
void WmfWriter::lineTo(int x, int y)
{
    words(RecLineTo, {y, x});
}
void WmfWriter::rectangle(int l, int t, int r, int b)
{
    words(RecRectangle, {b, r, t, l});
}
void WmfWriter::roundRect(int l, int t, int r, int b, int cw, int ch)
{
    words(RecRoundRect, {ch, cw, b, r, t, l});
}
void WmfWriter::ellipse(int l, int t, int r, int b)
{
    words(RecEllipse, {b, r, t, l});
}
void WmfWriter::arc(int l, int t, int r, int b, int xs, int ys, int xe, int ye)
{
    words(RecArc, {ye, xe, ys, xs, b, r, t, l});
}
void WmfWriter::pie(int l, int t, int r, int b, int xs, int ys, int xe, int ye)
{
    words(RecPie, {ye, xe, ys, xs, b, r, t, l});
}
void WmfWriter::chord(int l, int t, int r, int b, int xs, int ys, int xe, int ye)
{
    words(RecChord, {ye, xe, ys, xs, b, r, t, l});
}

void WmfWriter::polygon(const QPolygon& points)
{
    QByteArray p;
    put16(p, int(points.size()));
    for (const QPoint& pt : points) {
        put16(p, pt.x());
        put16(p, pt.y());
    }
    record(RecPolygon, p);
}

void WmfWriter::polyline(const QPolygon& points)
{
    QByteArray p;
    put16(p, int(points.size()));
    for (const QPoint& pt : points) {
        put16(p, pt.x());
        put16(p, pt.y());
    }
    record(RecPolyline, p);
}

void WmfWriter::polyPolygon(const QList<QPolygon>& polygons)
{
    QByteArray p;
    put16(p, int(polygons.size()));
    for (const QPolygon& poly : polygons)
        put16(p, int(poly.size()));
    for (const QPolygon& poly : polygons) {
        for (const QPoint& pt : poly) {
            put16(p, pt.x());
            put16(p, pt.y());
        }
    }
    record(RecPolyPolygon, p);
}

void WmfWriter::textOut(int x, int y, const QByteArray& text)
{
    QByteArray p;
    put16(p, int(text.size()));
    p.append(text);
    padEven(p);
    put16(p, y);
    put16(p, x);
    record(RecTextOut, p);
}

void WmfWriter::extTextOut(int x, int y, int options, const QRect& clip, const QByteArray& text,
                           const QList<int>& dx)
{
    QByteArray p;
    put16(p, y);
    put16(p, x);
    put16(p, int(text.size()));
    put16(p, options);
    if (options & (EtoOpaque | EtoClipped)) {
        put16(p, clip.left());
        put16(p, clip.top());
        put16(p, clip.right());
        put16(p, clip.bottom());
    }
    p.append(text);
    padEven(p);
    for (int d : dx)
        put16(p, d);
    record(RecExtTextOut, p);
}

void WmfWriter::setPixel(int x, int y, quint32 color)
{
    words(RecSetPixel, {int(color & 0xFFFF), int(color >> 16), y, x});
}

void WmfWriter::patBlt(int x, int y, int w, int h, quint32 rop)
{
    words(RecPatBlt, {int(rop & 0xFFFF), int(rop >> 16), h, w, y, x});
}

void WmfWriter::fillRegion(int region, int brush)
{
    words(RecFillRegion, {region, brush});
}
void WmfWriter::frameRegion(int region, int brush, int width, int height)
{
    words(RecFrameRegion, {region, brush, height, width});
}
void WmfWriter::paintRegion(int region)
{
    words(RecPaintRegion, {region});
}

void WmfWriter::intersectClipRect(int l, int t, int r, int b)
{
    words(RecIntersectClipRect, {b, r, t, l});
}

void WmfWriter::excludeClipRect(int l, int t, int r, int b)
{
    words(RecExcludeClipRect, {b, r, t, l});
}

void WmfWriter::stretchDib(const QRect& dst, const QRect& src, const QByteArray& dibBytes,
                           quint32 rop, int colorUsage)
{
    QByteArray p;
    put32(p, rop);
    put16(p, colorUsage);
    put16(p, src.height());
    put16(p, src.width());
    put16(p, src.y());
    put16(p, src.x());
    put16(p, dst.height());
    put16(p, dst.width());
    put16(p, dst.y());
    put16(p, dst.x());
    p.append(dibBytes);
    record(RecStretchDib, p);
}

void WmfWriter::dibStretchBlt(const QRect& dst, const QRect& src, const QByteArray& dibBytes,
                              quint32 rop)
{
    QByteArray p;
    put32(p, rop);
    put16(p, src.height());
    put16(p, src.width());
    put16(p, src.y());
    put16(p, src.x());
    put16(p, dst.height());
    put16(p, dst.width());
    put16(p, dst.y());
    put16(p, dst.x());
    p.append(dibBytes);
    record(RecDibStretchBlt, p);
}

void WmfWriter::dibBitBlt(int xDst, int yDst, const QRect& src, const QByteArray& dibBytes,
                          quint32 rop)
{
    QByteArray p;
    put32(p, rop);
    put16(p, src.y());
    put16(p, src.x());
    put16(p, src.height());
    put16(p, src.width());
    put16(p, yDst);
    put16(p, xDst);
    p.append(dibBytes);
    record(RecDibBitBlt, p);
}

void WmfWriter::escape(int function, const QByteArray& data)
{
    QByteArray p;
    put16(p, function);
    put16(p, int(data.size()));
    p.append(data);
    record(RecEscape, p);
}

QByteArray WmfWriter::bytes() const
{
    QByteArray body = m_records;
    put32(body, 3);
    put16(body, RecEof);

    QByteArray out;
    if (m_placeable) {
        QByteArray ph;
        put32(ph, 0x9AC6CDD7u);
        put16(ph, 0);
        for (int v : m_bounds)
            put16(ph, v);
        put16(ph, m_unitsPerInch);
        put32(ph, 0);
        quint16 sum = 0;
        for (int i = 0; i < 10; ++i)
            sum ^= qFromLittleEndian<quint16>(ph.constData() + 2 * i);
        put16(ph, sum);
        out.append(ph);
    }
    const quint32 totalWords = 9 + quint32(body.size() / 2);
    put16(out, 1);      // memory metafile
    put16(out, 9);      // header size in words
    put16(out, 0x0300); // version
    put32(out, totalWords);
    put16(out, int(m_slots.size()));
    put32(out, m_maxRecordWords);
    put16(out, 0);
    out.append(body);
    return out;
}
