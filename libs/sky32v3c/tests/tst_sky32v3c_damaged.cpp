// Truncated, corrupt and oversized files in every format give a failure code and a text, never
// a crash; the memory limit refuses large pictures; every failure code has its text.
#include "sky32v3c.h"
#include "sky_test_support.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace skytest;

class tst_sky32v3c_damaged : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QByteArray path(const QString& name) const { return QFile::encodeName(dir_.filePath(name)); }
    QByteArray validFile(const Format& f, int bits, const QImage& picture);
    void expectFailure(const Format& f, const QByteArray& file, int16_t expected);

private slots:
    void cleanup() { Sky_Set_Memory_Limit(0); }
    void missingAndEmptyFiles();
    void truncated_data();
    void truncated();
    void corruptHeader_data();
    void corruptHeader();
    void garbledFilesAreSafe_data();
    void garbledFilesAreSafe();
    void memoryLimit_data();
    void memoryLimit();
    void scaledJpegUnderMemoryLimit();
    void errorTexts();
};

QByteArray tst_sky32v3c_damaged::validFile(const Format& f, int bits, const QImage& picture)
{
    const QByteArray file = path(QString("valid-%1-%2.%3").arg(f.name).arg(bits).arg(f.name));
    if (f.write(file, int16_t(bits), &picture, nullptr) != SKY_OK)
        return {};
    return readAll(QFile::decodeName(file));
}

void tst_sky32v3c_damaged::expectFailure(const Format& f, const QByteArray& file, int16_t expected)
{
    QImage bitmap(5, 5, QImage::Format_RGB32);
    QList<QRgb> palette{qRgb(1, 1, 1)};
    const int16_t code = f.read(file, 24, 0, &bitmap, &palette);
    QVERIFY2(code < 1, qPrintable(QString("%1 read as success").arg(f.name)));
    if (expected != 0)
        QCOMPARE(code, expected);
    QVERIFY(!Sky_Error_Text(uint16_t(code)).isEmpty());
    QVERIFY(bitmap.isNull());
    QVERIFY(palette.isEmpty());
}

void tst_sky32v3c_damaged::missingAndEmptyFiles()
{
    writeAll(dir_.filePath("empty.bin"), QByteArray());
    for (const Format& f : formats()) {
        expectFailure(f, path("no-such-file." + f.name), SKY_ERR_OPEN);
        expectFailure(f, path("empty.bin"), SKY_ERR_TRUNCATED);
    }
    QCOMPARE(Sky_Picture_Info(path("empty.bin"), nullptr, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr),
             int16_t(SKY_ERR_TRUNCATED));
}

// Files cut short at the signature, in the header, and in the picture data.
void tst_sky32v3c_damaged::truncated_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("bits");
    QTest::addColumn<double>("keep"); // share of the file kept; below 1 byte counts
    for (const QString f : {"bmp", "pcx", "png", "gif", "tif", "jpg"})
        for (int bits : {1, 8, 24}) {
            if ((f == "gif" && bits == 24) || (f == "jpg" && bits == 8))
                continue;
            QTest::addRow("%s-%d-signature", qPrintable(f), bits) << f << bits << -3.0;
            QTest::addRow("%s-%d-header", qPrintable(f), bits) << f << bits << -20.0;
            QTest::addRow("%s-%d-half", qPrintable(f), bits) << f << bits << 0.5;
            QTest::addRow("%s-%d-three-quarters", qPrintable(f), bits) << f << bits << 0.75;
        }
    // Formats whose last bytes are needed: the end marker, the directory, the last row.
    QTest::newRow("png-last-byte") << "png" << 24 << -1.5;
    QTest::newRow("jpg-last-byte") << "jpg" << 24 << -1.5;
    QTest::newRow("tif-last-byte") << "tif" << 24 << -1.5;
    QTest::newRow("bmp-last-row") << "bmp" << 24 << -400.5;
}

