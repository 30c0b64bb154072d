// Records of the metafile player rendered into QImages and checked at known
// pixels: mapping, saved states, objects, brushes, shapes, clipping.

#include "WmfTestSupport.h"

#include <QTest>

using namespace wmftest;

namespace {

constexpr QRgb White = 0xFFFFFFFF;
constexpr QRgb Red = 0xFFFF0000;
constexpr QRgb Green = 0xFF00FF00;
constexpr QRgb Blue = 0xFF0000FF;
constexpr QRgb Black = 0xFF000000;

using Points = QList<QPoint>;

void verifyRedAndWhite(const QImage& img, const Points& red, const Points& white)
{
    for (const QPoint& p : red)
        QVERIFY2(img.pixel(p) == Red,
                 qPrintable(QString("not red at %1,%2").arg(p.x()).arg(p.y())));
    for (const QPoint& p : white)
        QVERIFY2(img.pixel(p) == White,
                 qPrintable(QString("not white at %1,%2").arg(p.x()).arg(p.y())));
}

} // namespace

class TestWmfPlayer : public QObject
{
    Q_OBJECT

private slots:
    void mapping_data();
    void mapping();
    void savedStates_data();
    void savedStates();
    void objectSlotsAndDeletion();
    void penWidths_data();
    void penWidths();
    void penStylesAndCaps_data();
    void penStylesAndCaps();
    void penJoins_data();
    void penJoins();
    void hatchedBrushes_data();
    void hatchedBrushes();
    void patternBrushes();
    void fineDevicesUseScreenPixels();
    void polyPolygonFillModes_data();
    void polyPolygonFillModes();
    void arcsRunCounterClockwise_data();
    void arcsRunCounterClockwise();
    void clipping_data();
    void clipping();
    void paletteColours();
    void patBltAndPixels();
    void playsIntoTargetOnly();
    void noSeamsBetweenAbuttingShapes();
};

