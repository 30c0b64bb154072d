// Writes pictures in every format and depth, reads them back and compares.
#include "sky32v3c.h"
#include "sky_test_support.h"

#include <QTemporaryDir>
#include <QTest>

using namespace skytest;

class tst_sky32v3c_roundtrip : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QByteArray path(const QString& name) const { return QFile::encodeName(dir_.filePath(name)); }

private slots:
    void roundTrip_data();
    void roundTrip();
    void paletteKept_data();
    void paletteKept();
    void reducedDepth_data();
    void reducedDepth();
    void readerReduces_data();
    void readerReduces();
    void ditherFlagSpreadsError();
    void jpegGreyAndQuality();
    void pngInterlaced();
    void tiffCompression_data();
    void tiffCompression();
    void ccittOnColourPictureKeepsColours();
    void scaledJpegPicksScale_data();
    void scaledJpegPicksScale();
    void pictureInfo_data();
    void pictureInfo();
    void writerArguments();
};

// Each format at each depth, with a picture whose colours fit the depth: lossless formats give
// back the same pixels, at the depth asked for.
void tst_sky32v3c_roundtrip::roundTrip_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("bits");
    for (const QString f : {"bmp", "pcx", "png", "gif", "tif"})
        for (int bits : {0, 1, 4, 8, 24})
            QTest::addRow("%s-%d", qPrintable(f), bits) << f << bits;
    QTest::newRow("jpg-24") << "jpg" << 24;
    QTest::newRow("jpg-1") << "jpg" << 1;
}

void tst_sky32v3c_roundtrip::roundTrip()
{
    QFETCH(QString, format);
    QFETCH(int, bits);
    const Format f = skytest::format(format);
    QList<QRgb> colours;
    switch (bits) {
    case 0:
        colours = vgaColours();
        break;
    case 1:
        colours =
            format == "jpg" ? QList<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)} : distinctColours(2);
        break;
    case 4:
        colours = distinctColours(16);
        break;
    case 8:
        colours = distinctColours(256);
        break;
    default:
        colours = format == "gif" ? distinctColours(256) : distinctColours(700);
    }
    const QImage picture = format == "jpg" && bits == 24 ? photoPicture() : bandedPicture(colours);
    const QByteArray file = path(QString("rt-%1-%2.%3").arg(format).arg(bits).arg(format));
    QCOMPARE(f.write(file, int16_t(bits), &picture, nullptr), int16_t(SKY_OK));

    QImage back;
    QList<QRgb> palette{qRgb(1, 2, 3)}; // readers ignore what the palette held
    QCOMPARE(f.read(file, 24, 0, &back, &palette), int16_t(SKY_OK));
    QCOMPARE(back.size(), picture.size());
    if (format == "jpg") {
        QVERIFY2(meanDifference(back, picture) < 4.0, "JPEG drifted too far");
        QCOMPARE(back.format(), bits == 1 ? QImage::Format_Indexed8 : QImage::Format_RGB32);
        return;
    }
    QVERIFY(samePixels(back, picture));
    const int stored = bits == 0 ? 4 : bits;
    if (stored <= 8) {
        QCOMPARE(back.format(), stored == 1 ? QImage::Format_Mono : QImage::Format_Indexed8);
        QVERIFY(back.colorCount() <= (1 << stored));
        QCOMPARE(palette, back.colorTable());
    } else if (format == "gif") {
        QCOMPARE(back.format(), QImage::Format_Indexed8); // true colour is written at 8 bits
    } else {
        QCOMPARE(back.format(), QImage::Format_RGB32);
        QVERIFY(palette.isEmpty());
    }
}

// A palette picture written at its own depth comes back with the same table, in order.
void tst_sky32v3c_roundtrip::paletteKept_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("bits");
    for (const QString f : {"bmp", "pcx", "png", "gif", "tif"}) {
        QTest::addRow("%s-8", qPrintable(f)) << f << 8;
        QTest::addRow("%s-4", qPrintable(f)) << f << 4;
        QTest::addRow("%s-1", qPrintable(f)) << f << 1;
    }
}

