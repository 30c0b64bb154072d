// Pictures of the action menu: one 32 x 32 icon per entry and the menu button's picture.
#include "ActionMenu.h"

#include <QPainter>
#include <QPainterPath>

namespace {

void Magnifier(QPainter& p)
{
    p.setPen(QPen(QColor(40, 40, 40), 3));
    p.setBrush(QColor(190, 225, 255));
    p.drawEllipse(QRectF(5, 5, 15, 15));
    p.setPen(QPen(QColor(120, 70, 20), 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(19, 19), QPointF(27, 27));
}

void Disk(QPainter& p)
{
    p.setPen(QPen(QColor(20, 30, 80), 1.5));
    p.setBrush(QColor(50, 80, 170));
    p.drawRoundedRect(QRectF(5, 5, 22, 22), 2, 2);
    p.setBrush(QColor(235, 235, 235));
    p.drawRect(QRectF(9, 5, 14, 9));
    p.setBrush(QColor(170, 170, 170));
    p.drawRect(QRectF(10, 19, 12, 8));
}

void Printer(QPainter& p)
{
    p.setPen(QPen(QColor(50, 50, 50), 1.5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 4, 14, 10));
    p.setBrush(QColor(150, 150, 160));
    p.drawRoundedRect(QRectF(4, 12, 24, 11), 2, 2);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 19, 14, 9));
    p.setPen(QColor(120, 120, 120));
    p.drawLine(QPointF(11, 23), QPointF(21, 23));
    p.drawLine(QPointF(11, 25.5), QPointF(19, 25.5));
}

void Thumbs(QPainter& p)
{
    const QColor colours[4] = {QColor(220, 80, 60), QColor(80, 160, 70), QColor(60, 110, 210),
                               QColor(230, 180, 40)};
    for (int i = 0; i < 4; ++i) {
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.setBrush(colours[i]);
        p.drawRect(QRectF(5 + (i % 2) * 12, 6 + (i / 2) * 11, 10, 9));
    }
}

void Notes(QPainter& p)
{
    p.setPen(QPen(QColor(80, 70, 30), 1.5));
    p.setBrush(QColor(255, 245, 160));
    p.drawRect(QRectF(6, 4, 20, 24));
    p.setPen(QColor(140, 130, 80));
    for (int y = 10; y <= 24; y += 4)
        p.drawLine(QPointF(9, y), QPointF(23, y));
}

void Help(QPainter& p)
{
    p.setPen(QPen(QColor(20, 60, 140), 1.5));
    p.setBrush(QColor(70, 130, 220));
    p.drawEllipse(QRectF(4, 4, 24, 24));
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(18);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(4, 4, 24, 24), Qt::AlignCenter, QStringLiteral("?"));
}

void Globe(QPainter& p)
{
    p.setPen(QPen(QColor(20, 80, 60), 1.5));
    p.setBrush(QColor(90, 170, 230));
    p.drawEllipse(QRectF(4, 4, 24, 24));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(11, 4, 10, 24));
    p.drawLine(QPointF(4, 16), QPointF(28, 16));
    p.drawLine(QPointF(6.5, 10), QPointF(25.5, 10));
    p.drawLine(QPointF(6.5, 22), QPointF(25.5, 22));
}

void Door(QPainter& p)
{
    p.setPen(QPen(QColor(70, 40, 20), 1.5));
    p.setBrush(QColor(160, 100, 50));
    p.drawRect(QRectF(8, 4, 14, 24));
    p.setBrush(QColor(230, 200, 60));
    p.drawEllipse(QRectF(17, 15, 3, 3));
    p.setPen(QPen(QColor(190, 30, 30), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(20, 12), QPointF(28, 12));
    p.drawLine(QPointF(25, 9), QPointF(28, 12));
    p.drawLine(QPointF(25, 15), QPointF(28, 12));
}

void Clipboard(QPainter& p)
{
    p.setPen(QPen(QColor(80, 50, 20), 1.5));
    p.setBrush(QColor(190, 140, 80));
    p.drawRoundedRect(QRectF(6, 5, 20, 24), 2, 2);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 9, 14, 17));
    p.setBrush(QColor(150, 150, 150));
    p.drawRoundedRect(QRectF(11, 3, 10, 5), 1.5, 1.5);
}

void Clock(QPainter& p)
{
    p.setPen(QPen(QColor(40, 40, 40), 1.5));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(4, 4, 24, 24));
    p.setPen(QPen(QColor(40, 40, 40), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16, 16), QPointF(16, 8));
    p.drawLine(QPointF(16, 16), QPointF(22, 19));
}

void Indices(QPainter& p)
{
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(11);
    p.setFont(f);
    p.setPen(QColor(30, 30, 30));
    p.drawText(QRectF(2, 3, 28, 12), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("1."));
    p.drawText(QRectF(2, 17, 28, 12), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("2."));
    p.setPen(QPen(QColor(60, 110, 210), 2));
    p.drawLine(QPointF(14, 9), QPointF(28, 9));
    p.drawLine(QPointF(14, 23), QPointF(28, 23));
}

} // namespace

QPixmap Menu_Icon(int number)
{
    QPixmap pix(32, 32);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    switch (number) {
    case Menu_Zoom:
        Magnifier(p);
        break;
    case Menu_Save:
        Disk(p);
        break;
    case Menu_Print:
        Printer(p);
        break;
    case Menu_Thumbnail_View:
        Thumbs(p);
        break;
    case Menu_Notes:
        Notes(p);
        break;
    case Menu_Help:
        Help(p);
        break;
    case Menu_Language:
        Globe(p);
        break;
    case Menu_Exit:
        Door(p);
        break;
    case Menu_Clipboard:
        Clipboard(p);
        break;
    case Menu_Recently_Used:
        Clock(p);
        break;
    case Menu_View_Indices:
        Indices(p);
        break;
    default:
        break;
    }
    return pix;
}

QPixmap Menu_Button_Picture()
{
    QPixmap pix(71, 21);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor colours[4] = {QColor(220, 60, 40), QColor(60, 170, 60), QColor(40, 100, 210),
                               QColor(240, 190, 30)};
    for (int i = 0; i < 4; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(colours[i]);
        p.drawRoundedRect(QRectF(4 + (i % 2) * 8, 2.5 + (i / 2) * 8, 7, 7), 1.5, 1.5);
    }
    // An upward arrow: the menu opens above the button.
    p.setBrush(QColor(40, 40, 40));
    QPainterPath arrow;
    arrow.moveTo(30, 15);
    arrow.lineTo(38, 6);
    arrow.lineTo(46, 15);
    arrow.closeSubpath();
    p.drawPath(arrow);
    return pix;
}
