// Bitmap records of the metafile player: DIBs of every depth and row order,
// source rectangles, mirroring, RLE, old device bitmaps, and the
// transparent-bitmap idioms that become one picture with an alpha channel.

#include "WmfTestSupport.h"

#include <QTest>
#include <QtEndian>

using namespace wmftest;

namespace {

constexpr QRgb Grey = 0xFF808080;
constexpr QRgb Red = 0xFFFF0000;
constexpr QRgb Green = 0xFF00FF00;
constexpr QRgb Blue = 0xFF0000FF;
constexpr QRgb Yellow = 0xFFFFFF00;
constexpr QRgb Black = 0xFF000000;
constexpr QRgb White = 0xFFFFFFFF;

// 40 x 40, one colour per quadrant: top left, top right, bottom left, bottom right.
QImage quadrants(QRgb tl, QRgb tr, QRgb bl, QRgb br, int size = 40)
{
    QImage img(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            img.setPixel(x, y, y < size / 2 ? (x < size / 2 ? tl : tr) : (x < size / 2 ? bl : br));
    return img;
}

// Left half one colour, right half another.
QImage halves(QRgb left, QRgb right, int w = 20, int h = 20)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, x < w / 2 ? left : right);
    return img;
}

enum Kind
{
    StretchDib,
    DibStretchBlt,
    DibBitBlt
};

} // namespace

class TestWmfBitmaps : public QObject
{
    Q_OBJECT

private slots:
    void depthsAndRowOrders_data();
    void depthsAndRowOrders();
    void sourceRectangles_data();
    void sourceRectangles();
    void rleBitmap();
    void truncatedBitmapKeepsItsRows();
    void deviceBitmapTakesTextAndBackgroundColours();
    void transparentBitmapIdioms_data();
    void transparentBitmapIdioms();
    void separateBlitsStayApart();
};

void TestWmfBitmaps::depthsAndRowOrders_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("bits");
    QTest::addColumn<bool>("topDown");
    const char* kinds[] = {"STRETCHDIB", "DIBSTRETCHBLT", "DIBBITBLT"};
    for (int kind : {StretchDib, DibStretchBlt, DibBitBlt})
        for (int bits : {1, 4, 8, 24, 32})
            for (bool topDown : {false, true})
                QTest::addRow("%s %d bits %s", kinds[kind], bits,
                              topDown ? "top-down" : "bottom-up")
                    << kind << bits << topDown;
}

void TestWmfBitmaps::depthsAndRowOrders()
{
    QFETCH(int, kind);
    QFETCH(int, bits);
    QFETCH(bool, topDown);
    const QRgb tl = bits == 1 ? Black : Red;
    const QRgb tr = bits == 1 ? White : Green;
    const QRgb bl = bits == 1 ? White : Blue;
    const QRgb br = bits == 1 ? Black : Yellow;
    const QByteArray dib = WmfWriter::dib(quadrants(tl, tr, bl, br), bits, topDown);
    WmfWriter wr = canvas();
    if (kind == StretchDib)
        wr.stretchDib(QRect(10, 10, 80, 80), QRect(0, 0, 40, 40), dib, WmfWriter::SrcCopy);
    else if (kind == DibStretchBlt)
        wr.dibStretchBlt(QRect(10, 10, 80, 80), QRect(0, 0, 40, 40), dib, WmfWriter::SrcCopy);
    else
        wr.dibBitBlt(30, 30, QRect(0, 0, 40, 40), dib, WmfWriter::SrcCopy);
    const QImage img = render(wr.bytes(), QSize(100, 100), QColor(Grey));
    const int lo = kind == DibBitBlt ? 40 : 30;
    const int hi = kind == DibBitBlt ? 60 : 70;
    QCOMPARE(img.pixel(lo, lo), tl);
    QCOMPARE(img.pixel(hi, lo), tr);
    QCOMPARE(img.pixel(lo, hi), bl);
    QCOMPARE(img.pixel(hi, hi), br);
    QCOMPARE(img.pixel(5, 5), Grey);
}

