// Pictures and per-format entry tables shared by the imaging back end's tests.
#pragma once

#include "sky32v3c.h"

#include <QFile>
#include <QImage>
#include <QList>
#include <QString>
#include <functional>

namespace skytest {

using Reader = std::function<int16_t(const char* file, int16_t bits, int16_t dither, QImage* bitmap,
                                     QList<QRgb>* palette)>;
using Writer = std::function<int16_t(const char* file, int16_t bits, const QImage* bitmap,
                                     const QList<QRgb>* palette)>;

struct Format
{
    QString name; // also the file extension
    Reader read;
    Writer write;
    bool lossless;
};

inline QList<Format> formats()
{
    using R =
        int16_t (*)(const char*, int16_t, int16_t, Sky_Bitmap, Sky_Palette, uint32_t, uint32_t);
    auto reader = [](R r) -> Reader {
        return [r](const char* f, int16_t b, int16_t d, QImage* i, QList<QRgb>* p) {
            return r(f, b, d, i, p, 0, 0);
        };
    };
    using W =
        int16_t (*)(const char*, int16_t, const QImage*, const QList<QRgb>*, uint32_t, uint32_t);
    auto writer = [](W w) -> Writer {
        return [w](const char* f, int16_t b, const QImage* i, const QList<QRgb>* p) {
            return w(f, b, i, p, 0, 0);
        };
    };
    return {
        {"bmp", reader(Sky_Read_BMP), writer(Sky_Write_BMP), true},
        {"pcx", reader(Sky_Read_PCX), writer(Sky_Write_PCX), true},
        {"png", reader(Sky_Read_PNG),
         [](const char* f, int16_t b, const QImage* i, const QList<QRgb>* p) {
             return Sky_Write_PNG(f, b, 0, i, p);
         },
         true},
        {"gif", reader(Sky_Read_GIF), writer(Sky_Write_GIF), true},
        {"tif", reader(Sky_Read_TIFF),
         [](const char* f, int16_t b, const QImage* i, const QList<QRgb>* p) {
             return Sky_Write_TIFF(f, 5, 0, b, i, p);
         },
         true},
        {"jpg",
         [](const char* f, int16_t b, int16_t d, QImage* i, QList<QRgb>* p) {
             return Sky_Read_JPEG(f, b, 1, d, i, p);
         },
         [](const char* f, int16_t b, const QImage* i, const QList<QRgb>* p) {
             return Sky_Write_JPEG(f, 90, 0, b, i, p);
         },
         false},
    };
}

inline Format format(const QString& name)
{
    for (const Format& f : formats())
        if (f.name == name)
            return f;
    return {};
}

// A picture of odd size (row padding matters) whose pixels use the given colours in bands and
// blocks, every colour at least once.
inline QImage bandedPicture(const QList<QRgb>& colours, int width = 37, int height = 23)
{
    QImage image(width, height, QImage::Format_RGB32);
    const int n = int(colours.size());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, colours[(x / 3 + y * 5 + (x * y) % 7) % n]);
    for (int i = 0; i < n && i < width * height; ++i)
        image.setPixel(i % width, i / width, colours[i]);
    return image;
}

// n distinct colours spread over the colour cube (none of them black or white for n > 2).
inline QList<QRgb> distinctColours(int n)
{
    QList<QRgb> colours;
    for (int i = 0; i < n; ++i)
        colours.append(qRgb(20 + (i * 37) % 216, 10 + (i * 91) % 230, 5 + (i * 53) % 240));
    return colours;
}

inline QList<QRgb> vgaColours()
{
    return {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
            qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
            qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
            qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
}

// A smooth true-colour picture with thousands of colours.
inline QImage photoPicture(int width = 96, int height = 64)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(
                x, y, qRgb(x * 255 / (width - 1), y * 255 / (height - 1), ((x + y) * 3) % 256));
    return image;
}

inline bool samePixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if ((a.pixel(x, y) | 0xff000000u) != (b.pixel(x, y) | 0xff000000u))
                return false;
    return true;
}

// Mean absolute difference per channel.
inline double meanDifference(const QImage& a, const QImage& b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

inline QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeAll(const QString& path, const QByteArray& data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

} // namespace skytest
