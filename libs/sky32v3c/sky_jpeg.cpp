// JPEG through the libjpeg API (libjpeg-turbo): decoding straight into the QImage buffer, at
// full size or at a DCT scale, and encoding with quality and smoothing.
#include "sky_common.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
// jpeglib.h needs size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>

namespace sky {
namespace {

#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr J_COLOR_SPACE kQtRgb32 = JCS_EXT_BGRX;
#else
constexpr J_COLOR_SPACE kQtRgb32 = JCS_EXT_XRGB;
#endif

// A progressive file may hold any number of scans; past this many it is taken as hostile.
constexpr int kMaxScans = 1000;

struct ErrorManager
{
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
    bool endOfFile;
    bool tooManyScans;
};

[[noreturn]] void onError(j_common_ptr c)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(c->err)->jump, 1);
}

void onMessage(j_common_ptr c, int level)
{
    // A file that ends early makes libjpeg invent the rest of the picture; refuse it instead.
    if (level < 0 && c->err->msg_code == JWRN_JPEG_EOF) {
        reinterpret_cast<ErrorManager*>(c->err)->endOfFile = true;
        onError(c);
    }
}

void onOutputMessage(j_common_ptr) {}

void onProgress(j_common_ptr c)
{
    auto* d = reinterpret_cast<j_decompress_ptr>(c);
    if (c->is_decompressor && d->input_scan_number > kMaxScans) {
        reinterpret_cast<ErrorManager*>(c->err)->tooManyScans = true;
        onError(c);
    }
}

void installErrors(ErrorManager& err)
{
    jpeg_std_error(&err.mgr);
    err.mgr.error_exit = onError;
    err.mgr.emit_message = onMessage;
    err.mgr.output_message = onOutputMessage;
    err.endOfFile = false;
    err.tooManyScans = false;
}

Code failureCode(const ErrorManager& err)
{
    if (err.endOfFile)
        return SKY_ERR_TRUNCATED;
    switch (err.mgr.msg_code) {
    case JERR_NO_SOI:
        return SKY_ERR_FORMAT;
    case JERR_INPUT_EMPTY:
    case JERR_INPUT_EOF:
        return SKY_ERR_TRUNCATED;
    case JERR_OUT_OF_MEMORY:
        return SKY_ERR_NO_MEMORY;
    case JERR_CONVERSION_NOTIMPL:
    case JERR_NOT_COMPILED:
    case JERR_ARITH_NOTIMPL:
        return SKY_ERR_UNSUPPORTED;
    case JERR_IMAGE_TOO_BIG:
        return SKY_ERR_TOO_LARGE;
    default:
        return SKY_ERR_CORRUPT;
    }
}

// Everything with a destructor lives here, outside the function that calls setjmp.
struct DecodeJob
{
    Bytes in;
    int targetWidth = 0;
    int targetHeight = 0;
    bool headerOnly = false;
    QImage* out = nullptr;
    PictureInfo* info = nullptr;
    int denominator = 1;
};

void chooseScale(jpeg_decompress_struct& cinfo, DecodeJob& job)
{
    job.denominator = 1;
    if (job.targetWidth <= 0 && job.targetHeight <= 0)
        return;
    for (int d : {8, 4, 2}) {
        cinfo.scale_num = 1;
        cinfo.scale_denom = unsigned(d);
        jpeg_calc_output_dimensions(&cinfo);
        if (int64_t(cinfo.output_width) >= job.targetWidth &&
            int64_t(cinfo.output_height) >= job.targetHeight) {
            job.denominator = d;
            return;
        }
    }
    cinfo.scale_num = 1;
    cinfo.scale_denom = 1;
}

void cmykToRgb32(const uchar* in, QRgb* out, int width, bool inverted)
{
    for (int x = 0; x < width; ++x, in += 4) {
        int c = in[0], m = in[1], y = in[2], k = in[3];
        if (!inverted)
            c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
        out[x] = qRgb(c * k / 255, m * k / 255, y * k / 255);
    }
}

