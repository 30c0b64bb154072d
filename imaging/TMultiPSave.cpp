// The picture control: writing the picture in the six raster formats.
#include "TMultiP.h"

#include "DosPath.h"
#include "MessageBox.h"

using Image_Rules::Save_Format;

namespace {

QString Write_Failure_Text(Save_Format format)
{
    switch (format) {
    case Save_Format::BMP:
        return QStringLiteral("Writing bmp file failed");
    case Save_Format::PNG:
        return QStringLiteral("Writing png file failed");
    case Save_Format::JPEG:
        return QStringLiteral("Writing jpg file failed");
    case Save_Format::GIF:
        return QStringLiteral("Writing gif file failed");
    case Save_Format::TIFF:
        return QStringLiteral("Writing tif file failed");
    case Save_Format::PCX:
        break;
    }
    return QStringLiteral("Writing pcx file failed");
}

} // namespace

void TPMultiImage::Save(Save_Format format, const QString& fileName)
{
    try {
        const int bits = Image_Rules::Writer_Bits(m_writeRes, format, Screen_Depth());
        Image_Lib::Write_Options options;
        options.Quality = m_jpegQuality;
        options.Smoothing = m_jpegSmooth;
        options.Interlaced = m_pngInterlaced;
        options.Tiff_Code = Image_Rules::Tiff_Compression_Code(m_tiffCompress);
        if (!fileName.isEmpty())
            m_defSaveFilename = fileName;
        if (!Image_Lib::Write(format, Platform::Native_Path(m_defSaveFilename), bits, options,
                              m_picture.Bitmap(), m_picture.Palette()))
            Message_Box(Write_Failure_Text(format), Box_Type::Information, Box_Buttons::Ok);
    } catch (const std::exception&) {
        // An error during a write ends it without a box.
    }
}

void TPMultiImage::SaveAsBMP(const QString& fileName)
{
    Save(Save_Format::BMP, fileName);
}

void TPMultiImage::SaveAsPNG(const QString& fileName)
{
    Save(Save_Format::PNG, fileName);
}

void TPMultiImage::SaveAsJPG(const QString& fileName)
{
    Save(Save_Format::JPEG, fileName);
}

void TPMultiImage::SaveAsGIF(const QString& fileName)
{
    Save(Save_Format::GIF, fileName);
}

void TPMultiImage::SaveAsTIF(const QString& fileName)
{
    Save(Save_Format::TIFF, fileName);
}

void TPMultiImage::SaveAsPCX(const QString& fileName)
{
    Save(Save_Format::PCX, fileName);
}