void TestWmfBitmaps::sourceRectangles_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("topDown");
    QTest::addColumn<QRect>("dest");
    QTest::addColumn<QRect>("source");
    QTest::addColumn<QRgb>("atTopLeft"); // colour at (25, 25)
    // STRETCHDIB counts the source from the bottom row of a bottom-up DIB.
    QTest::newRow("STRETCHDIB bottom-up, origin bottom left")
        << int(StretchDib) << false << QRect(0, 0, 100, 100) << QRect(0, 0, 20, 20) << Blue;
    QTest::newRow("STRETCHDIB top-down, origin top left")
        << int(StretchDib) << true << QRect(0, 0, 100, 100) << QRect(0, 0, 20, 20) << Red;
    QTest::newRow("DIBSTRETCHBLT, origin top left in either order")
        << int(DibStretchBlt) << false << QRect(0, 0, 100, 100) << QRect(0, 0, 20, 20) << Red;
    QTest::newRow("DIBSTRETCHBLT right half")
        << int(DibStretchBlt) << false << QRect(0, 0, 100, 100) << QRect(20, 0, 20, 40) << Green;
    QTest::newRow("negative destination width mirrors")
        << int(StretchDib) << false << QRect(100, 0, -100, 100) << QRect(0, 0, 40, 40) << Green;
    QTest::newRow("negative destination height mirrors")
        << int(DibStretchBlt) << true << QRect(0, 100, 100, -100) << QRect(0, 0, 40, 40) << Blue;
    QTest::newRow("source partly outside the bitmap")
        << int(DibStretchBlt) << false << QRect(0, 0, 100, 100) << QRect(-40, -40, 80, 80) << Grey;
}

void TestWmfBitmaps::sourceRectangles()
{
    QFETCH(int, kind);
    QFETCH(bool, topDown);
    QFETCH(QRect, dest);
    QFETCH(QRect, source);
    QFETCH(QRgb, atTopLeft);
    const QByteArray dib = WmfWriter::dib(quadrants(Red, Green, Blue, Yellow), 24, topDown);
    WmfWriter wr = canvas();
    if (kind == StretchDib)
        wr.stretchDib(dest, source, dib, WmfWriter::SrcCopy);
    else
        wr.dibStretchBlt(dest, source, dib, WmfWriter::SrcCopy);
    const QImage img = render(wr.bytes(), QSize(100, 100), QColor(Grey));
    QCOMPARE(img.pixel(25, 25), atTopLeft);
    if (source.x() < 0) // the part that exists lands in the bottom right quarter
        QCOMPARE(img.pixel(60, 60), Red);
}

void TestWmfBitmaps::rleBitmap()
{
    // 4 x 2, RLE8, bottom-up: the bottom row a run of four of index 1; the top
    // row a run of two of index 2 and one of two of index 1; end of bitmap.
    QImage base(4, 2, QImage::Format_Indexed8);
    base.setColorTable({qRgb(0, 0, 0), Red, Green});
    base.fill(0);
    QByteArray dib = WmfWriter::dib(base, 8).left(40 + 256 * 4);
    const QByteArray rle("\x04\x01\x00\x00\x02\x02\x02\x01\x00\x01", 10);
    dib[16] = 1; // BI_RLE8
    dib.append(rle);
    WmfWriter wr = canvas();
    wr.stretchDib(QRect(0, 0, 100, 100), QRect(0, 0, 4, 2), dib, WmfWriter::SrcCopy);
    const QImage img = render(wr.bytes(), QSize(100, 100), QColor(Grey));
    QCOMPARE(img.pixel(10, 75), Red);
    QCOMPARE(img.pixel(90, 75), Red);
    QCOMPARE(img.pixel(10, 25), Green);
    QCOMPARE(img.pixel(90, 25), Red);
}

void TestWmfBitmaps::truncatedBitmapKeepsItsRows()
{
    // A bottom-up DIB cut after its first (bottom) half of rows: the bottom
    // half is drawn, the top half stays transparent.
    QByteArray dib = WmfWriter::dib(quadrants(Red, Red, Blue, Blue, 10), 24);
    const int stride = 32; // 10 pixels * 3 bytes, padded to 4
    dib.chop(5 * stride);
    WmfWriter wr = canvas();
    wr.stretchDib(QRect(0, 0, 100, 100), QRect(0, 0, 10, 10), dib, WmfWriter::SrcCopy);
    const QImage img = render(wr.bytes(), QSize(100, 100), QColor(Grey));
    QCOMPARE(img.pixel(50, 80), Blue);
    QCOMPARE(img.pixel(50, 20), Grey);
}