// Each fixture draws red where the listed points must be red, and the other
// listed points must stay white.
void TestWmfPlayer::mapping_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Points>("red");
    QTest::addColumn<Points>("white");

    auto start = [](WmfWriter& wr) {
        nullPen(wr);
        solidBrush(wr, Red);
    };
    {
        WmfWriter wr = canvas();
        start(wr);
        wr.rectangle(10, 10, 30, 30);
        QTest::newRow("placeable bounds alone")
            << wr.bytes() << Points{{20, 20}} << Points{{40, 40}};
    }
    {
        WmfWriter wr = canvas();
        wr.setWindowOrg(0, 0);
        wr.setWindowExt(200, 200);
        start(wr);
        wr.rectangle(20, 20, 60, 60);
        QTest::newRow("window extent maps onto the frame")
            << wr.bytes() << Points{{15, 15}, {28, 28}} << Points{{35, 35}};
    }
    {
        WmfWriter wr = canvas();
        wr.setWindowOrg(100, 100);
        wr.setWindowExt(100, 100);
        start(wr);
        wr.rectangle(110, 110, 130, 130);
        QTest::newRow("window origin")
            << wr.bytes() << Points{{20, 20}} << Points{{40, 40}, {5, 5}};
    }
    {
        // A plain file in the text map mode: its window still decides.
        WmfWriter wr;
        wr.setWindowOrg(50, 50);
        wr.setWindowExt(200, 200);
        start(wr);
        wr.rectangle(70, 70, 110, 110);
        wr.setWindowExt(400, 400); // later window changes rescale too
        wr.rectangle(290, 130, 330, 170);
        QTest::newRow("text map mode with window records")
            << wr.bytes() << Points{{20, 20}, {65, 25}}
            << Points{{35, 35}, {5, 5}, {75, 25}, {55, 25}};
    }
    {
        WmfWriter wr = canvas();
        wr.setMapMode(WmfWriter::MmAnisotropic);
        wr.setWindowExt(100, 100);
        wr.setViewportExt(100, 100);
        start(wr);
        wr.rectangle(0, 0, 10, 10);
        wr.setViewportExt(50, 25);
        wr.rectangle(40, 40, 80, 80);
        QTest::newRow("anisotropic viewport extent")
            << wr.bytes() << Points{{5, 5}, {30, 15}} << Points{{30, 30}, {50, 15}};
    }
    {
        WmfWriter wr = canvas();
        wr.setMapMode(WmfWriter::MmIsotropic);
        wr.setWindowExt(100, 100);
        wr.setViewportExt(100, 100);
        start(wr);
        wr.rectangle(0, 0, 10, 10);
        wr.setViewportExt(100, 50); // isotropic: both axes take the smaller scale
        wr.rectangle(40, 40, 80, 80);
        QTest::newRow("isotropic keeps the aspect")
            << wr.bytes() << Points{{30, 30}} << Points{{50, 30}, {30, 15}};
    }
    {
        WmfWriter wr = canvas();
        wr.setMapMode(WmfWriter::MmAnisotropic);
        wr.setViewportOrg(10, 10);
        wr.setWindowExt(100, 100);
        start(wr);
        wr.rectangle(0, 0, 10, 10);
        wr.setViewportOrg(60, 60);
        wr.rectangle(0, 0, 10, 10);
        QTest::newRow("viewport origin moves relative to the first")
            << wr.bytes() << Points{{5, 5}, {55, 55}} << Points{{15, 15}, {30, 30}};
    }
    {
        WmfWriter wr = canvas();
        wr.setMapMode(WmfWriter::MmAnisotropic);
        wr.setWindowOrg(0, 100);
        wr.setWindowExt(100, -100);
        start(wr);
        wr.rectangle(10, 10, 30, 30);
        QTest::newRow("negative window extent turns y up")
            << wr.bytes() << Points{{20, 80}} << Points{{20, 20}};
    }
    {
        WmfWriter wr;
        wr.setPlaceable(0, -100, 100, 0, 254);
        wr.setMapMode(WmfWriter::MmLoMetric);
        start(wr);
        wr.rectangle(10, -10, 30, -30);
        QTest::newRow("metric map mode, y up")
            << wr.bytes() << Points{{20, 20}} << Points{{20, 80}};
    }
    {
        WmfWriter wr = canvas();
        wr.setWindowExt(100, 100);
        start(wr);
        wr.rectangle(0, 0, 10, 10);
        wr.offsetWindowOrg(-50, -50);
        wr.rectangle(0, 0, 10, 10);
        wr.offsetWindowOrg(50, 50);
        wr.scaleWindowExt(1, 2, 1, 2); // half the extent: twice the size
        wr.rectangle(40, 5, 45, 10);
        QTest::newRow("offset origin and scaled extent")
            << wr.bytes() << Points{{5, 5}, {55, 55}, {85, 15}} << Points{{15, 15}, {75, 15}};
    }
}

void TestWmfPlayer::mapping()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Points, red);
    QFETCH(Points, white);
    verifyRedAndWhite(render(bytes), red, white);
}

// The expected colour of a rectangle drawn after the restore tells which
// state came back: red is the state saved first, green the second; white
// means none did (the current mapping and clip put the rectangle out of sight).
void TestWmfPlayer::savedStates_data()
{
    QTest::addColumn<QList<int>>("restores");
    QTest::addColumn<QRgb>("expected");
    QTest::newRow("relative -1") << QList<int>{-1} << Green;
    QTest::newRow("relative -2") << QList<int>{-2} << Red;
    QTest::newRow("relative twice") << QList<int>{-1, -1} << Red;
    QTest::newRow("absolute 1") << QList<int>{1} << Red;
    QTest::newRow("absolute 2") << QList<int>{2} << Green;
    QTest::newRow("absolute 1 empties the stack") << QList<int>{1, -1} << Red;
    QTest::newRow("zero is ignored") << QList<int>{0} << White;
    QTest::newRow("too deep is ignored") << QList<int>{-3} << White;
    QTest::newRow("beyond the stack is ignored") << QList<int>{3} << White;
}

