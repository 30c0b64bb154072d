// The BMP and PCX variants that our writers do not produce, built byte by byte: core headers,
// RLE8 and RLE4 with every escape, bit fields, top-down rows; PCX plane layouts and runs.
#include "sky32v3c.h"
#include "sky_test_support.h"

#include <QTemporaryDir>
#include <QTest>

using namespace skytest;

namespace {

QByteArray le16(uint16_t v)
{
    const char b[2] = {char(v), char(v >> 8)};
    return QByteArray(b, 2);
}

QByteArray le32(uint32_t v)
{
    return le16(uint16_t(v)) + le16(uint16_t(v >> 16));
}

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

struct Bmp
{
    int headerSize = 40;
    int width = 1;
    int height = 1;
    int bits = 24;
    uint32_t compression = 0;
    QList<QRgb> table;
    QList<uint32_t> masks; // written after a 40-byte header, or inside a longer one
    QByteArray pixels;

    QByteArray file() const
    {
        const bool core = headerSize == 12;
        const int entry = core ? 3 : 4;
        const int maskBytes = headerSize == 40 ? int(masks.size()) * 4 : 0;
        const int offset = 14 + headerSize + maskBytes + int(table.size()) * entry;
        QByteArray h;
        if (core) {
            h = le32(12) + le16(uint16_t(width)) + le16(uint16_t(height)) + le16(1) +
                le16(uint16_t(bits));
        } else {
            h = le32(uint32_t(headerSize)) + le32(uint32_t(width)) + le32(uint32_t(height)) +
                le16(1) + le16(uint16_t(bits)) + le32(compression) + le32(uint32_t(pixels.size())) +
                le32(2835) + le32(2835) + le32(uint32_t(table.size())) + le32(0);
            if (headerSize > 40)
                for (uint32_t m : masks)
                    h += le32(m);
            h.resize(headerSize, 0);
            if (headerSize == 40)
                for (uint32_t m : masks)
                    h += le32(m);
        }
        QByteArray t;
        for (QRgb c : table) {
            t += bytes({qBlue(c), qGreen(c), qRed(c)});
            if (!core)
                t += char(0);
        }
        const QByteArray body = h + t + pixels;
        return "BM" + le32(uint32_t(14 + body.size())) + le32(0) + le32(uint32_t(offset)) + body;
    }
};

struct Pcx
{
    int width = 1;
    int height = 1;
    int bitsPerPixel = 8;
    int planes = 1;
    int bytesPerLine = 2;
    QList<QRgb> headerPalette;
    QByteArray data;
    QList<QRgb> trailer; // 256-entry palette after the data when not empty

    QByteArray file() const
    {
        QByteArray h(128, 0);
        h[0] = 0x0A;
        h[1] = 5;
        h[2] = 1;
        h[3] = char(bitsPerPixel);
        h.replace(8, 2, le16(uint16_t(width - 1)));
        h.replace(10, 2, le16(uint16_t(height - 1)));
        for (int i = 0; i < headerPalette.size(); ++i)
            h.replace(
                16 + i * 3, 3,
                bytes({qRed(headerPalette[i]), qGreen(headerPalette[i]), qBlue(headerPalette[i])}));
        h[65] = char(planes);
        h.replace(66, 2, le16(uint16_t(bytesPerLine)));
        QByteArray out = h + data;
        if (!trailer.isEmpty()) {
            out += char(0x0C);
            for (int i = 0; i < 256; ++i) {
                const QRgb c = i < trailer.size() ? trailer[i] : 0;
                out += bytes({qRed(c), qGreen(c), qBlue(c)});
            }
        }
        return out;
    }
};

// Expected picture from rows of colours, top row first.
QImage picture(const QList<QList<QRgb>>& rows)
{
    QImage image(int(rows.first().size()), int(rows.size()), QImage::Format_RGB32);
    for (int y = 0; y < rows.size(); ++y)
        for (int x = 0; x < rows[y].size(); ++x)
            image.setPixel(x, y, rows[y][x]);
    return image;
}

const QRgb R = qRgb(255, 0, 0), G = qRgb(0, 255, 0), B = qRgb(0, 0, 255), K = qRgb(0, 0, 0),
           W = qRgb(255, 255, 255), Y = qRgb(255, 255, 0), C = qRgb(0, 255, 255),
           M = qRgb(255, 0, 255);

} // namespace

