// The picture control: construction, properties, loading and the picture-changed step.
#include "TMultiP.h"

#include "BitmapResource.h"
#include "DosPath.h"
#include "MessageBox.h"
#include "StandardError.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <cstdint>

using Image_Rules::Load_Branch;

namespace {

QString Read_Failure_Text(Load_Branch branch)
{
    switch (branch) {
    case Load_Branch::BMP:
        return QStringLiteral("Reading bmp file failed");
    case Load_Branch::JPEG:
        return QStringLiteral("Reading jpg file failed");
    case Load_Branch::PNG:
        return QStringLiteral("Reading png file failed");
    case Load_Branch::GIF:
        return QStringLiteral("Reading gif file failed");
    case Load_Branch::TIFF:
        return QStringLiteral("Reading tif file failed");
    case Load_Branch::PCX:
        return QStringLiteral("Reading pcx file failed");
    default:
        break;
    }
    return QStringLiteral("Reading resource file failed");
}

int32_t File_Size(const QString& nativePath)
{
    return int32_t(std::min<qint64>(QFileInfo(nativePath).size(), INT32_MAX));
}

int16_t Clamp16(int value)
{
    return int16_t(std::clamp(value, 0, 32767));
}

// The largest picture of an icon file.
QImage Read_Icon(const QString& nativePath, QString* error)
{
    QImageReader reader(nativePath, "ICO");
    QImage best;
    const int count = std::max(1, reader.imageCount());
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !reader.jumpToImage(i))
            break;
        const QImage image = reader.read();
        if (image.isNull())
            break;
        if (best.isNull() ||
            qint64(image.width()) * image.height() > qint64(best.width()) * best.height())
            best = image;
    }
    if (best.isNull() && error)
        *error = reader.errorString();
    return best;
}

} // namespace

TPMultiImage::TPMultiImage(QWidget* parent) : QWidget(parent)
{
    resize(105, 105);
    QPalette p = palette();
    p.setColor(QPalette::Window, p.color(QPalette::Button));
    setPalette(p);
    setFocusPolicy(Qt::StrongFocus);
}

TPMultiImage::~TPMultiImage() = default;

int TPMultiImage::Screen_Depth() const
{
    return Image_Rules::Screen_Colour_Depth(depth());
}

// --- properties -------------------------------------------------------------------------

void TPMultiImage::Set_Flag(bool& flag, bool on)
{
    if (flag == on)
        return;
    flag = on;
    update();
}

void TPMultiImage::Set_AutoSize(bool on)
{
    m_autoSize = on;
    Picture_Changed();
}

void TPMultiImage::Set_Center(bool on)
{
    Set_Flag(m_center, on);
}

void TPMultiImage::Set_BorderStyle(TBorderStyle style)
{
    if (m_borderStyle == style)
        return;
    m_borderStyle = style;
    const int m = style == bsSingle ? 1 : 0;
    setContentsMargins(m, m, m, m);
    update();
}

void TPMultiImage::Set_Stretch(bool on)
{
    if (on)
        m_stretchRatio = false;
    if (m_stretch == on)
        return;
    m_stretch = on;
    update();
}

void TPMultiImage::Set_StretchRatio(bool on)
{
    if (on)
        m_stretch = false;
    if (m_stretchRatio == on)
        return;
    m_stretchRatio = on;
    update();
}

void TPMultiImage::Set_JPegSaveQuality(int quality)
{
    m_jpegQuality = Image_Rules::Stored_Quality(quality);
}

void TPMultiImage::Set_JPegSaveSmooth(int smoothing)
{
    m_jpegSmooth = Image_Rules::Stored_Smoothing(smoothing);
}

void TPMultiImage::Set_Text(const QString& text)
{
    if (m_text == text)
        return;
    m_text = text;
    update();
}

void TPMultiImage::Set_TextShadow(bool on)
{
    Set_Flag(m_textShadow, on);
}

void TPMultiImage::Set_TextTransParent(bool on)
{
    Set_Flag(m_textTransparent, on);
}

void TPMultiImage::Set_TextLeft(int x)
{
    if (m_textLeft != x) {
        m_textLeft = x;
        update();
    }
}

void TPMultiImage::Set_TextTop(int y)
{
    if (m_textTop != y) {
        m_textTop = y;
        update();
    }
}

void TPMultiImage::Set_TextRotate(int degrees)
{
    if (m_textRotate != degrees) {
        m_textRotate = degrees;
        update();
    }
}

QColor TPMultiImage::Color() const
{
    return palette().color(QPalette::Window);
}

void TPMultiImage::Set_Color(QColor colour)
{
    QPalette p = palette();
    p.setColor(QPalette::Window, colour);
    setPalette(p);
    update();
}

// --- the picture ------------------------------------------------------------------------

void TPMultiImage::Set_Picture(const TPicture& picture)
{
    m_picture = picture;
    Picture_Changed();
}