void TestWmfPlayer::savedStates()
{
    QFETCH(QList<int>, restores);
    QFETCH(QRgb, expected);
    WmfWriter wr = canvas();
    nullPen(wr);
    solidBrush(wr, Red);
    wr.rectangle(90, 90, 100, 100);
    wr.saveDC();
    solidBrush(wr, Green);
    wr.saveDC();
    // Everything changed here must be undone by any of the restores.
    solidBrush(wr, Blue);
    wr.setWindowOrg(50, 50);
    wr.setPolyFillMode(WmfWriter::Winding);
    wr.intersectClipRect(50, 50, 60, 60);
    for (int r : restores)
        wr.restoreDC(r);
    wr.rectangle(10, 10, 40, 40);
    const QImage img = render(wr.bytes());
    QCOMPARE(img.pixel(25, 25), expected);
}

void TestWmfPlayer::objectSlotsAndDeletion()
{
    WmfWriter wr = canvas();
    const int pen = wr.createPenIndirect(WmfWriter::PsSolid, 6, WmfWriter::rgb(255, 0, 0));
    const int green = wr.createBrushIndirect(WmfWriter::BsSolid, WmfWriter::rgb(0, 255, 0));
    QCOMPARE(pen, 0);
    QCOMPARE(green, 1);
    wr.selectObject(pen);
    wr.selectObject(green);
    wr.deleteObject(pen); // still selected: still drawn with
    const int blue = wr.createBrushIndirect(WmfWriter::BsSolid, WmfWriter::rgb(0, 0, 255));
    QCOMPARE(blue, 0); // the lowest free slot
    wr.selectObject(blue);
    wr.selectObject(7); // nothing there: no change
    wr.rectangle(10, 10, 50, 50);
    wr.deleteObject(green);
    wr.selectObject(green); // deleted: no change
    wr.ellipse(60, 60, 90, 90);
    const QImage img = render(wr.bytes());
    QCOMPARE(img.pixel(30, 30), Blue);
    QCOMPARE(img.pixel(10, 30), Red);
    QCOMPARE(img.pixel(75, 75), Blue);
    QCOMPARE(img.pixel(75, 60), Red);
}

void TestWmfPlayer::penWidths_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("width");
    QTest::addColumn<QList<int>>("redColumns");   // x of pixels on row 50 that are red
    QTest::addColumn<QList<int>>("whiteColumns"); // and that are white
    // A vertical line at x = 50, 2x magnified: logical 25 on a 50-unit canvas.
    QTest::newRow("width 0 is one pixel")
        << int(WmfWriter::PsSolid) << 0 << QList<int>{50} << QList<int>{47, 53};
    QTest::newRow("width 5 doubles to 10 pixels")
        << int(WmfWriter::PsSolid) << 5 << QList<int>{46, 50, 54} << QList<int>{43, 57};
    QTest::newRow("null pen") << int(WmfWriter::PsNull) << 5 << QList<int>{} << QList<int>{50};
}

void TestWmfPlayer::penWidths()
{
    QFETCH(int, style);
    QFETCH(int, width);
    QFETCH(QList<int>, redColumns);
    QFETCH(QList<int>, whiteColumns);
    WmfWriter wr = canvas(50, 50);
    wr.selectObject(wr.createPenIndirect(style, width, WmfWriter::rgb(255, 0, 0)));
    wr.moveTo(25, 5);
    wr.lineTo(25, 45);
    const QImage img = render(wr.bytes());
    for (int x : redColumns)
        QCOMPARE(img.pixel(x, 50), Red);
    for (int x : whiteColumns)
        QCOMPARE(img.pixel(x, 50), White);
}

