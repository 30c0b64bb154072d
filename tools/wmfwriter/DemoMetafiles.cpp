// Demo clip art for the demo disc: four placeable metafiles drawn with our
// writer, each using many kinds of records (shapes, hatched and pattern
// brushes, fonts, clipping, palettes, bitmaps).

#include "WmfWriter.h"

#include <QPointF>

#include <cmath>
#include <numbers>

namespace {

constexpr int W = 6400; // logical units: ten per pixel at the natural size
constexpr int H = 4800;
constexpr double Pi = std::numbers::pi;

using WW = WmfWriter;

class Canvas
{
public:
    WmfWriter w;

    Canvas()
    {
        w.setPlaceable(0, 0, W, H, 960); // 640 x 480 pixels at 96 per inch
        w.setWindowOrg(0, 0);
        w.setWindowExt(W, H);
        w.setBkMode(WW::Transparent);
    }

    // Creates and selects; the caller deletes the slot when done.
    int brush(const QColor& c)
    {
        const int b = w.createBrushIndirect(WW::BsSolid, WW::rgb(c));
        w.selectObject(b);
        return b;
    }
    int hatch(const QColor& c, int style)
    {
        const int b = w.createBrushIndirect(WW::BsHatched, WW::rgb(c), style);
        w.selectObject(b);
        return b;
    }
    int hollow()
    {
        const int b = w.createBrushIndirect(WW::BsNull, 0);
        w.selectObject(b);
        return b;
    }
    int pen(const QColor& c, int width, int style = WW::PsSolid)
    {
        const int p = w.createPenIndirect(style, width, WW::rgb(c));
        w.selectObject(p);
        return p;
    }
    int noPen() { return pen(Qt::black, 0, WW::PsNull); }
    void drop(int slot) { w.deleteObject(slot); }

    // Horizontal bands from one colour to another.
    void gradient(int left, int top, int right, int bottom, const QColor& from, const QColor& to,
                  int bands)
    {
        const int p = noPen();
        for (int i = 0; i < bands; ++i) {
            const double t = bands > 1 ? double(i) / (bands - 1) : 0;
            const QColor c = QColor::fromRgbF(from.redF() + (to.redF() - from.redF()) * t,
                                              from.greenF() + (to.greenF() - from.greenF()) * t,
                                              from.blueF() + (to.blueF() - from.blueF()) * t);
            const int b = brush(c);
            const int y0 = top + (bottom - top) * i / bands;
            // Bands overlap a little so that no seam shows between them.
            const int y1 = top + (bottom - top) * (i + 1) / bands + 20;
            w.rectangle(left, y0, right + 1, y1);
            drop(b);
        }
        drop(p);
    }

    void text(int x, int y, const QString& s, int height, const QColor& c, int align,
              const QByteArray& face = "Arial", int weight = 700, int escapement = 0,
              bool italic = false)
    {
        WW::Font f;
        f.height = -height;
        f.weight = weight;
        f.faceName = face;
        f.escapement = escapement;
        f.orientation = escapement;
        f.italic = italic;
        const int font = w.createFontIndirect(f);
        w.selectObject(font);
        w.setTextAlign(align);
        w.setTextColor(WW::rgb(c));
        w.textOut(x, y, s.toLatin1());
        drop(font);
    }

