// Windows and OS/2 bitmap files: core and info headers, 1/4/8/16/24/32 bits, RLE4 and RLE8,
// bit-field masks. Every offset and length taken from the file is checked against its size.
#include "sky_common.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace sky {
namespace {

enum : uint32_t
{
    kRgb = 0,
    kRle8 = 1,
    kRle4 = 2,
    kBitFields = 3,
    kAlphaBitFields = 6
};

struct BmpHeader
{
    int64_t width = 0;
    int64_t height = 0;
    bool topDown = false;
    bool core = false;
    int bits = 0;
    uint32_t compression = kRgb;
    uint32_t masks[3] = {0, 0, 0};
    size_t tableOffset = 0;
    int tableEntries = 0;
    int entrySize = 4;
    size_t dataOffset = 0;
    int dotsPerInch = 0;
};

Code parseHeader(Bytes in, BmpHeader& h)
{
    const uchar* d = in.data;
    if (in.size < 2 || d[0] != 'B' || d[1] != 'M')
        return in.size < 2 ? SKY_ERR_TRUNCATED : SKY_ERR_FORMAT;
    if (in.size < 18)
        return SKY_ERR_TRUNCATED;
    const uint32_t headerSize = le32(d + 14);
    if (headerSize != 12 && headerSize != 16 && headerSize < 40)
        return SKY_ERR_CORRUPT;
    if (headerSize > in.size - 14)
        return SKY_ERR_TRUNCATED;
    const uchar* p = d + 14;
    if (headerSize == 12) {
        h.core = true;
        h.entrySize = 3;
        h.width = le16(p + 4);
        h.height = le16(p + 6);
        h.bits = le16(p + 10);
    } else {
        h.width = int32_t(le32(p + 4));
        h.height = int32_t(le32(p + 8));
        h.bits = le16(p + 14);
        if (headerSize >= 40) {
            h.compression = le32(p + 16);
            h.dotsPerInch = int((int64_t(le32(p + 24)) * 254 + 5000) / 10000);
        }
    }
    if (h.height < 0) {
        h.topDown = true;
        h.height = -h.height;
    }
    if (h.width <= 0 || h.height == 0)
        return SKY_ERR_CORRUPT;
    switch (h.bits) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        break;
    default:
        return h.bits == 2 ? SKY_ERR_UNSUPPORTED : SKY_ERR_CORRUPT;
    }
    // OS/2 2.x headers (64 bytes) reuse 3 and 4 for Huffman and RLE24.
    const bool os2 = headerSize == 64 || headerSize == 16;
    switch (h.compression) {
    case kRgb:
        break;
    case kRle8:
        if (h.bits != 8)
            return SKY_ERR_CORRUPT;
        break;
    case kRle4:
        if (h.bits != 4)
            return SKY_ERR_CORRUPT;
        break;
    case kBitFields:
    case kAlphaBitFields:
        if (os2)
            return SKY_ERR_UNSUPPORTED;
        if (h.bits != 16 && h.bits != 32)
            return SKY_ERR_CORRUPT;
        break;
    default:
        return SKY_ERR_UNSUPPORTED;
    }
    size_t tableStart = 14 + headerSize;
    if (h.bits == 16) {
        h.masks[0] = 0x7c00, h.masks[1] = 0x03e0, h.masks[2] = 0x001f;
    } else if (h.bits == 32) {
        h.masks[0] = 0xff0000, h.masks[1] = 0xff00, h.masks[2] = 0xff;
    }
    if (h.compression == kBitFields || h.compression == kAlphaBitFields) {
        const size_t maskStart = 14 + 40;
        if (headerSize == 40)
            tableStart += h.compression == kBitFields ? 12 : 16;
        if (tableStart > in.size || maskStart + 12 > in.size)
            return SKY_ERR_TRUNCATED;
        for (int i = 0; i < 3; ++i)
            h.masks[i] = le32(d + maskStart + size_t(i) * 4);
    }
    if (h.bits <= 8) {
        const uint32_t used = headerSize >= 40 ? le32(p + 32) : 0;
        const int full = 1 << h.bits;
        h.tableEntries = used == 0 || used > uint32_t(full) ? full : int(used);
        // A file whose data starts earlier than a full table holds as many entries as fit.
        const uint32_t offBits = le32(d + 10);
        if (offBits > tableStart && offBits < tableStart + size_t(h.tableEntries) * h.entrySize)
            h.tableEntries = int((offBits - tableStart) / size_t(h.entrySize));
        if (h.tableEntries < 1)
            return SKY_ERR_CORRUPT;
    }
    h.tableOffset = tableStart;
    const size_t tableEnd = tableStart + size_t(h.tableEntries) * size_t(h.entrySize);
    if (tableEnd > in.size)
        return SKY_ERR_TRUNCATED;
    const uint32_t offBits = le32(d + 10);
    h.dataOffset = offBits >= 14 + headerSize ? size_t(offBits) : tableEnd;
    if (h.dataOffset >= in.size)
        return SKY_ERR_TRUNCATED;
    return SKY_OK;
}