// A vertical line from (50, 10) to (50, 90) in pixels; the listed pixels on
// or near it must be red, the others the background's colour.
void TestWmfPlayer::penStylesAndCaps_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("bkMode");
    QTest::addColumn<Points>("red");
    QTest::addColumn<Points>("gap");
    using W = WmfWriter;
    // Cosmetic dashes: 18 pixels on, 6 off.
    QTest::newRow("dash, transparent gaps") << int(W::PsDash) << 0 << int(W::Transparent)
                                            << Points{{50, 20}, {50, 40}} << Points{{50, 31}};
    QTest::newRow("dash, opaque gaps")
        << int(W::PsDash) << 0 << int(W::Opaque) << Points{{50, 20}} << Points{{50, 31}};
    QTest::newRow("wide dash draws solid")
        << int(W::PsDash) << 5 << int(W::Transparent) << Points{{50, 31}} << Points{};
    QTest::newRow("flat cap") << int(W::PsSolid | W::PsEndcapFlat) << 5 << int(W::Transparent)
                              << Points{{50, 88}} << Points{{50, 93}};
    QTest::newRow("square cap") << int(W::PsSolid | W::PsEndcapSquare) << 5 << int(W::Transparent)
                                << Points{{50, 93}, {46, 94}} << Points{};
    QTest::newRow("round cap") << int(W::PsSolid | W::PsEndcapRound) << 5 << int(W::Transparent)
                               << Points{{50, 93}} << Points{{46, 94}};
}

void TestWmfPlayer::penStylesAndCaps()
{
    QFETCH(int, style);
    QFETCH(int, width);
    QFETCH(int, bkMode);
    QFETCH(Points, red);
    QFETCH(Points, gap);
    WmfWriter wr = canvas(50, 50);
    wr.setBkMode(bkMode);
    wr.setBkColor(WmfWriter::rgb(255, 255, 0));
    wr.selectObject(wr.createPenIndirect(style, width, WmfWriter::rgb(255, 0, 0)));
    wr.moveTo(25, 5);
    wr.lineTo(25, 45);
    const QImage img = render(wr.bytes());
    const QRgb gapColour = bkMode == WmfWriter::Opaque ? qRgb(255, 255, 0) : White;
    for (const QPoint& p : red)
        QVERIFY2(img.pixel(p) == Red,
                 qPrintable(QString("not red at %1,%2").arg(p.x()).arg(p.y())));
    for (const QPoint& p : gap)
        QVERIFY2(img.pixel(p) == gapColour,
                 qPrintable(QString("not the gap colour at %1,%2").arg(p.x()).arg(p.y())));
}

// A thick polyline with a sharp corner pointing up at (50, 20) in pixels:
// how far above the corner the outline reaches tells the join.
void TestWmfPlayer::penJoins_data()
{
    QTest::addColumn<int>("join");
    QTest::addColumn<QRgb>("at11");
    QTest::addColumn<QRgb>("at16");
    QTest::newRow("miter") << int(WmfWriter::PsJoinMiter) << Red << Red;
    QTest::newRow("round") << int(WmfWriter::PsJoinRound) << White << Red;
    QTest::newRow("bevel") << int(WmfWriter::PsJoinBevel) << White << White;
}

void TestWmfPlayer::penJoins()
{
    QFETCH(int, join);
    QFETCH(QRgb, at11);
    QFETCH(QRgb, at16);
    WmfWriter wr = canvas(50, 50);
    wr.selectObject(wr.createPenIndirect(WmfWriter::PsSolid | join, 6, WmfWriter::rgb(255, 0, 0)));
    wr.polyline(QPolygon({QPoint(10, 40), QPoint(25, 10), QPoint(40, 40)}));
    const QImage img = render(wr.bytes());
    QCOMPARE(img.pixel(50, 11), at11);
    QCOMPARE(img.pixel(50, 16), at16);
}

