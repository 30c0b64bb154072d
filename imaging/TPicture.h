#pragma once
// The picture a picture control holds: empty, a bitmap with its palette (after a read by the
// imaging back end, a resource or a paste), a Windows metafile, or an icon.

#include "WmfPicture.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QRectF>
#include <QRgb>
#include <QSize>

class QPainter;

class TPicture
{
public:
    enum class Kind
    {
        Empty,
        Bitmap,
        Metafile,
        Icon
    };

    TPicture() = default;
    static TPicture From_Bitmap(const QImage& bitmap, const QList<QRgb>& palette = {});
    static TPicture From_Metafile(const WmfPicture& metafile);
    static TPicture From_Icon(const QImage& icon);

    Kind Graphic_Kind() const { return m_kind; }
    // True when the picture holds a graphic (an empty bitmap counts as none).
    bool Has_Graphic() const;
    bool Is_Bitmap() const { return m_kind == Kind::Bitmap; }

    // Size in pixels; for a metafile the size the screen shows it at (96 pixels per inch).
    int Width() const;
    int Height() const;
    QSize Size() const;

    // The bitmap and its palette (empty unless the picture is a bitmap; the palette is
    // empty for a true-colour bitmap).
    const QImage& Bitmap() const { return m_image; }
    const QList<QRgb>& Palette() const { return m_palette; }
    const WmfPicture& Metafile() const { return m_metafile; }
    // The icon's image.
    const QImage& Icon() const { return m_kind == Kind::Icon ? m_image : m_none; }

    // Draws the graphic so that it fills target. smooth: filtered scaling of bitmaps and
    // smoothed edges of metafile shapes.
    void Draw(QPainter& painter, const QRectF& target, bool smooth = true) const;
    // The graphic drawn into a bitmap of the given size (its own size when size is empty),
    // over the background where it leaves it uncovered (a transparent background keeps the
    // graphic's transparency). A bitmap at its own size comes back unchanged, palette and all.
    QImage Render(QSize size = {}, QColor background = Qt::white) const;

    // Counts every change of the graphic, so that drawings made from it can be kept.
    quint64 Generation() const { return m_generation; }

private:
    Kind m_kind = Kind::Empty;
    QImage m_image;
    QList<QRgb> m_palette;
    WmfPicture m_metafile;
    QImage m_none;
    quint64 m_generation = 0;
};
