// sky32v3c: the imaging back end. Reads and writes BMP, JPEG, PNG, GIF, TIFF and PCX files.
//
// Every call returns a signed 16-bit code: 1 or more is success, 0 or less a failure whose text
// Sky_Error_Text() gives (pass the code; as an unsigned 16-bit number -1 is 65535, and both
// forms give the same text).
//
// Handles
//   bitmap  a QImage*. Readers assign the decoded picture to it (a null QImage on failure):
//             Format_Mono            one-bit pictures, with their two-colour table
//             Format_Indexed8        palette and grey pictures of 3..256 colours, with their table
//             Format_RGB32           true colour
//             Format_ARGB32          true colour with an alpha channel (PNG, TIFF)
//           A table entry may carry alpha 0 (the transparent colour of a GIF or PNG).
//           Writers take any QImage format.
//   palette a QList<QRgb>*, may be null. Readers ignore what it holds on entry and fill it with
//           the picture's colour table (the same as bitmap->colorTable()), or empty it for a
//           true-colour picture. Writers use it as the target table when they must reduce a
//           true-colour picture to a depth the table fits.
//
// Colour depth ("bits")
//   0 the 16-colour VGA palette, 1 monochrome, 4 sixteen colours, 8 256 colours, 24 true colour
//   (9..32 count as true colour). For readers it is the deepest picture wanted: a picture at or
//   below it keeps its own palette, a deeper one is reduced with a median-cut palette (the fixed
//   VGA table for 0, black and white for 1) and, when the dither flag is non-zero, error
//   diffusion. Writers write exactly that depth; when they reduce, they dither.
//
// File names are native paths in the local 8-bit encoding, zero-terminated, of any length.
// The two trailing words of the readers and writers carry no picture data and are ignored.
// Every call is synchronous and may run on any thread; the memory limit is process-wide.
#pragma once

#include <QImage>
#include <QList>
#include <QRgb>
#include <QString>
#include <cstdint>

#if defined(SKY32V3C_BUILDING)
#define SKY32V3C_EXPORT __attribute__((visibility("default")))
#else
#define SKY32V3C_EXPORT
#endif

using Sky_Bitmap = QImage*;
using Sky_Palette = QList<QRgb>*;

// Result codes.
enum Sky_Code : int16_t
{
    SKY_OK = 1,
    SKY_ERR_OPEN = -1,          // the file cannot be opened for reading
    SKY_ERR_FORMAT = -2,        // the file is not of the format the reader decodes
    SKY_ERR_TRUNCATED = -3,     // the file ends before the picture does
    SKY_ERR_CORRUPT = -4,       // a length, offset or code in the file is impossible
    SKY_ERR_UNSUPPORTED = -5,   // a valid file of a kind this library does not decode
    SKY_ERR_TOO_LARGE = -6,     // the decoded picture would exceed the memory limit
    SKY_ERR_NO_MEMORY = -7,     // an allocation failed
    SKY_ERR_CREATE = -8,        // the output file cannot be created
    SKY_ERR_WRITE = -9,         // writing the output file failed
    SKY_ERR_BITS = -10,         // the colour depth argument is none of 0, 1, 4, 8, 9..32
    SKY_ERR_NO_PICTURE = -11,   // the bitmap handle is null or holds no picture
    SKY_ERR_COMPRESSION = -12,  // the TIFF compression code is none of 1, 2, 5, 32773
    SKY_ERR_ENCODER = -13,      // the encoder refused the picture
    SKY_ERR_FORMAT_LIMIT = -14, // the picture is too large for the file format written
    SKY_ERR_ARGUMENT = -15,     // an output argument is null
};

// Text for a failure code (also accepts the code as an unsigned 16-bit number).
SKY32V3C_EXPORT QString Sky_Error_Text(uint16_t code);

// The largest decoded picture, in bytes, that readers accept (default 512 MiB). Values below
// 1 restore the default.
SKY32V3C_EXPORT void Sky_Set_Memory_Limit(int64_t bytes);
SKY32V3C_EXPORT int64_t Sky_Memory_Limit();

// Picture information, for any of the six formats (recognised by content). formatName gets
// "BMP", "JPEG", "PNG", "GIF", "TIFF" or "PCX" (at most 5 characters and a zero); secondName a
// description of the encoding (at most 25 characters and a zero). Width and height above 32767
// are given as 32767. The three further values: bits per pixel, palette entries (0 for true
// colour), dots per inch (0 when the file gives none). Any output pointer may be null.
SKY32V3C_EXPORT int16_t Sky_Picture_Info(const char* fileName, char* formatName, int16_t* width,
                                         int16_t* height, int16_t* bitsPerPixel,
                                         int16_t* paletteEntries, int16_t* dotsPerInch,
                                         char* secondName, int32_t reserved = 0);

