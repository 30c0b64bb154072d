// Headers, sizes and damaged files of WmfPicture.

#include "WmfTestSupport.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace wmftest;

namespace {

constexpr qsizetype PlaceableSize = 22;
constexpr qsizetype HeaderSize = 18;

// Byte offsets of the records of a file written by our writer.
QList<qsizetype> recordOffsets(const QByteArray& file)
{
    QList<qsizetype> out;
    qsizetype at = PlaceableSize + HeaderSize;
    while (at + 6 <= file.size()) {
        out.append(at);
        const quint32 words = qFromLittleEndian<quint32>(file.constData() + at);
        if (words < 3)
            break;
        at += qsizetype(words) * 2;
    }
    return out;
}

void put32(QByteArray& b, qsizetype at, quint32 v)
{
    qToLittleEndian(v, b.data() + at);
}
void put16(QByteArray& b, qsizetype at, quint16 v)
{
    qToLittleEndian(v, b.data() + at);
}

QByteArray redSquare()
{
    WmfWriter wr = canvas();
    nullPen(wr);
    solidBrush(wr, qRgb(255, 0, 0));
    wr.rectangle(10, 10, 30, 30);
    return wr.bytes();
}

} // namespace

class TestWmfPicture : public QObject
{
    Q_OBJECT

private slots:
    void headerChecks_data();
    void headerChecks();
    void mulDivRounds_data();
    void mulDivRounds();
    void pixelSizeFormula_data();
    void pixelSizeFormula();
    void plainFileBounds_data();
    void plainFileBounds();
    void readsFromFile();
    void damagedRecordStopsPlaying_data();
    void damagedRecordStopsPlaying();
    void unknownRecordsAndEscapesSkipped();
    void damagedFilesPlaySafely_data();
    void damagedFilesPlaySafely();
};

void TestWmfPicture::headerChecks_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<bool>("placeable");

    const QByteArray good = redSquare();
    QByteArray plain = good.mid(PlaceableSize);
    QTest::newRow("placeable") << good << true << true;
    QTest::newRow("plain") << plain << true << false;
    QTest::newRow("empty") << QByteArray() << false << false;
    QTest::newRow("key only") << good.left(4) << false << false;
    QTest::newRow("placeable header without metafile header") << good.left(30) << false << false;
    QTest::newRow("plain header cut") << plain.left(17) << false << false;
    QTest::newRow("header only") << good.left(PlaceableSize + HeaderSize) << true << true;

    QByteArray badType = good;
    put16(badType, PlaceableSize, 3);
    QTest::newRow("type 3") << badType << false << true;
    QByteArray badSize = good;
    put16(badSize, PlaceableSize + 2, 10);
    QTest::newRow("header size 10 words") << badSize << false << true;
    QByteArray badVersion = plain;
    put16(badVersion, 4, 0x0200);
    QTest::newRow("unknown version") << badVersion << false << false;
    QByteArray noInch = good;
    put16(noInch, 14, 0);
    QTest::newRow("no units per inch") << noInch << false << true;
    QByteArray badChecksum = good;
    put16(badChecksum, 20, quint16(~qFromLittleEndian<quint16>(good.constData() + 20)));
    QTest::newRow("wrong checksum still shown") << badChecksum << true << true;
    QByteArray wrongFileSize = good;
    put32(wrongFileSize, PlaceableSize + 6, 5);
    QTest::newRow("wrong file size in header ignored") << wrongFileSize << true << true;
    QTest::newRow("random text") << QByteArray("This is not a metafile at all.") << false << false;
}

void TestWmfPicture::headerChecks()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, valid);
    QFETCH(bool, placeable);
    const WmfPicture pic = WmfPicture::fromBytes(bytes);
    QCOMPARE(pic.isValid(), valid);
    QCOMPARE(pic.errorText().isEmpty(), valid);
    if (valid)
        QCOMPARE(pic.isPlaceable(), placeable);
    else
        QCOMPARE(pic.pixelSize(), QSize());
}

void TestWmfPicture::mulDivRounds_data()
{
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<int>("c");
    QTest::addColumn<int>("expected");
    QTest::newRow("exact") << 1000 << 2540 << 1000 << 2540;
    QTest::newRow("down") << 100 << 2540 << 1440 << 176; // 176.39
    QTest::newRow("up") << 176 << 96 << 2540 << 7;       // 6.65
    QTest::newRow("half away from zero") << 1 << 1 << 2 << 1;
    QTest::newRow("negative half") << -1 << 1 << 2 << -1;
    QTest::newRow("negative divisor") << 7 << 1 << -2 << -4;
    QTest::newRow("divide by zero") << 5 << 5 << 0 << -1;
    QTest::newRow("overflow") << 2000000000 << 2000000000 << 1 << -1;
    QTest::newRow("large intermediate") << 2000000000 << 3 << 4 << 1500000000;
}

