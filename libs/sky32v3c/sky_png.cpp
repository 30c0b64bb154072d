// PNG through libpng: decoding straight into the QImage rows (Adam7 included), encoding palette
// and true-colour pictures with optional Adam7 interlacing.
#include "sky_common.h"

#include <csetjmp>
#include <cstring>
#include <png.h>
#include <vector>

namespace sky {
namespace {

struct ReadJob
{
    Bytes in;
    size_t pos = 0;
    bool truncated = false;
    bool headerOnly = false;
    QImage* out = nullptr;
    PictureInfo* info = nullptr;
    std::vector<png_bytep> rows;
    QList<QRgb> table;
};

void readBytes(png_structp png, png_bytep data, size_t length)
{
    auto* job = static_cast<ReadJob*>(png_get_io_ptr(png));
    if (job->in.size - job->pos < length) {
        job->truncated = true;
        png_error(png, "file truncated");
    }
    std::memcpy(data, job->in.data + job->pos, length);
    job->pos += length;
}

[[noreturn]] void onError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

QList<QRgb> greyTable(int levels)
{
    QList<QRgb> table(levels);
    for (int i = 0; i < levels; ++i) {
        const int v = i * 255 / (levels - 1);
        table[i] = qRgb(v, v, v);
    }
    return table;
}

QList<QRgb> paletteTable(png_structp png, png_infop info)
{
    png_colorp colours = nullptr;
    int count = 0;
    png_get_PLTE(png, info, &colours, &count);
    png_bytep alpha = nullptr;
    int alphaCount = 0;
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_get_tRNS(png, info, &alpha, &alphaCount, nullptr);
    QList<QRgb> table(std::max(count, 1), qRgb(0, 0, 0));
    for (int i = 0; i < count; ++i)
        table[i] = qRgba(colours[i].red, colours[i].green, colours[i].blue,
                         alpha && i < alphaCount ? alpha[i] : 255);
    return table;
}

// Sets up libpng's transformations; returns the QImage format that the rows then match.
QImage::Format setTransforms(png_structp png, png_infop info, QList<QRgb>& table)
{
    const int depth = png_get_bit_depth(png, info);
    const int type = png_get_color_type(png, info);
    const bool trns = png_get_valid(png, info, PNG_INFO_tRNS);
    if (depth == 16)
        png_set_scale_16(png);
    auto toColour = [&](bool alpha) {
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
        png_set_bgr(png);
        if (!alpha)
            png_set_filler(png, 0xff, PNG_FILLER_AFTER);
#else
        if (alpha)
            png_set_swap_alpha(png);
        else
            png_set_filler(png, 0xff, PNG_FILLER_BEFORE);
#endif
        return alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    };
    switch (type) {
    case PNG_COLOR_TYPE_PALETTE:
        table = paletteTable(png, info);
        if (depth == 1)
            return QImage::Format_Mono;
        if (depth < 8)
            png_set_packing(png);
        return QImage::Format_Indexed8;
    case PNG_COLOR_TYPE_GRAY:
        if (!trns) {
            table = greyTable(1 << std::min(depth, 8));
            if (depth == 1)
                return QImage::Format_Mono;
            if (depth < 8)
                png_set_packing(png);
            return QImage::Format_Indexed8;
        }
        png_set_expand_gray_1_2_4_to_8(png);
        png_set_tRNS_to_alpha(png);
        png_set_gray_to_rgb(png);
        return toColour(true);
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        png_set_gray_to_rgb(png);
        return toColour(true);
    case PNG_COLOR_TYPE_RGB:
        if (trns)
            png_set_tRNS_to_alpha(png);
        return toColour(trns);
    default:
        return toColour(true);
    }
}

void fillInfo(png_structp png, png_infop info, PictureInfo& out)
{
    out.format = "PNG";
    out.width = png_get_image_width(png, info);
    out.height = png_get_image_height(png, info);
    out.bitsPerPixel = png_get_bit_depth(png, info) * png_get_channels(png, info);
    if (png_get_color_type(png, info) == PNG_COLOR_TYPE_PALETTE) {
        png_colorp colours = nullptr;
        int count = 0;
        png_get_PLTE(png, info, &colours, &count);
        out.paletteEntries = count;
    }
    out.dotsPerInch = int((png_get_x_pixels_per_meter(png, info) * 254 + 5000) / 10000);
    out.description =
        png_get_interlace_type(png, info) == PNG_INTERLACE_ADAM7 ? "PNG, Adam7 interlaced" : "PNG";
}

Code runDecode(ReadJob& job)
{
    if (job.in.size < 8)
        return job.in.size > 0 &&
                       std::memcmp(job.in.data, "\x89PNG", std::min<size_t>(job.in.size, 4)) == 0
                   ? SKY_ERR_TRUNCATED
                   : (job.in.size == 0 ? SKY_ERR_TRUNCATED : SKY_ERR_FORMAT);
    if (png_sig_cmp(job.in.data, 0, 8) != 0)
        return SKY_ERR_FORMAT;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &job, onError, onWarning);
    if (!png)
        return SKY_ERR_NO_MEMORY;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return SKY_ERR_NO_MEMORY;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        if (job.out)
            *job.out = QImage();
        return job.truncated ? SKY_ERR_TRUNCATED : SKY_ERR_CORRUPT;
    }
    png_set_read_fn(png, &job, readBytes);
    png_set_user_limits(png, 1u << 20, 1u << 20);
    png_read_info(png, info);
    if (job.headerOnly) {
        fillInfo(png, info, *job.info);
        png_destroy_read_struct(&png, &info, nullptr);
        return SKY_OK;
    }
    const int64_t w = png_get_image_width(png, info), h = png_get_image_height(png, info);
    // Objects with destructors live in the job: a longjmp would skip them here.
    const QImage::Format format = setTransforms(png, info, job.table);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const int bits = format == QImage::Format_Mono ? 1 : format == QImage::Format_Indexed8 ? 8 : 32;
    Code code = checkPictureSize(w, h, bits);
    if (code >= 1)
        code = allocImage(*job.out, int(w), int(h), format);
    if (code >= 1 && png_get_rowbytes(png, info) > size_t(job.out->bytesPerLine()))
        code = SKY_ERR_CORRUPT;
    if (code >= 1) {
        try {
            job.rows.resize(size_t(h));
        } catch (const std::bad_alloc&) {
            code = SKY_ERR_NO_MEMORY;
        }
    }
    if (code < 1) {
        png_destroy_read_struct(&png, &info, nullptr);
        *job.out = QImage();
        return code;
    }
    job.out->setColorTable(job.table);
    uchar* base = job.out->bits();
    for (int64_t y = 0; y < h; ++y)
        job.rows[size_t(y)] = base + job.out->bytesPerLine() * qsizetype(y);
    png_read_image(png, job.rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return SKY_OK;
}

struct WriteJob
{
    QByteArray* out = nullptr;
    const QImage* source = nullptr; // Indexed8, RGB32 or ARGB32
    int depth = 8;
    bool interlaced = false;
    std::vector<png_bytep> rows;
    QByteArray packed;
    std::vector<png_color> colours;
    std::vector<png_byte> alpha;
};

void writeBytes(png_structp png, png_bytep data, size_t length)
{
    auto* job = static_cast<WriteJob*>(png_get_io_ptr(png));
    job->out->append(reinterpret_cast<const char*>(data), qsizetype(length));
}

void flushBytes(png_structp) {}

// Prepares rows, palette and transparency; may throw std::bad_alloc.
void prepareRows(WriteJob& job)
{
    const QImage& src = *job.source;
    const int w = src.width(), h = src.height();
    job.rows.resize(size_t(h));
    if (src.format() != QImage::Format_Indexed8 || job.depth == 8) {
        for (int y = 0; y < h; ++y)
            job.rows[size_t(y)] = const_cast<uchar*>(src.constScanLine(y));
    } else {
        const size_t rowBytes = (size_t(w) * size_t(job.depth) + 7) / 8;
        job.packed = QByteArray(qsizetype(rowBytes * size_t(h)), 0);
        const int perByte = 8 / job.depth;
        for (int y = 0; y < h; ++y) {
            uchar* r = reinterpret_cast<uchar*>(job.packed.data()) + rowBytes * size_t(y);
            const uchar* s = src.constScanLine(y);
            for (int x = 0; x < w; ++x)
                r[x / perByte] |= uchar((s[x] & ((1 << job.depth) - 1))
                                        << ((perByte - 1 - x % perByte) * job.depth));
            job.rows[size_t(y)] = r;
        }
    }
    if (src.format() == QImage::Format_Indexed8) {
        const QList<QRgb> table = src.colorTable();
        size_t lastTransparent = 0;
        for (qsizetype i = 0; i < table.size(); ++i) {
            job.colours.push_back(png_color{png_byte(qRed(table[i])), png_byte(qGreen(table[i])),
                                            png_byte(qBlue(table[i]))});
            job.alpha.push_back(png_byte(qAlpha(table[i])));
            if (qAlpha(table[i]) < 255)
                lastTransparent = size_t(i) + 1;
        }
        job.alpha.resize(lastTransparent);
    }
}

Code runEncode(WriteJob& job)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &job, onError, onWarning);
    if (!png)
        return SKY_ERR_NO_MEMORY;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return SKY_ERR_NO_MEMORY;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return SKY_ERR_ENCODER;
    }
    png_set_write_fn(png, &job, writeBytes, flushBytes);
    const QImage& src = *job.source;
    const bool indexed = src.format() == QImage::Format_Indexed8;
    const bool alpha = src.format() == QImage::Format_ARGB32;
    const int type = indexed ? PNG_COLOR_TYPE_PALETTE
                     : alpha ? PNG_COLOR_TYPE_RGB_ALPHA
                             : PNG_COLOR_TYPE_RGB;
    png_set_IHDR(png, info, png_uint_32(src.width()), png_uint_32(src.height()),
                 indexed ? job.depth : 8, type,
                 job.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (indexed) {
        png_set_PLTE(png, info, job.colours.data(), int(job.colours.size()));
        if (!job.alpha.empty())
            png_set_tRNS(png, info, job.alpha.data(), int(job.alpha.size()), nullptr);
    }
    png_set_pHYs(png, info, 3780, 3780, PNG_RESOLUTION_METER);
    png_write_info(png, info);
    if (!indexed) {
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
        png_set_bgr(png);
        if (!alpha)
            png_set_filler(png, 0, PNG_FILLER_AFTER);
#else
        if (alpha)
            png_set_swap_alpha(png);
        else
            png_set_filler(png, 0, PNG_FILLER_BEFORE);
#endif
    }
    png_write_image(png, job.rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return SKY_OK;
}

} // namespace

