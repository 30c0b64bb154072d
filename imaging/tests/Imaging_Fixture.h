#pragma once
// Shared by the picture control's tests: a scratch folder addressed by Windows-form paths,
// pictures drawn for the tests and written through the imaging back end, and a recording
// stand-in for the back end.

#include "DosPath.h"
#include "ImageLib.h"
#include "WmfWriter.h"

#include "sky32v3c.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

namespace imagetest {

class Scratch
{
public:
    bool Valid() const { return m_dir.isValid(); }
    QString Native(const QString& name) const { return m_dir.filePath(name); }
    QString Dos(const QString& name) const { return Platform::Dos_Path(Native(name)); }
    // Writes bytes and returns the Windows-form path.
    QString Write(const QString& name, const QByteArray& bytes) const
    {
        QFile f(Native(name));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            return {};
        return Dos(name);
    }
    QByteArray Read(const QString& name) const
    {
        QFile f(Native(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private:
    QTemporaryDir m_dir;
};

// Four quadrants of clear colours (red, green, blue, yellow from the top left, clockwise)
// so that a painted picture can be checked at a few pixels.
inline QImage Quadrants(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    const int hw = width / 2, hh = height / 2;
    QPainter p(&image);
    p.fillRect(0, 0, hw, hh, QColor(255, 0, 0));
    p.fillRect(hw, 0, width - hw, hh, QColor(0, 255, 0));
    p.fillRect(hw, hh, width - hw, height - hh, QColor(0, 0, 255));
    p.fillRect(0, hh, hw, height - hh, QColor(255, 255, 0));
    return image;
}

// A smooth picture with thousands of colours.
inline QImage Photo(int width = 64, int height = 48)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(
                x, y, qRgb(x * 255 / (width - 1), y * 255 / (height - 1), ((x + y) * 5) % 256));
    return image;
}

// The bytes of a picture in a format (extension "bmp", "jpg", "png", "gif", "tif", "pcx"),
// written by the back end at the given depth.
inline QByteArray Encode(const QImage& image, const QString& format, int bits = 24)
{
    QTemporaryDir dir;
    const QByteArray file = QFile::encodeName(dir.filePath(QStringLiteral("p.") + format));
    int16_t code = SKY_ERR_ARGUMENT;
    if (format == QLatin1String("bmp"))
        code = Sky_Write_BMP(file, int16_t(bits), &image, nullptr);
    else if (format == QLatin1String("jpg"))
        code = Sky_Write_JPEG(file, 90, 0, int16_t(bits), &image, nullptr);
    else if (format == QLatin1String("png"))
        code = Sky_Write_PNG(file, int16_t(bits), 0, &image, nullptr);
    else if (format == QLatin1String("gif"))
        code = Sky_Write_GIF(file, int16_t(bits), &image, nullptr);
    else if (format == QLatin1String("tif"))
        code = Sky_Write_TIFF(file, 5, 0, int16_t(bits), &image, nullptr);
    else if (format == QLatin1String("pcx"))
        code = Sky_Write_PCX(file, int16_t(bits), &image, nullptr);
    if (code < 1)
        return {};
    QFile f(QFile::decodeName(file));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A placeable metafile of w x h pixels at 96 per inch: a white page with a red rectangle
// over its left half and a blue one over its right half.
inline QByteArray Two_Halves_Metafile(int w = 80, int h = 40)
{
    WmfWriter wr;
    wr.setPlaceable(0, 0, w, h, 96);
    wr.setWindowOrg(0, 0);
    wr.setWindowExt(w, h);
    const int pen = wr.createPenIndirect(WmfWriter::PsNull, 0, 0);
    wr.selectObject(pen);
    const int red = wr.createBrushIndirect(WmfWriter::BsSolid, WmfWriter::rgb(255, 0, 0));
    wr.selectObject(red);
    wr.rectangle(0, 0, w / 2, h);
    const int blue = wr.createBrushIndirect(WmfWriter::BsSolid, WmfWriter::rgb(0, 0, 255));
    wr.selectObject(blue);
    wr.rectangle(w / 2, 0, w, h);
    return wr.bytes();
}

// The bytes of an icon file holding the image, written by the toolkit.
inline QByteArray Icon_File(const QImage& image)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("i.ico"));
    if (!image.save(path, "ICO"))
        return {};
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool Near(QRgb a, QRgb b, int tolerance = 8)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

// Every call the control makes to the back end, with its arguments.
struct Library_Call
{
    QString Operation; // "Read_JPEG", "Read_JPEG_Scaled", "Write_GIF", "Picture_Info", ...
    QByteArray File;
    int Bits = -1;
    int Dither = -1;
    int Quality = -1;
    int Smoothing = -1;
    int Interlaced = -1;
    int Compression = -1;
    QSize Target;
};

inline Library_Call Call(const QString& operation, const char* file, int bits = -1, int dither = -1)
{
    Library_Call c;
    c.Operation = operation;
    c.File = file;
    c.Bits = bits;
    c.Dither = dither;
    return c;
}

// The real back end with every call recorded; writers can be made to fail with a code.
inline Image_Library Recording_Library(QList<Library_Call>& calls, int16_t writeResult = 0)
{
    Image_Library lib = Sky_Library();
    const Image_Library real = Sky_Library();
    auto record = [&calls](Library_Call c) { calls.append(std::move(c)); };
    lib.Picture_Info = [record, real](const char* f, char* n, int16_t* w, int16_t* h, int16_t* v,
                                      char* s) {
        record(Call("Picture_Info", f));
        return real.Picture_Info(f, n, w, h, v, s);
    };
    auto reader = [record](QString name, Image_Library::Reader r) -> Image_Library::Reader {
        return [=](const char* f, int16_t bits, int16_t dither, QImage* b, QList<QRgb>* p) {
            Library_Call c = Call(name, f, bits, dither);
            record(c);
            return r(f, bits, dither, b, p);
        };
    };
    lib.Read_JPEG = reader("Read_JPEG", real.Read_JPEG);
    lib.Read_BMP = reader("Read_BMP", real.Read_BMP);
    lib.Read_PNG = reader("Read_PNG", real.Read_PNG);
    lib.Read_GIF = reader("Read_GIF", real.Read_GIF);
    lib.Read_TIFF = reader("Read_TIFF", real.Read_TIFF);
    lib.Read_PCX = reader("Read_PCX", real.Read_PCX);
    lib.Read_JPEG_Scaled = [record, real](const char* f, int16_t bits, int16_t dither, int32_t w,
                                          int32_t h, QImage* b, QList<QRgb>* p) {
        Library_Call c = Call("Read_JPEG_Scaled", f, bits, dither);
        c.Target = QSize(w, h);
        record(c);
        return real.Read_JPEG_Scaled(f, bits, dither, w, h, b, p);
    };
    auto result = [writeResult](auto call) { return writeResult != 0 ? writeResult : call(); };
    lib.Write_JPEG = [=](const char* f, int16_t q, int16_t s, int16_t bits, const QImage* b,
                         const QList<QRgb>* p) {
        Library_Call c = Call("Write_JPEG", f, bits);
        c.Quality = q;
        c.Smoothing = s;
        record(c);
        return result([&] { return real.Write_JPEG(f, q, s, bits, b, p); });
    };
    auto writer = [=](QString name, Image_Library::Writer w) -> Image_Library::Writer {
        return [=](const char* f, int16_t bits, const QImage* b, const QList<QRgb>* p) {
            record(Call(name, f, bits));
            return result([&] { return w(f, bits, b, p); });
        };
    };
    lib.Write_BMP = writer("Write_BMP", real.Write_BMP);
    lib.Write_GIF = writer("Write_GIF", real.Write_GIF);
    lib.Write_PCX = writer("Write_PCX", real.Write_PCX);
    lib.Write_PNG = [=](const char* f, int16_t bits, int16_t il, const QImage* b,
                        const QList<QRgb>* p) {
        Library_Call c = Call("Write_PNG", f, bits);
        c.Interlaced = il;
        record(c);
        return result([&] { return real.Write_PNG(f, bits, il, b, p); });
    };
    lib.Write_TIFF = [=](const char* f, int16_t comp, int16_t bits, const QImage* b,
                         const QList<QRgb>* p) {
        Library_Call c = Call("Write_TIFF", f, bits);
        c.Compression = uint16_t(comp); // 32773 travels as a negative 16-bit value
        record(c);
        return result([&] { return real.Write_TIFF(f, comp, bits, b, p); });
    };
    return lib;
}

} // namespace imagetest