void TestWmfPlayer::hatchedBrushes_data()
{
    QTest::addColumn<int>("hatch");
    QTest::addColumn<int>("bkMode");
    QTest::addColumn<QString>(
        "lines"); // "x-y": pixels of a line share x - y mod 8; "x+y" and so on
    QTest::newRow("horizontal") << int(WmfWriter::HsHorizontal) << int(WmfWriter::Transparent)
                                << "y";
    QTest::newRow("vertical") << int(WmfWriter::HsVertical) << int(WmfWriter::Transparent) << "x";
    QTest::newRow("forward diagonal, top left to bottom right")
        << int(WmfWriter::HsFDiagonal) << int(WmfWriter::Transparent) << "x-y";
    QTest::newRow("backward diagonal, bottom left to top right")
        << int(WmfWriter::HsBDiagonal) << int(WmfWriter::Opaque) << "x+y";
}

void TestWmfPlayer::hatchedBrushes()
{
    QFETCH(int, hatch);
    QFETCH(int, bkMode);
    QFETCH(QString, lines);
    WmfWriter wr = canvas();
    nullPen(wr);
    wr.setBkMode(bkMode);
    wr.setBkColor(WmfWriter::rgb(255, 255, 0));
    wr.selectObject(wr.createBrushIndirect(WmfWriter::BsHatched, WmfWriter::rgb(0, 0, 255), hatch));
    wr.rectangle(0, 0, 100, 100);
    const QImage img = render(wr.bytes());
    const QRgb gap = bkMode == WmfWriter::Opaque ? qRgb(255, 255, 0) : White;
    QSet<int> keys;
    int ink = 0;
    for (int y = 40; y < 56; ++y) {
        for (int x = 40; x < 56; ++x) {
            const QRgb c = img.pixel(x, y);
            QVERIFY(c == Blue || c == gap);
            if (c != Blue)
                continue;
            ++ink;
            keys.insert(lines == "y"     ? y % 8
                        : lines == "x"   ? x % 8
                        : lines == "x-y" ? (x - y + 64) % 8
                                         : (x + y) % 8);
        }
    }
    QVERIFY(ink >= 16);
    QCOMPARE(keys.size(), 1); // one line of the 8 x 8 pattern, in the right direction
}