Code decodePng(Bytes in, QImage& out)
{
    ReadJob job;
    job.in = in;
    job.out = &out;
    return runDecode(job);
}

Code infoPng(Bytes in, PictureInfo& info)
{
    ReadJob job;
    job.in = in;
    job.headerOnly = true;
    job.info = &info;
    return runDecode(job);
}

} // namespace sky

int16_t Sky_Read_PNG(const char* fileName, int16_t bits, int16_t dither, Sky_Bitmap bitmap,
                     Sky_Palette palette, uint32_t, uint32_t)
{
    return sky::runReader(fileName, bits, dither, bitmap, palette, sky::decodePng);
}

int16_t Sky_Write_PNG(const char* fileName, int16_t bits, int16_t interlaced, const QImage* bitmap,
                      const QList<QRgb>* palette, uint32_t, uint32_t)
{
    return sky::runWriter(
        fileName, bits, bitmap, [&](const QImage& image, int cls, QByteArray& data) -> sky::Code {
            if (image.width() > (1 << 20) || image.height() > (1 << 20))
                return SKY_ERR_FORMAT_LIMIT;
            QImage source;
            if (cls < 24)
                source = sky::indexedForWrite(image, cls, palette);
            else
                source = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                                       : QImage::Format_RGB32);
            if (source.isNull())
                return SKY_ERR_NO_MEMORY;
            sky::WriteJob job;
            job.out = &data;
            job.source = &source;
            job.depth = cls < 24 ? sky::storedBits(cls) : 8;
            job.interlaced = interlaced != 0;
            sky::prepareRows(job);
            return sky::runEncode(job);
        });
}