// Readers. The JPEG reader's third argument is a constant 1 that callers pass; it is ignored.
SKY32V3C_EXPORT int16_t Sky_Read_JPEG(const char* fileName, int16_t bits, int16_t constant,
                                      int16_t dither, Sky_Bitmap bitmap, Sky_Palette palette,
                                      uint32_t word1 = 0, uint32_t word2 = 0);
SKY32V3C_EXPORT int16_t Sky_Read_GIF(const char* fileName, int16_t bits, int16_t dither,
                                     Sky_Bitmap bitmap, Sky_Palette palette, uint32_t word1 = 0,
                                     uint32_t word2 = 0);
SKY32V3C_EXPORT int16_t Sky_Read_PCX(const char* fileName, int16_t bits, int16_t dither,
                                     Sky_Bitmap bitmap, Sky_Palette palette, uint32_t word1 = 0,
                                     uint32_t word2 = 0);
SKY32V3C_EXPORT int16_t Sky_Read_BMP(const char* fileName, int16_t bits, int16_t dither,
                                     Sky_Bitmap bitmap, Sky_Palette palette, uint32_t word1 = 0,
                                     uint32_t word2 = 0);
SKY32V3C_EXPORT int16_t Sky_Read_PNG(const char* fileName, int16_t bits, int16_t dither,
                                     Sky_Bitmap bitmap, Sky_Palette palette, uint32_t word1 = 0,
                                     uint32_t word2 = 0);
SKY32V3C_EXPORT int16_t Sky_Read_TIFF(const char* fileName, int16_t bits, int16_t dither,
                                      Sky_Bitmap bitmap, Sky_Palette palette, uint32_t word1 = 0,
                                      uint32_t word2 = 0);

// Reads a JPEG at the smallest DCT scale (1/8, 1/4, 1/2, else full size) whose picture still
// covers targetWidth x targetHeight (both at least as large), decoding straight into the
// bitmap. A target of 0 x 0 or less reads full size. *scaleDenominator (may be null) gets the
// scale used: 1, 2, 4 or 8. bits and dither as for the other readers.
SKY32V3C_EXPORT int16_t Sky_Read_JPEG_Scaled(const char* fileName, int16_t bits, int16_t dither,
                                             int32_t targetWidth, int32_t targetHeight,
                                             Sky_Bitmap bitmap, Sky_Palette palette,
                                             int16_t* scaleDenominator = nullptr);

// Writers. The file is replaced only when the whole picture was encoded and written.
// JPEG: quality 1..100 (others are clamped), smoothing 0..100 (clamped), bits 1 writes grey
// scale, any other value colour.
SKY32V3C_EXPORT int16_t Sky_Write_JPEG(const char* fileName, int16_t quality, int16_t smoothing,
                                       int16_t bits, const QImage* bitmap,
                                       const QList<QRgb>* palette, uint32_t word1 = 0,
                                       uint32_t word2 = 0);
SKY32V3C_EXPORT int16_t Sky_Write_BMP(const char* fileName, int16_t bits, const QImage* bitmap,
                                      const QList<QRgb>* palette, uint32_t word1 = 0,
                                      uint32_t word2 = 0);
// PNG: interlaced 1 writes Adam7 interlacing, 0 none.
SKY32V3C_EXPORT int16_t Sky_Write_PNG(const char* fileName, int16_t bits, int16_t interlaced,
                                      const QImage* bitmap, const QList<QRgb>* palette,
                                      uint32_t word1 = 0, uint32_t word2 = 0);
// GIF: true colour (bits 9..32) is written at 8 bits.
SKY32V3C_EXPORT int16_t Sky_Write_GIF(const char* fileName, int16_t bits, const QImage* bitmap,
                                      const QList<QRgb>* palette, uint32_t word1 = 0,
                                      uint32_t word2 = 0);
SKY32V3C_EXPORT int16_t Sky_Write_PCX(const char* fileName, int16_t bits, const QImage* bitmap,
                                      const QList<QRgb>* palette, uint32_t word1 = 0,
                                      uint32_t word2 = 0);
// TIFF: compression 1 none, 2 CCITT modified Huffman, 5 LZW, 32773 PackBits. CCITT encodes
// black-and-white only: a picture written at any other depth, or one whose two colours are
// not black and white, is written without compression and keeps its colours.
SKY32V3C_EXPORT int16_t Sky_Write_TIFF(const char* fileName, int16_t compression, int16_t zero,
                                       int16_t bits, const QImage* bitmap,
                                       const QList<QRgb>* palette, uint32_t word1 = 0,
                                       uint32_t word2 = 0);
