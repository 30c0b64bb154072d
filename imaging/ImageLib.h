#pragma once
// The imaging back end as the picture control calls it. Each operation is one entry of a
// table, so that tests can put a recording stand-in in the back end's place; the functions
// below call through the table, show the back end's own message in an error box when a
// call fails, and return false then.

#include "ImageRules.h"

#include <QImage>
#include <QList>
#include <QRgb>
#include <QSize>
#include <QString>
#include <cstdint>
#include <functional>

// What the picture information call and the loading branch know about the last file.
struct Picture_Info_Block
{
    QString Format_Name; // "JPEG", "BMP", ..., or "WMF", "ICO", "RES"
    int16_t Width = 0;
    int16_t Height = 0;
    int16_t Values[3] = {0, 0, 0}; // bits per pixel, palette entries, dots per inch
    QString Second_Name;
    int32_t File_Size = 0;
};

struct Image_Library
{
    using Reader = std::function<int16_t(const char* file, int16_t bits, int16_t dither,
                                         QImage* bitmap, QList<QRgb>* palette)>;
    using Writer = std::function<int16_t(const char* file, int16_t bits, const QImage* bitmap,
                                         const QList<QRgb>* palette)>;

    std::function<int16_t(const char* file, char* formatName, int16_t* width, int16_t* height,
                          int16_t* values, char* secondName)>
        Picture_Info; // values: three entries
    Reader Read_JPEG, Read_GIF, Read_PCX, Read_BMP, Read_PNG, Read_TIFF;
    std::function<int16_t(const char* file, int16_t bits, int16_t dither, int32_t targetWidth,
                          int32_t targetHeight, QImage* bitmap, QList<QRgb>* palette)>
        Read_JPEG_Scaled;
    std::function<int16_t(const char* file, int16_t quality, int16_t smoothing, int16_t bits,
                          const QImage* bitmap, const QList<QRgb>* palette)>
        Write_JPEG;
    Writer Write_BMP, Write_GIF, Write_PCX;
    std::function<int16_t(const char* file, int16_t bits, int16_t interlaced, const QImage* bitmap,
                          const QList<QRgb>* palette)>
        Write_PNG;
    std::function<int16_t(const char* file, int16_t compression, int16_t bits, const QImage* bitmap,
                          const QList<QRgb>* palette)>
        Write_TIFF;
    std::function<QString(uint16_t code)> Error_Text;
};

// The real back end.
const Image_Library& Sky_Library();
// The table the control calls: the real back end unless an override is installed.
const Image_Library& Current_Image_Library();

// While an instance lives, the control calls its table instead of the real back end.
class Image_Library_Override
{
public:
    explicit Image_Library_Override(Image_Library library);
    ~Image_Library_Override();
    Image_Library_Override(const Image_Library_Override&) = delete;
    Image_Library_Override& operator=(const Image_Library_Override&) = delete;

private:
    Image_Library m_library;
    const Image_Library* m_previous;
};

namespace Image_Lib {

// The back end's message for a failure code, shown in an error box with an OK button.
void Show_Library_Error(int16_t code);

// Reads a file (native path) with the reader of the branch. A JPEG with a non-empty
// decodeTarget is decoded at the smallest DCT scale that still covers it. bitmap and palette
// take what the reader handed back whatever the result.
bool Read(Image_Rules::Load_Branch branch, const QString& nativePath, int bits, bool dither,
          QSize decodeTarget, QImage& bitmap, QList<QRgb>& palette);

struct Write_Options
{
    int Quality = 25;        // JPEG
    int Smoothing = 0;       // JPEG
    bool Interlaced = false; // PNG
    int Tiff_Code = 1;       // TIFF Compression tag value
};
bool Write(Image_Rules::Save_Format format, const QString& nativePath, int bits,
           const Write_Options& options, const QImage& bitmap, const QList<QRgb>& palette);

// Fills the format, size and the further values of the block from the file.
bool Info(const QString& nativePath, Picture_Info_Block& block);

} // namespace Image_Lib
