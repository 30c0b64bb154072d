#include "ImageLib.h"

#include "MessageBox.h"

#include "sky32v3c.h"

#include <QFile>

namespace {

const Image_Library* g_override = nullptr;

Image_Library Make_Sky_Library()
{
    Image_Library lib;
    lib.Picture_Info = [](const char* file, char* formatName, int16_t* width, int16_t* height,
                          int16_t* values, char* secondName) {
        return Sky_Picture_Info(file, formatName, width, height, &values[0], &values[1], &values[2],
                                secondName, 0);
    };
    lib.Read_JPEG = [](const char* f, int16_t bits, int16_t dither, QImage* b, QList<QRgb>* p) {
        return Sky_Read_JPEG(f, bits, 1, dither, b, p, 0, 0);
    };
    using Plain_Reader =
        int16_t (*)(const char*, int16_t, int16_t, Sky_Bitmap, Sky_Palette, uint32_t, uint32_t);
    auto reader = [](Plain_Reader r) -> Image_Library::Reader {
        return [r](const char* f, int16_t bits, int16_t dither, QImage* b, QList<QRgb>* p) {
            return r(f, bits, dither, b, p, 0, 0);
        };
    };
    lib.Read_GIF = reader(Sky_Read_GIF);
    lib.Read_PCX = reader(Sky_Read_PCX);
    lib.Read_BMP = reader(Sky_Read_BMP);
    lib.Read_PNG = reader(Sky_Read_PNG);
    lib.Read_TIFF = reader(Sky_Read_TIFF);
    lib.Read_JPEG_Scaled = [](const char* f, int16_t bits, int16_t dither, int32_t w, int32_t h,
                              QImage* b, QList<QRgb>* p) {
        return Sky_Read_JPEG_Scaled(f, bits, dither, w, h, b, p, nullptr);
    };
    lib.Write_JPEG = [](const char* f, int16_t quality, int16_t smoothing, int16_t bits,
                        const QImage* b, const QList<QRgb>* p) {
        return Sky_Write_JPEG(f, quality, smoothing, bits, b, p, 0, 0);
    };
    using Plain_Writer =
        int16_t (*)(const char*, int16_t, const QImage*, const QList<QRgb>*, uint32_t, uint32_t);
    auto writer = [](Plain_Writer w) -> Image_Library::Writer {
        return [w](const char* f, int16_t bits, const QImage* b, const QList<QRgb>* p) {
            return w(f, bits, b, p, 0, 0);
        };
    };
    lib.Write_BMP = writer(Sky_Write_BMP);
    lib.Write_GIF = writer(Sky_Write_GIF);
    lib.Write_PCX = writer(Sky_Write_PCX);
    lib.Write_PNG = [](const char* f, int16_t bits, int16_t interlaced, const QImage* b,
                       const QList<QRgb>* p) {
        return Sky_Write_PNG(f, bits, interlaced, b, p, 0, 0);
    };
    lib.Write_TIFF = [](const char* f, int16_t compression, int16_t bits, const QImage* b,
                        const QList<QRgb>* p) {
        return Sky_Write_TIFF(f, compression, 0, bits, b, p, 0, 0);
    };
    lib.Error_Text = [](uint16_t code) { return Sky_Error_Text(code); };
    return lib;
}

} // namespace

const Image_Library& Sky_Library()
{
    static const Image_Library library = Make_Sky_Library();
    return library;
}

const Image_Library& Current_Image_Library()
{
    return g_override ? *g_override : Sky_Library();
}

Image_Library_Override::Image_Library_Override(Image_Library library)
    : m_library(std::move(library)), m_previous(g_override)
{
    g_override = &m_library;
}

Image_Library_Override::~Image_Library_Override()
{
    g_override = m_previous;
}

