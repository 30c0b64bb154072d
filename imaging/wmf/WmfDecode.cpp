#include "WmfDecode.h"

#include <algorithm>
#include <bit>
#include <limits>

namespace wmf {

namespace {

constexpr int MaxRegionRects = 16384;

quint32 get32(QByteArrayView b, qsizetype at)
{
    return at >= 0 && at + 4 <= b.size() ? qFromLittleEndian<quint32>(b.data() + at) : 0;
}

quint16 get16(QByteArrayView b, qsizetype at)
{
    return at >= 0 && at + 2 <= b.size() ? qFromLittleEndian<quint16>(b.data() + at) : 0;
}

// Extracts a colour channel under a bit mask, widened to 8 bits.
int channel(quint32 value, quint32 mask)
{
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask >> shift);
    const quint32 v = (value & mask) >> shift;
    const quint32 max = bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
    return int((v * 255 + max / 2) / max);
}

struct DibInfo
{
    int width = 0;
    int height = 0; // positive; topDown tells the row order
    bool topDown = false;
    int bits = 0;
    quint32 compression = 0;
    quint32 masks[3] = {0, 0, 0};
    QList<QRgb> colours;
    qsizetype bitsOffset = 0;
};

bool readHeader(QByteArrayView dib, int colorUsage, const QList<QRgb>* palette, DibInfo& info)
{
    const quint32 headerSize = get32(dib, 0);
    qsizetype tableEntries = 0;
    int entrySize = 4;
    qsizetype at = 0;
    if (headerSize == 12) { // BITMAPCOREHEADER
        if (dib.size() < 12)
            return false;
        info.width = get16(dib, 4);
        info.height = get16(dib, 6);
        info.bits = get16(dib, 10);
        entrySize = 3;
        tableEntries = info.bits <= 8 ? (qsizetype(1) << info.bits) : 0;
        at = 12;
    } else if (headerSize >= 40 && headerSize <= quint32(dib.size())) {
        const qint32 w = qint32(get32(dib, 4));
        const qint32 h = qint32(get32(dib, 8));
        if (w <= 0 || h == 0 || h == std::numeric_limits<qint32>::min())
            return false;
        info.width = w;
        info.height = h < 0 ? -h : h;
        info.topDown = h < 0;
        info.bits = get16(dib, 14);
        info.compression = get32(dib, 16);
        const quint32 used = get32(dib, 32);
        at = headerSize;
        if (info.compression == 3) { // BI_BITFIELDS
            // Right after a 40-byte header, or inside the longer headers.
            for (int i = 0; i < 3; ++i)
                info.masks[i] = get32(dib, 40 + 4 * i);
            if (headerSize == 40)
                at += 12;
        }
        if (info.bits <= 8)
            tableEntries = used ? std::min<qsizetype>(used, qsizetype(1) << info.bits)
                                : (qsizetype(1) << info.bits);
        else
            tableEntries = std::min<qsizetype>(used, 256);
    } else {
        return false;
    }
    if (info.width <= 0 || info.height <= 0 || qint64(info.width) * info.height > MaxBitmapPixels)
        return false;
    if (colorUsage == 1 && info.bits <= 8)
        entrySize = 2;
    if (at + tableEntries * entrySize > dib.size())
        tableEntries = std::max<qsizetype>(0, (dib.size() - at) / entrySize);
    for (qsizetype i = 0; i < tableEntries; ++i) {
        const qsizetype e = at + i * entrySize;
        if (entrySize == 2) {
            const int index = get16(dib, e);
            info.colours.append(palette && index < palette->size() ? palette->at(index)
                                                                   : qRgb(0, 0, 0));
        } else {
            const auto* p = reinterpret_cast<const uchar*>(dib.data()) + e;
            info.colours.append(qRgb(p[2], p[1], p[0]));
        }
    }
    info.bitsOffset = at + tableEntries * entrySize;
    return true;
}

QRgb tableColour(const DibInfo& info, int index)
{
    return index < info.colours.size() ? (info.colours[index] | 0xFF000000u) : qRgb(0, 0, 0);
}

void decodeRows(QByteArrayView dib, const DibInfo& info, QImage& img)
{
    const int bits = info.bits;
    const qsizetype stride = ((qint64(info.width) * bits + 31) / 32) * 4;
    const qsizetype available = dib.size() - info.bitsOffset;
    const int rows = int(std::min<qint64>(info.height, available / stride));
    quint32 masks[3] = {info.masks[0], info.masks[1], info.masks[2]};
    if (info.compression != 3 || (masks[0] | masks[1] | masks[2]) == 0) {
        if (bits == 16) {
            masks[0] = 0x7C00;
            masks[1] = 0x03E0;
            masks[2] = 0x001F;
        } else {
            masks[0] = 0xFF0000;
            masks[1] = 0x00FF00;
            masks[2] = 0x0000FF;
        }
    }
    const auto* base = reinterpret_cast<const uchar*>(dib.data()) + info.bitsOffset;
    for (int row = 0; row < rows; ++row) {
        const uchar* src = base + row * stride;
        const int y = info.topDown ? row : info.height - 1 - row;
        auto* dst = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < info.width; ++x) {
            switch (bits) {
            case 1:
                dst[x] = tableColour(info, (src[x >> 3] >> (7 - (x & 7))) & 1);
                break;
            case 4:
                dst[x] = tableColour(info, (src[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F);
                break;
            case 8:
                dst[x] = tableColour(info, src[x]);
                break;
            case 16: {
                const quint32 v = quint32(src[2 * x]) | quint32(src[2 * x + 1]) << 8;
                dst[x] = qRgb(channel(v, masks[0]), channel(v, masks[1]), channel(v, masks[2]));
                break;
            }
            case 24:
                dst[x] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
                break;
            case 32: {
                // The fourth byte is not alpha for the drawing calls that
                // metafiles record: the pixels are opaque.
                const quint32 v = qFromLittleEndian<quint32>(src + 4 * x);
                dst[x] = qRgb(channel(v, masks[0]), channel(v, masks[1]), channel(v, masks[2]));
                break;
            }
            default:
                break;
            }
        }
    }
}

// RLE8 and RLE4: runs, absolute runs, end of line, end of bitmap, delta.
void decodeRle(QByteArrayView dib, const DibInfo& info, QImage& img)
{
    const bool four = info.compression == 2;
    const auto* p = reinterpret_cast<const uchar*>(dib.data()) + info.bitsOffset;
    const qsizetype n = dib.size() - info.bitsOffset;
    qsizetype i = 0;
    int x = 0;
    int row = 0; // counted from the first row stored
    auto put = [&](int index) {
        if (x < info.width && row < info.height) {
            const int y = info.topDown ? row : info.height - 1 - row;
            reinterpret_cast<QRgb*>(img.scanLine(y))[x] = tableColour(info, index);
        }
        ++x;
    };
    while (i + 1 < n && row < info.height) {
        const int count = p[i];
        const int value = p[i + 1];
        i += 2;
        if (count > 0) {
            for (int k = 0; k < count && x < info.width; ++k)
                put(four ? ((k & 1) ? value & 0x0F : value >> 4) : value);
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++row;
        } else if (value == 1) { // end of bitmap
            break;
        } else if (value == 2) { // delta
            if (i + 1 >= n)
                break;
            x += p[i];
            row += p[i + 1];
            i += 2;
        } else { // absolute run of `value` pixels, padded to a word
            const qsizetype bytes = four ? (value + 1) / 2 : value;
            if (i + bytes > n)
                break;
            for (int k = 0; k < value; ++k)
                put(four ? ((k & 1) ? p[i + k / 2] & 0x0F : p[i + k / 2] >> 4) : p[i + k]);
            i += (bytes + 1) & ~qsizetype(1);
        }
    }
}

} // namespace

QImage decodeDib(QByteArrayView dib, int colorUsage, const QList<QRgb>* palette)
{
    DibInfo info;
    if (!readHeader(dib, colorUsage, palette, info))
        return {};
    if (info.compression == 4 || info.compression == 5) { // embedded JPEG / PNG
        if (info.bitsOffset >= dib.size())
            return {};
        QImage embedded = QImage::fromData(dib.sliced(info.bitsOffset));
        if (embedded.isNull() || qint64(embedded.width()) * embedded.height() > MaxBitmapPixels)
            return {};
        return embedded.convertToFormat(QImage::Format_ARGB32);
    }
    const bool rle =
        (info.compression == 1 && info.bits == 8) || (info.compression == 2 && info.bits == 4);
    const bool plain =
        info.compression == 0 || (info.compression == 3 && (info.bits == 16 || info.bits == 32));
    if (!rle && !plain)
        return {};
    if (info.bits != 1 && info.bits != 4 && info.bits != 8 && info.bits != 16 && info.bits != 24 &&
        info.bits != 32)
        return {};
    // The pixels must come from the bytes at hand: a header that promises a
    // huge bitmap over a few bytes of data would cost memory and time for
    // nothing. Uncompressed data may be cut short down to an eighth of its
    // rows; RLE data expands by at most 255 pixels a byte (runs) plus what
    // its skips cover.
    const qint64 dataBytes = dib.size() - info.bitsOffset;
    const qint64 pixels = qint64(info.width) * info.height;
    const qint64 fullBytes = ((qint64(info.width) * info.bits + 31) / 32) * 4 * info.height;
    if (dataBytes <= 0 || (!rle && dataBytes * 8 < fullBytes) ||
        (rle && pixels > dataBytes * 256 + 65536))
        return {};
    QImage img(info.width, info.height, QImage::Format_ARGB32);
    if (img.isNull())
        return {};
    img.fill(Qt::transparent);
    if (rle)
        decodeRle(dib, info, img);
    else
        decodeRows(dib, info, img);
    return img;
}

QImage decodeBitmap16(QByteArrayView object, qsizetype bitsOffset)
{
    if (object.size() < 10)
        return {};
    const int width = qint16(get16(object, 2));
    const int height = qint16(get16(object, 4));
    const int widthBytes = qint16(get16(object, 6));
    const auto* header = reinterpret_cast<const uchar*>(object.data());
    const int planes = header[8];
    const int bits = header[9];
    if (width <= 0 || height <= 0 || widthBytes <= 0 || planes != 1 ||
        qint64(width) * height > MaxBitmapPixels)
        return {};
    if (bits != 1 && bits != 24 && bits != 32)
        return {};
    if (qint64(widthBytes) * 8 < qint64(width) * bits)
        return {};
    if (bitsOffset + qint64(widthBytes) * height > object.size())
        return {};
    const uchar* src = header + bitsOffset;
    if (bits == 1) {
        QImage img(width, height, QImage::Format_Mono);
        if (img.isNull())
            return {};
        img.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        for (int y = 0; y < height; ++y)
            std::copy_n(src + y * widthBytes, (width + 7) / 8, img.scanLine(y));
        return img;
    }
    QImage img(width, height, QImage::Format_ARGB32);
    if (img.isNull())
        return {};
    const int step = bits / 8;
    for (int y = 0; y < height; ++y) {
        const uchar* line = src + y * widthBytes;
        auto* dst = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < width; ++x)
            dst[x] = qRgb(line[x * step + 2], line[x * step + 1], line[x * step]);
    }
    return img;
}