void TestWmfPicture::mulDivRounds()
{
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(int, c);
    QFETCH(int, expected);
    QCOMPARE(WmfPicture::mulDiv(a, b, c), expected);
}

void TestWmfPicture::pixelSizeFormula_data()
{
    QTest::addColumn<QRect>("bounds"); // left, top, width, height in logical units
    QTest::addColumn<int>("inch");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("one inch at 96") << QRect(0, 0, 1440, 720) << 1440 << 96 << QSize(96, 48);
    QTest::newRow("rounded per step") << QRect(0, 0, 100, 3) << 1440 << 96 << QSize(7, 0);
    QTest::newRow("offset bounds") << QRect(-500, -500, 1000, 1000) << 1000 << 96 << QSize(96, 96);
    QTest::newRow("large screen dpi") << QRect(0, 0, 1000, 1000) << 1000 << 120 << QSize(120, 120);
    QTest::newRow("odd units") << QRect(0, 0, 6400, 4800) << 960 << 96 << QSize(640, 480);
    // 47/1000 in is 119.38 hundredths of a millimetre, taken as 119 before the
    // second step (4.497 -> 4); in one step it would be 4.512 -> 5.
    QTest::newRow("two steps round twice") << QRect(0, 0, 47, 47) << 1000 << 96 << QSize(4, 4);
}

void TestWmfPicture::pixelSizeFormula()
{
    QFETCH(QRect, bounds);
    QFETCH(int, inch);
    QFETCH(int, dpi);
    QFETCH(QSize, expected);
    WmfWriter wr;
    wr.setPlaceable(bounds.left(), bounds.top(), bounds.left() + bounds.width(),
                    bounds.top() + bounds.height(), inch);
    const WmfPicture pic = WmfPicture::fromBytes(wr.bytes());
    QVERIFY(pic.isValid());
    QCOMPARE(pic.bounds(), bounds);
    QCOMPARE(pic.unitsPerInch(), inch);
    QCOMPARE(pic.pixelSize(dpi), expected);
}

void TestWmfPicture::plainFileBounds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QRect>("bounds");
    QTest::addColumn<int>("inch");

    WmfWriter window;
    window.setWindowOrg(50, 20);
    window.setWindowExt(300, 200);
    window.rectangle(60, 30, 100, 100);
    QTest::newRow("window records") << window.bytes() << QRect(50, 20, 300, 200) << 96;

    WmfWriter flipped;
    flipped.setMapMode(WmfWriter::MmAnisotropic);
    flipped.setWindowOrg(0, 400);
    flipped.setWindowExt(600, -400);
    flipped.rectangle(10, 10, 20, 20);
    QTest::newRow("negative extent") << flipped.bytes() << QRect(0, 0, 600, 400) << 96;

    WmfWriter lateWindow;
    lateWindow.rectangle(-10, 5, 90, 45);
    lateWindow.setWindowExt(1000, 1000);
    lateWindow.polyline(QPolygon({QPoint(0, 0), QPoint(120, 60)}));
    QTest::newRow("no window before drawing: drawn box")
        << lateWindow.bytes() << QRect(-10, 0, 130, 60) << 96;

    WmfWriter metric;
    metric.setMapMode(WmfWriter::MmHiMetric);
    metric.rectangle(0, 0, 2540, -1270);
    QTest::newRow("metric mode gives units per inch")
        << metric.bytes() << QRect(0, -1270, 2540, 1270) << 2540;

    WmfWriter twips;
    twips.setMapMode(WmfWriter::MmAnisotropic);
    twips.setWindowOrg(0, 0);
    twips.setWindowExt(14400, 10800);
    twips.rectangle(10, 10, 20, 20);
    QTest::newRow("large window: twips") << twips.bytes() << QRect(0, 0, 14400, 10800) << 1440;

    WmfWriter nothing;
    nothing.setBkMode(WmfWriter::Opaque);
    QTest::newRow("nothing drawn") << nothing.bytes() << QRect() << 96;
}

void TestWmfPicture::plainFileBounds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QRect, bounds);
    QFETCH(int, inch);
    const WmfPicture pic = WmfPicture::fromBytes(bytes);
    QVERIFY(pic.isValid());
    QVERIFY(!pic.isPlaceable());
    QCOMPARE(pic.bounds(), bounds);
    QCOMPARE(pic.unitsPerInch(), inch);
}