void TestWmfBitmaps::deviceBitmapTakesTextAndBackgroundColours()
{
    // META_BITBLT with an old one-bit device bitmap of 8 x 2: top row set
    // bits (background colour), bottom row clear bits (text colour).
    WmfWriter wr = canvas(8, 2);
    wr.setTextColor(WmfWriter::rgb(0, 0, 255));
    wr.setBkColor(WmfWriter::rgb(255, 255, 0));
    const quint32 rop = WmfWriter::SrcCopy;
    wr.record(0x0922, QList<quint16>{quint16(rop & 0xFFFF), quint16(rop >> 16), 0, 0, 2, 8, 0, 0,
                                     // Bitmap16: type, width, height, width bytes, planes + bits
                                     0, 8, 2, 2, 0x0101, 0x00FF, 0x0000});
    const QImage img = render(wr.bytes(), QSize(80, 20), QColor(Grey));
    QCOMPARE(img.pixel(40, 5), Yellow);
    QCOMPARE(img.pixel(40, 15), Blue);
}

// A 20 x 20 picture: left half red and shown, right half masked out.
void TestWmfBitmaps::transparentBitmapIdioms_data()
{
    QTest::addColumn<QList<QByteArray>>("dibs");
    QTest::addColumn<QList<quint32>>("rops");
    const QByteArray andMask = WmfWriter::dib(halves(Black, White), 1); // black keeps
    const QByteArray orMask = WmfWriter::dib(halves(White, Black), 1);  // white keeps
    const QByteArray imageOnBlack = WmfWriter::dib(halves(Red, Black), 24);
    const QByteArray imageOnWhite = WmfWriter::dib(halves(Red, White), 8);
    const QByteArray smallMask = WmfWriter::dib(halves(Black, White, 4, 4), 1);
    QTest::newRow("SRCAND mask, then SRCPAINT image")
        << QList<QByteArray>{andMask, imageOnBlack}
        << QList<quint32>{WmfWriter::SrcAnd, WmfWriter::SrcPaint};
    QTest::newRow("SRCPAINT mask, then SRCAND image")
        << QList<QByteArray>{orMask, imageOnWhite}
        << QList<quint32>{WmfWriter::SrcPaint, WmfWriter::SrcAnd};
    QTest::newRow("SRCINVERT image, SRCAND mask, SRCINVERT image")
        << QList<QByteArray>{imageOnBlack, andMask, imageOnBlack}
        << QList<quint32>{WmfWriter::SrcInvert, WmfWriter::SrcAnd, WmfWriter::SrcInvert};
    QTest::newRow("mask of another resolution")
        << QList<QByteArray>{smallMask, imageOnBlack}
        << QList<quint32>{WmfWriter::SrcAnd, WmfWriter::SrcPaint};
}

void TestWmfBitmaps::transparentBitmapIdioms()
{
    QFETCH(QList<QByteArray>, dibs);
    QFETCH(QList<quint32>, rops);
    WmfWriter wr = canvas();
    for (int i = 0; i < dibs.size(); ++i) {
        const int side = qFromLittleEndian<qint32>(dibs[i].constData() + 4); // square bitmaps
        wr.stretchDib(QRect(0, 0, 100, 100), QRect(0, 0, side, side), dibs[i], rops[i]);
    }
    // Into a transparent picture: the masked part has no alpha at all.
    const QImage img = render(wr.bytes(), QSize(100, 100), QColor(Qt::transparent));
    QCOMPARE(img.pixel(25, 50), Red);
    QCOMPARE(qAlpha(img.pixel(75, 50)), 0);
    // Over something else, that shows through.
    const QImage over = render(wr.bytes(), QSize(100, 100), QColor(Blue));
    QCOMPARE(over.pixel(25, 50), Red);
    QCOMPARE(over.pixel(75, 50), Blue);
}

// Blits onto different rectangles are no idiom: a lone SRCAND mask of black
// and white keeps its black part and lets the white part through; a lone
// SRCPAINT one keeps its white part and lets the black part through.
void TestWmfBitmaps::separateBlitsStayApart()
{
    WmfWriter wr = canvas();
    wr.stretchDib(QRect(0, 0, 50, 50), QRect(0, 0, 20, 20), WmfWriter::dib(halves(Black, White), 1),
                  WmfWriter::SrcAnd);
    wr.stretchDib(QRect(50, 50, 50, 50), QRect(0, 0, 20, 20),
                  WmfWriter::dib(halves(White, Black), 24), WmfWriter::SrcPaint);
    const QImage img = render(wr.bytes(), QSize(100, 100), QColor(Grey));
    QCOMPARE(img.pixel(10, 25), Black);
    QCOMPARE(img.pixel(40, 25), Grey);
    QCOMPARE(img.pixel(60, 75), White);
    QCOMPARE(img.pixel(90, 75), Grey);
}

QTEST_GUILESS_MAIN(TestWmfBitmaps)
#include "tst_wmfbitmaps.moc"