void tst_sky32v3c_roundtrip::paletteKept()
{
    QFETCH(QString, format);
    QFETCH(int, bits);
    const Format f = skytest::format(format);
    const int n = bits == 8 ? 200 : bits == 4 ? 11 : 2;
    QList<QRgb> table = distinctColours(n);
    std::reverse(table.begin(), table.end());
    QImage picture(29, 17, QImage::Format_Indexed8);
    picture.setColorTable(table);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, uint((x * 7 + y * 3) % n));
    const QByteArray file = path(QString("pal-%1-%2.%3").arg(format).arg(bits).arg(format));
    QCOMPARE(f.write(file, int16_t(bits), &picture, nullptr), int16_t(SKY_OK));
    QImage back;
    QList<QRgb> palette;
    QCOMPARE(f.read(file, 8, 0, &back, &palette), int16_t(SKY_OK));
    // Formats with fixed table sizes pad the table; the entries in use stay as they were.
    QVERIFY(palette.size() >= n);
    QCOMPARE(palette.mid(0, n), table);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            QCOMPARE(back.pixelIndex(x, y), picture.pixelIndex(x, y));
}

// A true-colour picture written at a palette depth gets a table of that size, close colours.
void tst_sky32v3c_roundtrip::reducedDepth_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("bits");
    QTest::addColumn<double>("tolerance");
    for (const QString f : {"bmp", "pcx", "png", "gif", "tif"}) {
        QTest::addRow("%s-8", qPrintable(f)) << f << 8 << 6.0;
        QTest::addRow("%s-4", qPrintable(f)) << f << 4 << 12.0;
        QTest::addRow("%s-0", qPrintable(f)) << f << 0 << 25.0;
        QTest::addRow("%s-1", qPrintable(f)) << f << 1 << 25.0;
    }
}