Code runDecode(DecodeJob& job)
{
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    installErrors(err);
    cinfo.err = &err.mgr;
    jpeg_progress_mgr progress{};
    progress.progress_monitor = onProgress;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        if (job.out)
            *job.out = QImage();
        return failureCode(err);
    }
    jpeg_create_decompress(&cinfo);
    cinfo.progress = &progress;
    jpeg_mem_src(&cinfo, job.in.data, static_cast<unsigned long>(job.in.size));
    jpeg_read_header(&cinfo, TRUE);
    if (job.headerOnly) {
        PictureInfo& info = *job.info;
        info.format = "JPEG";
        info.width = cinfo.image_width;
        info.height = cinfo.image_height;
        info.bitsPerPixel = cinfo.num_components * 8;
        info.dotsPerInch = cinfo.density_unit == 1   ? cinfo.X_density
                           : cinfo.density_unit == 2 ? (cinfo.X_density * 254 + 50) / 100
                                                     : 0;
        info.description = cinfo.progressive_mode      ? "Progressive JPEG"
                           : cinfo.arith_code          ? "Arithmetic-coded JPEG"
                           : cinfo.num_components == 1 ? "Baseline JPEG, grey"
                                                       : "Baseline JPEG";
        jpeg_destroy_decompress(&cinfo);
        return SKY_OK;
    }
    const bool grey = cinfo.jpeg_color_space == JCS_GRAYSCALE;
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = grey ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : kQtRgb32;
    chooseScale(cinfo, job);
    jpeg_calc_output_dimensions(&cinfo);
    const QImage::Format format = grey ? QImage::Format_Indexed8 : QImage::Format_RGB32;
    if (Code code = checkPictureSize(cinfo.output_width, cinfo.output_height, grey ? 8 : 32);
        code < 1) {
        jpeg_destroy_decompress(&cinfo);
        return code;
    }
    if (Code code = allocImage(*job.out, int(cinfo.output_width), int(cinfo.output_height), format);
        code < 1) {
        jpeg_destroy_decompress(&cinfo);
        return code;
    }
    jpeg_start_decompress(&cinfo);
    uchar* const base = job.out->bits();
    const qsizetype stride = job.out->bytesPerLine();
    const int width = int(cinfo.output_width);
    JSAMPARRAY cmykRow = cmyk ? (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo),
                                                           JPOOL_IMAGE, JDIMENSION(width) * 4, 1)
                              : nullptr;
    while (cinfo.output_scanline < cinfo.output_height) {
        const JDIMENSION y = cinfo.output_scanline;
        if (cmyk) {
            jpeg_read_scanlines(&cinfo, cmykRow, 1);
            cmykToRgb32(cmykRow[0], reinterpret_cast<QRgb*>(base + stride * qsizetype(y)), width,
                        cinfo.saw_Adobe_marker);
            continue;
        }
        JSAMPROW rows[4];
        const JDIMENSION n = std::min<JDIMENSION>(4, cinfo.output_height - y);
        for (JDIMENSION i = 0; i < n; ++i)
            rows[i] = base + stride * qsizetype(y + i);
        jpeg_read_scanlines(&cinfo, rows, n);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    if (grey) {
        QList<QRgb> table(256);
        for (int i = 0; i < 256; ++i)
            table[i] = qRgb(i, i, i);
        job.out->setColorTable(table);
    }
    return SKY_OK;
}

struct EncodeJob
{
    const QImage* source = nullptr; // RGB32 or Grayscale8
    int quality = 75;
    int smoothing = 0;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
};

