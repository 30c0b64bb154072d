#include "ImageRules.h"

#include "DosPath.h"
#include "Numbers.h"

#include <algorithm>

namespace Image_Rules {

QString Picture_Extension(const QString& path)
{
    return Dos::Extension(path).toUpper().left(4);
}

Load_Branch Branch_For(const QString& extension)
{
    static const struct
    {
        const char* extension;
        Load_Branch branch;
    } table[] = {
        {".WMF", Load_Branch::Metafile},      {".ICO", Load_Branch::Icon},
        {".SCM", Load_Branch::Scroll_Banner}, {".CMS", Load_Branch::Line_Banner},
        {".BMP", Load_Branch::BMP},           {".THB", Load_Branch::BMP},
        {".THJ", Load_Branch::JPEG},          {".JPG", Load_Branch::JPEG},
        {".RES", Load_Branch::Resource},      {".PNG", Load_Branch::PNG},
        {".GIF", Load_Branch::GIF},           {".TIF", Load_Branch::TIFF},
        {".PCX", Load_Branch::PCX},
    };
    for (const auto& row : table)
        if (extension == QLatin1String(row.extension))
            return row.branch;
    return Load_Branch::None;
}

int Screen_Colour_Depth(int surfaceBits)
{
    if (surfaceBits < 5)
        return 4;
    if (surfaceBits >= 16)
        return 24;
    return 8;
}

int Reader_Bits(TLoadResolution resolution, int screenDepth)
{
    switch (resolution) {
    case lColorVga:
        return 0;
    case lMonoChrome:
        return 1;
    case lColor16:
        return 4;
    case lColor256:
        return 8;
    case lColorTrue:
        return 24;
    case lAutoMatic:
        break;
    }
    return screenDepth;
}

int Writer_Bits(TSaveResolution resolution, Save_Format format, int screenDepth)
{
    if (format == Save_Format::JPEG)
        return resolution == sMonoChrome || resolution == sJpegGray ? 1 : 24;
    const bool gif = format == Save_Format::GIF;
    switch (resolution) {
    case sColorVga:
        return 0;
    case sMonoChrome:
        return 1;
    case sColor16:
        return 4;
    case sColor256:
    case sJpegGray:
        return 8;
    case sColorTrue:
        return gif ? 8 : 24;
    case sAutoMatic:
        break;
    }
    return gif ? std::min(screenDepth, 8) : screenDepth;
}

int Tiff_Compression_Code(TTiffCompression compression)
{
    switch (compression) {
    case sNONE:
        break;
    case sCCITT:
        return 2;
    case sLZW:
        return 5;
    case sPACKBITS:
        return 32773;
    }
    return 1;
}

int Stored_Quality(int value)
{
    return value >= 1 && value <= 100 ? value : 25;
}

int Stored_Smoothing(int value)
{
    return value >= 0 && value <= 100 ? value : 5;
}

QRect Stretch_Ratio_Rect(QRect client, QSize picture)
{
    if (picture.width() <= 0 || picture.height() <= 0)
        return client;
    const double cw = client.width(), ch = client.height();
    const double rx = cw / picture.width();
    const double ry = ch / picture.height();
    if (rx > ry) {
        const double d = cw - picture.width() * ry;
        return QRect(client.left() + Numbers::Round_Half_Even(d / 2), client.top(),
                     Numbers::Round_Half_Even(cw - d), client.height());
    }
    const double e = ch - picture.height() * rx;
    return QRect(client.left(), client.top() + Numbers::Round_Half_Even(e / 2), client.width(),
                 Numbers::Round_Half_Even(ch - e));
}

QRect Target_Rect(const View_Flags& flags, QRect client, QSize picture)
{
    if (flags.Stretch)
        return client;
    if (flags.Stretch_Ratio)
        return Stretch_Ratio_Rect(client, picture);
    if (flags.Center)
        return QRect(
            QPoint(client.left() + Numbers::Div_Trunc(client.width() - picture.width(), 2),
                   client.top() + Numbers::Div_Trunc(client.height() - picture.height(), 2)),
            picture);
    return QRect(client.topLeft(), picture);
}

} // namespace Image_Rules