QList<QRgb> readTable(Bytes in, const BmpHeader& h)
{
    QList<QRgb> table(h.tableEntries);
    for (int i = 0; i < h.tableEntries; ++i) {
        const uchar* e = in.data + h.tableOffset + size_t(i) * size_t(h.entrySize);
        table[i] = qRgb(e[2], e[1], e[0]);
    }
    if (h.bits == 1 && table.size() < 2)
        table.append(qRgb(255, 255, 255));
    return table;
}

// Scales one bit-field channel to 8 bits.
struct Channel
{
    explicit Channel(uint32_t mask)
        : mask_(mask), shift_(mask ? std::countr_zero(mask) : 0), max_(mask ? (mask >> shift_) : 0)
    {
    }
    int operator()(uint32_t pixel) const
    {
        if (!max_)
            return 0;
        const uint32_t v = (pixel & mask_) >> shift_;
        return int((uint64_t(v) * 255 + max_ / 2) / max_);
    }
    uint32_t mask_;
    int shift_;
    uint32_t max_;
};

Code decodeRle(Bytes in, const BmpHeader& h, QImage& out)
{
    const int w = int(h.width), ht = int(h.height);
    out.fill(0);
    const bool four = h.compression == kRle4;
    size_t p = h.dataOffset;
    int x = 0, y = 0;
    auto put = [&](int value) {
        if (x < w && y < ht)
            out.scanLine(h.topDown ? y : ht - 1 - y)[x] = uchar(value);
        ++x;
    };
    while (y < ht) {
        if (in.size - p < 2)
            return SKY_ERR_TRUNCATED;
        const int n = in.data[p], v = in.data[p + 1];
        p += 2;
        if (n > 0) {
            for (int i = 0; i < n && x < w; ++i)
                put(four ? ((i & 1) ? (v & 15) : (v >> 4)) : v);
            continue;
        }
        if (v == 0) {
            x = 0;
            ++y;
        } else if (v == 1) {
            return SKY_OK;
        } else if (v == 2) {
            if (in.size - p < 2)
                return SKY_ERR_TRUNCATED;
            x += in.data[p];
            y += in.data[p + 1];
            p += 2;
        } else {
            const size_t bytes = four ? size_t(v + 1) / 2 : size_t(v);
            const size_t padded = (bytes + 1) & ~size_t(1);
            if (in.size - p < bytes)
                return SKY_ERR_TRUNCATED;
            for (int i = 0; i < v && x < w; ++i) {
                const uchar b = in.data[p + size_t(four ? i / 2 : i)];
                put(four ? ((i & 1) ? (b & 15) : (b >> 4)) : b);
            }
            p += std::min(padded, in.size - p);
        }
    }
    return SKY_OK;
}

Code decodeRaw(Bytes in, const BmpHeader& h, QImage& out)
{
    const int w = int(h.width), ht = int(h.height);
    const int64_t rowBytes = (h.width * h.bits + 7) / 8;
    const int64_t stride = (h.width * h.bits + 31) / 32 * 4;
    const int64_t available = int64_t(in.size - h.dataOffset);
    if (stride * (h.height - 1) + rowBytes > available)
        return SKY_ERR_TRUNCATED;
    const Channel red(h.masks[0]), green(h.masks[1]), blue(h.masks[2]);
    const bool standard32 =
        h.bits == 32 && h.masks[0] == 0xff0000 && h.masks[1] == 0xff00 && h.masks[2] == 0xff;
    for (int y = 0; y < ht; ++y) {
        const uchar* src = in.data + h.dataOffset + size_t(stride) * size_t(y);
        uchar* dst = out.scanLine(h.topDown ? y : ht - 1 - y);
        QRgb* rgb = reinterpret_cast<QRgb*>(dst);
        switch (h.bits) {
        case 1:
        case 8:
            std::memcpy(dst, src, size_t(rowBytes));
            break;
        case 4:
            for (int x = 0; x < w; ++x)
                dst[x] = (x & 1) ? (src[x / 2] & 15) : (src[x / 2] >> 4);
            break;
        case 16:
            for (int x = 0; x < w; ++x) {
                const uint32_t v = le16(src + size_t(x) * 2);
                rgb[x] = qRgb(red(v), green(v), blue(v));
            }
            break;
        case 24:
            for (int x = 0; x < w; ++x, src += 3)
                rgb[x] = qRgb(src[2], src[1], src[0]);
            break;
        case 32:
            if (standard32) {
                for (int x = 0; x < w; ++x)
                    rgb[x] = le32(src + size_t(x) * 4) | 0xff000000u;
            } else {
                for (int x = 0; x < w; ++x) {
                    const uint32_t v = le32(src + size_t(x) * 4);
                    rgb[x] = qRgb(red(v), green(v), blue(v));
                }
            }
            break;
        }
    }
    return SKY_OK;
}

} // namespace

