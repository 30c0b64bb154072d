// PC Paintbrush files: 1 bit in 1 to 4 planes, 2, 4 and 8 bits in one plane, 8 bits in 3 or 4
// planes; run-length encoded or plain. Every length taken from the file is checked.
#include "sky_common.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace sky {
namespace {

constexpr size_t kHeaderSize = 128;
constexpr size_t kTrailerSize = 769; // 0x0C and a 256-entry palette after the picture

struct PcxHeader
{
    int version = 0;
    bool rle = true;
    int bitsPerPixel = 0;
    int planes = 0;
    int64_t width = 0;
    int64_t height = 0;
    size_t bytesPerLine = 0;
    int dotsPerInch = 0;
    size_t dataEnd = 0;
    bool trailerPalette = false;
};

Code parseHeader(Bytes in, PcxHeader& h)
{
    const uchar* d = in.data;
    if (in.size < 1 || d[0] != 0x0A)
        return in.size < 1 ? SKY_ERR_TRUNCATED : SKY_ERR_FORMAT;
    if (in.size < kHeaderSize)
        return SKY_ERR_TRUNCATED;
    h.version = d[1];
    if (h.version > 5 || h.version == 1 || d[2] > 1)
        return SKY_ERR_FORMAT;
    h.rle = d[2] == 1;
    h.bitsPerPixel = d[3];
    h.planes = d[65];
    h.width = int64_t(le16(d + 8)) - le16(d + 4) + 1;
    h.height = int64_t(le16(d + 10)) - le16(d + 6) + 1;
    h.bytesPerLine = le16(d + 66);
    h.dotsPerInch = le16(d + 12);
    if (h.width <= 0 || h.height <= 0 || h.bytesPerLine == 0)
        return SKY_ERR_CORRUPT;
    const int bpp = h.bitsPerPixel, planes = h.planes;
    const bool supported = (bpp == 1 && planes >= 1 && planes <= 4) ||
                           ((bpp == 2 || bpp == 4) && planes == 1) ||
                           (bpp == 8 && (planes == 1 || planes == 3 || planes == 4));
    if (!supported)
        return bpp == 0 || planes == 0 ? SKY_ERR_CORRUPT : SKY_ERR_UNSUPPORTED;
    if (size_t((h.width * bpp + 7) / 8) > h.bytesPerLine)
        return SKY_ERR_CORRUPT;
    h.dataEnd = in.size;
    if (bpp == 8 && planes == 1 && in.size >= kHeaderSize + kTrailerSize &&
        d[in.size - kTrailerSize] == 0x0C) {
        h.trailerPalette = true;
        h.dataEnd = in.size - kTrailerSize;
    }
    return SKY_OK;
}

QList<QRgb> headerPalette(const uchar* d, int entries)
{
    QList<QRgb> table(entries);
    bool blank = true;
    for (int i = 0; i < entries; ++i) {
        const uchar* e = d + 16 + i * 3;
        table[i] = qRgb(e[0], e[1], e[2]);
        blank = blank && (table[i] & 0xffffff) == 0;
    }
    return blank ? QList<QRgb>() : table;
}

QList<QRgb> colourTable(Bytes in, const PcxHeader& h)
{
    const uchar* d = in.data;
    if (h.bitsPerPixel == 8 && h.planes == 1) {
        QList<QRgb> table(256);
        for (int i = 0; i < 256; ++i) {
            const uchar* e = d + h.dataEnd + 1 + size_t(i) * 3;
            table[i] = h.trailerPalette ? qRgb(e[0], e[1], e[2]) : qRgb(i, i, i);
        }
        return table;
    }
    const int entries = 1 << (h.bitsPerPixel * h.planes);
    if (entries == 2) {
        QList<QRgb> table = headerPalette(d, 2);
        return table.size() == 2 && table[0] != table[1]
                   ? table
                   : QList<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)};
    }
    QList<QRgb> table = h.version == 3 ? QList<QRgb>() : headerPalette(d, entries);
    return table.isEmpty() ? vgaPalette().mid(0, entries) : table;
}

// Decodes the run-length stream one scan line (all planes) at a time; a run may continue into
// the next line.
class LineReader
{
public:
    LineReader(Bytes in, const PcxHeader& h)
        : in_(in), pos_(kHeaderSize), end_(h.dataEnd), rle_(h.rle)
    {
    }