void tst_sky32v3c_roundtrip::reducedDepth()
{
    QFETCH(QString, format);
    QFETCH(int, bits);
    QFETCH(double, tolerance);
    const Format f = skytest::format(format);
    const QImage picture = photoPicture();
    const QByteArray file = path(QString("red-%1-%2.%3").arg(format).arg(bits).arg(format));
    QCOMPARE(f.write(file, int16_t(bits), &picture, nullptr), int16_t(SKY_OK));
    QImage back;
    QCOMPARE(f.read(file, 24, 0, &back, nullptr), int16_t(SKY_OK));
    QVERIFY(back.format() == QImage::Format_Indexed8 || back.format() == QImage::Format_Mono);
    const int stored = bits == 0 ? 4 : bits;
    QSet<QRgb> used;
    for (int y = 0; y < back.height(); ++y)
        for (int x = 0; x < back.width(); ++x)
            used.insert(back.pixel(x, y));
    QVERIFY(used.size() <= (1 << stored));
    QVERIFY(used.size() > 1);
    if (bits == 0)
        for (QRgb c : used)
            QVERIFY(vgaColours().contains(c));
    // Compared as seen from afar (4 x 4 blocks); black and white only in brightness.
    auto seen = [bits](const QImage& image) {
        const QImage small = image.convertToFormat(QImage::Format_RGB32)
                                 .scaled(image.width() / 4, image.height() / 4,
                                         Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        return bits == 1 ? small.convertToFormat(QImage::Format_Grayscale8)
                               .convertToFormat(QImage::Format_RGB32)
                         : small;
    };
    const double diff = meanDifference(seen(back), seen(picture));
    QVERIFY2(diff < tolerance, qPrintable(QString::number(diff)));
}

// Readers asked for fewer bits than the file holds reduce the picture; deeper requests keep it.
void tst_sky32v3c_roundtrip::readerReduces_data()
{
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("maxColours");
    QTest::newRow("vga") << 0 << int(QImage::Format_Indexed8) << 16;
    QTest::newRow("mono") << 1 << int(QImage::Format_Mono) << 2;
    QTest::newRow("16") << 4 << int(QImage::Format_Indexed8) << 16;
    QTest::newRow("256") << 8 << int(QImage::Format_Indexed8) << 256;
    QTest::newRow("true colour") << 24 << int(QImage::Format_RGB32) << 0;
}

void tst_sky32v3c_roundtrip::readerReduces()
{
    QFETCH(int, bits);
    QFETCH(int, format);
    QFETCH(int, maxColours);
    const QImage picture = photoPicture();
    const QByteArray file = path("reader.png");
    QCOMPARE(Sky_Write_PNG(file, 24, 0, &picture, nullptr), int16_t(SKY_OK));
    for (int dither : {0, 1}) {
        QImage back;
        QList<QRgb> palette;
        QCOMPARE(Sky_Read_PNG(file, int16_t(bits), int16_t(dither), &back, &palette),
                 int16_t(SKY_OK));
        QCOMPARE(int(back.format()), format);
        if (format == QImage::Format_RGB32) {
            QVERIFY(samePixels(back, picture));
            QVERIFY(palette.isEmpty());
        } else {
            QVERIFY(back.colorCount() <= maxColours);
            QCOMPARE(palette, back.colorTable());
        }
    }
}

// A grey ramp read as black and white: with the dither flag each column's share of white
// follows its grey level; without it the picture is cut at the middle.
void tst_sky32v3c_roundtrip::ditherFlagSpreadsError()
{
    QImage ramp(64, 32, QImage::Format_RGB32);
    for (int y = 0; y < ramp.height(); ++y)
        for (int x = 0; x < ramp.width(); ++x)
            ramp.setPixel(x, y, qRgb(x * 4, x * 4, x * 4));
    const QByteArray file = path("ramp.bmp");
    QCOMPARE(Sky_Write_BMP(file, 24, &ramp, nullptr), int16_t(SKY_OK));
    auto whiteShare = [](const QImage& image, int x) {
        int white = 0;
        for (int y = 0; y < image.height(); ++y)
            white += qRed(image.pixel(x, y)) > 127;
        return double(white) / image.height();
    };
    QImage dithered, plain;
    QCOMPARE(Sky_Read_BMP(file, 1, 1, &dithered, nullptr), int16_t(SKY_OK));
    QCOMPARE(Sky_Read_BMP(file, 1, 0, &plain, nullptr), int16_t(SKY_OK));
    double ditherError = 0;
    for (int x = 0; x < 64; ++x)
        ditherError += std::abs(whiteShare(dithered, x) - x * 4 / 255.0);
    QVERIFY2(ditherError / 64 < 0.1, qPrintable(QString::number(ditherError / 64)));
    QCOMPARE(whiteShare(plain, 10), 0.0);
    QCOMPARE(whiteShare(plain, 54), 1.0);

    // The same holds for a 16-colour reduction into a median-cut table.
    const QImage photo = photoPicture();
    const QByteArray photoFile = path("photo.bmp");
    QCOMPARE(Sky_Write_BMP(photoFile, 24, &photo, nullptr), int16_t(SKY_OK));
    QImage d16, p16;
    QCOMPARE(Sky_Read_BMP(photoFile, 4, 1, &d16, nullptr), int16_t(SKY_OK));
    QCOMPARE(Sky_Read_BMP(photoFile, 4, 0, &p16, nullptr), int16_t(SKY_OK));
    QVERIFY(d16.colorCount() <= 16 && p16.colorCount() <= 16);
    // Averaged over 4 x 4 blocks, the dithered picture is the closer one.
    auto blurred = [](const QImage& image) {
        return image.convertToFormat(QImage::Format_RGB32)
            .scaled(image.width() / 4, image.height() / 4, Qt::IgnoreAspectRatio,
                    Qt::SmoothTransformation);
    };
    const QImage reference = blurred(photo);
    QVERIFY(meanDifference(blurred(d16), reference) < meanDifference(blurred(p16), reference));
}

void tst_sky32v3c_roundtrip::jpegGreyAndQuality()
{
    const QImage photo = photoPicture(160, 120);
    const QByteArray grey = path("grey.jpg"), low = path("low.jpg"), high = path("high.jpg"),
                     smooth = path("smooth.jpg");
    QCOMPARE(Sky_Write_JPEG(grey, 75, 0, 1, &photo, nullptr), int16_t(SKY_OK));
    QCOMPARE(Sky_Write_JPEG(low, 10, 0, 24, &photo, nullptr), int16_t(SKY_OK));
    QCOMPARE(Sky_Write_JPEG(high, 95, 0, 24, &photo, nullptr), int16_t(SKY_OK));
    QCOMPARE(Sky_Write_JPEG(smooth, 95, 100, 24, &photo, nullptr), int16_t(SKY_OK));
    QImage back;
    QList<QRgb> palette;
    QCOMPARE(Sky_Read_JPEG(grey, 24, 1, 0, &back, &palette), int16_t(SKY_OK));
    QCOMPARE(back.format(), QImage::Format_Indexed8);
    QCOMPARE(palette.size(), 256);
    QCOMPARE(palette[200], qRgb(200, 200, 200));
    QVERIFY(readAll(low).size() < readAll(high).size());
    QVERIFY(readAll(smooth) != readAll(high));
    QVERIFY(readAll(smooth).size() < readAll(high).size());
}

void tst_sky32v3c_roundtrip::pngInterlaced()
{
    const QImage photo = photoPicture();
    const QByteArray file = path("adam7.png");
    QCOMPARE(Sky_Write_PNG(file, 24, 1, &photo, nullptr), int16_t(SKY_OK));
    char name[6] = {}, second[26] = {};
    QCOMPARE(Sky_Picture_Info(file, name, nullptr, nullptr, nullptr, nullptr, nullptr, second),
             int16_t(SKY_OK));
    QCOMPARE(QByteArray(second), QByteArray("PNG, Adam7 interlaced"));
    QImage back;
    QCOMPARE(Sky_Read_PNG(file, 24, 0, &back, nullptr), int16_t(SKY_OK));
    QVERIFY(samePixels(back, photo));
}

void tst_sky32v3c_roundtrip::tiffCompression_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("bits");
    QTest::addColumn<QByteArray>("description");
    QTest::newRow("none-24") << 1 << 24 << QByteArray("TIFF, None");
    QTest::newRow("lzw-24") << 5 << 24 << QByteArray("TIFF, LZW");
    QTest::newRow("packbits-8") << 32773 << 8 << QByteArray("TIFF, PackBits");
    QTest::newRow("lzw-4") << 5 << 4 << QByteArray("TIFF, LZW");
    QTest::newRow("ccitt-1") << 2 << 1 << QByteArray("TIFF, CCITT RLE");
    QTest::newRow("packbits-1") << 32773 << 1 << QByteArray("TIFF, PackBits");
}

