// Pictures of the demo and test discs, drawn by our own code: varied scenes so that pages of
// thumbnails look like a real collection, each with its name written on it.
#include "Mkdisc.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>

namespace Mkdisc {
namespace {

QColor Hue(quint32 seed, int offset, int s = 190, int v = 230)
{
    return QColor::fromHsv(int((seed + quint32(offset) * 47u) % 360u), s, v);
}

void Landscape(QPainter& p, QSize sz, quint32 seed)
{
    const double w = sz.width(), h = sz.height();
    QLinearGradient sky(0, 0, 0, h * 0.6);
    sky.setColorAt(0, Hue(seed, 0, 150, 255));
    sky.setColorAt(1, QColor(255, 220, 170));
    p.fillRect(QRectF(0, 0, w, h), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 240, 150));
    p.drawEllipse(QPointF(w * (0.2 + (seed % 60) / 100.0), h * 0.25), h * 0.09, h * 0.09);
    for (int layer = 0; layer < 3; ++layer) {
        QPainterPath hills;
        hills.moveTo(0, h);
        const double base = h * (0.5 + 0.13 * layer);
        for (int x = 0; x <= 8; ++x) {
            const double y = base - h * 0.08 * ((seed >> (x + layer)) % 3);
            hills.lineTo(w * x / 8.0, y);
        }
        hills.lineTo(w, h);
        hills.closeSubpath();
        p.setBrush(QColor::fromHsv(int(90 + 20 * layer + seed % 40), 160, 170 - 40 * layer));
        p.drawPath(hills);
    }
}

void Flower(QPainter& p, QSize sz, quint32 seed)
{
    const double w = sz.width(), h = sz.height();
    QRadialGradient bg(w / 2, h / 2, w * 0.7);
    bg.setColorAt(0, Hue(seed, 3, 60, 255));
    bg.setColorAt(1, Hue(seed, 3, 140, 160));
    p.fillRect(QRectF(0, 0, w, h), bg);
    const QPointF c(w / 2, h * 0.45);
    const double r = std::min(w, h) * 0.18;
    p.setPen(QPen(QColor(30, 110, 30), r * 0.18));
    p.drawLine(c, QPointF(c.x(), h));
    const int petals = 5 + int(seed % 4);
    p.setPen(QPen(Hue(seed, 1, 220, 150), 1.5));
    p.setBrush(Hue(seed, 1));
    for (int i = 0; i < petals; ++i) {
        p.save();
        p.translate(c);
        p.rotate(360.0 * i / petals);
        p.drawEllipse(QRectF(-r * 0.45, -r * 2.0, r * 0.9, r * 1.6));
        p.restore();
    }
    p.setBrush(QColor(250, 210, 40));
    p.drawEllipse(c, r * 0.55, r * 0.55);
}

void Geometry(QPainter& p, QSize sz, quint32 seed)
{
    const double w = sz.width(), h = sz.height();
    QLinearGradient bg(0, 0, w, h);
    bg.setColorAt(0, Hue(seed, 5, 80, 250));
    bg.setColorAt(1, Hue(seed, 9, 120, 200));
    p.fillRect(QRectF(0, 0, w, h), bg);
    QRandomGenerator rng(seed);
    for (int i = 0; i < 9; ++i) {
        QColor c = Hue(seed, i * 3);
        c.setAlpha(190);
        p.setBrush(c);
        p.setPen(QPen(c.darker(150), 2));
        const QRectF r(rng.bounded(int(w * 0.8)), rng.bounded(int(h * 0.8)),
                       w * 0.12 + rng.bounded(int(w * 0.2)), h * 0.12 + rng.bounded(int(h * 0.25)));
        switch (i % 3) {
        case 0:
            p.drawEllipse(r);
            break;
        case 1:
            p.drawRect(r);
            break;
        default: {
            QPolygonF tri{{r.center().x(), r.top()}, r.bottomRight(), r.bottomLeft()};
            p.drawPolygon(tri);
        }
        }
    }
}

void Bubbles(QPainter& p, QSize sz, quint32 seed)
{
    const double w = sz.width(), h = sz.height();
    QLinearGradient sea(0, 0, 0, h);
    sea.setColorAt(0, QColor(40, 150, 210));
    sea.setColorAt(1, QColor(5, 30, 90));
    p.fillRect(QRectF(0, 0, w, h), sea);
    QRandomGenerator rng(seed);
    for (int i = 0; i < 25; ++i) {
        const double r = 4 + rng.bounded(int(h * 0.08));
        QRadialGradient g(QPointF(0, 0), r);
        p.save();
        p.translate(rng.bounded(int(w)), rng.bounded(int(h)));
        g.setColorAt(0, QColor(255, 255, 255, 200));
        g.setColorAt(1, QColor(255, 255, 255, 30));
        p.setBrush(g);
        p.setPen(QPen(QColor(220, 240, 255, 180), 1));
        p.drawEllipse(QPointF(0, 0), r, r);
        p.restore();
    }
    // A fish.
    p.setBrush(Hue(seed, 2, 230, 250));
    p.setPen(Qt::NoPen);
    const QPointF f(w * 0.55, h * 0.55);
    p.drawEllipse(f, w * 0.14, h * 0.09);
    QPolygonF tail{f + QPointF(w * 0.12, 0), f + QPointF(w * 0.22, -h * 0.08),
                   f + QPointF(w * 0.22, h * 0.08)};
    p.drawPolygon(tail);
    p.setBrush(Qt::black);
    p.drawEllipse(f + QPointF(-w * 0.08, -h * 0.02), 3.0, 3.0);
}

void Bird(QPainter& p, QSize sz, quint32 seed)
{
    const double w = sz.width(), h = sz.height();
    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0, Hue(seed, 7, 90, 250));
    sky.setColorAt(1, QColor(235, 245, 255));
    p.fillRect(QRectF(0, 0, w, h), sky);
    // A branch.
    p.setPen(QPen(QColor(100, 65, 30), h * 0.05, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(0, h * 0.72), QPointF(w, h * 0.62));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 140, 60));
    for (int i = 0; i < 4; ++i)
        p.drawEllipse(QPointF(w * (0.12 + 0.25 * i), h * (0.69 - 0.025 * i)), w * 0.05, h * 0.025);
    // The bird sitting on it.
    const QPointF body(w * 0.5, h * 0.5);
    const QColor plumage = Hue(seed, 1, 200, 220);
    p.setBrush(plumage);
    QPainterPath tail;
    tail.moveTo(body + QPointF(w * 0.12, h * 0.02));
    tail.lineTo(body + QPointF(w * 0.30, h * 0.16));
    tail.lineTo(body + QPointF(w * 0.26, h * 0.21));
    tail.closeSubpath();
    p.drawPath(tail);
    p.drawEllipse(body, w * 0.16, h * 0.13);
    p.setBrush(plumage.lighter(140));
    p.drawEllipse(body + QPointF(-w * 0.04, h * 0.04), w * 0.09, h * 0.07); // breast
    p.setBrush(plumage.darker(130));
    p.drawEllipse(body + QPointF(w * 0.04, -h * 0.01), w * 0.09, h * 0.06); // wing
    p.setBrush(plumage);
    const QPointF head = body + QPointF(-w * 0.13, -h * 0.12);
    p.drawEllipse(head, w * 0.075, h * 0.085);
    p.setBrush(QColor(250, 170, 30));
    QPolygonF beak{head + QPointF(-w * 0.065, -h * 0.01), head + QPointF(-w * 0.12, h * 0.01),
                   head + QPointF(-w * 0.06, h * 0.025)};
    p.drawPolygon(beak);
    p.setBrush(Qt::white);
    p.drawEllipse(head + QPointF(-w * 0.02, -h * 0.02), w * 0.02, w * 0.02);
    p.setBrush(Qt::black);
    p.drawEllipse(head + QPointF(-w * 0.025, -h * 0.02), w * 0.01, w * 0.01);
    p.setPen(QPen(QColor(250, 170, 30), h * 0.012));
    p.drawLine(body + QPointF(-w * 0.02, h * 0.12), body + QPointF(-w * 0.03, h * 0.19));
    p.drawLine(body + QPointF(w * 0.03, h * 0.12), body + QPointF(w * 0.03, h * 0.18));
}

