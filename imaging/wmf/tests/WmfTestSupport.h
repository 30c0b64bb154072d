#pragma once

// Helpers shared by the metafile player's tests: fixtures come from our
// writer and are rendered into QImages without antialiasing, so that pixels
// at known places have exact colours.

#include "WmfPicture.h"
#include "WmfWriter.h"

#include <QImage>
#include <QPainter>

namespace wmftest {

// A placeable file of w x h logical units at 96 per inch: one unit per pixel
// when rendered at its natural size.
inline WmfWriter canvas(int w = 100, int h = 100)
{
    WmfWriter wr;
    wr.setPlaceable(0, 0, w, h, 96);
    return wr;
}

inline QImage render(const QByteArray& bytes, QSize size = QSize(100, 100),
                     QColor background = Qt::white)
{
    QImage img(size, QImage::Format_ARGB32);
    img.fill(background);
    QPainter p(&img);
    WmfPicture::fromBytes(bytes).play(p, QRectF(QPointF(0, 0), QSizeF(size)));
    p.end();
    return img;
}

inline int solidBrush(WmfWriter& wr, QRgb c)
{
    const int b = wr.createBrushIndirect(WmfWriter::BsSolid, WmfWriter::rgb(QColor(c)));
    wr.selectObject(b);
    return b;
}

inline int nullPen(WmfWriter& wr)
{
    const int p = wr.createPenIndirect(WmfWriter::PsNull, 0, 0);
    wr.selectObject(p);
    return p;
}

inline bool sameColour(QRgb a, QRgb b, int tolerance = 2)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance &&
           std::abs(qAlpha(a) - qAlpha(b)) <= tolerance;
}

} // namespace wmftest
