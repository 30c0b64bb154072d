// TIFF through libtiff, in memory: the first page, bilevel, grey and palette pictures row by
// row into the QImage, everything else through libtiff's RGBA reader; writing with the
// compression codes 1, 2 (CCITT modified Huffman, black and white only), 5 and 32773.
#include "sky_common.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <tiffio.h>
#include <vector>

namespace sky {
namespace {

struct Stream
{
    Bytes in;                  // reading
    QByteArray* out = nullptr; // writing
    uint64_t pos = 0;
    bool shortRead = false;
    bool failed = false;
};

uint64_t streamSize(const Stream& s)
{
    return s.out ? uint64_t(s.out->size()) : uint64_t(s.in.size);
}

tmsize_t readProc(thandle_t h, void* buffer, tmsize_t size)
{
    auto* s = static_cast<Stream*>(h);
    const uint64_t total = streamSize(*s);
    const uint64_t avail = s->pos < total ? total - s->pos : 0;
    const uint64_t n = std::min<uint64_t>(avail, uint64_t(std::max<tmsize_t>(size, 0)));
    if (n < uint64_t(size))
        s->shortRead = true;
    const uchar* base = s->out ? reinterpret_cast<const uchar*>(s->out->constData()) : s->in.data;
    if (n)
        std::memcpy(buffer, base + s->pos, size_t(n));
    s->pos += n;
    return tmsize_t(n);
}

tmsize_t writeProc(thandle_t h, void* buffer, tmsize_t size)
{
    auto* s = static_cast<Stream*>(h);
    if (!s->out || size < 0)
        return 0;
    const uint64_t end = s->pos + uint64_t(size);
    if (end > uint64_t(INT32_MAX)) {
        s->failed = true;
        return 0;
    }
    if (end > uint64_t(s->out->size()))
        s->out->resize(qsizetype(end), 0);
    std::memcpy(s->out->data() + s->pos, buffer, size_t(size));
    s->pos = end;
    return size;
}

toff_t seekProc(thandle_t h, toff_t offset, int whence)
{
    auto* s = static_cast<Stream*>(h);
    const uint64_t base = whence == SEEK_CUR ? s->pos : whence == SEEK_END ? streamSize(*s) : 0;
    s->pos = base + offset;
    return s->pos;
}

int closeProc(thandle_t)
{
    return 0;
}

toff_t sizeProc(thandle_t h)
{
    return streamSize(*static_cast<Stream*>(h));
}

int mapProc(thandle_t, void**, toff_t*)
{
    return 0;
}

void unmapProc(thandle_t, void*, toff_t) {}

int onError(TIFF*, void* user, const char*, const char*, va_list)
{
    static_cast<Stream*>(user)->failed = true;
    return 1;
}

int onWarning(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

TIFF* openStream(Stream& stream, const char* mode)
{
    static std::once_flag silenced;
    std::call_once(silenced, [] {
        TIFFSetErrorHandler(nullptr);
        TIFFSetWarningHandler(nullptr);
    });
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options)
        return nullptr;
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, tmsize_t(Sky_Memory_Limit()));
    TIFFOpenOptionsSetErrorHandlerExtR(options, onError, &stream);
    TIFFOpenOptionsSetWarningHandlerExtR(options, onWarning, &stream);
    TIFF* tif = TIFFClientOpenExt("memory", mode, &stream, readProc, writeProc, seekProc, closeProc,
                                  sizeProc, mapProc, unmapProc, options);
    TIFFOpenOptionsFree(options);
    return tif;
}

struct TiffCloser
{
    TIFF* tif;
    ~TiffCloser()
    {
        if (tif)
            TIFFClose(tif);
    }
};

struct Layout
{
    uint32_t width = 0, height = 0;
    uint16_t bps = 1, spp = 1, photometric = PHOTOMETRIC_MINISWHITE, compression = 1;
    bool hasPhotometric = false;
};

Layout layoutOf(TIFF* tif)
{
    Layout l;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &l.width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &l.height);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &l.bps);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &l.spp);
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &l.compression);
    l.hasPhotometric = TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &l.photometric) == 1;
    return l;
}

Code openFailure(const Stream& s)
{
    if (s.in.size < 8)
        return SKY_ERR_TRUNCATED;
    const bool magic =
        std::memcmp(s.in.data, "II*\0", 4) == 0 || std::memcmp(s.in.data, "MM\0*", 4) == 0;
    if (!magic)
        return SKY_ERR_FORMAT;
    return s.shortRead ? SKY_ERR_TRUNCATED : SKY_ERR_CORRUPT;
}