void tst_sky32v3c_damaged::truncated()
{
    QFETCH(QString, format);
    QFETCH(int, bits);
    QFETCH(double, keep);
    const Format f = skytest::format(format);
    const QImage picture =
        bits == 1 ? bandedPicture(distinctColours(2), 130, 90) : photoPicture(130, 90);
    const QByteArray data = validFile(f, bits, picture);
    QVERIFY(!data.isEmpty());
    // Negative values: keep that many bytes (-3, -20), or cut that many off the end (-x.5).
    qsizetype length = keep >= 0                  ? qsizetype(data.size() * keep)
                       : keep == std::floor(keep) ? qsizetype(-keep)
                                                  : data.size() - qsizetype(-keep);
    const QByteArray file = path(QString("cut-%1-%2.%3").arg(format).arg(bits).arg(format));
    QVERIFY(writeAll(QFile::decodeName(file), data.left(length)));
    expectFailure(f, file, length <= 3 ? SKY_ERR_TRUNCATED : 0);
}

// Header fields that make the file impossible or the picture enormous.
void tst_sky32v3c_damaged::corruptHeader_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("bits");
    QTest::addColumn<qsizetype>("offset");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("expected");
    auto le32 = [](uint32_t v) {
        const char b[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
        return QByteArray(b, 4);
    };
    auto le16 = [](uint16_t v) {
        const char b[2] = {char(v), char(v >> 8)};
        return QByteArray(b, 2);
    };
    QTest::newRow("bmp-signature")
        << "bmp" << 24 << qsizetype(0) << QByteArray("BX") << int(SKY_ERR_FORMAT);
    QTest::newRow("bmp-header-size")
        << "bmp" << 24 << qsizetype(14) << le32(5) << int(SKY_ERR_CORRUPT);
    QTest::newRow("bmp-header-beyond-file")
        << "bmp" << 24 << qsizetype(14) << le32(0x7fffffff) << int(SKY_ERR_TRUNCATED);
    QTest::newRow("bmp-zero-width")
        << "bmp" << 24 << qsizetype(18) << le32(0) << int(SKY_ERR_CORRUPT);
    QTest::newRow("bmp-huge") << "bmp" << 24 << qsizetype(18) << le32(60000) + le32(60000)
                              << int(SKY_ERR_TOO_LARGE);
    QTest::newRow("bmp-min-height")
        << "bmp" << 24 << qsizetype(22) << le32(0x80000000u) << int(SKY_ERR_TOO_LARGE);
    QTest::newRow("bmp-bits") << "bmp" << 24 << qsizetype(28) << le16(7) << int(SKY_ERR_CORRUPT);
    QTest::newRow("bmp-rle-on-24-bits")
        << "bmp" << 24 << qsizetype(30) << le32(1) << int(SKY_ERR_CORRUPT);
    QTest::newRow("bmp-data-offset")
        << "bmp" << 24 << qsizetype(10) << le32(0xffffff00u) << int(SKY_ERR_TRUNCATED);
    QTest::newRow("pcx-maker") << "pcx" << 24 << qsizetype(0) << QByteArray("\x0b", 1)
                               << int(SKY_ERR_FORMAT);
    QTest::newRow("pcx-negative-width")
        << "pcx" << 24 << qsizetype(4) << le16(500) << int(SKY_ERR_CORRUPT);
    QTest::newRow("pcx-line-length")
        << "pcx" << 24 << qsizetype(66) << le16(0) << int(SKY_ERR_CORRUPT);
    QTest::newRow("pcx-short-lines")
        << "pcx" << 24 << qsizetype(66) << le16(3) << int(SKY_ERR_CORRUPT);
    QTest::newRow("pcx-planes") << "pcx" << 24 << qsizetype(65) << QByteArray("\x07", 1)
                                << int(SKY_ERR_UNSUPPORTED);
    QTest::newRow("pcx-huge") << "pcx" << 24 << qsizetype(8) << le16(65000) + le16(65000)
                              << int(SKY_ERR_CORRUPT); // line length no longer covers the width
    QTest::newRow("png-signature")
        << "png" << 24 << qsizetype(1) << QByteArray("Q") << int(SKY_ERR_FORMAT);
    QTest::newRow("png-header-crc")
        << "png" << 24 << qsizetype(16) << le32(0x01010101) << int(SKY_ERR_CORRUPT);
    QTest::newRow("gif-signature")
        << "gif" << 8 << qsizetype(2) << QByteArray("X") << int(SKY_ERR_FORMAT);
    QTest::newRow("tif-magic") << "tif" << 24 << qsizetype(2) << QByteArray("+")
                               << int(SKY_ERR_FORMAT);
    QTest::newRow("tif-directory-offset") << "tif" << 24 << qsizetype(4) << le32(0x7ffffff0) << 0;
    QTest::newRow("jpg-start") << "jpg" << 24 << qsizetype(1) << QByteArray("\xd9", 1)
                               << int(SKY_ERR_FORMAT);
    QTest::newRow("jpg-frame-height-zero") << "jpg" << 24 << qsizetype(-1) << QByteArray() << 0;
}