void tst_sky32v3c_roundtrip::tiffCompression()
{
    QFETCH(int, code);
    QFETCH(int, bits);
    QFETCH(QByteArray, description);
    const QImage picture = bandedPicture(bits == 1 ? QList<QRgb>{qRgb(255, 255, 255), qRgb(0, 0, 0)}
                                                   : distinctColours(bits == 24 ? 500 : 1 << bits),
                                         203, 61);
    const QByteArray file = path(QString("tc-%1-%2.tif").arg(code).arg(bits));
    QCOMPARE(Sky_Write_TIFF(file, int16_t(code), 0, int16_t(bits), &picture, nullptr),
             int16_t(SKY_OK));
    char second[26] = {};
    int16_t bpp = 0;
    QCOMPARE(Sky_Picture_Info(file, nullptr, nullptr, nullptr, &bpp, nullptr, nullptr, second),
             int16_t(SKY_OK));
    QCOMPARE(QByteArray(second), description);
    QCOMPARE(int(bpp), bits);
    QImage back;
    QCOMPARE(Sky_Read_TIFF(file, 24, 0, &back, nullptr), int16_t(SKY_OK));
    QVERIFY(samePixels(back, picture));
}

// CCITT codes only black and white: a colour picture is written uncompressed with its colours.
void tst_sky32v3c_roundtrip::ccittOnColourPictureKeepsColours()
{
    for (int bits : {24, 8, 1}) {
        const QImage picture = bandedPicture(
            bits == 1 ? QList<QRgb>{qRgb(0, 0, 160), qRgb(250, 220, 0)} : distinctColours(200));
        const QByteArray file = path(QString("ccitt-colour-%1.tif").arg(bits));
        QCOMPARE(Sky_Write_TIFF(file, 2, 0, int16_t(bits), &picture, nullptr), int16_t(SKY_OK));
        char second[26] = {};
        QCOMPARE(
            Sky_Picture_Info(file, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, second),
            int16_t(SKY_OK));
        QCOMPARE(QByteArray(second), QByteArray("TIFF, None"));
        QImage back;
        QCOMPARE(Sky_Read_TIFF(file, 24, 0, &back, nullptr), int16_t(SKY_OK));
        QVERIFY2(samePixels(back, picture), qPrintable(QString::number(bits)));
    }
    const QImage picture = photoPicture();
    QCOMPARE(Sky_Write_TIFF(path("bad.tif"), 7, 0, 24, &picture, nullptr),
             int16_t(SKY_ERR_COMPRESSION));
    QVERIFY(!QFile::exists(dir_.filePath("bad.tif")));
}

