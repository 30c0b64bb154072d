// Bitmap records of the metafile player: STRETCHDIB, DIBSTRETCHBLT,
// DIBBITBLT, the old BITBLT and STRETCHBLT, SETDIBTODEV and PATBLT.
//
// Raster operations exist on neither PDF nor printers, so they are not
// replayed on the device. Instead a run of blits onto the same rectangle is
// worked out per pixel as a function of the unknown destination: where the
// result does not depend on the destination the pixel is opaque; where it is
// the destination unchanged the pixel is transparent; in between it becomes a
// partly transparent colour. The transparent-bitmap idioms (SRCAND mask then
// SRCPAINT image, SRCPAINT mask then SRCAND image, and the SRCINVERT, SRCAND,
// SRCINVERT triple) thereby become one picture with an alpha channel.

#include "WmfDecode.h"
#include "WmfPlayer.h"

#include <QPainter>

#include <array>
#include <cmath>

namespace wmf {

namespace {

constexpr quint32 SrcCopy = 0x00CC0020;
constexpr int MaxBlitRun = 8;

int rop3(quint32 rop)
{
    return int((rop >> 16) & 0xFF);
}
bool usesDest(quint32 rop)
{
    return ((rop3(rop) >> 1) ^ rop3(rop)) & 0x55;
}
bool usesSource(quint32 rop)
{
    return ((rop3(rop) >> 2) ^ rop3(rop)) & 0x33;
}

// The ternary raster operation on bytes: each set bit of the code, numbered
// by pattern*4 + source*2 + destination, turns on that combination.
uchar evalRop(int code, uchar p, uchar s, uchar d)
{
    uchar out = 0;
    for (int idx = 0; idx < 8; ++idx) {
        if (!((code >> idx) & 1))
            continue;
        out |= uchar((idx & 4 ? p : ~p) & (idx & 2 ? s : ~s) & (idx & 1 ? d : ~d));
    }
    return out;
}

// Result of one operation for every source and destination byte, for one
// pattern byte.
using RopTable = std::array<uchar, 256 * 256>;

void fillTable(RopTable& t, int code, uchar p)
{
    for (int s = 0; s < 256; ++s)
        for (int d = 0; d < 256; ++d)
            t[size_t(s * 256 + d)] = evalRop(code, p, uchar(s), uchar(d));
}

// The colour and opacity of a pixel whose value is lo on a black and hi on a
// white destination (per channel). A result that inverts the destination has
// no picture equivalent and comes out transparent.
QRgb mixedPixel(const int lo[3], const int hi[3])
{
    if (hi[0] < lo[0] || hi[1] < lo[1] || hi[2] < lo[2])
        return 0;
    const double shows = (hi[0] - lo[0] + hi[1] - lo[1] + hi[2] - lo[2]) / (3.0 * 255);
    const double alpha = 1 - shows;
    if (alpha <= 0.002)
        return 0;
    auto unmix = [&](int v) { return std::clamp(int(std::lround(v / alpha)), 0, 255); };
    return qRgba(unmix(lo[0]), unmix(lo[1]), unmix(lo[2]),
                 std::clamp(int(std::lround(alpha * 255)), 0, 255));
}

bool isTopDownDib(QByteArrayView dib)
{
    if (dib.size() < 12 || qFromLittleEndian<quint32>(dib.data()) == 12)
        return false;
    return qFromLittleEndian<qint32>(dib.data() + 8) < 0;
}

} // namespace

QImage Player::dib(QByteArrayView bytes, int colorUsage) const
{
    return decodeDib(bytes, colorUsage, m_dc.palette.get());
}

// Reads a blit record: its operation, destination and source pixels. A
// record without a bitmap leaves hasSource false.
bool Player::readBlit(const Record& rec, Blit& blit)
{
    const Params& p = rec.params;
    const bool noBitmap = rec.sizeWords == (rec.function >> 8) + 3;
    int srcX = 0, srcY = 0, srcW = 0, srcH = 0;
    int dstX = 0, dstY = 0, dstW = 0, dstH = 0;
    QImage img;
    bool bottomOrigin = false; // source y counted from the bottom row
    switch (rec.function) {
    case StretchDib:
        if (!p.has(11))
            return false;
        blit.rop = p.u32(0);
        srcH = p.s16(3), srcW = p.s16(4), srcY = p.s16(5), srcX = p.s16(6);
        dstH = p.s16(7), dstW = p.s16(8), dstY = p.s16(9), dstX = p.s16(10);
        img = dib(p.tail(22), p.u16(2));
        bottomOrigin = !isTopDownDib(p.tail(22));
        break;
    case SetDibToDev:
        if (!p.has(9))
            return false;
        blit.rop = SrcCopy;
        srcY = p.s16(3), srcX = p.s16(4), srcH = dstH = p.s16(5), srcW = dstW = p.s16(6);
        dstY = p.s16(7), dstX = p.s16(8);
        img = dib(p.tail(18), p.u16(0));
        bottomOrigin = !isTopDownDib(p.tail(18));
        break;
    case DibStretchBlt:
    case StretchBlt: {
        const qsizetype d = noBitmap ? 7 : 6;
        if (!p.has(d + 4))
            return false;
        blit.rop = p.u32(0);
        srcH = p.s16(2), srcW = p.s16(3), srcY = p.s16(4), srcX = p.s16(5);
        dstH = p.s16(d), dstW = p.s16(d + 1), dstY = p.s16(d + 2), dstX = p.s16(d + 3);
        if (!noBitmap)
            img =
                rec.function == DibStretchBlt ? dib(p.tail(20), 0) : decodeBitmap16(p.tail(20), 10);
        break;
    }
    case DibBitBlt:
    case BitBlt: {
        const qsizetype d = noBitmap ? 5 : 4;
        if (!p.has(d + 4))
            return false;
        blit.rop = p.u32(0);
        srcY = p.s16(2), srcX = p.s16(3);
        srcH = dstH = p.s16(d), srcW = dstW = p.s16(d + 1);
        dstY = p.s16(d + 2), dstX = p.s16(d + 3);
        if (!noBitmap)
            img = rec.function == DibBitBlt ? dib(p.tail(16), 0) : decodeBitmap16(p.tail(16), 10);
        break;
    }
    default:
        return false;
    }
    blit.dest = QRectF(toDevice(dstX, dstY), toDevice(double(dstX) + dstW, double(dstY) + dstH));
    if (noBitmap || !usesSource(blit.rop))
        return true;
    if (img.isNull())
        return false;
    if (img.format() == QImage::Format_Mono) // a one-bit device bitmap takes the DC's colours
        img.setColorTable({color(m_dc.textColor).rgb(), color(m_dc.bkColor).rgb()});
    img = img.convertToFormat(QImage::Format_ARGB32);

    // Cut the source rectangle; a part outside the bitmap shrinks the
    // destination in proportion.
    const QRect want = QRect(srcX, bottomOrigin ? img.height() - srcY - srcH : srcY, srcW, srcH);
    const QRect wantN =
        QRect(std::min(want.left(), want.left() + srcW), std::min(want.top(), want.top() + srcH),
              std::abs(srcW), std::abs(srcH));
    const QRect have = wantN.intersected(img.rect());
    if (have.isEmpty() || wantN.isEmpty())
        return false;
    const double fx0 = double(have.left() - wantN.left()) / wantN.width();
    const double fx1 = double(have.left() + have.width() - wantN.left()) / wantN.width();
    const double fy0 = double(have.top() - wantN.top()) / wantN.height();
    const double fy1 = double(have.top() + have.height() - wantN.top()) / wantN.height();
    const bool flipX = srcW < 0;
    const bool flipY = srcH < 0;
    const QRectF d = blit.dest;
    const double ax0 = flipX ? 1 - fx1 : fx0, ax1 = flipX ? 1 - fx0 : fx1;
    const double ay0 = flipY ? 1 - fy1 : fy0, ay1 = flipY ? 1 - fy0 : fy1;
    blit.dest = QRectF(QPointF(d.left() + ax0 * d.width(), d.top() + ay0 * d.height()),
                       QPointF(d.left() + ax1 * d.width(), d.top() + ay1 * d.height()));
    blit.source = img.copy(have);
    if (flipX || flipY)
        blit.source = blit.source.mirrored(flipX, flipY);
    blit.hasSource = true;
    return true;
}

void Player::blitRecord(const Record& rec)
{
    Blit first;
    if (!readBlit(rec, first))
        return;
    QList<Blit> run{first};
    if (usesDest(first.rop) && first.hasSource) {
        auto sameRect = [](const QRectF& a, const QRectF& b) {
            const double tol = 0.01 + 1e-6 * (std::abs(a.width()) + std::abs(a.height()));
            return std::abs(a.left() - b.left()) < tol && std::abs(a.top() - b.top()) < tol &&
                   std::abs(a.right() - b.right()) < tol && std::abs(a.bottom() - b.bottom()) < tol;
        };
        Record next;
        while (run.size() < MaxBlitRun && m_reader.peek(next)) {
            if (next.function != StretchDib && next.function != DibStretchBlt &&
                next.function != DibBitBlt && next.function != StretchBlt &&
                next.function != BitBlt)
                break;
            Blit b;
            if (!readBlit(next, b) || !b.hasSource || !sameRect(b.dest, first.dest))
                break;
            m_reader.next(next);
            run.append(b);
        }
    }
    drawBlits(run);
}

void Player::drawBlits(const QList<Blit>& run)
{
    applyClip();
    const Blit& first = run.first();
    if (!first.hasSource) { // a pattern or constant operation over a rectangle
        fillRop(first.dest.normalized(), first.rop);
        return;
    }
    QImage out;
    if (run.size() == 1 && first.rop == SrcCopy) {
        out = first.source;
    } else {
        // Work the run out per pixel and channel on a black and on a white
        // destination; the difference tells how much of the destination shows.
        int w = 1, h = 1;
        for (const Blit& b : run) {
            w = std::max(w, b.source.width());
            h = std::max(h, b.source.height());
        }
        QList<QImage> sources;
        for (const Blit& b : run)
            sources.append(
                b.source.width() != w || b.source.height() != h
                    ? b.source.scaled(w, h, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                    : b.source);
        for (const QImage& src : sources)
            if (src.isNull() || src.format() != QImage::Format_ARGB32)
                return; // out of memory for the scaled copy
        const QColor brush = m_dc.brush.style == 1 ? QColor(Qt::black) : color(m_dc.brush.color);
        const uchar pattern[3] = {uchar(brush.red()), uchar(brush.green()), uchar(brush.blue())};
        // Tables pay off only for bitmaps of some size.
        const bool useTables = qint64(w) * h > 16384;
        std::vector<RopTable> tables(useTables ? size_t(run.size()) * 3 : 0);
        for (size_t i = 0; i < tables.size(); ++i)
            fillTable(tables[i], rop3(run[qsizetype(i / 3)].rop), pattern[i % 3]);
        auto apply = [&](qsizetype i, int c, int s, int d) {
            return useTables ? int(tables[size_t(i * 3 + c)][size_t(s * 256 + d)])
                             : int(evalRop(rop3(run[i].rop), pattern[c], uchar(s), uchar(d)));
        };
        out = QImage(w, h, QImage::Format_ARGB32);
        if (out.isNull())
            return;
        for (int y = 0; y < h; ++y) {
            auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
            for (int x = 0; x < w; ++x) {
                int lo[3] = {0, 0, 0};
                int hi[3] = {255, 255, 255};
                for (qsizetype i = 0; i < run.size(); ++i) {
                    const QRgb s = reinterpret_cast<const QRgb*>(sources[i].constScanLine(y))[x];
                    const int sc[3] = {qRed(s), qGreen(s), qBlue(s)};
                    for (int c = 0; c < 3; ++c) {
                        lo[c] = apply(i, c, sc[c], lo[c]);
                        hi[c] = apply(i, c, sc[c], hi[c]);
                    }
                }
                dst[x] = mixedPixel(lo, hi);
            }
        }
    }

    const QRectF dest = first.dest;
    const bool mirrorX = dest.width() < 0;
    const bool mirrorY = dest.height() < 0;
    if (mirrorX || mirrorY)
        out = out.mirrored(mirrorX, mirrorY);
    const QRectF target = dest.normalized();
    if (target.isEmpty())
        return;
    m_p.save();
    // Enlarged bitmaps keep their pixels crisp as Windows' stretching does;
    // reduced ones (and the halftone stretch mode) are filtered.
    const bool reduce = target.width() < out.width() || target.height() < out.height();
    m_p.setRenderHint(QPainter::SmoothPixmapTransform, reduce || m_dc.stretchMode == 4);
    m_p.drawImage(target, out);
    m_p.restore();
}

void Player::patBlt(const Record& rec)
{
    const Params& p = rec.params;
    if (!p.has(6))
        return;
    applyClip();
    fillRop(
        deviceRect(p.s16(5), p.s16(4), double(p.s16(5)) + p.s16(3), double(p.s16(4)) + p.s16(2)),
        p.u32(0));
}

void Player::fillRop(const QRectF& rect, quint32 rop)
{
    if (rop3(rop) == 0xF0) { // PATCOPY: the brush as it is, hatches included
        QPainterPath path;
        path.addRect(rect);
        fillWithBrush(path, m_dc.brush);
        return;
    }
    const QColor brush = m_dc.brush.style == 1 ? QColor(Qt::black) : color(m_dc.brush.color);
    const uchar pc[3] = {uchar(brush.red()), uchar(brush.green()), uchar(brush.blue())};
    int lo[3], hi[3];
    for (int c = 0; c < 3; ++c) {
        lo[c] = evalRop(rop3(rop), pc[c], 0, 0);
        hi[c] = evalRop(rop3(rop), pc[c], 0, 255);
    }
    const QRgb px = mixedPixel(lo, hi);
    if (qAlpha(px) > 0)
        m_p.fillRect(rect, QColor::fromRgba(px));
}

} // namespace wmf