class tst_sky32v3c_bmp_pcx : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir_;

private slots:
    void bmpVariants_data();
    void bmpVariants();
    void rleClipsOutsidePicture();
    void pcxVariants_data();
    void pcxVariants();
};

void tst_sky32v3c_bmp_pcx::bmpVariants_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QImage>("expected");
    QTest::addColumn<int>("format");

    Bmp core{12, 3, 2, 8, 0, {R, G, B}, {}, bytes({2, 1, 0, 0, 0, 1, 2, 0})};
    QTest::newRow("core header, 3-byte table")
        << core.file() << picture({{R, G, B}, {B, G, R}}) << int(QImage::Format_Indexed8);

    // Rows bottom-up: a run and an odd absolute run with its pad byte, end of line; a full run;
    // a delta, a run, end of bitmap.
    Bmp rle8{40, 6,
             3,  8,
             1,  {K, R, G},
             {}, bytes({3, 1, 0, 3, 2, 0, 1, 0, 0, 0, 6, 2, 0, 0, 0, 2, 3, 0, 2, 1, 0, 1})};
    QTest::newRow("RLE8 runs, absolute, delta")
        << rle8.file() << picture({{K, K, K, R, R, K}, {G, G, G, G, G, G}, {R, R, R, G, K, R}})
        << int(QImage::Format_Indexed8);

    QList<QRgb> sixteen = vgaColours();
    Bmp rle4{40, 5, 2, 4, 2, sixteen, {}, bytes({5, 0x12, 0, 0, 0, 3, 0x34, 0x50, 2, 0x66, 0, 1})};
    QTest::newRow("RLE4 runs and absolute")
        << rle4.file()
        << picture({{sixteen[3], sixteen[4], sixteen[5], sixteen[6], sixteen[6]},
                    {sixteen[1], sixteen[2], sixteen[1], sixteen[2], sixteen[1]}})
        << int(QImage::Format_Indexed8);

    Bmp rgb555{40, 2, 1, 16, 0, {}, {}, bytes({0x00, 0x7c, 0xe0, 0x03})};
    QTest::newRow("16 bits 5-5-5")
        << rgb555.file() << picture({{R, G}}) << int(QImage::Format_RGB32);

    Bmp rgb565{40, 2, 1, 16, 3, {}, {0xf800, 0x07e0, 0x001f}, bytes({0x00, 0xf8, 0x1f, 0x00})};
    QTest::newRow("16 bits 5-6-5 bit fields")
        << rgb565.file() << picture({{R, B}}) << int(QImage::Format_RGB32);

    Bmp rgb32{40, 1, 2, 32, 0, {}, {}, bytes({0x10, 0x20, 0x30, 0, 0xff, 0, 0, 0})};
    QTest::newRow("32 bits") << rgb32.file() << picture({{B}, {qRgb(0x30, 0x20, 0x10)}})
                             << int(QImage::Format_RGB32);

    Bmp v5{124, 1, 1, 32, 3, {}, {0xff, 0xff00, 0xff0000}, bytes({0x11, 0x22, 0x33, 0})};
    QTest::newRow("32 bits, V5 header, swapped masks")
        << v5.file() << picture({{qRgb(0x11, 0x22, 0x33)}}) << int(QImage::Format_RGB32);

    Bmp topDown{40, 2,  -2, 24,
                0,  {}, {}, bytes({0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0})};
    QTest::newRow("top-down 24 bits")
        << topDown.file() << picture({{R, G}, {B, W}}) << int(QImage::Format_RGB32);

    Bmp mono{40, 10, 1, 1, 0, {K, W}, {}, bytes({0xb0, 0x40, 0, 0})};
    QTest::newRow("1 bit") << mono.file() << picture({{W, K, W, W, K, K, K, K, K, W}})
                           << int(QImage::Format_Mono);

    Bmp short4{40, 3, 1, 4, 0, {R, Y, C}, {}, bytes({0x21, 0x00, 0, 0})};
    QTest::newRow("4 bits, 3 colours used")
        << short4.file() << picture({{C, Y, R}}) << int(QImage::Format_Indexed8);
}