QList<QRgb> tableFor(TIFF* tif, const Layout& l)
{
    const int entries = 1 << l.bps;
    QList<QRgb> table(entries);
    if (l.photometric == PHOTOMETRIC_PALETTE) {
        uint16_t *r = nullptr, *g = nullptr, *b = nullptr;
        if (TIFFGetField(tif, TIFFTAG_COLORMAP, &r, &g, &b) == 1 && r && g && b) {
            // Some writers store 8-bit values in the 16-bit map.
            const bool eightBit = std::all_of(r, r + entries, [](uint16_t v) { return v < 256; }) &&
                                  std::all_of(g, g + entries, [](uint16_t v) { return v < 256; }) &&
                                  std::all_of(b, b + entries, [](uint16_t v) { return v < 256; });
            const int shift = eightBit ? 0 : 8;
            for (int i = 0; i < entries; ++i)
                table[i] = qRgb(r[i] >> shift, g[i] >> shift, b[i] >> shift);
            return table;
        }
    }
    for (int i = 0; i < entries; ++i) {
        int v = i * 255 / (entries - 1);
        if (l.photometric == PHOTOMETRIC_MINISWHITE)
            v = 255 - v;
        table[i] = qRgb(v, v, v);
    }
    return table;
}

Code readRows(TIFF* tif, const Layout& l, const Stream& stream, QImage& out)
{
    const QImage::Format format = l.bps == 1 ? QImage::Format_Mono : QImage::Format_Indexed8;
    if (Code code = allocImage(out, int(l.width), int(l.height), format); code < 1)
        return code;
    out.setColorTable(tableFor(tif, l));
    const tmsize_t lineSize = TIFFScanlineSize(tif);
    if (lineSize <= 0 || lineSize > out.bytesPerLine())
        return SKY_ERR_CORRUPT;
    std::vector<uchar> line(static_cast<size_t>(lineSize));
    for (uint32_t y = 0; y < l.height; ++y) {
        uchar* dst = out.scanLine(int(y));
        uchar* target = l.bps == 4 ? line.data() : dst;
        if (TIFFReadScanline(tif, target, y, 0) < 0)
            return stream.shortRead ? SKY_ERR_TRUNCATED : SKY_ERR_CORRUPT;
        if (l.bps == 4)
            for (uint32_t x = 0; x < l.width; ++x)
                dst[x] = (x & 1) ? (line[x / 2] & 15) : (line[x / 2] >> 4);
    }
    return SKY_OK;
}

Code readRgba(TIFF* tif, const Stream& stream, const Layout& l, QImage& out)
{
    char message[1024] = {};
    if (!TIFFRGBAImageOK(tif, message))
        return SKY_ERR_UNSUPPORTED;
    if (Code code = allocImage(out, int(l.width), int(l.height), QImage::Format_RGBA8888); code < 1)
        return code;
    if (out.bytesPerLine() != qsizetype(l.width) * 4)
        return SKY_ERR_NO_MEMORY;
    if (!TIFFReadRGBAImageOriented(tif, l.width, l.height, reinterpret_cast<uint32_t*>(out.bits()),
                                   ORIENTATION_TOPLEFT, 1))
        return stream.shortRead ? SKY_ERR_TRUNCATED : SKY_ERR_CORRUPT;
    uint16_t extras = 0;
    uint16_t* types = nullptr;
    const bool alpha = TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &extras, &types) == 1 && extras > 0;
    out.convertTo(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    return out.isNull() ? SKY_ERR_NO_MEMORY : SKY_OK;
}

Code readTiff(Bytes in, QImage* out, PictureInfo* info)
{
    Stream stream;
    stream.in = in;
    TIFF* tif = openStream(stream, "rm");
    if (!tif)
        return openFailure(stream);
    TiffCloser closer{tif};
    const Layout l = layoutOf(tif);
    if (info) {
        info->format = "TIFF";
        info->width = l.width;
        info->height = l.height;
        info->bitsPerPixel = l.bps * l.spp;
        info->paletteEntries = l.photometric == PHOTOMETRIC_PALETTE && l.bps <= 8 ? 1 << l.bps : 0;
        float resolution = 0;
        uint16_t unit = RESUNIT_INCH;
        TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
        if (TIFFGetField(tif, TIFFTAG_XRESOLUTION, &resolution) == 1 && resolution > 0 &&
            resolution < 100000)
            info->dotsPerInch =
                int(unit == RESUNIT_CENTIMETER ? resolution * 2.54f + 0.5f : resolution + 0.5f);
        const TIFFCodec* codec = TIFFFindCODEC(l.compression);
        info->description = QByteArray("TIFF, ") + (codec ? codec->name : "unknown coding");
        return SKY_OK;
    }
    if (Code code = checkPictureSize(l.width, l.height, 32); code < 1)
        return code;
    const bool simple =
        !TIFFIsTiled(tif) && l.spp == 1 && (l.bps == 1 || l.bps == 4 || l.bps == 8) &&
        l.hasPhotometric &&
        (l.photometric == PHOTOMETRIC_MINISWHITE || l.photometric == PHOTOMETRIC_MINISBLACK ||
         l.photometric == PHOTOMETRIC_PALETTE);
    const Code code = simple ? readRows(tif, l, stream, *out) : readRgba(tif, stream, l, *out);
    if (code < 1)
        *out = QImage();
    return code;
}