Code infoBmp(Bytes in, PictureInfo& info)
{
    BmpHeader h;
    if (Code code = parseHeader(in, h); code < 1)
        return code;
    info.format = "BMP";
    info.width = h.width;
    info.height = h.height;
    info.bitsPerPixel = h.bits;
    info.paletteEntries = h.bits <= 8 ? h.tableEntries : 0;
    info.dotsPerInch = h.dotsPerInch;
    const char* kind = h.compression == kRle8   ? "RLE8"
                       : h.compression == kRle4 ? "RLE4"
                       : h.compression == kRgb  ? "uncompressed"
                                                : "bit fields";
    info.description = QByteArray(h.core ? "OS/2 bitmap, " : "Windows bitmap, ") + kind;
    return SKY_OK;
}

Code decodeBmp(Bytes in, QImage& out)
{
    BmpHeader h;
    if (Code code = parseHeader(in, h); code < 1)
        return code;
    const QImage::Format format = h.bits == 1   ? QImage::Format_Mono
                                  : h.bits <= 8 ? QImage::Format_Indexed8
                                                : QImage::Format_RGB32;
    if (Code code = checkPictureSize(h.width, h.height, QImage(1, 1, format).depth()); code < 1)
        return code;
    const bool rle = h.compression == kRle4 || h.compression == kRle8;
    // Plain rows must all be in the file: a short file fails before the picture is allocated.
    const int64_t stride = (h.width * h.bits + 31) / 32 * 4;
    if (!rle &&
        stride * (h.height - 1) + (h.width * h.bits + 7) / 8 > int64_t(in.size - h.dataOffset))
        return SKY_ERR_TRUNCATED;
    if (Code code = allocImage(out, int(h.width), int(h.height), format); code < 1)
        return code;
    if (h.bits <= 8)
        out.setColorTable(readTable(in, h));
    const Code code = rle ? decodeRle(in, h, out) : decodeRaw(in, h, out);
    if (code < 1)
        out = QImage();
    return code;
}

Code encodeBmp(const QImage& image, int cls, const QList<QRgb>* palette, QByteArray& out)
{
    const int w = image.width(), h = image.height();
    const int bits = cls >= 24 ? 24 : storedBits(cls);
    const int64_t stride = (int64_t(w) * bits + 31) / 32 * 4;
    QImage source = cls >= 24 ? flattenToRgb32(image) : indexedForWrite(image, cls, palette);
    const QList<QRgb> table = source.colorTable();
    const int64_t offset = 14 + 40 + int64_t(table.size()) * 4;
    const int64_t total = offset + stride * h;
    if (w > INT32_MAX || total > INT32_MAX)
        return SKY_ERR_FORMAT_LIMIT;
    out.clear();
    out.reserve(qsizetype(total));
    out.append("BM", 2);
    put32(out, uint32_t(total));
    put32(out, 0);
    put32(out, uint32_t(offset));
    put32(out, 40);
    put32(out, uint32_t(w));
    put32(out, uint32_t(h));
    put16(out, 1);
    put16(out, uint16_t(bits));
    put32(out, kRgb);
    put32(out, uint32_t(stride * h));
    put32(out, 3780); // 96 dots per inch
    put32(out, 3780);
    put32(out, uint32_t(table.size()));
    put32(out, 0);
    for (QRgb c : table) {
        out.append(char(qBlue(c)));
        out.append(char(qGreen(c)));
        out.append(char(qRed(c)));
        out.append(char(0));
    }
    QByteArray row(qsizetype(stride), 0);
    uchar* r = reinterpret_cast<uchar*>(row.data());
    for (int y = h - 1; y >= 0; --y) {
        std::fill(r, r + stride, 0);
        const uchar* s = source.constScanLine(y);
        if (bits == 24) {
            const QRgb* px = reinterpret_cast<const QRgb*>(s);
            for (int x = 0; x < w; ++x) {
                r[x * 3] = uchar(qBlue(px[x]));
                r[x * 3 + 1] = uchar(qGreen(px[x]));
                r[x * 3 + 2] = uchar(qRed(px[x]));
            }
        } else if (bits == 8) {
            std::memcpy(r, s, size_t(w));
        } else if (bits == 4) {
            for (int x = 0; x < w; ++x)
                r[x / 2] |= uchar((s[x] & 15) << ((x & 1) ? 0 : 4));
        } else {
            for (int x = 0; x < w; ++x)
                if (s[x] & 1)
                    r[x >> 3] |= uchar(0x80 >> (x & 7));
        }
        out.append(row);
    }
    return SKY_OK;
}

} // namespace sky

int16_t Sky_Read_BMP(const char* fileName, int16_t bits, int16_t dither, Sky_Bitmap bitmap,
                     Sky_Palette palette, uint32_t, uint32_t)
{
    return sky::runReader(fileName, bits, dither, bitmap, palette, sky::decodeBmp);
}

int16_t Sky_Write_BMP(const char* fileName, int16_t bits, const QImage* bitmap,
                      const QList<QRgb>* palette, uint32_t, uint32_t)
{
    return sky::runWriter(fileName, bits, bitmap,
                          [&](const QImage& image, int cls, QByteArray& data) {
                              return sky::encodeBmp(image, cls, palette, data);
                          });
}