namespace Image_Lib {

using Image_Rules::Load_Branch;
using Image_Rules::Save_Format;

void Show_Library_Error(int16_t code)
{
    // The code taken as an unsigned 16-bit number names the message (-1 is 65535).
    Message_Box(Current_Image_Library().Error_Text(uint16_t(code)), Box_Type::Error,
                Box_Buttons::Ok);
}

bool Read(Load_Branch branch, const QString& nativePath, int bits, bool dither, QSize decodeTarget,
          QImage& bitmap, QList<QRgb>& palette)
{
    const Image_Library& lib = Current_Image_Library();
    const QByteArray file = QFile::encodeName(nativePath);
    const int16_t b = int16_t(bits);
    const int16_t d = dither ? 1 : 0;
    // The palette goes in empty: no palette.
    palette.clear();
    int16_t code = SKY_ERR_FORMAT;
    switch (branch) {
    case Load_Branch::JPEG:
        code = decodeTarget.isEmpty()
                   ? lib.Read_JPEG(file, b, d, &bitmap, &palette)
                   : lib.Read_JPEG_Scaled(file, b, d, decodeTarget.width(), decodeTarget.height(),
                                          &bitmap, &palette);
        break;
    case Load_Branch::GIF:
        code = lib.Read_GIF(file, b, d, &bitmap, &palette);
        break;
    case Load_Branch::PCX:
        code = lib.Read_PCX(file, b, d, &bitmap, &palette);
        break;
    case Load_Branch::BMP:
        code = lib.Read_BMP(file, b, d, &bitmap, &palette);
        break;
    case Load_Branch::PNG:
        code = lib.Read_PNG(file, b, d, &bitmap, &palette);
        break;
    case Load_Branch::TIFF:
        code = lib.Read_TIFF(file, b, d, &bitmap, &palette);
        break;
    default:
        break;
    }
    if (code >= 1)
        return true;
    Show_Library_Error(code);
    return false;
}

bool Write(Save_Format format, const QString& nativePath, int bits, const Write_Options& options,
           const QImage& bitmap, const QList<QRgb>& palette)
{
    const Image_Library& lib = Current_Image_Library();
    const QByteArray file = QFile::encodeName(nativePath);
    const int16_t b = int16_t(bits);
    const QList<QRgb>* p = palette.isEmpty() ? nullptr : &palette;
    int16_t code = SKY_ERR_ARGUMENT;
    switch (format) {
    case Save_Format::JPEG:
        code = lib.Write_JPEG(file, int16_t(options.Quality), int16_t(options.Smoothing), b,
                              &bitmap, p);
        break;
    case Save_Format::BMP:
        code = lib.Write_BMP(file, b, &bitmap, p);
        break;
    case Save_Format::PNG:
        code = lib.Write_PNG(file, b, options.Interlaced ? 1 : 0, &bitmap, p);
        break;
    case Save_Format::GIF:
        code = lib.Write_GIF(file, b, &bitmap, p);
        break;
    case Save_Format::TIFF:
        code = lib.Write_TIFF(file, int16_t(options.Tiff_Code), b, &bitmap, p);
        break;
    case Save_Format::PCX:
        code = lib.Write_PCX(file, b, &bitmap, p);
        break;
    }
    if (code >= 1)
        return true;
    Show_Library_Error(code);
    return false;
}

bool Info(const QString& nativePath, Picture_Info_Block& block)
{
    char formatName[6] = {};
    char secondName[26] = {};
    int16_t width = 0, height = 0;
    int16_t values[3] = {0, 0, 0};
    const int16_t code = Current_Image_Library().Picture_Info(
        QFile::encodeName(nativePath), formatName, &width, &height, values, secondName);
    if (code < 1) {
        Show_Library_Error(code);
        return false;
    }
    formatName[sizeof formatName - 1] = 0;
    secondName[sizeof secondName - 1] = 0;
    block.Format_Name = QString::fromLatin1(formatName);
    block.Second_Name = QString::fromLatin1(secondName);
    block.Width = width;
    block.Height = height;
    for (int i = 0; i < 3; ++i)
        block.Values[i] = values[i];
    return true;
}

} // namespace Image_Lib