void TestWmfPlayer::patternBrushes()
{
    // DIB pattern (colours of its own) on the left, a one-bit device pattern
    // (text and background colours) on the right.
    QImage pattern(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            pattern.setPixel(x, y, x < 4 ? Red : Green);
    QImage mono(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            mono.setPixel(x, y, y < 4 ? White : Black);
    WmfWriter wr = canvas();
    nullPen(wr);
    wr.selectObject(wr.createDibPatternBrush(WmfWriter::dib(pattern, 24)));
    wr.rectangle(0, 0, 48, 100);
    wr.setTextColor(WmfWriter::rgb(0, 0, 255));
    wr.setBkColor(WmfWriter::rgb(255, 255, 0));
    wr.selectObject(wr.createPatternBrush(mono));
    wr.rectangle(52, 0, 100, 100);
    const QImage img = render(wr.bytes());
    // Patterns are aligned to the device origin.
    QCOMPARE(img.pixel(17, 30), Red);
    QCOMPARE(img.pixel(21, 30), Green);
    QCOMPARE(img.pixel(60, 66), qRgb(255, 255, 0)); // set bits: background colour
    QCOMPARE(img.pixel(60, 70), Blue);              // clear bits: text colour
}

// On a device of ten times a screen's resolution (a printer, say), a hatch
// line and a one-pixel pen are ten device pixels wide, not one.
void TestWmfPlayer::fineDevicesUseScreenPixels()
{
    WmfWriter wr = canvas();
    nullPen(wr);
    wr.setBkMode(WmfWriter::Transparent);
    wr.selectObject(wr.createBrushIndirect(WmfWriter::BsHatched, WmfWriter::rgb(0, 0, 255),
                                           WmfWriter::HsHorizontal));
    wr.rectangle(0, 0, 50, 100);
    wr.selectObject(wr.createPenIndirect(WmfWriter::PsSolid, 0, WmfWriter::rgb(255, 0, 0)));
    wr.moveTo(75, 0);
    wr.lineTo(75, 100);
    QImage img(1000, 1000, QImage::Format_ARGB32);
    img.setDotsPerMeterX(37795); // 960 per inch
    img.setDotsPerMeterY(37795);
    img.fill(Qt::white);
    QPainter p(&img);
    WmfPicture::fromBytes(wr.bytes()).play(p, QRectF(0, 0, 1000, 1000));
    p.end();
    int hatchRows = 0;
    for (int y = 0; y < 80; ++y)
        hatchRows += img.pixel(200, y) == Blue;
    QCOMPARE(hatchRows, 10); // one line of the 8-pixel pattern, 10 device pixels each
    int penColumns = 0;
    for (int x = 700; x < 800; ++x)
        penColumns += img.pixel(x, 500) == Red;
    QCOMPARE(penColumns, 10);
}

void TestWmfPlayer::polyPolygonFillModes_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QRgb>("overlap");
    QTest::newRow("alternate leaves the overlap open") << int(WmfWriter::Alternate) << White;
    QTest::newRow("winding fills it") << int(WmfWriter::Winding) << Red;
}

void TestWmfPlayer::polyPolygonFillModes()
{
    QFETCH(int, mode);
    QFETCH(QRgb, overlap);
    WmfWriter wr = canvas();
    nullPen(wr);
    solidBrush(wr, Red);
    wr.setPolyFillMode(mode);
    wr.polyPolygon({QPolygon(QRect(10, 10, 50, 50)), QPolygon(QRect(40, 40, 50, 50))});
    const QImage img = render(wr.bytes());
    QCOMPARE(img.pixel(20, 20), Red);
    QCOMPARE(img.pixel(80, 80), Red);
    QCOMPARE(img.pixel(50, 50), overlap);
    QCOMPARE(img.pixel(20, 80), White);
}

// The ellipse (0,0)-(100,100): from the radial line through the start point
// counter-clockwise to the one through the end point.
void TestWmfPlayer::arcsRunCounterClockwise_data()
{
    QTest::addColumn<int>("kind"); // 0 pie, 1 chord, 2 arc
    QTest::addColumn<QPoint>("start");
    QTest::addColumn<QPoint>("end");
    QTest::addColumn<Points>("drawn");
    QTest::addColumn<Points>("empty");
    const QPoint east(100, 50), north(50, 0), west(0, 50);
    QTest::newRow("pie east to north")
        << 0 << east << north << Points{{75, 25}} << Points{{25, 25}, {25, 75}, {75, 75}};
    QTest::newRow("pie north to east")
        << 0 << north << east << Points{{25, 25}, {25, 75}, {75, 75}} << Points{{75, 25}};
    QTest::newRow("pie radial points far out")
        << 0 << QPoint(1000, 50) << QPoint(50, -1000) << Points{{75, 25}} << Points{{25, 75}};
    QTest::newRow("pie same point: whole ellipse")
        << 0 << east << east << Points{{25, 25}, {75, 75}} << Points{{3, 3}};
    QTest::newRow("chord east to north")
        << 1 << east << north << Points{{85, 20}} << Points{{55, 35}, {25, 75}};
    QTest::newRow("chord east to west")
        << 1 << east << west << Points{{50, 20}} << Points{{50, 60}};
    QTest::newRow("arc east to north")
        << 2 << east << north << Points{{85, 15}} << Points{{15, 85}, {60, 40}};
}

void TestWmfPlayer::arcsRunCounterClockwise()
{
    QFETCH(int, kind);
    QFETCH(QPoint, start);
    QFETCH(QPoint, end);
    QFETCH(Points, drawn);
    QFETCH(Points, empty);
    WmfWriter wr = canvas();
    wr.selectObject(wr.createPenIndirect(WmfWriter::PsSolid, 3, WmfWriter::rgb(255, 0, 0)));
    solidBrush(wr, Red);
    if (kind == 0)
        wr.pie(0, 0, 100, 100, start.x(), start.y(), end.x(), end.y());
    else if (kind == 1)
        wr.chord(0, 0, 100, 100, start.x(), start.y(), end.x(), end.y());
    else
        wr.arc(0, 0, 100, 100, start.x(), start.y(), end.x(), end.y());
    const QImage img = render(wr.bytes());
    for (const QPoint& p : drawn)
        QVERIFY2(img.pixel(p) == Red,
                 qPrintable(QString("not drawn at %1,%2").arg(p.x()).arg(p.y())));
    for (const QPoint& p : empty)
        QVERIFY2(img.pixel(p) == White,
                 qPrintable(QString("drawn at %1,%2").arg(p.x()).arg(p.y())));
}

void TestWmfPlayer::clipping_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Points>("red");
    QTest::addColumn<Points>("white");
    auto start = [](WmfWriter& wr) {
        nullPen(wr);
        solidBrush(wr, Red);
    };
    {
        WmfWriter wr = canvas();
        start(wr);
        wr.intersectClipRect(0, 0, 50, 100);
        wr.intersectClipRect(20, 0, 100, 100);
        wr.rectangle(0, 0, 100, 100);
        QTest::newRow("intersect twice")
            << wr.bytes() << Points{{30, 50}} << Points{{10, 50}, {70, 50}};
    }
    {
        WmfWriter wr = canvas();
        start(wr);
        wr.excludeClipRect(25, 25, 75, 75);
        wr.rectangle(0, 0, 100, 100);
        QTest::newRow("exclude") << wr.bytes() << Points{{10, 10}, {90, 90}} << Points{{50, 50}};
    }
    {
        WmfWriter wr = canvas();
        start(wr);
        wr.intersectClipRect(0, 0, 60, 60);
        wr.excludeClipRect(20, 20, 40, 40);
        wr.rectangle(0, 0, 100, 100);
        QTest::newRow("intersect then exclude")
            << wr.bytes() << Points{{10, 10}, {50, 50}} << Points{{30, 30}, {80, 80}};
    }
    {
        WmfWriter wr = canvas();
        start(wr);
        const int region = wr.createRegion(QRegion(0, 0, 30, 30) + QRegion(70, 70, 30, 30));
        wr.selectClipRegion(region);
        wr.rectangle(0, 0, 100, 100);
        QTest::newRow("region") << wr.bytes() << Points{{10, 10}, {90, 90}}
                                << Points{{50, 50}, {90, 10}};
    }
    {
        WmfWriter wr = canvas();
        start(wr);
        wr.intersectClipRect(0, 0, 10, 10);
        const int pen = wr.createPenIndirect(WmfWriter::PsNull, 0, 0);
        wr.selectClipRegion(pen); // not a region: the clip is reset
        wr.rectangle(0, 0, 100, 100);
        QTest::newRow("selecting no region resets") << wr.bytes() << Points{{50, 50}} << Points{};
    }
    {
        WmfWriter wr = canvas();
        start(wr);
        wr.setWindowExt(200, 200);
        wr.intersectClipRect(0, 0, 100, 200); // logical units, mapped when set
        wr.rectangle(0, 0, 200, 200);
        QTest::newRow("clip follows the mapping")
            << wr.bytes() << Points{{45, 50}} << Points{{55, 50}};
    }
}

