// Internal helpers shared by the codecs of the imaging back end.
#pragma once

#include "sky32v3c.h"

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QList>
#include <cstddef>
#include <cstdint>
#include <new>

namespace sky {

using Code = int16_t;

// A whole input file in memory.
struct Bytes
{
    const uchar* data = nullptr;
    size_t size = 0;
};

// Maps a file read-only (falls back to reading it whole when mapping is not possible).
class InputFile
{
public:
    Code open(const char* fileName);
    Bytes bytes() const { return {data_, size_}; }

private:
    QFile file_;
    QByteArray copy_;
    const uchar* data_ = nullptr;
    size_t size_ = 0;
};

// Writes a finished encoding to its file, replacing the file only on success.
Code saveFile(const char* fileName, const QByteArray& data);

// Checks picture dimensions against sanity bounds and the memory limit for a decoded picture
// of the given bits per pixel. Returns SKY_OK, SKY_ERR_CORRUPT or SKY_ERR_TOO_LARGE.
Code checkPictureSize(int64_t width, int64_t height, int bitsPerPixel);

// Allocates a picture; a null QImage becomes SKY_ERR_NO_MEMORY.
Code allocImage(QImage& image, int width, int height, QImage::Format format);

// Little-endian readers for bounded buffers (the caller has checked the range).
inline uint16_t le16(const uchar* p)
{
    return uint16_t(p[0] | (p[1] << 8));
}
inline uint32_t le32(const uchar* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline void put16(QByteArray& out, uint16_t v)
{
    out.append(char(v & 0xff));
    out.append(char(v >> 8));
}
inline void put32(QByteArray& out, uint32_t v)
{
    put16(out, uint16_t(v & 0xffff));
    put16(out, uint16_t(v >> 16));
}

// Colour depth classes: 0 (VGA), 1, 4, 8, 24. Returns -1 for an invalid bits value.
int depthClass(int bits);
// Bits per pixel of a written palette picture of the class (VGA is written with 4).
inline int storedBits(int cls)
{
    return cls == 0 ? 4 : cls;
}

// The 16-colour VGA palette in its usual order.
const QList<QRgb>& vgaPalette();

// Makes an Indexed8 picture safe: pixel values beyond the colour table become 0.
void clampIndices(QImage& image);

// Reduces a picture to at most the depth class. Pictures already within it keep their
// palette. A given palette (if it fits) is used as the target table; otherwise the exact
// colours when few enough, else a median-cut palette; dither selects error diffusion.
// Results are Format_Mono, Format_Indexed8 (at most 2^cls colours) or the picture unchanged.
QImage reduceDepth(const QImage& image, int cls, bool dither, const QList<QRgb>* palette);

// A true-colour copy without alpha, composited over white when the picture has an alpha
// channel.
QImage flattenToRgb32(const QImage& image);

// A picture ready for a palette writer: Format_Indexed8 with at most 2^storedBits(cls) colours
// (cls 1, 4, 8 or 0).
QImage indexedForWrite(const QImage& image, int cls, const QList<QRgb>* palette);

// The common tail of every reader: clamps indices, reduces to the requested depth, hands out
// bitmap and palette.
Code finishRead(QImage&& decoded, int bits, bool dither, QImage* bitmap, QList<QRgb>* palette);

// Runs a writer entry body under the common argument checks; never throws.
template <typename F> Code guarded(F&& body)
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return SKY_ERR_NO_MEMORY;
    } catch (...) {
        return SKY_ERR_ENCODER;
    }
}

// Checks a reader's arguments and empties its outputs.
Code prepareRead(QImage* bitmap, QList<QRgb>* palette, int bits);

// Runs a reader entry: argument checks, file mapping, decoding (decode(Bytes, QImage&)),
// finishing; never throws.
template <typename F>
Code runReader(const char* fileName, int bits, int dither, QImage* bitmap, QList<QRgb>* palette,
               F&& decode)
{
    if (Code code = prepareRead(bitmap, palette, bits); code < 1)
        return code;
    try {
        InputFile file;
        if (Code code = file.open(fileName); code < 1)
            return code;
        QImage decoded;
        if (Code code = decode(file.bytes(), decoded); code < 1)
            return code;
        return finishRead(std::move(decoded), bits, dither != 0, bitmap, palette);
    } catch (const std::bad_alloc&) {
        *bitmap = QImage();
        return SKY_ERR_NO_MEMORY;
    } catch (...) {
        *bitmap = QImage();
        return SKY_ERR_CORRUPT;
    }
}

// Runs a writer entry: checks the picture and the depth, encodes (encode(QImage, cls,
// QByteArray&)) and saves; never throws.
template <typename F>
Code runWriter(const char* fileName, int bits, const QImage* bitmap, F&& encode)
{
    if (!bitmap || bitmap->isNull())
        return SKY_ERR_NO_PICTURE;
    const int cls = depthClass(bits);
    if (cls < 0)
        return SKY_ERR_BITS;
    return guarded([&]() -> Code {
        QByteArray data;
        if (Code code = encode(*bitmap, cls, data); code < 1)
            return code;
        return saveFile(fileName, data);
    });
}

// Information about a file, filled by the codecs' header parsers.
struct PictureInfo
{
    const char* format = "";
    QByteArray description;
    int64_t width = 0;
    int64_t height = 0;
    int bitsPerPixel = 0;
    int paletteEntries = 0;
    int dotsPerInch = 0;
};

// Decoders and header parsers of each format (in memory, for the entries and the fuzzers).
Code decodeBmp(Bytes in, QImage& out);
Code infoBmp(Bytes in, PictureInfo& info);
Code encodeBmp(const QImage& image, int cls, const QList<QRgb>* palette, QByteArray& out);
Code decodePcx(Bytes in, QImage& out);
Code infoPcx(Bytes in, PictureInfo& info);
Code encodePcx(const QImage& image, int cls, const QList<QRgb>* palette, QByteArray& out);
Code decodeJpeg(Bytes in, QImage& out);
Code decodeJpegScaled(Bytes in, int targetWidth, int targetHeight, QImage& out, int& denominator);
Code infoJpeg(Bytes in, PictureInfo& info);
Code decodePng(Bytes in, QImage& out);
Code infoPng(Bytes in, PictureInfo& info);
Code decodeGif(Bytes in, QImage& out);
Code infoGif(Bytes in, PictureInfo& info);
Code decodeTiff(Bytes in, QImage& out);
Code infoTiff(Bytes in, PictureInfo& info);

} // namespace sky