QRegion decodeRegion(const Params& p)
{
    QList<QRegion> parts;
    const int scanCount = p.u16(5);
    qsizetype at = 11;
    for (int s = 0; s < scanCount && p.has(at + 3) && parts.size() < MaxRegionRects; ++s) {
        const int count = p.u16(at);
        const int top = p.s16(at + 1);
        const int bottom = p.s16(at + 2);
        const int pairs = count / 2;
        if (!p.has(at + 3 + 2 * pairs + 1))
            break;
        for (int k = 0; k < pairs && parts.size() < MaxRegionRects; ++k) {
            const int left = p.s16(at + 3 + 2 * k);
            const int right = p.s16(at + 4 + 2 * k);
            if (right > left && bottom > top)
                parts.append(QRegion(left, top, right - left, bottom - top));
        }
        at += 3 + 2 * pairs + 1;
    }
    if (parts.isEmpty()) {
        // A region without usable scans: its bounding rectangle.
        const int l = p.s16(7), t = p.s16(8), r = p.s16(9), b = p.s16(10);
        return r > l && b > t ? QRegion(l, t, r - l, b - t) : QRegion();
    }
    // Unite in pairs so that the work grows as n log n, not n squared.
    while (parts.size() > 1) {
        QList<QRegion> next;
        for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
            next.append(parts[i].united(parts[i + 1]));
        if (parts.size() % 2)
            next.append(parts.last());
        parts = std::move(next);
    }
    return parts.first();
}

} // namespace wmf