    bool read(uchar* line, size_t length)
    {
        size_t filled = 0;
        while (filled < length) {
            if (pending_ > 0) {
                const size_t n = std::min(pending_, length - filled);
                std::memset(line + filled, value_, n);
                filled += n;
                pending_ -= n;
                continue;
            }
            if (pos_ >= end_)
                return false;
            const uchar b = in_.data[pos_++];
            if (rle_ && (b & 0xC0) == 0xC0) {
                if (pos_ >= end_)
                    return false;
                pending_ = b & 0x3F;
                value_ = in_.data[pos_++];
            } else {
                line[filled++] = b;
            }
        }
        return true;
    }

private:
    Bytes in_;
    size_t pos_;
    size_t end_;
    bool rle_;
    size_t pending_ = 0;
    uchar value_ = 0;
};

void appendRle(QByteArray& out, const uchar* data, size_t length)
{
    size_t i = 0;
    while (i < length) {
        const uchar v = data[i];
        size_t run = 1;
        while (i + run < length && run < 63 && data[i + run] == v)
            ++run;
        if (run > 1 || (v & 0xC0) == 0xC0)
            out.append(char(0xC0 | run));
        out.append(char(v));
        i += run;
    }
}

} // namespace

Code infoPcx(Bytes in, PictureInfo& info)
{
    PcxHeader h;
    if (Code code = parseHeader(in, h); code < 1)
        return code;
    info.format = "PCX";
    info.width = h.width;
    info.height = h.height;
    info.bitsPerPixel = h.bitsPerPixel * h.planes;
    info.paletteEntries = info.bitsPerPixel <= 8 ? 1 << info.bitsPerPixel : 0;
    info.dotsPerInch = h.dotsPerInch;
    info.description = QByteArray("PC Paintbrush ") + QByteArray::number(h.version) +
                       (h.rle ? ", RLE" : ", plain");
    return SKY_OK;
}

Code decodePcx(Bytes in, QImage& out)
{
    PcxHeader h;
    if (Code code = parseHeader(in, h); code < 1)
        return code;
    const int bits = h.bitsPerPixel * h.planes;
    const QImage::Format format = bits == 1   ? QImage::Format_Mono
                                  : bits <= 8 ? QImage::Format_Indexed8
                                              : QImage::Format_RGB32;
    if (Code code = checkPictureSize(h.width, h.height, QImage(1, 1, format).depth()); code < 1)
        return code;
    const size_t lineLength = h.bytesPerLine * size_t(h.planes);
    // A run pair gives at most 63 bytes: a file far too short fails before the allocation.
    const uint64_t total = uint64_t(lineLength) * uint64_t(h.height);
    const uint64_t available = h.dataEnd - kHeaderSize;
    if (h.rle ? available < total / 32 : available < total)
        return SKY_ERR_TRUNCATED;
    if (Code code = allocImage(out, int(h.width), int(h.height), format); code < 1)
        return code;
    if (bits <= 8)
        out.setColorTable(colourTable(in, h));
    const int w = int(h.width);
    std::vector<uchar> line(lineLength);
    LineReader reader(in, h);
    for (int y = 0; y < out.height(); ++y) {
        if (!reader.read(line.data(), lineLength)) {
            out = QImage();
            return SKY_ERR_TRUNCATED;
        }
        uchar* dst = out.scanLine(y);
        const uchar* src = line.data();
        if (bits == 1) {
            std::memcpy(dst, src, size_t((w + 7) / 8));
        } else if (h.planes == 1 && h.bitsPerPixel == 8) {
            std::memcpy(dst, src, size_t(w));
        } else if (h.planes == 1) {
            const int bpp = h.bitsPerPixel, perByte = 8 / bpp, mask = (1 << bpp) - 1;
            for (int x = 0; x < w; ++x)
                dst[x] = uchar((src[x / perByte] >> ((perByte - 1 - x % perByte) * bpp)) & mask);
        } else if (h.bitsPerPixel == 1) {
            for (int x = 0; x < w; ++x) {
                int v = 0;
                for (int p = 0; p < h.planes; ++p)
                    v |= ((src[size_t(p) * h.bytesPerLine + size_t(x >> 3)] >> (7 - (x & 7))) & 1)
                         << p;
                dst[x] = uchar(v);
            }
        } else {
            QRgb* rgb = reinterpret_cast<QRgb*>(dst);
            const uchar* g = src + h.bytesPerLine;
            const uchar* b = src + 2 * h.bytesPerLine;
            for (int x = 0; x < w; ++x)
                rgb[x] = qRgb(src[x], g[x], b[x]);
        }
    }
    return SKY_OK;
}