void TestWmfPlayer::clipping()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Points, red);
    QFETCH(Points, white);
    verifyRedAndWhite(render(bytes), red, white);
}

void TestWmfPlayer::paletteColours()
{
    WmfWriter wr = canvas();
    nullPen(wr);
    // A pen takes slot 0; the palette takes slot 1 and the brush slot 2.
    const int palette = wr.createPalette({qRgb(10, 20, 30), qRgb(200, 100, 50)});
    QCOMPARE(palette, 1);
    wr.selectPalette(palette);
    wr.realizePalette();
    const int brush = wr.createBrushIndirect(WmfWriter::BsSolid, WmfWriter::paletteIndex(1));
    QCOMPARE(brush, 2);
    wr.selectObject(brush);
    wr.rectangle(0, 0, 50, 100);
    // A DIB whose colour table holds palette indices.
    QImage two(2, 1, QImage::Format_Indexed8);
    two.setColorTable({qRgb(0, 0, 0), qRgb(1, 0, 0)}); // written as indices 0 and 1 below
    two.setPixel(0, 0, 0);
    two.setPixel(1, 0, 1);
    QByteArray dib = WmfWriter::dib(two, 8);
    // Rewrite the colour table as 16-bit indices: 1 then 0.
    QByteArray table;
    table.append(char(1)).append(char(0)).append(char(0)).append(char(0));
    dib = dib.left(40) + table + dib.mid(40 + 256 * 4);
    dib[32] = 2; // two colours used
    dib[33] = 0;
    wr.stretchDib(QRect(50, 0, 50, 100), QRect(0, 0, 2, 1), dib, WmfWriter::SrcCopy,
                  WmfWriter::DibPalColors);
    const QImage img = render(wr.bytes());
    QCOMPARE(img.pixel(25, 50), qRgb(200, 100, 50));
    QCOMPARE(img.pixel(60, 50), qRgb(200, 100, 50));
    QCOMPARE(img.pixel(90, 50), qRgb(10, 20, 30));
}

