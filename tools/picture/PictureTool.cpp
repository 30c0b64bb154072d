#include "PictureTool.h"

#include "DosPath.h"
#include "MessageBox.h"
#include "StandardError.h"
#include "TMultiP.h"

#include <QFileInfo>
#include <QTextStream>

namespace Picture_Tool {
namespace {

bool Read_Size(const QString& text, QSize& size)
{
    const QStringList parts = text.toLower().split(QLatin1Char('x'));
    if (parts.size() != 2)
        return false;
    bool okW = false, okH = false;
    const int w = parts.at(0).toInt(&okW), h = parts.at(1).toInt(&okH);
    if (!okW || !okH || w < 1 || h < 1 || w > 32767 || h > 32767)
        return false;
    size = QSize(w, h);
    return true;
}

bool Fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

// The writer the output's extension names.
enum class Writer
{
    None,
    BMP,
    PNG,
    JPG,
    GIF,
    TIF,
    PCX
};

Writer Writer_For(const QString& path)
{
    const QString ext = QLatin1Char('.') + QFileInfo(path).suffix().toUpper();
    if (ext == QLatin1String(".BMP"))
        return Writer::BMP;
    if (ext == QLatin1String(".PNG"))
        return Writer::PNG;
    if (ext == QLatin1String(".JPG") || ext == QLatin1String(".JPEG") ||
        ext == QLatin1String(".JPE"))
        return Writer::JPG;
    if (ext == QLatin1String(".GIF"))
        return Writer::GIF;
    if (ext == QLatin1String(".TIF") || ext == QLatin1String(".TIFF"))
        return Writer::TIF;
    if (ext == QLatin1String(".PCX"))
        return Writer::PCX;
    return Writer::None;
}

QString Dos_Form(const QString& nativePath)
{
    return Platform::Dos_Path(QFileInfo(nativePath).absoluteFilePath());
}

// Prints the texts of the boxes shown so far; true when there were any.
bool Report_Boxes(const Message_Box_Script& script, QTextStream& err)
{
    for (const QString& text : script.Texts())
        err << "orvinta-picture: " << text << "\n";
    err.flush();
    return !script.Boxes().isEmpty();
}

// Loads the input into the control; false (with the reason on err) when nothing was loaded.
bool Load(TPMultiImage& image, const QString& in, const Message_Box_Script& script,
          QTextStream& err)
{
    if (!QFileInfo(in).isFile()) {
        err << "orvinta-picture: " << in << ": no such file\n";
        return false;
    }
    const QString path = Dos_Form(in);
    if (Image_Rules::Branch_For(Image_Rules::Picture_Extension(path)) ==
        Image_Rules::Load_Branch::None) {
        err << "orvinta-picture: " << in << ": not a picture format the control reads\n";
        return false;
    }
    try {
        image.Set_ImageName(path);
    } catch (const Standard_Error& e) {
        err << "orvinta-picture: " << e.Text() << "\n";
        return false;
    }
    if (Report_Boxes(script, err))
        return false;
    if (!image.Picture().Has_Graphic()) {
        err << "orvinta-picture: " << in << ": the file holds no picture\n";
        return false;
    }
    return true;
}

TSaveResolution Save_Resolution(const Options& o)
{
    if (o.Gray)
        return sJpegGray;
    switch (o.Bits) {
    case 0:
        return sColorVga;
    case 1:
        return sMonoChrome;
    case 4:
        return sColor16;
    case 8:
        return sColor256;
    default:
        return sColorTrue;
    }
}

TTiffCompression Compression(const QString& name)
{
    if (name == QLatin1String("ccitt"))
        return sCCITT;
    if (name == QLatin1String("lzw"))
        return sLZW;
    if (name == QLatin1String("packbits"))
        return sPACKBITS;
    return sNONE;
}

// Writes the control's picture through the writer of the output's extension.
int Write(TPMultiImage& image, const Options& o, const Message_Box_Script& script, QTextStream& err)
{
    image.Set_ImageWriteRes(Save_Resolution(o));
    image.Set_JPegSaveQuality(o.Quality);
    image.Set_JPegSaveSmooth(o.Smoothing);
    image.Set_PNGInterLaced(o.Interlaced);
    image.Set_TifSaveCompress(Compression(o.Compression));
    const QString out = Dos_Form(o.Out);
    switch (Writer_For(o.Out)) {
    case Writer::BMP:
        image.SaveAsBMP(out);
        break;
    case Writer::PNG:
        image.SaveAsPNG(out);
        break;
    case Writer::JPG:
        image.SaveAsJPG(out);
        break;
    case Writer::GIF:
        image.SaveAsGIF(out);
        break;
    case Writer::TIF:
        image.SaveAsTIF(out);
        break;
    case Writer::PCX:
        image.SaveAsPCX(out);
        break;
    case Writer::None:
        break;
    }
    return Report_Boxes(script, err) ? 1 : 0;
}

bool Keeps_Transparency(const QString& out)
{
    const Writer w = Writer_For(out);
    return w == Writer::PNG || w == Writer::TIF;
}

int Info(const Options& o, QTextStream& out, QTextStream& err)
{
    Message_Box_Script script;
    TPMultiImage image;
    // The size and depth come from the file: a JPEG need not be decoded at full size.
    image.Set_DecodeTarget(QSize(1, 1));
    image.Set_ImageReadRes(lColorTrue);
    if (!Load(image, o.In, script, err))
        return 1;
    const Picture_Info_Block& info = image.Info();
    const TPicture& picture = image.Picture();
    out << "format: " << info.Format_Name << "\n";
    out << "size: " << info.Width << " x " << info.Height << "\n";
    switch (picture.Graphic_Kind()) {
    case TPicture::Kind::Metafile:
        out << "depth: vector\n";
        break;
    case TPicture::Kind::Icon:
        out << "depth: " << picture.Icon().depth() << "\n";
        break;
    default:
        out << "depth: " << info.Values[0] << "\n";
        out << "colours: " << info.Values[1] << "\n";
        break;
    }
    out << "encoding: " << info.Second_Name << "\n";
    out << "bytes: " << info.File_Size << "\n";
    out.flush();
    return 0;
}

int Convert(const Options& o, QTextStream& err)
{
    Message_Box_Script script;
    TPMultiImage image;
    image.Set_ImageReadRes(lColorTrue);
    if (!o.Fit.isEmpty())
        image.Set_DecodeTarget(o.Fit);
    if (!Load(image, o.In, script, err))
        return 1;
    const TPicture& picture = image.Picture();
    QSize size = picture.Size();
    if (!o.Fit.isEmpty())
        size = Image_Rules::Stretch_Ratio_Rect(QRect(QPoint(0, 0), o.Fit), size).size();
    if (!picture.Is_Bitmap() || size != picture.Size()) {
        const QColor background =
            Keeps_Transparency(o.Out) ? QColor(Qt::transparent) : QColor(Qt::white);
        QImage drawn = picture.Render(size, background);
        if (drawn.hasAlphaChannel())
            drawn = drawn.convertToFormat(QImage::Format_ARGB32);
        image.Set_Picture(TPicture::From_Bitmap(drawn));
    }
    return Write(image, o, script, err);
}

int Render(const Options& o, QTextStream& err)
{
    Message_Box_Script script;
    TPMultiImage image;
    image.Set_ImageReadRes(lColorTrue);
    image.Set_StretchRatio(o.Mode == QLatin1String("ratio"));
    image.Set_Stretch(o.Mode == QLatin1String("stretch"));
    image.Set_Center(o.Mode == QLatin1String("center"));
    if (!o.Size.isEmpty() && o.Mode != QLatin1String("plain") && o.Mode != QLatin1String("center"))
        image.Set_DecodeTarget(o.Size);
    if (!Load(image, o.In, script, err))
        return 1;
    image.resize(o.Size.isEmpty() ? image.Picture().Size() : o.Size);
    image.Set_Text(o.Text);
    image.Set_TextShadow(!o.Text.isEmpty());
    image.Set_TextShadowColor(Qt::white);
    image.Set_TextLeft(8);
    image.Set_TextTop(8);
    const QImage shot = image.grab().toImage().convertToFormat(QImage::Format_RGB32);
    image.Set_Picture(TPicture::From_Bitmap(shot));
    return Write(image, o, script, err);
}

} // namespace

QString Usage()
{
    return QStringLiteral(
        "usage: orvinta-picture info FILE\n"
        "       orvinta-picture convert IN OUT [--bits 0|1|4|8|24] [--gray] [--quality 1..100]\n"
        "                       [--smooth 0..100] [--compression none|ccitt|lzw|packbits]\n"
        "                       [--interlaced] [--fit WxH]\n"
        "       orvinta-picture render IN OUT [--size WxH] [--mode plain|center|stretch|ratio]\n"
        "                       [--text TEXT]\n"
        "OUT names its format: .bmp .png .jpg .gif .tif .pcx\n");
}

bool Parse(const QStringList& args, Options& o, QString* error)
{
    if (args.isEmpty())
        return Fail(error, QStringLiteral("no command"));
    const QString command = args.at(0);
    QStringList files;
    for (int i = 1; i < args.size(); ++i) {
        const QString arg = args.at(i);
        if (!arg.startsWith(QLatin1String("--"))) {
            files << arg;
            continue;
        }
        auto value = [&](QString& v) {
            if (i + 1 >= args.size())
                return false;
            v = args.at(++i);
            return true;
        };
        auto number = [&](int& n, int low, int high) {
            QString v;
            bool ok = false;
            if (value(v))
                n = v.toInt(&ok);
            return ok && n >= low && n <= high;
        };
        QString v;
        bool ok = true;
        if (arg == QLatin1String("--bits"))
            ok = number(o.Bits, 0, 24) &&
                 (o.Bits == 0 || o.Bits == 1 || o.Bits == 4 || o.Bits == 8 || o.Bits == 24);
        else if (arg == QLatin1String("--gray"))
            o.Gray = true;
        else if (arg == QLatin1String("--quality"))
            ok = number(o.Quality, 1, 100);
        else if (arg == QLatin1String("--smooth"))
            ok = number(o.Smoothing, 0, 100);
        else if (arg == QLatin1String("--compression"))
            ok = value(o.Compression) &&
                 QStringList({"none", "ccitt", "lzw", "packbits"}).contains(o.Compression);
        else if (arg == QLatin1String("--interlaced"))
            o.Interlaced = true;
        else if (arg == QLatin1String("--fit"))
            ok = value(v) && Read_Size(v, o.Fit);
        else if (arg == QLatin1String("--size"))
            ok = value(v) && Read_Size(v, o.Size);
        else if (arg == QLatin1String("--mode"))
            ok = value(o.Mode) &&
                 QStringList({"plain", "center", "stretch", "ratio"}).contains(o.Mode);
        else if (arg == QLatin1String("--text"))
            ok = value(o.Text);
        else
            return Fail(error, QStringLiteral("unknown option %1").arg(arg));
        if (!ok)
            return Fail(error, QStringLiteral("bad value for %1").arg(arg));
    }
    if (command == QLatin1String("info")) {
        o.Command = Options::Command::Info;
        if (files.size() != 1)
            return Fail(error, QStringLiteral("info takes one file"));
        o.In = files.at(0);
        return true;
    }
    if (command == QLatin1String("convert"))
        o.Command = Options::Command::Convert;
    else if (command == QLatin1String("render"))
        o.Command = Options::Command::Render;
    else
        return Fail(error, QStringLiteral("unknown command %1").arg(command));
    if (files.size() != 2)
        return Fail(error, QStringLiteral("%1 takes an input and an output file").arg(command));
    o.In = files.at(0);
    o.Out = files.at(1);
    if (Writer_For(o.Out) == Writer::None)
        return Fail(error, QStringLiteral("%1: the output format must be one of .bmp .png .jpg "
                                          ".gif .tif .pcx")
                               .arg(o.Out));
    return true;
}

int Run(const Options& o, QTextStream& out, QTextStream& err)
{
    switch (o.Command) {
    case Options::Command::Info:
        return Info(o, out, err);
    case Options::Command::Convert:
        return Convert(o, err);
    case Options::Command::Render:
        break;
    }
    return Render(o, err);
}

} // namespace Picture_Tool