void tst_sky32v3c_roundtrip::scaledJpegPicksScale_data()
{
    QTest::addColumn<int>("targetWidth");
    QTest::addColumn<int>("targetHeight");
    QTest::addColumn<int>("denominator");
    QTest::addColumn<QSize>("size");
    QTest::newRow("eighth exactly") << 100 << 75 << 8 << QSize(100, 75);
    QTest::newRow("eighth too narrow") << 101 << 75 << 4 << QSize(200, 150);
    QTest::newRow("quarter") << 200 << 10 << 4 << QSize(200, 150);
    QTest::newRow("height decides") << 10 << 151 << 2 << QSize(400, 300);
    QTest::newRow("half") << 400 << 300 << 2 << QSize(400, 300);
    QTest::newRow("full") << 401 << 1 << 1 << QSize(800, 600);
    QTest::newRow("larger than picture") << 2000 << 2000 << 1 << QSize(800, 600);
    QTest::newRow("no target") << 0 << 0 << 1 << QSize(800, 600);
}

void tst_sky32v3c_roundtrip::scaledJpegPicksScale()
{
    QFETCH(int, targetWidth);
    QFETCH(int, targetHeight);
    QFETCH(int, denominator);
    QFETCH(QSize, size);
    const QByteArray file = path("scaled.jpg");
    if (!QFile::exists(QFile::decodeName(file))) {
        const QImage photo = photoPicture(800, 600);
        QCOMPARE(Sky_Write_JPEG(file, 90, 0, 24, &photo, nullptr), int16_t(SKY_OK));
    }
    QImage back;
    int16_t used = 0;
    QCOMPARE(Sky_Read_JPEG_Scaled(file, 24, 0, targetWidth, targetHeight, &back, nullptr, &used),
             int16_t(SKY_OK));
    QCOMPARE(int(used), denominator);
    QCOMPARE(back.size(), size);
    // The scaled picture shows the same content as a smoothly scaled full-size decode.
    QImage full;
    QCOMPARE(Sky_Read_JPEG(file, 24, 1, 0, &full, nullptr), int16_t(SKY_OK));
    const QImage reference = full.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QVERIFY(meanDifference(back, reference) < 6.0);
}