Code encodePcx(const QImage& image, int cls, const QList<QRgb>* palette, QByteArray& out)
{
    const int w = image.width(), h = image.height();
    if (w > 65535 || h > 65535)
        return SKY_ERR_FORMAT_LIMIT;
    const bool rgb = cls >= 24;
    const QImage source = rgb ? flattenToRgb32(image) : indexedForWrite(image, cls, palette);
    const int bpp = rgb || cls == 8 ? 8 : 1;
    const int planes = rgb ? 3 : (cls == 0 || cls == 4) ? 4 : 1;
    const size_t bytesPerLine = ((size_t(w) * bpp + 15) / 16) * 2;
    QList<QRgb> table = source.colorTable();

    QByteArray header(kHeaderSize, 0);
    uchar* d = reinterpret_cast<uchar*>(header.data());
    d[0] = 0x0A;
    d[1] = 5;
    d[2] = 1;
    d[3] = uchar(bpp);
    auto set16 = [d](int at, int v) {
        d[at] = uchar(v & 0xff);
        d[at + 1] = uchar(v >> 8);
    };
    set16(8, w - 1);
    set16(10, h - 1);
    set16(12, 96);
    set16(14, 96);
    if (!rgb && cls != 8)
        for (int i = 0; i < std::min<qsizetype>(16, table.size()); ++i) {
            d[16 + i * 3] = uchar(qRed(table[i]));
            d[17 + i * 3] = uchar(qGreen(table[i]));
            d[18 + i * 3] = uchar(qBlue(table[i]));
        }
    d[65] = uchar(planes);
    set16(66, int(bytesPerLine));
    set16(68, 1);
    out = header;

    std::vector<uchar> line(bytesPerLine * size_t(planes));
    for (int y = 0; y < h; ++y) {
        std::fill(line.begin(), line.end(), 0);
        const uchar* s = source.constScanLine(y);
        if (rgb) {
            const QRgb* px = reinterpret_cast<const QRgb*>(s);
            for (int x = 0; x < w; ++x) {
                line[size_t(x)] = uchar(qRed(px[x]));
                line[bytesPerLine + size_t(x)] = uchar(qGreen(px[x]));
                line[2 * bytesPerLine + size_t(x)] = uchar(qBlue(px[x]));
            }
        } else if (bpp == 8) {
            std::memcpy(line.data(), s, size_t(w));
        } else {
            for (int x = 0; x < w; ++x)
                for (int p = 0; p < planes; ++p)
                    if ((s[x] >> p) & 1)
                        line[size_t(p) * bytesPerLine + size_t(x >> 3)] |= uchar(0x80 >> (x & 7));
        }
        appendRle(out, line.data(), line.size());
    }
    if (bpp == 8 && !rgb) {
        out.append(char(0x0C));
        for (int i = 0; i < 256; ++i) {
            const QRgb c = i < table.size() ? table[i] : qRgb(0, 0, 0);
            out.append(char(qRed(c)));
            out.append(char(qGreen(c)));
            out.append(char(qBlue(c)));
        }
    }
    return SKY_OK;
}

} // namespace sky

int16_t Sky_Read_PCX(const char* fileName, int16_t bits, int16_t dither, Sky_Bitmap bitmap,
                     Sky_Palette palette, uint32_t, uint32_t)
{
    return sky::runReader(fileName, bits, dither, bitmap, palette, sky::decodePcx);
}

int16_t Sky_Write_PCX(const char* fileName, int16_t bits, const QImage* bitmap,
                      const QList<QRgb>* palette, uint32_t, uint32_t)
{
    return sky::runWriter(fileName, bits, bitmap,
                          [&](const QImage& image, int cls, QByteArray& data) {
                              return sky::encodePcx(image, cls, palette, data);
                          });
}