    // A caption with a soft shadow, centred on its baseline.
    void caption(int x, int y, const QString& s, int height, const QColor& c, const QColor& shadow,
                 const QByteArray& face)
    {
        text(x + height / 14, y + height / 14, s, height, shadow, WW::TaCenter | WW::TaBaseline,
             face);
        text(x, y, s, height, c, WW::TaCenter | WW::TaBaseline, face);
    }
};

QPoint pt(double x, double y)
{
    return QPoint(int(std::lround(x)), int(std::lround(y)));
}

// An ellipse turned by angle (degrees), as a polygon.
QPolygon turnedEllipse(QPointF c, double rx, double ry, double angle, int n = 40)
{
    QPolygon poly;
    const double a = angle * Pi / 180;
    for (int i = 0; i < n; ++i) {
        const double t = 2 * Pi * i / n;
        const double x = rx * std::cos(t), y = ry * std::sin(t);
        poly << pt(c.x() + x * std::cos(a) - y * std::sin(a),
                   c.y() + x * std::sin(a) + y * std::cos(a));
    }
    return poly;
}

// A leaf: a pointed lens from a to b, width at its middle.
QPolygon leaf(QPointF a, QPointF b, double width, int n = 16)
{
    QPolygon poly;
    const QPointF d = b - a;
    const double len = std::hypot(d.x(), d.y());
    const QPointF u = d / len;
    const QPointF v(-u.y(), u.x());
    for (int i = 0; i <= n; ++i) {
        const double t = double(i) / n;
        poly << pt(a.x() + d.x() * t + v.x() * std::sin(Pi * t) * width / 2,
                   a.y() + d.y() * t + v.y() * std::sin(Pi * t) * width / 2);
    }
    for (int i = n - 1; i > 0; --i) {
        const double t = double(i) / n;
        poly << pt(a.x() + d.x() * t - v.x() * std::sin(Pi * t) * width / 2,
                   a.y() + d.y() * t - v.y() * std::sin(Pi * t) * width / 2);
    }
    return poly;
}

QByteArray flower(const QString& caption)
{
    Canvas cv;
    WmfWriter& w = cv.w;
    cv.gradient(0, 0, W, 3500, QColor(110, 170, 235), QColor(225, 240, 255), 40);

    // Sun with rays.
    int p = cv.pen(QColor(240, 150, 20), 40);
    int b = cv.brush(QColor(255, 215, 60));
    w.ellipse(600, 400, 1400, 1200);
    cv.drop(b);
    for (int i = 0; i < 12; ++i) {
        const double a = 2 * Pi * i / 12;
        w.moveTo(int(1000 + 520 * std::cos(a)), int(800 + 520 * std::sin(a)));
        w.lineTo(int(1000 + 720 * std::cos(a)), int(800 + 720 * std::sin(a)));
    }
    cv.drop(p);

    // Meadow: green ground with a hatch of grass over it.
    p = cv.noPen();
    b = cv.brush(QColor(90, 160, 60));
    w.rectangle(0, 3500, W + 1, H + 1);
    cv.drop(b);
    b = cv.hatch(QColor(60, 120, 40), WW::HsVertical);
    w.rectangle(0, 3500, W + 1, H + 1);
    cv.drop(b);
    cv.drop(p);

    // Stem, as a thick curved line with round ends.
    p = cv.pen(QColor(40, 120, 40), 110, WW::PsSolid | WW::PsEndcapRound | WW::PsJoinRound);
    QPolygon stem;
    for (int i = 0; i <= 12; ++i) {
        const double t = i / 12.0;
        stem << pt(3200 + 180 * std::sin(t * Pi * 1.2), 4150 - t * 2450);
    }
    w.polyline(stem);
    cv.drop(p);

    // Leaves with a vein.
    p = cv.pen(QColor(30, 90, 30), 25);
    b = cv.brush(QColor(70, 170, 70));
    w.polygon(leaf(QPointF(3240, 3300), QPointF(2300, 2750), 420));
    w.polygon(leaf(QPointF(3300, 2900), QPointF(4250, 2450), 380));
    cv.drop(b);
    w.moveTo(3240, 3300);
    w.lineTo(2450, 2840);
    w.moveTo(3300, 2900);
    w.lineTo(4100, 2520);
    cv.drop(p);

    // Ladybird on the left leaf.
    p = cv.noPen();
    b = cv.brush(QColor(210, 30, 30));
    w.ellipse(2640, 2860, 2860, 3040);
    cv.drop(b);
    b = cv.brush(Qt::black);
    w.pie(2580, 2880, 2720, 3020, 2700, 2880, 2700, 3020);
    w.ellipse(2730, 2900, 2770, 2940);
    w.ellipse(2780, 2960, 2820, 3000);
    cv.drop(b);
    cv.drop(p);

    // Petals in two rings around the heart.
    const QPointF heart(3200 + 180 * std::sin(1.2 * Pi), 1700);
    p = cv.pen(QColor(170, 40, 110), 20);
    b = cv.brush(QColor(235, 90, 160));
    for (int i = 0; i < 8; ++i) {
        const double a = 360.0 * i / 8;
        const double r = a * Pi / 180;
        w.polygon(
            turnedEllipse(heart + QPointF(420 * std::cos(r), 420 * std::sin(r)), 380, 170, a));
    }
    cv.drop(b);
    b = cv.brush(QColor(250, 150, 200));
    for (int i = 0; i < 8; ++i) {
        const double a = 360.0 * i / 8 + 22.5;
        const double r = a * Pi / 180;
        w.polygon(
            turnedEllipse(heart + QPointF(300 * std::cos(r), 300 * std::sin(r)), 260, 120, a));
    }
    cv.drop(b);
    cv.drop(p);
    // The heart: a cross hatch over an opaque golden background.
    p = cv.pen(QColor(150, 90, 20), 25);
    w.setBkMode(WW::Opaque);
    w.setBkColor(WW::rgb(250, 200, 40));
    b = cv.hatch(QColor(170, 100, 20), WW::HsDiagCross);
    w.ellipse(int(heart.x()) - 200, int(heart.y()) - 200, int(heart.x()) + 200,
              int(heart.y()) + 200);
    cv.drop(b);
    w.setBkMode(WW::Transparent);
    cv.drop(p);

    // Butterfly: wings as pies around its body.
    const QPointF body(5100, 1150);
    auto wing = [&](double from, double to, double radius) {
        const double a0 = from * Pi / 180, a1 = to * Pi / 180;
        w.pie(int(body.x() - radius), int(body.y() - radius), int(body.x() + radius),
              int(body.y() + radius), int(body.x() + 1000 * std::cos(a0)),
              int(body.y() - 1000 * std::sin(a0)), int(body.x() + 1000 * std::cos(a1)),
              int(body.y() - 1000 * std::sin(a1)));
    };
    p = cv.pen(QColor(60, 30, 90), 15);
    b = cv.brush(QColor(150, 110, 230));
    wing(100, 175, 480);
    wing(5, 80, 480);
    cv.drop(b);
    b = cv.brush(QColor(120, 200, 240));
    wing(195, 250, 360);
    wing(290, 345, 360);
    cv.drop(b);
    b = cv.brush(QColor(60, 30, 90));
    w.ellipse(5065, 880, 5135, 1450);
    cv.drop(b);
    w.arc(4900, 620, 5100, 1000, 5100, 900, 4980, 640);
    w.arc(5100, 620, 5300, 1000, 5220, 640, 5100, 900);
    cv.drop(p);

    // Pot with a checked band made by a pattern brush.
    p = cv.pen(QColor(120, 50, 20), 30);
    b = cv.brush(QColor(200, 100, 50));
    w.polygon(
        QPolygon({QPoint(2650, 3950), QPoint(3850, 3950), QPoint(3650, 4650), QPoint(2850, 4650)}));
    w.roundRect(2550, 3800, 3950, 4020, 120, 120);
    cv.drop(b);
    QImage check(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            check.setPixel(x, y, ((x / 4 + y / 4) % 2) ? qRgb(240, 220, 170) : qRgb(170, 70, 30));
    b = w.createDibPatternBrush(WmfWriter::dib(check, 24));
    w.selectObject(b);
    w.rectangle(2740, 4180, 3760, 4330);
    cv.drop(b);
    cv.drop(p);

    cv.caption(W / 2, 620, caption, 420, QColor(255, 255, 255), QColor(40, 60, 110),
               "Times New Roman");
    return w.bytes();
}

QByteArray house(const QString& caption)
{
    Canvas cv;
    WmfWriter& w = cv.w;
    cv.gradient(0, 0, W, 3300, QColor(70, 130, 210), QColor(190, 225, 250), 36);

    // Quarter sun in the corner and clouds.
    int p = cv.noPen();
    int b = cv.brush(QColor(255, 220, 80));
    w.pie(5400, -1000, 7400, 1000, 5400, 0, 6400, 1000);
    cv.drop(b);
    b = cv.brush(QColor(255, 255, 255));
    for (const QRect& r :
         {QRect(700, 500, 900, 450), QRect(1200, 350, 900, 550), QRect(1800, 520, 800, 420),
          QRect(3600, 900, 700, 350), QRect(4000, 800, 800, 420)})
        w.ellipse(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
    cv.drop(b);

    // Lawn and a path.
    b = cv.brush(QColor(100, 175, 70));
    w.rectangle(0, 3300, W + 1, H + 1);
    cv.drop(b);
    b = cv.brush(QColor(200, 180, 140));
    w.polygon(QPolygon({QPoint(2900, 4000), QPoint(3500, 4000), QPoint(4300, H), QPoint(2300, H)}));
    cv.drop(b);
    cv.drop(p);

    // Tree behind the fence.
    p = cv.pen(QColor(80, 50, 20), 20);
    b = cv.brush(QColor(120, 80, 40));
    w.rectangle(5200, 2500, 5420, 3900);
    cv.drop(b);
    b = cv.brush(QColor(50, 130, 50));
    w.ellipse(4600, 1500, 5600, 2600);
    w.ellipse(5000, 1300, 6100, 2400);
    w.ellipse(4900, 2000, 6000, 2900);
    cv.drop(b);
    cv.drop(p);

    // Chimney and smoke.
    p = cv.pen(QColor(90, 30, 20), 25);
    b = cv.brush(QColor(160, 60, 40));
    w.rectangle(3750, 1050, 4050, 1800);
    cv.drop(b);
    cv.drop(p);
    p = cv.pen(QColor(150, 150, 160), 40);
    w.arc(3800, 500, 4200, 900, 4000, 900, 4200, 700);
    w.arc(3950, 200, 4450, 600, 4200, 600, 4450, 400);
    cv.drop(p);

    // Walls with a brick pattern brush.
    QImage brick(16, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool mortar = y == 3 || y == 7 || (y < 3 && x == 0) || (y > 3 && x == 8);
            brick.setPixel(x, y, mortar ? qRgb(225, 215, 200) : qRgb(185, 80, 55));
        }
    p = cv.pen(QColor(90, 40, 30), 30);
    b = w.createDibPatternBrush(WmfWriter::dib(brick, 24, true));
    w.selectObject(b);
    w.rectangle(1500, 2100, 4500, 3900);
    cv.drop(b);

    // Roof with mitred corners and a tiled look from a hatch.
    const int roofPen = cv.pen(QColor(70, 20, 20), 60, WW::PsSolid | WW::PsJoinMiter);
    cv.drop(p);
    b = cv.brush(QColor(150, 40, 40));
    const QPolygon roof({QPoint(1200, 2150), QPoint(3000, 900), QPoint(4800, 2150)});
    w.polygon(roof);
    cv.drop(b);
    b = cv.hatch(QColor(110, 25, 25), WW::HsHorizontal);
    w.polygon(roof);
    cv.drop(b);
    cv.drop(roofPen);

    // Door and windows.
    p = cv.pen(QColor(60, 35, 15), 25);
    b = cv.brush(QColor(120, 70, 30));
    w.roundRect(2700, 2900, 3300, 3900, 200, 200);
    cv.drop(b);
    b = cv.brush(QColor(240, 200, 60));
    w.ellipse(3150, 3380, 3230, 3460);
    cv.drop(b);
    cv.drop(p);
    p = cv.pen(QColor(255, 255, 255), 50);
    b = cv.brush(QColor(160, 210, 245));
    for (int x : {1800, 3700}) {
        w.rectangle(x, 2500, x + 600, 3100);
        w.moveTo(x + 300, 2500);
        w.lineTo(x + 300, 3100);
        w.moveTo(x, 2800);
        w.lineTo(x + 600, 2800);
    }
    cv.drop(b);
    cv.drop(p);
    p = cv.noPen();
    b = cv.brush(QColor(230, 120, 150));
    for (int x : {1800, 3700}) {
        w.chord(x - 200, 2400, x + 250, 3200, x + 25, 2400, x + 25, 3200);
        w.chord(x + 350, 2400, x + 800, 3200, x + 575, 3200, x + 575, 2400);
    }
    cv.drop(b);
    // Round attic window.
    b = cv.brush(QColor(160, 210, 245));
    w.ellipse(2800, 1500, 3200, 1900);
    cv.drop(b);
    cv.drop(p);

    // Fence: all pickets in one poly-polygon.
    p = cv.pen(QColor(150, 140, 120), 15);
    b = cv.brush(QColor(250, 250, 245));
    QList<QPolygon> pickets;
    for (int x = 100; x < 2200; x += 260)
        pickets.append(QPolygon({QPoint(x, 3600), QPoint(x + 80, 3480), QPoint(x + 160, 3600),
                                 QPoint(x + 160, 4300), QPoint(x, 4300)}));
    for (int x = 4500; x < 6300; x += 260)
        pickets.append(QPolygon({QPoint(x, 3600), QPoint(x + 80, 3480), QPoint(x + 160, 3600),
                                 QPoint(x + 160, 4300), QPoint(x, 4300)}));
    w.polyPolygon(pickets);
    w.rectangle(0, 3750, 2250, 3830);
    w.rectangle(4450, 3750, W, 3830);
    cv.drop(b);
    cv.drop(p);

    // A bird on the roof: a small bitmap with a transparent background,
    // drawn as the usual mask (SRCAND) and image (SRCPAINT) pair.
    const char* bird[] = {"....KKK.........", "...KYYYK........", "..KYYKYYK.......",
                          ".OOYYYYYYK......", "..KYYYYYYYKKK...", "...KYYYYYYYYYKK.",
                          "....KYYYYYYYYK..", ".....KKYYYYKK...", ".......K..K.....",
                          "......KK.KK....."};
    QImage mask(16, 10, QImage::Format_RGB32);
    QImage image(16, 10, QImage::Format_RGB32);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 16; ++x) {
            const char c = bird[y][x];
            mask.setPixel(x, y, c == '.' ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
            image.setPixel(x, y,
                           c == '.'   ? qRgb(0, 0, 0)
                           : c == 'K' ? qRgb(40, 30, 20)
                           : c == 'O' ? qRgb(240, 130, 20)
                                      : qRgb(250, 210, 40));
        }
    const QRect birdDest(2700, 540, 640, 400);
    w.stretchDib(birdDest, QRect(0, 0, 16, 10), WmfWriter::dib(mask, 1), WW::SrcAnd);
    w.stretchDib(birdDest, QRect(0, 0, 16, 10), WmfWriter::dib(image, 8), WW::SrcPaint);

    cv.caption(2300, 4560, caption, 380, QColor(255, 250, 230), QColor(40, 60, 30), "Arial");
    return w.bytes();
}

QByteArray landscape(const QString& caption)
{
    Canvas cv;
    WmfWriter& w = cv.w;
    w.setMapMode(WW::MmAnisotropic);
    cv.gradient(0, 0, W, 2900, QColor(70, 40, 120), QColor(250, 160, 90), 56);

    // The setting sun, cut at the horizon by a clip rectangle.
    w.saveDC();
    w.intersectClipRect(0, 0, W, 2900);
    int p = cv.noPen();
    int b = cv.brush(QColor(255, 120, 60));
    w.ellipse(3000, 2300, 4200, 3500);
    cv.drop(b);
    cv.drop(p);
    w.restoreDC(-1);

    // Pink clouds.
    p = cv.noPen();
    b = cv.brush(QColor(240, 150, 170));
    w.ellipse(600, 700, 2000, 1000);
    w.ellipse(1200, 560, 2400, 900);
    w.ellipse(4200, 1100, 5800, 1350);
    cv.drop(b);
    cv.drop(p);

    // Mountains: two ranges in one poly-polygon, filled by winding.
    w.setPolyFillMode(WW::Winding);
    p = cv.pen(QColor(40, 30, 60), 20);
    b = cv.brush(QColor(90, 80, 130));
    w.polyPolygon({QPolygon({QPoint(-100, 2900), QPoint(900, 1500), QPoint(1600, 2100),
                             QPoint(2600, 1100), QPoint(3500, 2900)}),
                   QPolygon({QPoint(3700, 2900), QPoint(4500, 1900), QPoint(4900, 2200),
                             QPoint(5700, 1400), QPoint(6600, 2900)})});
    cv.drop(b);
    b = cv.brush(QColor(245, 240, 250));
    w.polygon(QPolygon({QPoint(2600, 1100), QPoint(2950, 1420), QPoint(2750, 1380),
                        QPoint(2600, 1500), QPoint(2450, 1380), QPoint(2260, 1430)}));
    w.polygon(QPolygon({QPoint(5700, 1400), QPoint(5960, 1620), QPoint(5800, 1600),
                        QPoint(5700, 1700), QPoint(5580, 1600), QPoint(5450, 1630)}));
    cv.drop(b);
    cv.drop(p);

    // Lake with ripples (hatch) and a broken reflection of the sun made by
    // excluding thin stripes from the clip.
    cv.gradient(0, 2900, W, H, QColor(70, 80, 150), QColor(30, 40, 90), 20);
    p = cv.noPen();
    b = cv.hatch(QColor(120, 130, 200), WW::HsHorizontal);
    w.rectangle(0, 2900, W + 1, H + 1);
    cv.drop(b);
    w.saveDC();
    for (int y = 2960; y < 3900; y += 110)
        w.excludeClipRect(2800, y, 4400, y + 45);
    b = cv.brush(QColor(255, 150, 80));
    w.ellipse(3100, 2900, 4100, 3900);
    cv.drop(b);
    w.restoreDC(-1);
    cv.drop(p);

    // Pine trees on the near shore.
    p = cv.pen(QColor(10, 40, 20), 15);
    for (int i = 0; i < 6; ++i) {
        const int x = 250 + i * 420;
        const int base = 3250 + (i % 2) * 150;
        b = cv.brush(QColor(70, 40, 20));
        w.rectangle(x - 40, base - 200, x + 40, base + 60);
        cv.drop(b);
        b = cv.brush(QColor(20 + i * 8, 90 + i * 6, 50));
        for (int k = 0; k < 3; ++k) {
            const int top = base - 1100 + k * 260;
            w.polygon(QPolygon({QPoint(x, top), QPoint(x + 240 - k * 20 + k * 60, top + 520),
                                QPoint(x - 240 - k * 40, top + 520)}));
        }
        cv.drop(b);
    }
    cv.drop(p);

    // Birds: two arcs each.
    p = cv.pen(QColor(30, 20, 40), 25, WW::PsSolid | WW::PsEndcapRound);
    for (const QPoint& c : {QPoint(2000, 1400), QPoint(2400, 1250), QPoint(2250, 1650)}) {
        w.arc(c.x() - 200, c.y() - 80, c.x(), c.y() + 120, c.x(), c.y() + 20, c.x() - 200,
              c.y() + 20);
        w.arc(c.x(), c.y() - 80, c.x() + 200, c.y() + 120, c.x() + 200, c.y() + 20, c.x(),
              c.y() + 20);
    }
    cv.drop(p);

    // Caption on an opaque banner, letters spaced by a spacing array.
    WW::Font f;
    f.height = -340;
    f.weight = 700;
    f.faceName = "Georgia;Times New Roman";
    const int font = w.createFontIndirect(f);
    w.selectObject(font);
    w.setTextColor(WW::rgb(255, 240, 200));
    w.setBkColor(WW::rgb(40, 30, 60));
    w.setTextAlign(WW::TaCenter | WW::TaBaseline);
    const QByteArray text = caption.toLatin1();
    QList<int> dx;
    for (char ch : text) // letter-spaced: narrow letters get less room
        dx.append(QByteArray("iljtfr.,'").contains(ch) ? 190
                  : QByteArray("mwMW").contains(ch)    ? 380
                  : ch == ' '                          ? 220
                  : (ch >= 'A' && ch <= 'Z')           ? 320
                                                       : 270);
    w.extTextOut(W / 2, 4500, WW::EtoOpaque, QRect(QPoint(0, 4100), QPoint(W, 4650)), text, dx);
    cv.drop(font);
    return w.bytes();
}

QByteArray chart(const QString& caption)
{
    Canvas cv;
    WmfWriter& w = cv.w;
    int p = cv.pen(QColor(120, 120, 140), 30);
    int b = cv.brush(QColor(250, 250, 246));
    w.roundRect(40, 40, W - 40, H - 40, 300, 300);
    cv.drop(b);
    cv.drop(p);

    cv.text(W / 2, 150, caption, 340, QColor(30, 40, 80), WW::TaCenter | WW::TaTop, "Arial");

    // A palette: the bars take their colours by index.
    const int pal = w.createPalette({qRgb(230, 80, 60), qRgb(240, 170, 40), qRgb(90, 170, 80),
                                     qRgb(60, 130, 200), qRgb(140, 90, 190), qRgb(40, 170, 170)});
    w.selectPalette(pal);
    w.realizePalette();

    // Grid of dotted lines and the axes.
    const int left = 700, right = 4000, top = 800, bottom = 3900;
    p = cv.pen(QColor(180, 180, 190), 0, WW::PsDot);
    for (int y = bottom; y >= top; y -= 620) {
        w.moveTo(left, y);
        w.lineTo(right, y);
    }
    cv.drop(p);
    WW::Font small;
    small.height = -150;
    small.faceName = "Arial";
    int font = w.createFontIndirect(small);
    w.selectObject(font);
    w.setTextColor(WW::rgb(70, 70, 80));
    w.setTextAlign(WW::TaRight | WW::TaBaseline);
    for (int i = 0; i <= 5; ++i)
        w.textOut(left - 60, bottom - i * 620 + 50, QByteArray::number(i * 20));
    cv.drop(font);
    cv.text(250, (top + bottom) / 2, "Pictures sold", 170, QColor(70, 70, 80),
            WW::TaCenter | WW::TaBaseline, "Arial", 400, 900);

    // Bars, one hatched; values above them.
    const int values[6] = {62, 85, 47, 93, 71, 38};
    const char* labels[6] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun"};
    p = cv.pen(QColor(50, 50, 60), 15);
    for (int i = 0; i < 6; ++i) {
        const int x = left + 150 + i * 540;
        const int y = bottom - values[i] * 3100 / 100;
        b = i == 4 ? w.createBrushIndirect(WW::BsHatched, WW::paletteIndex(i), WW::HsBDiagonal)
                   : w.createBrushIndirect(WW::BsSolid, WW::paletteIndex(i));
        w.selectObject(b);
        w.rectangle(x, y, x + 380, bottom);
        cv.drop(b);
        cv.text(x + 190, y - 40, QString::number(values[i]), 150, QColor(40, 40, 50),
                WW::TaCenter | WW::TaBottom, "Arial", 700);
        cv.text(x + 190, bottom + 60, labels[i], 150, QColor(40, 40, 50), WW::TaCenter | WW::TaTop,
                "Arial", 400);
    }
    cv.drop(p);

    // Trend line, clipped to the plot area, with square markers.
    w.saveDC();
    w.intersectClipRect(left, top, right, bottom);
    p = cv.pen(QColor(200, 30, 60), 35, WW::PsSolid | WW::PsJoinRound);
    QPolygon trend;
    for (int i = 0; i <= 6; ++i)
        trend << QPoint(left + 340 + i * 540 - 270, bottom - (45 + i * 9) * 3100 / 100);
    w.polyline(trend);
    b = cv.brush(QColor(255, 255, 255));
    for (const QPoint& q : trend)
        w.rectangle(q.x() - 60, q.y() - 60, q.x() + 60, q.y() + 60);
    cv.drop(b);
    cv.drop(p);
    w.restoreDC(-1);

    p = cv.pen(QColor(40, 40, 50), 25);
    w.moveTo(left, top - 100);
    w.lineTo(left, bottom);
    w.lineTo(right + 100, bottom);
    cv.drop(p);

    // Pie chart with one slice pulled out.
    const QPoint c(5200, 1800);
    const int r = 800;
    const double shares[4] = {0.40, 0.25, 0.20, 0.15};
    double start = 0;
    p = cv.pen(QColor(255, 255, 255), 20);
    for (int i = 0; i < 4; ++i) {
        const double end = start + shares[i] * 2 * Pi;
        const double mid = (start + end) / 2;
        const QPoint o = i == 0 ? pt(120 * std::cos(mid), -120 * std::sin(mid)) : QPoint(0, 0);
        b = w.createBrushIndirect(WW::BsSolid, WW::paletteIndex(i + 2));
        w.selectObject(b);
        w.pie(c.x() - r + o.x(), c.y() - r + o.y(), c.x() + r + o.x(), c.y() + r + o.y(),
              c.x() + o.x() + int(1000 * std::cos(start)),
              c.y() + o.y() - int(1000 * std::sin(start)),
              c.x() + o.x() + int(1000 * std::cos(end)), c.y() + o.y() - int(1000 * std::sin(end)));
        cv.drop(b);
        start = end;
    }
    cv.drop(p);

    // Legend on a region, framed.
    const int legend = w.createRegion(QRegion(4350, 2900, 1700, 1200));
    const int legendFill = w.createBrushIndirect(WW::BsSolid, WW::rgb(235, 238, 245));
    const int legendFrame = w.createBrushIndirect(WW::BsSolid, WW::rgb(120, 120, 140));
    w.fillRegion(legend, legendFill);
    w.frameRegion(legend, legendFrame, 20, 20);
    cv.drop(legendFrame);
    cv.drop(legendFill);
    cv.drop(legend);
    const char* names[4] = {"Photos", "Drawings", "Maps", "Other"};
    p = cv.pen(QColor(60, 60, 70), 10);
    for (int i = 0; i < 4; ++i) {
        const int y = 3050 + i * 260;
        b = w.createBrushIndirect(WW::BsSolid, WW::paletteIndex(i + 2));
        w.selectObject(b);
        w.rectangle(4500, y, 4680, y + 180);
        cv.drop(b);
        cv.text(4780, y + 150, names[i], 160, QColor(40, 40, 50), WW::TaLeft | WW::TaBaseline,
                "Arial", 400);
    }
    cv.drop(p);
    cv.drop(pal);
    return w.bytes();
}

} // namespace

int Demo_Metafile_Count()
{
    return 4;
}

QByteArray Demo_Metafile(int which, const QString& caption)
{
    switch (which) {
    case 0:
        return flower(caption);
    case 1:
        return house(caption);
    case 2:
        return landscape(caption);
    case 3:
        return chart(caption);
    default:
        return {};
    }
}