void TestWmfPicture::readsFromFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("square.wmf");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(redSquare());
    f.close();
    const WmfPicture pic = WmfPicture::fromFile(path);
    QVERIFY(pic.isValid());
    QCOMPARE(pic.bytes(), redSquare());
    QCOMPARE(pic.pixelSize(), QSize(100, 100));

    const WmfPicture missing = WmfPicture::fromFile(dir.filePath("missing.wmf"));
    QVERIFY(!missing.isValid());
    QVERIFY(!missing.errorText().isEmpty());
}

// Records before a damaged one are drawn; nothing after it is.
void TestWmfPicture::damagedRecordStopsPlaying_data()
{
    QTest::addColumn<quint32>("sizeWords");
    QTest::newRow("size 0") << 0u;
    QTest::newRow("size 2") << 2u;
    QTest::newRow("past the end") << 100000u;
    QTest::newRow("huge") << 0xFFFFFFFFu;
}

void TestWmfPicture::damagedRecordStopsPlaying()
{
    QFETCH(quint32, sizeWords);
    WmfWriter wr = canvas();
    nullPen(wr);
    solidBrush(wr, qRgb(255, 0, 0));
    wr.rectangle(10, 10, 30, 30);
    wr.setBkMode(WmfWriter::Opaque); // the record to damage
    solidBrush(wr, qRgb(0, 0, 255));
    wr.rectangle(60, 60, 90, 90);
    QByteArray bytes = wr.bytes();
    const QList<qsizetype> at = recordOffsets(bytes);
    put32(bytes, at[5], sizeWords);
    const QImage img = render(bytes);
    QCOMPARE(img.pixel(20, 20), qRgb(255, 0, 0));
    QCOMPARE(img.pixel(75, 75), qRgb(255, 255, 255));
}

void TestWmfPicture::unknownRecordsAndEscapesSkipped()
{
    WmfWriter wr = canvas();
    nullPen(wr);
    wr.record(0x0999, QList<quint16>{1, 2, 3, 4});
    wr.escape(15, QByteArray("MFCOMMENT"));
    solidBrush(wr, qRgb(0, 0, 255));
    wr.rectangle(60, 60, 90, 90);
    QCOMPARE(render(wr.bytes()).pixel(75, 75), qRgb(0, 0, 255));
}

void TestWmfPicture::damagedFilesPlaySafely_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("valid");

    const QList<QByteArray> bases = {Demo_Metafile(1, "House"), Demo_Metafile(3, "Chart")};
    for (int k = 0; k < bases.size(); ++k) {
        const QByteArray& base = bases[k];
        for (qsizetype cut = 0; cut < base.size(); cut += 37)
            QTest::addRow("file %d cut at %lld", k, qlonglong(cut))
                << base.left(cut) << (cut >= PlaceableSize + HeaderSize);

        const QList<qsizetype> records = recordOffsets(base);
        for (int r = 0; r < records.size(); ++r) {
            const qsizetype at = records[r];
            for (quint32 size : {0u, 2u, 3u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
                QByteArray b = base;
                put32(b, at, size);
                QTest::addRow("file %d record %d size %u", k, r, size) << b << true;
            }
            // Counts and lengths at the start of the parameters, as large as they go.
            const quint32 words = qFromLittleEndian<quint32>(base.constData() + at);
            for (quint16 value : {quint16(0xFFFF), quint16(0x7FFF), quint16(0x8000)}) {
                if (words <= 3)
                    continue;
                QByteArray b = base;
                put16(b, at + 6, value);
                QTest::addRow("file %d record %d first word %04x", k, r, value) << b << true;
                if (words > 4) {
                    put16(b, at + 8, value);
                    QTest::addRow("file %d record %d two words %04x", k, r, value) << b << true;
                }
            }
        }

        QRandomGenerator random(20240 + k);
        for (int n = 0; n < 150; ++n) {
            QByteArray b = base;
            const int flips = 1 + int(random.bounded(8));
            for (int i = 0; i < flips; ++i) {
                const qsizetype pos =
                    PlaceableSize + HeaderSize +
                    qsizetype(random.bounded(int(b.size() - PlaceableSize - HeaderSize)));
                b[pos] = char(random.bounded(256));
            }
            QTest::addRow("file %d random flips %d", k, n) << b << true;
        }
    }
}

void TestWmfPicture::damagedFilesPlaySafely()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, valid);
    const WmfPicture pic = WmfPicture::fromBytes(bytes);
    QCOMPARE(pic.isValid(), valid);
    QImage img(64, 48, QImage::Format_ARGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    pic.play(p, QRectF(0, 0, 64, 48));
    // The painter comes back as it was given.
    QVERIFY(!p.hasClipping());
    QCOMPARE(p.worldTransform(), QTransform());
}

QTEST_GUILESS_MAIN(TestWmfPicture)
#include "tst_wmfpicture.moc"