void tst_sky32v3c_damaged::corruptHeader()
{
    QFETCH(QString, format);
    QFETCH(int, bits);
    QFETCH(qsizetype, offset);
    QFETCH(QByteArray, bytes);
    QFETCH(int, expected);
    const Format f = skytest::format(format);
    QByteArray data = validFile(f, bits, photoPicture(130, 90));
    QVERIFY(!data.isEmpty());
    if (offset < 0) {
        // The frame header of a JPEG: its height field (after FF C0, length and precision).
        const qsizetype sof = data.indexOf("\xff\xc0");
        QVERIFY(sof > 0);
        data[sof + 5] = 0;
        data[sof + 6] = 0;
    } else {
        data.replace(offset, bytes.size(), bytes);
    }
    const QByteArray file = path("corrupt." + format);
    QVERIFY(writeAll(QFile::decodeName(file), data));
    expectFailure(f, file, int16_t(expected));
}

// Random byte changes and cuts: every read either succeeds with a picture or fails with a
// text; the information call survives the same files.
void tst_sky32v3c_damaged::garbledFilesAreSafe_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("bits");
    for (const QString f : {"bmp", "pcx", "png", "gif", "tif", "jpg"})
        for (int bits : {1, 4, 8, 24})
            if (!(f == "jpg" && bits != 24) && !(f == "gif" && bits == 24))
                QTest::addRow("%s-%d", qPrintable(f), bits) << f << bits;
}

void tst_sky32v3c_damaged::garbledFilesAreSafe()
{
    QFETCH(QString, format);
    QFETCH(int, bits);
    const Format f = skytest::format(format);
    const QByteArray data = validFile(f, bits, photoPicture(40, 30));
    QVERIFY(!data.isEmpty());
    QRandomGenerator random(uint(qHash(format) + uint(bits)));
    const QByteArray file = path("garbled." + format);
    int failures = 0;
    for (int round = 0; round < 150; ++round) {
        QByteArray mutated = data;
        const int changes = 1 + int(random.bounded(8));
        for (int i = 0; i < changes; ++i) {
            // Half of the changes hit the first 64 bytes, where the headers are.
            const qsizetype at = random.bounded(2)
                                     ? random.bounded(qMin<qsizetype>(64, data.size()))
                                     : random.bounded(data.size());
            mutated[at] = char(random.bounded(256));
        }
        if (random.bounded(4) == 0)
            mutated.truncate(random.bounded(mutated.size()));
        QVERIFY(writeAll(QFile::decodeName(file), mutated));
        QImage bitmap;
        QList<QRgb> palette;
        const int16_t code = f.read(file, int16_t(bits), 1, &bitmap, &palette);
        if (code >= 1) {
            QVERIFY(!bitmap.isNull());
            QVERIFY(bitmap.width() > 0 && bitmap.height() > 0);
        } else {
            ++failures;
            QVERIFY(bitmap.isNull());
            QVERIFY(!Sky_Error_Text(uint16_t(code)).isEmpty());
        }
        char name[6], second[26];
        int16_t w, h, bpp, entries, dpi;
        Sky_Picture_Info(file, name, &w, &h, &bpp, &entries, &dpi, second);
    }
    QVERIFY(failures > 0); // the damage was seen at least sometimes
}