Code runEncode(EncodeJob& job)
{
    jpeg_compress_struct cinfo;
    ErrorManager err;
    installErrors(err);
    cinfo.err = &err.mgr;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        return err.mgr.msg_code == JERR_IMAGE_TOO_BIG ? SKY_ERR_FORMAT_LIMIT : SKY_ERR_ENCODER;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &job.buffer, &job.size);
    const QImage& src = *job.source;
    const bool grey = src.format() == QImage::Format_Grayscale8;
    cinfo.image_width = JDIMENSION(src.width());
    cinfo.image_height = JDIMENSION(src.height());
    cinfo.input_components = grey ? 1 : 4;
    cinfo.in_color_space = grey ? JCS_GRAYSCALE : kQtRgb32;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, job.quality, TRUE);
    cinfo.smoothing_factor = job.smoothing;
    cinfo.density_unit = 1;
    cinfo.X_density = 96;
    cinfo.Y_density = 96;
    jpeg_start_compress(&cinfo, TRUE);
    const uchar* base = src.constBits();
    const qsizetype stride = src.bytesPerLine();
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<uchar*>(base + stride * qsizetype(cinfo.next_scanline));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return SKY_OK;
}

} // namespace

Code decodeJpeg(Bytes in, QImage& out)
{
    DecodeJob job;
    job.in = in;
    job.out = &out;
    return runDecode(job);
}

Code decodeJpegScaled(Bytes in, int targetWidth, int targetHeight, QImage& out, int& denominator)
{
    DecodeJob job;
    job.in = in;
    job.out = &out;
    job.targetWidth = targetWidth;
    job.targetHeight = targetHeight;
    const Code code = runDecode(job);
    denominator = job.denominator;
    return code;
}

Code infoJpeg(Bytes in, PictureInfo& info)
{
    DecodeJob job;
    job.in = in;
    job.headerOnly = true;
    job.info = &info;
    return runDecode(job);
}

} // namespace sky

int16_t Sky_Read_JPEG(const char* fileName, int16_t bits, int16_t, int16_t dither,
                      Sky_Bitmap bitmap, Sky_Palette palette, uint32_t, uint32_t)
{
    return sky::runReader(fileName, bits, dither, bitmap, palette, sky::decodeJpeg);
}

int16_t Sky_Read_JPEG_Scaled(const char* fileName, int16_t bits, int16_t dither,
                             int32_t targetWidth, int32_t targetHeight, Sky_Bitmap bitmap,
                             Sky_Palette palette, int16_t* scaleDenominator)
{
    int denominator = 1;
    const int16_t code =
        sky::runReader(fileName, bits, dither, bitmap, palette, [&](sky::Bytes in, QImage& out) {
            return sky::decodeJpegScaled(in, targetWidth, targetHeight, out, denominator);
        });
    if (scaleDenominator)
        *scaleDenominator = int16_t(denominator);
    return code;
}

int16_t Sky_Write_JPEG(const char* fileName, int16_t quality, int16_t smoothing, int16_t bits,
                       const QImage* bitmap, const QList<QRgb>*, uint32_t, uint32_t)
{
    // Grey scale (bits 1) or colour: any valid depth is accepted, the class only decides that.
    return sky::runWriter(fileName, bits == 1 ? 1 : 24, bitmap,
                          [&](const QImage& image, int cls, QByteArray& data) -> sky::Code {
                              if (image.width() > 65500 || image.height() > 65500)
                                  return SKY_ERR_FORMAT_LIMIT;
                              QImage source = sky::flattenToRgb32(image);
                              if (cls == 1)
                                  source = source.convertToFormat(QImage::Format_Grayscale8);
                              if (source.isNull())
                                  return SKY_ERR_NO_MEMORY;
                              sky::EncodeJob job;
                              job.source = &source;
                              job.quality = std::clamp<int>(quality, 1, 100);
                              job.smoothing = std::clamp<int>(smoothing, 0, 100);
                              const sky::Code code = sky::runEncode(job);
                              if (code >= 1)
                                  data = QByteArray(reinterpret_cast<const char*>(job.buffer),
                                                    qsizetype(job.size));
                              std::free(job.buffer);
                              return code;
                          });
}
