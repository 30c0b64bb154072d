#include "TPicture.h"

#include <QPainter>
#include <atomic>

namespace {
quint64 Next_Generation()
{
    static std::atomic<quint64> counter{0};
    return ++counter;
}
} // namespace

TPicture TPicture::From_Bitmap(const QImage& bitmap, const QList<QRgb>& palette)
{
    TPicture p;
    p.m_kind = Kind::Bitmap;
    p.m_image = bitmap;
    p.m_palette = palette;
    p.m_generation = Next_Generation();
    return p;
}

TPicture TPicture::From_Metafile(const WmfPicture& metafile)
{
    TPicture p;
    p.m_kind = Kind::Metafile;
    p.m_metafile = metafile;
    p.m_generation = Next_Generation();
    return p;
}

TPicture TPicture::From_Icon(const QImage& icon)
{
    TPicture p;
    p.m_kind = Kind::Icon;
    p.m_image = icon;
    p.m_generation = Next_Generation();
    return p;
}

bool TPicture::Has_Graphic() const
{
    switch (m_kind) {
    case Kind::Empty:
        return false;
    case Kind::Metafile:
        return m_metafile.isValid();
    case Kind::Bitmap:
    case Kind::Icon:
        break;
    }
    return !m_image.isNull();
}

int TPicture::Width() const
{
    return Size().width();
}

int TPicture::Height() const
{
    return Size().height();
}

QSize TPicture::Size() const
{
    switch (m_kind) {
    case Kind::Empty:
        return QSize(0, 0);
    case Kind::Metafile:
        return m_metafile.isValid() ? m_metafile.pixelSize() : QSize(0, 0);
    case Kind::Bitmap:
    case Kind::Icon:
        break;
    }
    return m_image.isNull() ? QSize(0, 0) : m_image.size();
}

void TPicture::Draw(QPainter& painter, const QRectF& target, bool smooth) const
{
    if (!Has_Graphic() || target.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    painter.setRenderHint(QPainter::Antialiasing, smooth);
    if (m_kind == Kind::Metafile)
        m_metafile.play(painter, target);
    else
        painter.drawImage(target, m_image);
    painter.restore();
}

QImage TPicture::Render(QSize size, QColor background) const
{
    if (!Has_Graphic())
        return QImage();
    if (size.isEmpty())
        size = Size();
    if (size.isEmpty())
        return QImage();
    if (m_kind == Kind::Bitmap) {
        if (size == m_image.size())
            return m_image;
        return m_image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    QImage image(size, background.alpha() == 255 ? QImage::Format_RGB32
                                                 : QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    image.fill(background);
    QPainter painter(&image);
    Draw(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    return image;
}