bool isBlack(QRgb c)
{
    return (c & 0xffffff) == 0;
}

bool isWhite(QRgb c)
{
    return (c & 0xffffff) == 0xffffff;
}

Code encodeTiff(const QImage& image, int cls, int compression, const QList<QRgb>* palette,
                QByteArray& out)
{
    const bool rgb = cls >= 24;
    const QImage source = rgb ? flattenToRgb32(image) : indexedForWrite(image, cls, palette);
    const int depth = rgb ? 8 : storedBits(cls);
    const QList<QRgb> table = source.colorTable();
    const bool bilevel =
        depth == 1 && table.size() == 2 &&
        ((isBlack(table[0]) && isWhite(table[1])) || (isWhite(table[0]) && isBlack(table[1])));
    // CCITT codes black and white only; any other picture keeps its colours uncompressed.
    if (compression == COMPRESSION_CCITTRLE && !bilevel)
        compression = COMPRESSION_NONE;
    Stream stream;
    stream.out = &out;
    TIFF* tif = openStream(stream, "w");
    if (!tif)
        return SKY_ERR_ENCODER;
    TiffCloser closer{tif};
    const uint32_t w = uint32_t(source.width()), h = uint32_t(source.height());
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, w);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, h);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, uint16_t(depth));
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, uint16_t(rgb ? 3 : 1));
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, uint16_t(compression));
    uint16_t photometric = PHOTOMETRIC_RGB;
    std::vector<uint16_t> map;
    if (bilevel) {
        photometric = isBlack(table[0]) ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_MINISWHITE;
    } else if (!rgb) {
        photometric = PHOTOMETRIC_PALETTE;
        const size_t entries = size_t(1) << depth;
        map.assign(entries * 3, 0);
        for (qsizetype i = 0; i < table.size() && size_t(i) < entries; ++i) {
            map[size_t(i)] = uint16_t(qRed(table[i]) * 257);
            map[entries + size_t(i)] = uint16_t(qGreen(table[i]) * 257);
            map[2 * entries + size_t(i)] = uint16_t(qBlue(table[i]) * 257);
        }
        TIFFSetField(tif, TIFFTAG_COLORMAP, map.data(), map.data() + entries,
                     map.data() + 2 * entries);
    }
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, photometric);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, 96.0f);
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, 96.0f);
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    const size_t lineSize = rgb ? size_t(w) * 3 : (size_t(w) * size_t(depth) + 7) / 8;
    std::vector<uchar> line(lineSize);
    for (uint32_t y = 0; y < h; ++y) {
        std::fill(line.begin(), line.end(), 0);
        const uchar* s = source.constScanLine(int(y));
        if (rgb) {
            const QRgb* px = reinterpret_cast<const QRgb*>(s);
            for (uint32_t x = 0; x < w; ++x) {
                line[x * 3] = uchar(qRed(px[x]));
                line[x * 3 + 1] = uchar(qGreen(px[x]));
                line[x * 3 + 2] = uchar(qBlue(px[x]));
            }
        } else if (depth == 8) {
            std::memcpy(line.data(), s, w);
        } else {
            const int perByte = 8 / depth;
            for (uint32_t x = 0; x < w; ++x)
                line[x / perByte] |= uchar((s[x] & ((1 << depth) - 1))
                                           << ((perByte - 1 - int(x) % perByte) * depth));
        }
        if (TIFFWriteScanline(tif, line.data(), y, 0) < 0)
            return SKY_ERR_ENCODER;
    }
    if (!TIFFFlush(tif) || stream.failed)
        return SKY_ERR_ENCODER;
    return SKY_OK;
}

} // namespace

Code decodeTiff(Bytes in, QImage& out)
{
    return readTiff(in, &out, nullptr);
}

Code infoTiff(Bytes in, PictureInfo& info)
{
    return readTiff(in, nullptr, &info);
}

} // namespace sky

int16_t Sky_Read_TIFF(const char* fileName, int16_t bits, int16_t dither, Sky_Bitmap bitmap,
                      Sky_Palette palette, uint32_t, uint32_t)
{
    return sky::runReader(fileName, bits, dither, bitmap, palette, sky::decodeTiff);
}

int16_t Sky_Write_TIFF(const char* fileName, int16_t compression, int16_t, int16_t bits,
                       const QImage* bitmap, const QList<QRgb>* palette, uint32_t, uint32_t)
{
    const int code = uint16_t(compression); // 32773 arrives as a negative 16-bit value
    if (code != COMPRESSION_NONE && code != COMPRESSION_CCITTRLE && code != COMPRESSION_LZW &&
        code != COMPRESSION_PACKBITS)
        return SKY_ERR_COMPRESSION;
    return sky::runWriter(fileName, bits, bitmap,
                          [&](const QImage& image, int cls, QByteArray& data) {
                              return sky::encodeTiff(image, cls, code, palette, data);
                          });
}