void TPMultiImage::Picture_Changed()
{
    const QSize size = m_picture.Size();
    if (m_autoSize && size.width() > 0 && size.height() > 0)
        resize(size);
    // A bitmap that covers the whole control needs no background.
    setAttribute(Qt::WA_OpaquePaintEvent, m_picture.Is_Bitmap() && m_picture.Has_Graphic() &&
                                              size == this->size() && m_borderStyle == bsNone);
    update();
}

// --- loading ----------------------------------------------------------------------------

void TPMultiImage::Set_ImageName(const QString& path)
{
    m_imageName = path;
    Load(path);
}

void TPMultiImage::Load(const QString& path)
{
    const Load_Branch branch = Image_Rules::Branch_For(Image_Rules::Picture_Extension(path));
    if (branch != Load_Branch::Resource && !Platform::File_Exists(path)) {
        m_banner.Stop();
        Set_Picture(TPicture());
        return;
    }
    switch (branch) {
    case Load_Branch::None:
        return; // nothing is loaded; the picture stays
    case Load_Branch::Metafile:
    case Load_Branch::Icon:
        Load_Metafile_Or_Icon(path, branch);
        return;
    case Load_Branch::Scroll_Banner:
    case Load_Branch::Line_Banner:
        Start_Banner(path, branch);
        return;
    case Load_Branch::Resource:
        Load_Resource(path);
        return;
    default:
        Load_With_Library(path, branch);
        return;
    }
}

void TPMultiImage::Load_With_Library(const QString& path, Load_Branch branch)
{
    m_banner.Stop();
    try {
        const QString native = Platform::Native_Path(path);
        const int bits = Image_Rules::Reader_Bits(m_readRes, Screen_Depth());
        QImage bitmap;
        QList<QRgb> palette;
        if (!Image_Lib::Read(branch, native, bits, m_imageDither, m_decodeTarget, bitmap, palette))
            Message_Box(Read_Failure_Text(branch), Box_Type::Information, Box_Buttons::Ok);
        // The picture takes what the reader handed back: an empty bitmap after a failure.
        Set_Picture(TPicture::From_Bitmap(bitmap, palette));
        Picture_Info_Block info;
        Image_Lib::Info(native, info);
        info.File_Size = File_Size(native);
        m_info = info;
    } catch (const std::exception&) {
        Set_Picture(TPicture());
    }
}

void TPMultiImage::Load_Metafile_Or_Icon(const QString& path, Load_Branch branch)
{
    m_banner.Stop();
    const QString native = Platform::Native_Path(path);
    const bool metafile = branch == Load_Branch::Metafile;
    TPicture picture;
    QString error;
    if (metafile) {
        const WmfPicture wmf = WmfPicture::fromFile(native);
        if (wmf.isValid())
            picture = TPicture::From_Metafile(wmf);
        else
            error = wmf.errorText();
    } else {
        const QImage icon = Read_Icon(native, &error);
        if (!icon.isNull())
            picture = TPicture::From_Icon(icon);
    }
    if (!picture.Has_Graphic()) {
        m_info = Picture_Info_Block();
        Set_Picture(TPicture());
        Raise_File_Error(path, error);
    }
    Set_Picture(picture);
    Picture_Info_Block info;
    info.Format_Name = metafile ? QStringLiteral("WMF") : QStringLiteral("ICO");
    info.Second_Name = info.Format_Name;
    info.Width = Clamp16(picture.Width());
    info.Height = Clamp16(picture.Height());
    info.File_Size = File_Size(native);
    m_info = info;
}

void TPMultiImage::Load_Resource(const QString& path)
{
    m_banner.Stop();
    const QString fileName = Dos::File_Name(path);
    const QString baseName = fileName.left(fileName.indexOf(QLatin1Char('.')));
    Bitmap_Resource resource;
    const bool ok = Load_Bitmap_Resource(baseName, resource);
    if (!ok)
        Message_Box(Read_Failure_Text(Load_Branch::Resource), Box_Type::Information,
                    Box_Buttons::Ok);
    Set_Picture(TPicture::From_Bitmap(resource.Bitmap, resource.Palette));
    Picture_Info_Block info;
    info.Format_Name = QStringLiteral("RES");
    info.Second_Name = QStringLiteral("BMP");
    info.Width = Clamp16(resource.Bitmap.width());
    info.Height = Clamp16(resource.Bitmap.height());
    info.File_Size = resource.DIB_Size;
    m_info = info;
}

void TPMultiImage::Start_Banner(const QString& path, Load_Branch branch)
{
    QFile file;
    if (!Platform::Open_For_Reading(path, file))
        Raise_File_Error(path, file.errorString());
    if (branch == Load_Branch::Scroll_Banner)
        m_banner.Start_Scroll(file.read(1 << 20), font());
    else
        m_banner.Start_Lines(file.read(Line_Banner_Max_Bytes), font());
    update();
}

void TPMultiImage::Banner_Message(int message)
{
    if (m_banner.Step(message, contentsRect().size()))
        update();
}