void TestWmfPlayer::patBltAndPixels()
{
    WmfWriter wr = canvas();
    solidBrush(wr, Green);
    wr.patBlt(0, 0, 50, 50, WmfWriter::PatCopy);
    wr.patBlt(50, 0, 50, 50, WmfWriter::Blackness);
    wr.patBlt(0, 50, 50, 50, WmfWriter::Whiteness);
    wr.patBlt(50, 50, 50, 50, WmfWriter::DstInvert); // needs the device's pixels: skipped
    wr.setPixel(75, 75, WmfWriter::rgb(255, 0, 0));
    const QImage img = render(wr.bytes(), QSize(100, 100), QColor(Qt::blue));
    QCOMPARE(img.pixel(25, 25), Green);
    QCOMPARE(img.pixel(75, 25), Black);
    QCOMPARE(img.pixel(25, 75), White);
    QCOMPARE(img.pixel(60, 60), Blue);
    QCOMPARE(img.pixel(75, 75), Red);
}

void TestWmfPlayer::playsIntoTargetOnly()
{
    WmfWriter wr = canvas();
    nullPen(wr);
    solidBrush(wr, Red);
    wr.rectangle(-50, -50, 150, 150);
    QImage img(200, 200, QImage::Format_ARGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setPen(Qt::blue);
    WmfPicture::fromBytes(wr.bytes()).play(p, QRectF(50, 50, 100, 100));
    QCOMPARE(p.pen().color(), QColor(Qt::blue)); // the painter's state comes back
    p.end();
    QCOMPARE(img.pixel(100, 100), Red);
    QCOMPARE(img.pixel(40, 100), White);
    QCOMPARE(img.pixel(160, 160), White);
}

// Two triangles without outlines that share a diagonal make one red square,
// with antialiasing on too: no light seam along the diagonal.
void TestWmfPlayer::noSeamsBetweenAbuttingShapes()
{
    WmfWriter wr = canvas();
    nullPen(wr);
    solidBrush(wr, Red);
    wr.polygon(QPolygon({QPoint(10, 10), QPoint(90, 10), QPoint(10, 90)}));
    wr.polygon(QPolygon({QPoint(90, 10), QPoint(90, 90), QPoint(10, 90)}));
    QImage img(100, 100, QImage::Format_ARGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    WmfPicture::fromBytes(wr.bytes()).play(p, QRectF(0, 0, 100, 100));
    p.end();
    // The pixels that the diagonal cuts in half.
    for (int i = 20; i < 80; ++i)
        QVERIFY2(sameColour(img.pixel(i, 99 - i), Red, 8),
                 qPrintable(QString("seam at %1,%2").arg(i).arg(99 - i)));
}

QTEST_GUILESS_MAIN(TestWmfPlayer)
#include "tst_wmfplayer.moc"