void tst_sky32v3c_bmp_pcx::bmpVariants()
{
    QFETCH(QByteArray, file);
    QFETCH(QImage, expected);
    QFETCH(int, format);
    const QString name = dir_.filePath("variant.bmp");
    QVERIFY(writeAll(name, file));
    QImage back;
    QCOMPARE(Sky_Read_BMP(QFile::encodeName(name), 24, 0, &back, nullptr), int16_t(SKY_OK));
    QCOMPARE(int(back.format()), format);
    QVERIFY(samePixels(back, expected));
}

// Runs, absolute runs and deltas that reach past the picture are clipped, not written.
void tst_sky32v3c_bmp_pcx::rleClipsOutsidePicture()
{
    Bmp rle8{
        40, 4,
        2,  8,
        1,  {K, R},
        {}, bytes({200, 1, 0, 0, 0, 9, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 2, 250, 250, 5, 1, 0, 1})};
    const QString name = dir_.filePath("clipped.bmp");
    QVERIFY(writeAll(name, rle8.file()));
    QImage back;
    QCOMPARE(Sky_Read_BMP(QFile::encodeName(name), 8, 0, &back, nullptr), int16_t(SKY_OK));
    QVERIFY(samePixels(back, picture({{R, R, R, R}, {R, R, R, R}})));

    // An RLE stream that stops before its picture does is a truncated file.
    Bmp cut{40, 4, 3, 8, 1, {K, R}, {}, bytes({4, 1, 0, 0})};
    QVERIFY(writeAll(name, cut.file()));
    QCOMPARE(Sky_Read_BMP(QFile::encodeName(name), 8, 0, &back, nullptr),
             int16_t(SKY_ERR_TRUNCATED));
}

void tst_sky32v3c_bmp_pcx::pcxVariants_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QImage>("expected");

    Pcx four{3, 1, 4, 1, 2, {K, R, G, B}, bytes({0x12, 0x30}), {}};
    QTest::newRow("4 bits in one plane") << four.file() << picture({{R, G, B}});

    Pcx two{5, 1, 2, 1, 2, {K, Y, C, M}, bytes({0x1b, 0x40}), {}};
    QTest::newRow("2 bits in one plane") << two.file() << picture({{K, Y, C, M, Y}});

    Pcx planes3{2, 1, 1, 3, 2, {K, R, G, Y, B, M, C, W}, bytes({0x80, 0, 0xc1, 0xc0, 0, 0x40, 0}),
                {}};
    QTest::newRow("1 bit in 3 planes") << planes3.file() << picture({{Y, C}});

    Pcx grey{2, 1, 8, 1, 2, {}, bytes({0x05, 0x80}), {}};
    QTest::newRow("8 bits without palette is grey")
        << grey.file() << picture({{qRgb(5, 5, 5), qRgb(128, 128, 128)}});

    // One run of four pixels covers both lines; a value of 0xC0 or more needs a run of one.
    Pcx across{2, 3, 8, 1, 2, {}, bytes({0xc4, 1, 0xc1, 0xc8, 2}), {K, R, G}};
    across.trailer.resize(0xc9, W);
    QTest::newRow("run across lines") << across.file() << picture({{R, R}, {R, R}, {W, G}});

    Pcx rgb{2, 1, 8, 3, 2, {}, bytes({0xc1, 255, 0xc2, 0, 9, 0, 0xc1, 255}), {}};
    QTest::newRow("24 bits in 3 planes, runs across planes")
        << rgb.file() << picture({{R, qRgb(0, 9, 255)}});
}

void tst_sky32v3c_bmp_pcx::pcxVariants()
{
    QFETCH(QByteArray, file);
    QFETCH(QImage, expected);
    const QString name = dir_.filePath("variant.pcx");
    QVERIFY(writeAll(name, file));
    QImage back;
    QCOMPARE(Sky_Read_PCX(QFile::encodeName(name), 24, 0, &back, nullptr), int16_t(SKY_OK));
    QVERIFY(samePixels(back, expected));
}

QTEST_GUILESS_MAIN(tst_sky32v3c_bmp_pcx)
#include "tst_sky32v3c_bmp_pcx.moc"