void Caption(QPainter& p, QSize sz, const QString& text)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(std::max(10, sz.height() / 9));
    p.setFont(font);
    const QRectF box(0, sz.height() * 0.78, sz.width(), sz.height() * 0.2);
    p.setPen(QColor(0, 0, 0, 150));
    p.drawText(box.translated(2, 2), Qt::AlignCenter, text);
    p.setPen(Qt::white);
    p.drawText(box, Qt::AlignCenter, text);
}

} // namespace

QImage Draw_Picture(const QString& name, QSize size, int style)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const quint32 seed = qHash(name) % 100000u;
    // Pictures named after their subject show it; the others vary with the style number.
    if (name.startsWith(QLatin1String("BIRD")))
        style = 4;
    else if (name.startsWith(QLatin1String("PEAK")))
        style = 0;
    else if (name.startsWith(QLatin1String("COAST")))
        style = 3;
    switch (style == 4 ? 4 : ((style % 4) + 4) % 4) {
    case 0:
        Landscape(p, size, seed);
        break;
    case 1:
        Flower(p, size, seed);
        break;
    case 2:
        Geometry(p, size, seed);
        break;
    case 3:
        Bubbles(p, size, seed);
        break;
    default:
        Bird(p, size, seed);
        break;
    }
    Caption(p, size, name);
    return image;
}

