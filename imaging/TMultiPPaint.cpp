// The picture control: painting the picture, the banner and the overlay text.
#include "TMultiP.h"

#include "StandardError.h"

#include <QFontMetrics>
#include <QPainter>

void TPMultiImage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect client = contentsRect();
    if (m_borderStyle == bsSingle) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    if (!testAttribute(Qt::WA_OpaquePaintEvent))
        painter.fillRect(client, Color());
    painter.setClipRect(client);
    if (m_banner.Active())
        m_banner.Paint(painter, client);
    else
        Paint_Picture(painter, client);
    Paint_Text(painter);
    emit OnPaint(&painter);
}

void TPMultiImage::Paint_Picture(QPainter& painter, QRect client)
{
    if (!m_picture.Has_Graphic())
        return;
    const Image_Rules::View_Flags flags{m_stretch, m_stretchRatio, m_center};
    const QRect target = Image_Rules::Target_Rect(flags, client, m_picture.Size());
    if (target.isEmpty())
        return;
    // Metafiles and icons draw themselves as vectors or with their transparency. Bitmaps take
    // the same path whether the control or the toolkit is asked to paint them
    // (ImageLibPalette): without palette displays the two differ in nothing.
    if (!m_picture.Is_Bitmap()) {
        m_picture.Draw(painter, target);
        return;
    }

    // A bitmap: scaled once to the rectangle it fills, and only the part that is visible kept.
    // Read in monochrome, pictures keep hard edges, as black-and-white drawings need.
    const bool smooth = m_readRes != lMonoChrome;
    const QRect visible = target.intersected(client);
    if (visible.isEmpty())
        return;
    if (m_drawn.Generation != m_picture.Generation() || m_drawn.Target != target ||
        m_drawn.Visible != visible || m_drawn.Smooth != smooth || m_drawn.Pixmap.isNull()) {
        const QImage& bitmap = m_picture.Bitmap();
        QImage shown =
            target.size() == bitmap.size()
                ? bitmap
                : bitmap.scaled(target.size(), Qt::IgnoreAspectRatio,
                                smooth ? Qt::SmoothTransformation : Qt::FastTransformation);
        if (shown.isNull())
            throw Standard_Error(
                QStringLiteral("Out of resources. Close some windows and try again"));
        if (visible != target)
            shown = shown.copy(visible.translated(-target.topLeft()));
        m_drawn = {m_picture.Generation(), target, visible, smooth, QPixmap::fromImage(shown)};
    }
    painter.drawPixmap(visible.topLeft(), m_drawn.Pixmap);
}

void TPMultiImage::Paint_Text(QPainter& painter)
{
    if (m_text.isEmpty())
        return;
    const QRect client = contentsRect();
    const QFontMetrics metrics(font());
    const QRect box(0, 0, metrics.horizontalAdvance(m_text), metrics.height());
    auto draw = [&](QPoint at, QColor colour) {
        painter.save();
        painter.setFont(font());
        painter.translate(client.topLeft() + at);
        painter.rotate(-m_textRotate);
        if (!m_textTransparent)
            painter.fillRect(box, Color());
        painter.setPen(colour);
        painter.drawText(0, metrics.ascent(), m_text);
        painter.restore();
    };
    if (m_textShadow)
        draw(QPoint(m_textLeft + 2, m_textTop + 2), m_textShadowColor);
    draw(QPoint(m_textLeft, m_textTop), palette().color(QPalette::WindowText));
}