void tst_sky32v3c_damaged::memoryLimit_data()
{
    QTest::addColumn<QString>("format");
    for (const QString f : {"bmp", "pcx", "png", "gif", "tif", "jpg"})
        QTest::newRow(qPrintable(f)) << f;
}

void tst_sky32v3c_damaged::memoryLimit()
{
    QFETCH(QString, format);
    const Format f = skytest::format(format);
    const QImage big = photoPicture(200, 200);  // 160 000 bytes decoded in true colour
    const QImage small = photoPicture(100, 60); // 24 000 bytes
    const QByteArray bigFile = path("big." + format), smallFile = path("small." + format);
    const int bits = format == "gif" ? 8 : 24;
    QCOMPARE(f.write(bigFile, int16_t(bits), &big, nullptr), int16_t(SKY_OK));
    QCOMPARE(f.write(smallFile, int16_t(bits), &small, nullptr), int16_t(SKY_OK));
    Sky_Set_Memory_Limit(format == "gif" ? 30000 : 100000);
    QCOMPARE(Sky_Memory_Limit(), int64_t(format == "gif" ? 30000 : 100000));
    expectFailure(f, bigFile, SKY_ERR_TOO_LARGE);
    QImage bitmap;
    QCOMPARE(f.read(smallFile, 24, 0, &bitmap, nullptr), int16_t(SKY_OK));
    Sky_Set_Memory_Limit(0);
    QCOMPARE(Sky_Memory_Limit(), int64_t(512) * 1024 * 1024);
    QCOMPARE(f.read(bigFile, 24, 0, &bitmap, nullptr), int16_t(SKY_OK));
}

// The limit applies to the decoded picture: a scaled read of a large JPEG still fits.
void tst_sky32v3c_damaged::scaledJpegUnderMemoryLimit()
{
    const QImage picture = photoPicture(800, 600);
    const QByteArray file = path("limit.jpg");
    QCOMPARE(Sky_Write_JPEG(file, 90, 0, 24, &picture, nullptr), int16_t(SKY_OK));
    Sky_Set_Memory_Limit(100 * 1024);
    QImage bitmap;
    QCOMPARE(Sky_Read_JPEG(file, 24, 1, 0, &bitmap, nullptr), int16_t(SKY_ERR_TOO_LARGE));
    int16_t scale = 0;
    QCOMPARE(Sky_Read_JPEG_Scaled(file, 24, 0, 100, 75, &bitmap, nullptr, &scale), int16_t(SKY_OK));
    QCOMPARE(int(scale), 8);
    QCOMPARE(bitmap.size(), QSize(100, 75));
}

void tst_sky32v3c_damaged::errorTexts()
{
    QSet<QString> texts;
    for (int code = SKY_ERR_ARGUMENT; code <= SKY_ERR_OPEN; ++code) {
        const QString text = Sky_Error_Text(uint16_t(int16_t(code)));
        QVERIFY2(!text.isEmpty(), qPrintable(QString::number(code)));
        QVERIFY(!text.startsWith("Unknown"));
        texts.insert(text);
    }
    QCOMPARE(texts.size(), SKY_ERR_OPEN - SKY_ERR_ARGUMENT + 1);
    QCOMPARE(Sky_Error_Text(65535), Sky_Error_Text(uint16_t(SKY_ERR_OPEN)));
    QCOMPARE(Sky_Error_Text(SKY_OK), QString());
    QCOMPARE(Sky_Error_Text(uint16_t(-99)), QString("Unknown imaging error -99."));
}

QTEST_GUILESS_MAIN(tst_sky32v3c_damaged)
#include "tst_sky32v3c_damaged.moc"
