// The picture control: the clipboard, its keys, and the mouse events it passes on.
#include "TMultiP.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>

namespace {

// The names under which programs on Linux exchange Windows metafiles: ours first, then
// those of other image programs and of the office suites.
const char* const Metafile_Formats[] = {
    "image/x-wmf",
    "image/wmf",
    "application/x-msmetafile",
    "application/x-openoffice-wmf;windows_formatname=\"Image WMF\"",
};

} // namespace

void TPMultiImage::CopyToClipboard()
{
    if (!m_picture.Has_Graphic())
        return;
    auto* data = new QMimeData;
    if (m_picture.Graphic_Kind() == TPicture::Kind::Metafile) {
        data->setData(QString::fromLatin1(Metafile_Formats[0]), m_picture.Metafile().bytes());
        // Programs that take no metafiles get it drawn at its size.
        data->setImageData(m_picture.Render());
    } else {
        data->setImageData(m_picture.Graphic_Kind() == TPicture::Kind::Icon ? m_picture.Icon()
                                                                            : m_picture.Bitmap());
    }
    QGuiApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
}

void TPMultiImage::CutToClipboard()
{
    CopyToClipboard();
    Set_Picture(TPicture());
}

void TPMultiImage::PasteFromClipboard()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    if (!data)
        return;
    for (const char* format : Metafile_Formats) {
        const QString name = QString::fromLatin1(format);
        if (!data->hasFormat(name))
            continue;
        const WmfPicture metafile = WmfPicture::fromBytes(data->data(name));
        if (metafile.isValid()) {
            m_banner.Stop();
            Set_Picture(TPicture::From_Metafile(metafile));
            return;
        }
    }
    if (!data->hasImage())
        return;
    const QImage image = qvariant_cast<QImage>(data->imageData());
    if (image.isNull())
        return;
    m_banner.Stop();
    Set_Picture(TPicture::From_Bitmap(image, image.colorTable()));
}

void TPMultiImage::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods =
        event->modifiers() &
        (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier);
    const bool ctrl = mods == Qt::ControlModifier;
    const bool shift = mods == Qt::ShiftModifier;
    // Ctrl+C, Ctrl+V and Ctrl+X type the characters 3, 22 and 24 with or without Shift.
    const bool ctrlChar = ctrl || mods == (Qt::ControlModifier | Qt::ShiftModifier);
    switch (event->key()) {
    case Qt::Key_Insert:
        if (ctrl)
            return CopyToClipboard();
        if (shift)
            return PasteFromClipboard();
        break;
    case Qt::Key_Delete:
        if (shift)
            return CutToClipboard();
        break;
    case Qt::Key_C:
        if (ctrlChar)
            return CopyToClipboard();
        break;
    case Qt::Key_V:
        if (ctrlChar)
            return PasteFromClipboard();
        break;
    case Qt::Key_X:
        if (ctrlChar)
            return CutToClipboard();
        break;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}

void TPMultiImage::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit OnClick();
    QWidget::mouseReleaseEvent(event);
}

void TPMultiImage::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit OnDblClick();
    QWidget::mouseDoubleClickEvent(event);
}
