// Writing disc folders and the program's own files.
#include "Mkdisc.h"

#include "AnsiText.h"
#include "Profile.h"
#include "WmfPicture.h"
#include "WmfWriter.h"

#include "sky32v3c.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>
#include <QTemporaryDir>

#include <zip.h>

namespace Mkdisc {
namespace {

QString Native(QString dosRelative)
{
    dosRelative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (dosRelative.endsWith(QLatin1Char('/')))
        dosRelative.chop(1);
    return dosRelative;
}

bool Write_File(const QString& path, const QByteArray& bytes, QString* error)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
        if (error)
            *error = QStringLiteral("cannot write %1: %2").arg(path, f.errorString());
        return false;
    }
    return true;
}

QString Dotted(const QString& ext)
{
    return ext.startsWith(QLatin1Char('.')) ? ext : QLatin1Char('.') + ext;
}

// A picture written by the imaging back end, which reads and writes files only.
QByteArray Encode_With_Back_End(const QImage& image, const QString& upper)
{
    QTemporaryDir dir;
    if (!dir.isValid())
        return {};
    const QByteArray file = QFile::encodeName(dir.filePath(QStringLiteral("picture")));
    int16_t code = SKY_ERR_ARGUMENT;
    if (upper == QLatin1String(".GIF"))
        code = Sky_Write_GIF(file, 8, &image, nullptr);
    else if (upper == QLatin1String(".PCX"))
        code = Sky_Write_PCX(file, 8, &image, nullptr);
    else
        code = Sky_Write_TIFF(file, 5, 0, 24, &image, nullptr); // LZW
    if (code < 1)
        return {};
    QFile f(QFile::decodeName(file));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Encodes a picture in the format its extension names: JPEG, BMP and PNG through the
// toolkit, GIF, TIFF and PCX through the imaging back end; empty on failure.
QByteArray Encode_Picture(const QImage& image, const QString& ext)
{
    const QString upper = Dotted(ext).toUpper();
    if (upper == QLatin1String(".GIF") || upper == QLatin1String(".PCX") ||
        upper == QLatin1String(".TIF") || upper == QLatin1String(".TIFF"))
        return Encode_With_Back_End(image, upper);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QByteArray format = "PNG";
    if (upper == QLatin1String(".JPG") || upper == QLatin1String(".JPEG"))
        format = "JPEG";
    else if (upper == QLatin1String(".BMP"))
        format = "BMP";
    else if (upper == QLatin1String(".ICO"))
        format = "ICO";
    QImageWriter writer(&buffer, format);
    if (format == "JPEG")
        writer.setQuality(88);
    if (!writer.write(format == "BMP" ? image.convertToFormat(QImage::Format_RGB888) : image))
        return {};
    return bytes;
}

// An icon: the picture drawn small inside a rounded frame, transparent around it.
QImage Draw_Icon(const QString& name, int style)
{
    const QImage picture = Draw_Picture(name, QSize(64, 64), style);
    QImage icon(64, 64, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath frame;
    frame.addRoundedRect(QRectF(2, 2, 60, 60), 14, 14);
    p.setClipPath(frame);
    p.drawImage(0, 0, picture);
    p.setClipping(false);
    p.setPen(QPen(QColor(40, 40, 40), 2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(frame);
    return icon;
}

// The bytes of a disc picture in its category's format, and the picture its thumbnail
// shows. Metafiles are the demo clip art; icons are drawn small.
bool Make_Picture(const Picture_Spec& pic, const QString& ext, QSize size, int style, int index,
                  QByteArray& bytes, QImage& shown)
{
    const QString upper = Dotted(ext).toUpper();
    if (upper == QLatin1String(".WMF")) {
        bytes = Demo_Metafile(index % Demo_Metafile_Count(), pic.Name);
        const WmfPicture metafile = WmfPicture::fromBytes(bytes);
        if (!metafile.isValid())
            return false;
        shown = QImage(metafile.pixelSize(), QImage::Format_RGB32);
        shown.fill(Qt::white);
        QPainter p(&shown);
        p.setRenderHint(QPainter::Antialiasing);
        metafile.play(p, QRectF(shown.rect()));
        return true;
    }
    if (upper == QLatin1String(".ICO")) {
        const QImage icon = Draw_Icon(pic.Name, style);
        bytes = Encode_Picture(icon, ext);
        shown = QImage(icon.size(), QImage::Format_RGB32);
        shown.fill(Qt::white);
        QPainter(&shown).drawImage(0, 0, icon);
        return !bytes.isEmpty();
    }
    shown = Draw_Picture(pic.Name, size, style);
    bytes = Encode_Picture(shown, ext);
    return !bytes.isEmpty();
}

bool Write_Zip(const QString& zipPath, const QString& member, const QByteArray& bytes,
               QString* error)
{
    QDir().mkpath(QFileInfo(zipPath).absolutePath());
    QFile::remove(zipPath);
    int code = 0;
    zip_t* archive =
        zip_open(QFile::encodeName(zipPath).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!archive) {
        if (error)
            *error = QStringLiteral("cannot create %1").arg(zipPath);
        return false;
    }
    zip_source_t* source =
        zip_source_buffer(archive, bytes.constData(), zip_uint64_t(bytes.size()), 0);
    const bool added = source && zip_file_add(archive, member.toLatin1().constData(), source,
                                              ZIP_FL_ENC_CP437) >= 0;
    if (!added && source)
        zip_source_free(source);
    if (!added || zip_close(archive) != 0) {
        if (!added)
            zip_discard(archive);
        if (error)
            *error = QStringLiteral("cannot write %1").arg(zipPath);
        return false;
    }
    return true;
}

} // namespace

QByteArray Catalogue_Text(const Disc_Spec& spec)
{
    QStringList lines;
    lines << QString::number(spec.Languages) << QString::number(spec.Entries.size());
    for (const Entry_Spec& e : spec.Entries) {
        lines << QString();
        lines << (e.Kind.isEmpty() ? (e.Leaf ? QStringLiteral("LEAF") : QStringLiteral("HEADING"))
                                   : e.Kind);
        for (int l = 0; l < spec.Languages; ++l)
            lines << (l < e.Names.size() ? e.Names.at(l) : e.Names.value(0));
        lines << e.Picture_Folder << e.Thumb_Folder << e.Picture_Ext
              << QString::number(e.CD_Number);
    }
    return Ansi::Encode(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

bool Write_Disc(const QString& folder, const Disc_Spec& spec, QString* error)
{
    QDir root(folder);
    if (!root.mkpath(QStringLiteral("."))) {
        if (error)
            *error = QStringLiteral("cannot create %1").arg(folder);
        return false;
    }
    if (!Write_File(root.filePath(QStringLiteral("Cats.txt")), Catalogue_Text(spec), error))
        return false;
    if (spec.Write_CD_ID && !Write_File(root.filePath(QStringLiteral("CD.ID")),
                                        QByteArray::number(spec.CD_Number) + "\r\n", error))
        return false;
    if (spec.Write_Marker && !Write_File(root.filePath(spec.Product + QStringLiteral(".ID")),
                                         "Orvinta picture disc\r\n", error))
        return false;

    int style = 0;
    for (const Entry_Spec& e : spec.Entries) {
        if (!e.Leaf)
            continue;
        const QString pictures = root.filePath(Native(e.Picture_Folder));
        const QString thumbs = root.filePath(Native(e.Thumb_Folder));
        QDir().mkpath(pictures);
        QDir().mkpath(thumbs);
        for (int index = 0; index < e.Pictures.size(); ++index) {
            const Picture_Spec& pic = e.Pictures.at(index);
            QByteArray bytes;
            QImage picture;
            if (!Make_Picture(pic, e.Picture_Ext, spec.Picture_Size, style++, index, bytes,
                              picture)) {
                if (error)
                    *error = QStringLiteral("cannot encode the picture %1").arg(pic.Name);
                return false;
            }
            if (!Draw_Thumbnail(picture).save(
                    thumbs + QLatin1Char('/') + pic.Name + QStringLiteral(".BMP"), "BMP")) {
                if (error)
                    *error = QStringLiteral("cannot write the thumbnail of %1").arg(pic.Name);
                return false;
            }
            const QString file = pic.Name + Dotted(e.Picture_Ext).toUpper();
            const bool ok =
                pic.Archived
                    ? Write_Zip(pictures + QLatin1Char('/') + pic.Name + QStringLiteral(".ZIP"),
                                file, bytes, error)
                    : Write_File(pictures + QLatin1Char('/') + file, bytes, error);
            if (!ok)
                return false;
        }
    }

    // The pictures the settings name.
    const QSize splash(420, 280);
    const struct
    {
        QString name;
        QImage image;
    } named[] = {
        {QStringLiteral("HIGHLITE.BMP"), Draw_Highlight_Mark()},
        {QStringLiteral("PALETTE.BMP"), Draw_Picture(QStringLiteral("Palette"), QSize(64, 64), 2)},
        {QStringLiteral("RU_IMAGE.BMP"),
         Draw_Banner(QStringLiteral("Orvinta"), QStringLiteral("Recently used"), QSize(180, 240),
                     3)},
        {QStringLiteral("CD_ID.BMP"),
         Draw_Banner(QStringLiteral("CD %1").arg(spec.CD_Number), QString(), QSize(90, 40), 2)},
        {QStringLiteral("1SPLASH.BMP"),
         Draw_Banner(QStringLiteral("Orvinta"), QStringLiteral("Picture collection"), splash, 0)},
        {QStringLiteral("2SPLASH.BMP"),
         Draw_Banner(QStringLiteral("Orvinta"), QStringLiteral("Bildersammlung"), splash, 0)},
        {QStringLiteral("3SPLASH.BMP"),
         Draw_Banner(QStringLiteral("Orvinta"), QStringLiteral("Collection d\u2019images"), splash,
                     0)},
        {QStringLiteral("1ABOUT.BMP"),
         Draw_Banner(QStringLiteral("Orvinta"), QStringLiteral("About"), QSize(300, 200), 1)},
    };
    for (const auto& n : named) {
        if (!n.image.convertToFormat(QImage::Format_RGB888).save(root.filePath(n.name), "BMP")) {
            if (error)
                *error = QStringLiteral("cannot write %1").arg(n.name);
            return false;
        }
    }
    for (int l = 0; l < spec.Languages && l < 3; ++l) {
        const char* const help[3] = {"HELP_EN.TXT", "HELP_DE.TXT", "HELP_FR.TXT"};
        if (!Write_File(root.filePath(QString::fromLatin1(help[l])),
                        Ansi::Encode(Message_Text(62, l) + QStringLiteral("\r\n")), error))
            return false;
    }
    return true;
}

Disc_Spec Small_Disc(const QList<int>& pictureCounts)
{
    Disc_Spec spec;
    spec.Picture_Size = QSize(120, 90);
    spec.Entries.append(
        {false, {}, {"0. Collection", "0. Sammlung", "0. Collection"}, "", "", "", 1, {}});
    spec.Entries.append({false, {}, {"1. Pictures", "1. Bilder", "1. Images"}, "", "", "", 1, {}});
    for (int c = 0; c < pictureCounts.size(); ++c) {
        Entry_Spec e;
        const QString folder = QStringLiteral("CAT%1").arg(c + 1);
        e.Names = QStringList{QStringLiteral("%1. Category %1").arg(c + 1),
                              QStringLiteral("%1. Kategorie %1").arg(c + 1),
                              QStringLiteral("%1. Cat\u00E9gorie %1").arg(c + 1)};
        e.Picture_Folder = folder;
        e.Thumb_Folder = folder + QStringLiteral("\\THB");
        e.Picture_Ext = QStringLiteral(".JPG");
        for (int p = 0; p < pictureCounts.at(c); ++p)
            e.Pictures.append({QStringLiteral("P%1").arg(p, 3, 10, QLatin1Char('0')), false});
        spec.Entries.append(e);
    }
    return spec;
}

bool Write_Program_Files(const QString& programFolder, const Program_Files_Spec& spec,
                         QString* error)
{
    QDir dir(programFolder);
    if (!Write_File(dir.filePath(spec.Base_Name + QStringLiteral(".LNG")),
                    Language_File_Text(spec.Languages, spec.Messages), error))
        return false;
    const char* const flags[3] = {"ENGLISH.ICO", "GERMAN.ICO", "FRENCH.ICO"};
    dir.mkpath(QStringLiteral("Flags"));
    for (int l = 0; l < 3; ++l) {
        if (!Draw_Flag(l).save(
                dir.filePath(QStringLiteral("Flags/") + QString::fromLatin1(flags[l])), "ICO")) {
            if (error)
                *error = QStringLiteral(
                    "cannot write the flag icons (is the ICO image plugin installed?)");
            return false;
        }
    }
    dir.mkpath(QStringLiteral("RU"));

    Profile_File settings(dir.filePath(spec.Base_Name + QStringLiteral(".INI")));
    if (!settings.Exists() || !spec.Keep_Settings) {
        QFile::remove(settings.Path());
        const QString text =
            QStringLiteral("[Install]\r\nCD_Drive=D:\\\r\nLang=1\r\nRU_Path=RU\\\r\nData_Path="
                           "\r\nHighLight=HIGHLITE.BMP\r\n"
                           "Splash=SPLASH.BMP\r\nStretch=0\r\nPalette=PALETTE.BMP\r\nAbout=ABOUT."
                           "BMP\r\nRU_Image=RU_IMAGE.BMP\r\n\r\n"
                           "[Active]\r\nPrint=1\r\nClipboard=1\r\nRU_List=1\r\nCopy=1\r\nHelp_"
                           "Button=1\r\nHelp=1\r\nLanguage=1\r\n"
                           "THB_View=1\r\nPrint_Cat=1\r\nPrint_Sel_Tile=1\r\nPrint_Sel_Page="
                           "1\r\n\r\n[Drives]\r\n");
        if (!Write_File(settings.Path(), Ansi::Encode(text), error))
            return false;
    }
    if (!spec.Disc_Folder.isEmpty() &&
        !settings.Write_String(QStringLiteral("Drives"), QStringLiteral("D"),
                               QDir(spec.Disc_Folder).absolutePath())) {
        if (error)
            *error = settings.errorText();
        return false;
    }
    return true;
}

} // namespace Mkdisc