QImage Draw_Thumbnail(const QImage& picture)
{
    return picture.scaled(100, 80, Qt::KeepAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_RGB888);
}

QImage Draw_Flag(int language)
{
    QImage flag(32, 32, QImage::Format_ARGB32);
    flag.fill(Qt::transparent);
    QPainter p(&flag);
    const QRect area(1, 6, 30, 20);
    switch (language) {
    case 0: { // a blue field with a red and white cross
        p.fillRect(area, QColor(1, 33, 105));
        p.fillRect(QRect(1, 14, 30, 4), Qt::white);
        p.fillRect(QRect(14, 6, 4, 20), Qt::white);
        p.fillRect(QRect(1, 15, 30, 2), QColor(200, 16, 46));
        p.fillRect(QRect(15, 6, 2, 20), QColor(200, 16, 46));
        break;
    }
    case 1: // three horizontal bands
        p.fillRect(QRect(1, 6, 30, 7), Qt::black);
        p.fillRect(QRect(1, 13, 30, 6), QColor(221, 0, 0));
        p.fillRect(QRect(1, 19, 30, 7), QColor(255, 206, 0));
        break;
    default: // three vertical bands
        p.fillRect(QRect(1, 6, 10, 20), QColor(0, 35, 149));
        p.fillRect(QRect(11, 6, 10, 20), Qt::white);
        p.fillRect(QRect(21, 6, 10, 20), QColor(237, 41, 57));
        break;
    }
    p.setPen(QColor(60, 60, 60));
    p.drawRect(area.adjusted(0, 0, -1, -1));
    return flag;
}

QImage Draw_Highlight_Mark()
{
    QImage mark(110, 90, QImage::Format_RGB32);
    mark.fill(Qt::white);
    QPainter p(&mark);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 84, 166), 2));
    QLinearGradient g(0, 0, 0, 90);
    g.setColorAt(0, QColor(170, 205, 245));
    g.setColorAt(1, QColor(100, 160, 230));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(1, 1, 108, 88), 6, 6);
    return mark;
}

QImage Draw_Banner(const QString& title, const QString& subtitle, QSize size, int style)
{
    QImage image = Draw_Picture(QString(), size, style);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(QRectF(0, size.height() * 0.3, size.width(), size.height() * 0.4),
               QColor(0, 0, 0, 110));
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setBold(true);
    font.setPixelSize(std::max(12, size.height() / 6));
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, size.height() * 0.3, size.width(), size.height() * 0.24), Qt::AlignCenter,
               title);
    font.setBold(false);
    font.setPixelSize(std::max(9, size.height() / 16));
    p.setFont(font);
    p.drawText(QRectF(0, size.height() * 0.53, size.width(), size.height() * 0.15), Qt::AlignCenter,
               subtitle);
    return image;
}

} // namespace Mkdisc