void tst_sky32v3c_roundtrip::pictureInfo_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("bits");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<int>("bitsPerPixel");
    QTest::addColumn<int>("paletteEntries");
    QTest::newRow("bmp") << "bmp" << 8 << QByteArray("BMP") << 8 << 200;
    QTest::newRow("pcx") << "pcx" << 4 << QByteArray("PCX") << 4 << 16;
    QTest::newRow("png") << "png" << 24 << QByteArray("PNG") << 24 << 0;
    QTest::newRow("gif") << "gif" << 8 << QByteArray("GIF") << 8 << 256;
    QTest::newRow("tif") << "tif" << 1 << QByteArray("TIFF") << 1 << 2;
    QTest::newRow("jpg") << "jpg" << 24 << QByteArray("JPEG") << 24 << 0;
}

void tst_sky32v3c_roundtrip::pictureInfo()
{
    QFETCH(QString, format);
    QFETCH(int, bits);
    QFETCH(QByteArray, name);
    QFETCH(int, bitsPerPixel);
    QFETCH(int, paletteEntries);
    const QImage picture = bandedPicture(distinctColours(bits == 1 ? 2 : 200), 300, 41);
    const QByteArray file = path("info." + format);
    QCOMPARE(skytest::format(format).write(file, int16_t(bits), &picture, nullptr),
             int16_t(SKY_OK));
    char formatName[6] = {1, 1, 1, 1, 1, 1};
    char second[26] = {};
    int16_t w = 0, h = 0, bpp = 0, entries = -1, dpi = 0;
    QCOMPARE(Sky_Picture_Info(file, formatName, &w, &h, &bpp, &entries, &dpi, second),
             int16_t(SKY_OK));
    QCOMPARE(QByteArray(formatName), name);
    QCOMPARE(int(w), 300);
    QCOMPARE(int(h), 41);
    QCOMPARE(int(bpp), bitsPerPixel);
    QCOMPARE(int(entries), paletteEntries);
    QVERIFY(format == "gif" || dpi == 96);
    QVERIFY(qstrlen(second) > 0);
}

void tst_sky32v3c_roundtrip::writerArguments()
{
    const QImage picture = photoPicture();
    const QImage empty;
    QList<QRgb> palette;
    for (const Format& f : formats()) {
        const QByteArray file = path("args." + f.name);
        QCOMPARE(f.write(file, 24, nullptr, nullptr), int16_t(SKY_ERR_NO_PICTURE));
        QCOMPARE(f.write(file, 24, &empty, nullptr), int16_t(SKY_ERR_NO_PICTURE));
        if (f.name != "jpg")
            QCOMPARE(f.write(file, 3, &picture, nullptr), int16_t(SKY_ERR_BITS));
        QCOMPARE(f.write("/nonexistent-folder/x." + f.name.toLatin1(), 24, &picture, nullptr),
                 int16_t(SKY_ERR_CREATE));
        QCOMPARE(f.read(file, 24, 0, nullptr, &palette), int16_t(SKY_ERR_ARGUMENT));
        QImage back;
        QCOMPARE(f.read(file, 5, 0, &back, &palette), int16_t(SKY_ERR_BITS));
    }
    // A palette handed to a writer is the target table of the reduction.
    const QList<QRgb> target{qRgb(255, 0, 0), qRgb(0, 0, 255), qRgb(0, 255, 0), qRgb(9, 9, 9)};
    QCOMPARE(Sky_Write_BMP(path("target.bmp"), 4, &picture, &target), int16_t(SKY_OK));
    QImage back;
    QCOMPARE(Sky_Read_BMP(path("target.bmp"), 8, 0, &back, &palette), int16_t(SKY_OK));
    QCOMPARE(palette, target);
}

QTEST_GUILESS_MAIN(tst_sky32v3c_roundtrip)
#include "tst_sky32v3c_roundtrip.moc"
