// Loading through ImageName: the reader by extension, missing and damaged files, metafiles,
// icons, bitmap resources, the arguments handed to the back end, and the banners.
#include "Imaging_Fixture.h"
#include "MessageBox.h"
#include "StandardError.h"
#include "TMultiP.h"

#include <QTest>

using namespace imagetest;

Q_DECLARE_METATYPE(TPicture::Kind)
Q_DECLARE_METATYPE(TLoadResolution)

namespace {

QStringList Library_Texts()
{
    QStringList texts;
    for (int code = -1; code >= -15; --code)
        texts << Sky_Error_Text(uint16_t(code));
    return texts;
}

QString Failure_Text(const QString& format)
{
    static const QHash<QString, QString> texts = {
        {"bmp", "Reading bmp file failed"}, {"jpg", "Reading jpg file failed"},
        {"png", "Reading png file failed"}, {"gif", "Reading gif file failed"},
        {"tif", "Reading tif file failed"}, {"pcx", "Reading pcx file failed"}};
    return texts.value(format);
}

} // namespace

class Tst_TMultiP_Load : public QObject
{
    Q_OBJECT

    Scratch m_dir;
    const QImage m_picture = Quadrants(40, 30);

    // Loads a good picture first, so that an emptied picture shows.
    void Load_Good(TPMultiImage& image)
    {
        image.Set_ImageName(m_dir.Write("good.png", Encode(m_picture, "png")));
        QVERIFY(image.Picture().Has_Graphic());
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.Valid()); }

    void loads_by_extension_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<TPicture::Kind>("kind");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QSize>("size");
        const QSize size(40, 30);
        const TPicture::Kind bitmap = TPicture::Kind::Bitmap;
        QTest::newRow("bmp") << "a.bmp" << Encode(m_picture, "bmp") << bitmap << "BMP" << size;
        QTest::newRow("jpg") << "a.JPG" << Encode(m_picture, "jpg") << bitmap << "JPEG" << size;
        QTest::newRow("png") << "a.png" << Encode(m_picture, "png") << bitmap << "PNG" << size;
        QTest::newRow("gif") << "a.gif" << Encode(m_picture, "gif", 8) << bitmap << "GIF" << size;
        QTest::newRow("tif") << "a.tif" << Encode(m_picture, "tif") << bitmap << "TIFF" << size;
        QTest::newRow("pcx") << "a.pcx" << Encode(m_picture, "pcx") << bitmap << "PCX" << size;
        QTest::newRow("TIFF cut to .TIF")
            << "b.TIFF" << Encode(m_picture, "tif") << bitmap << "TIFF" << size;
        QTest::newRow("tiff in lower case")
            << "c.tiff" << Encode(m_picture, "tif") << bitmap << "TIFF" << size;
        QTest::newRow(".THB as a bitmap")
            << "d.THB" << Encode(m_picture, "bmp") << bitmap << "BMP" << size;
        QTest::newRow(".thb in lower case")
            << "e.thb" << Encode(m_picture, "bmp") << bitmap << "BMP" << size;
        QTest::newRow(".ThJ as a JPEG")
            << "f.ThJ" << Encode(m_picture, "jpg") << bitmap << "JPEG" << size;
        QTest::newRow(".THJ") << "g.THJ" << Encode(m_picture, "jpg") << bitmap << "JPEG" << size;
        QTest::newRow("wmf") << "h.wmf" << Two_Halves_Metafile(80, 40) << TPicture::Kind::Metafile
                             << "WMF" << QSize(80, 40);
        QTest::newRow("ico") << "i.ICO" << Icon_File(Quadrants(32, 32)) << TPicture::Kind::Icon
                             << "ICO" << QSize(32, 32);
    }
    void loads_by_extension()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(TPicture::Kind, kind);
        QFETCH(QString, format);
        QFETCH(QSize, size);
        QVERIFY(!bytes.isEmpty());
        Message_Box_Script script;
        TPMultiImage image;
        const QString path = m_dir.Write(name, bytes);
        image.Set_ImageName(path);
        QCOMPARE(script.Texts(), QStringList());
        QCOMPARE(image.ImageName(), path);
        QCOMPARE(image.Picture().Graphic_Kind(), kind);
        QVERIFY(image.Picture().Has_Graphic());
        QCOMPARE(image.Picture().Size(), size);
        QCOMPARE(image.Info().Format_Name, format);
        QCOMPARE(QSize(image.Info().Width, image.Info().Height), size);
        QCOMPARE(image.Info().File_Size, int32_t(bytes.size()));
        if (kind == TPicture::Kind::Bitmap)
            QVERIFY(Near(image.Picture().Bitmap().pixel(5, 5), qRgb(255, 0, 0), 12));
    }

    void jpeg_extension_keeps_the_previous_picture()
    {
        Message_Box_Script script;
        TPMultiImage image;
        Load_Good(image);
        const quint64 before = image.Picture().Generation();
        const QString jpeg = m_dir.Write("h.JPEG", Encode(Photo(), "jpg"));
        image.Set_ImageName(jpeg);
        QCOMPARE(image.ImageName(), jpeg);
        QCOMPARE(image.Picture().Generation(), before);
        QCOMPARE(image.Info().Format_Name, QString("PNG"));
        QCOMPARE(script.Texts(), QStringList());
    }

    void missing_file_empties_the_picture_silently()
    {
        Message_Box_Script script;
        TPMultiImage image;
        Load_Good(image);
        image.Set_ImageName(m_dir.Dos("none.png"));
        QVERIFY(!image.Picture().Has_Graphic());
        QCOMPARE(script.Texts(), QStringList());
        image.Set_ImageName("file not found");
        QVERIFY(!image.Picture().Has_Graphic());
        QCOMPARE(script.Texts(), QStringList());
    }

    void file_found_without_regard_to_case()
    {
        Message_Box_Script script;
        TPMultiImage image;
        m_dir.Write("Mixed.Png", Encode(m_picture, "png"));
        image.Set_ImageName(m_dir.Dos("MIXED.PNG"));
        QCOMPARE(image.Picture().Size(), QSize(40, 30));
    }

    // Each reader's failure: the back end's error box, then the control's information box,
    // and the picture is empty. The information call that follows may fail once more.
    void damaged_files_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QByteArray>("bytes");
        for (const char* f : {"bmp", "jpg", "png", "gif", "tif", "pcx"}) {
            const QString format = QString::fromLatin1(f);
            const QByteArray good = Encode(Photo(64, 48), format);
            QByteArray garbled = good;
            garbled.replace(0, 8, "garbage!");
            QTest::addRow("%s truncated to half", f) << format << good.left(good.size() / 2);
            QTest::addRow("%s header only", f) << format << good.left(20);
            QTest::addRow("%s signature garbled", f) << format << garbled;
            QTest::addRow("%s empty file", f) << format << QByteArray();
        }
        QTest::newRow("png-with-jpeg-extension") << "jpg" << Encode(m_picture, "png");
        QTest::newRow("jpeg-with-gif-extension") << "gif" << Encode(m_picture, "jpg");
    }
    void damaged_files()
    {
        QFETCH(QString, format);
        QFETCH(QByteArray, bytes);
        TPMultiImage image;
        Load_Good(image);
        Message_Box_Script script;
        const QString path = m_dir.Write(QTest::currentDataTag() + QString(".") + format, bytes);
        QVERIFY(!path.isEmpty());
        image.Set_ImageName(path);
        QVERIFY(!image.Picture().Has_Graphic());
        const QList<Recorded_Box>& boxes = script.Boxes();
        QVERIFY2(boxes.size() == 2 || boxes.size() == 3, qPrintable(script.Texts().join('|')));
        QCOMPARE(boxes.at(0).type, Box_Type::Error);
        QVERIFY2(Library_Texts().contains(boxes.at(0).text), qPrintable(boxes.at(0).text));
        QCOMPARE(boxes.at(1).text, Failure_Text(format));
        QCOMPARE(boxes.at(1).type, Box_Type::Information);
        QCOMPARE(boxes.at(1).buttons, Box_Buttons::Ok);
        if (boxes.size() == 3) {
            QCOMPARE(boxes.at(2).type, Box_Type::Error);
            QVERIFY(Library_Texts().contains(boxes.at(2).text));
        }
    }

    // A picture larger than the back end's memory limit is refused with its own message.
    void picture_beyond_the_memory_limit()
    {
        TPMultiImage image;
        Load_Good(image);
        Message_Box_Script script;
        const QString path = m_dir.Write("huge.png", Encode(Photo(200, 100), "png"));
        Sky_Set_Memory_Limit(10000);
        image.Set_ImageName(path);
        Sky_Set_Memory_Limit(0);
        QVERIFY(!image.Picture().Has_Graphic());
        QCOMPARE(script.Texts().mid(0, 2), QStringList({Sky_Error_Text(uint16_t(SKY_ERR_TOO_LARGE)),
                                                        "Reading png file failed"}));
    }

    void damaged_metafile_or_icon_raises_the_standard_error_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray wmf = Two_Halves_Metafile();
        QTest::newRow("metafile cut to its placeable header") << "cut.wmf" << wmf.left(22);
        QTest::newRow("metafile of text") << "text.wmf" << QByteArray("not a metafile at all");
        QTest::newRow("icon of text") << "text.ico" << QByteArray("not an icon at all, really");
        QTest::newRow("empty icon") << "empty.ico" << QByteArray();
    }
    void damaged_metafile_or_icon_raises_the_standard_error()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        Message_Box_Script script;
        TPMultiImage image;
        Load_Good(image);
        const QString path = m_dir.Write(name, bytes);
        QVERIFY_THROWS_EXCEPTION(Standard_Error, image.Set_ImageName(path));
        QVERIFY(!image.Picture().Has_Graphic());
        QCOMPARE(script.Texts(), QStringList());
    }

    void bitmap_resources_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("colours");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QRgb>("pixel");
        QTest::addColumn<int>("dibSize");
        // 40-byte header, 3 entries of 4 bytes, 3 rows of 8 bytes.
        QTest::newRow("name, count of colours in the header")
            << "C:\\PICS\\rose.res" << QSize(5, 3) << 3 << QPoint(1, 0) << qRgb(0, 255, 0)
            << 40 + 12 + 24;
        // 12-byte core header, 16 entries of 3 bytes, 2 rows of 4 bytes.
        QTest::newRow("numeric identifier, core header: 2^bits entries")
            << "101.RES" << QSize(4, 2) << 16 << QPoint(1, 0) << qRgb(80, 175, 144) << 12 + 48 + 8;
        QTest::newRow("numeric identifier with leading zeros")
            << "Z:\\0101.res" << QSize(4, 2) << 16 << QPoint(3, 0) << qRgb(240, 15, 176)
            << 12 + 48 + 8;
        QTest::newRow("no count in an info header: 2^bits entries")
            << "7.res" << QSize(9, 2) << 2 << QPoint(1, 0) << qRgb(255, 255, 0) << 40 + 8 + 8;
        QTest::newRow("true colour")
            << "TrueCol.RES" << QSize(3, 2) << 0 << QPoint(1, 1) << qRgb(200, 100, 50) << 40 + 24;
        QTest::newRow("base name up to the first dot")
            << "D:\\X\\ROSE.OLD.RES" << QSize(5, 3) << 3 << QPoint(2, 0) << qRgb(0, 0, 255)
            << 40 + 12 + 24;
    }
    void bitmap_resources()
    {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        QFETCH(int, colours);
        QFETCH(QPoint, at);
        QFETCH(QRgb, pixel);
        QFETCH(int, dibSize);
        Message_Box_Script script;
        TPMultiImage image;
        QVERIFY(!Platform::File_Exists(path)); // no such file: the resource is still looked up
        image.Set_ImageName(path);
        QCOMPARE(script.Texts(), QStringList());
        QCOMPARE(image.Picture().Size(), size);
        QCOMPARE(image.Picture().Palette().size(), colours);
        QCOMPARE(image.Picture().Bitmap().pixel(at) | 0xff000000u, pixel);
        const Picture_Info_Block& info = image.Info();
        QCOMPARE(info.Format_Name, QString("RES"));
        QCOMPARE(info.Second_Name, QString("BMP"));
        QCOMPARE(QSize(info.Width, info.Height), size);
        QCOMPARE(info.Values[0] + info.Values[1] + info.Values[2], 0);
        QCOMPARE(info.File_Size, dibSize);
    }

    void bitmap_resource_failures_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("no such resource") << "C:\\TULIP.RES";
        QTest::newRow("numeric identifier beyond 16 bits") << "65637.res";
        QTest::newRow("header of unknown size") << "broken.res";
        QTest::newRow("colour table cut short") << "SHORTTAB.RES";
    }
    void bitmap_resource_failures()
    {
        QFETCH(QString, path);
        TPMultiImage image;
        Load_Good(image);
        Message_Box_Script script;
        image.Set_ImageName(path);
        QCOMPARE(script.Texts(), QStringList{"Reading resource file failed"});
        QCOMPARE(script.Boxes().at(0).type, Box_Type::Information);
        QVERIFY(!image.Picture().Has_Graphic());
    }

    void reader_arguments_data()
    {
        QTest::addColumn<TLoadResolution>("resolution");
        QTest::addColumn<bool>("dither");
        QTest::addColumn<int>("bits");
        QTest::newRow("VGA") << lColorVga << true << 0;
        QTest::newRow("monochrome, no dither") << lMonoChrome << false << 1;
        QTest::newRow("16 colours") << lColor16 << true << 4;
        QTest::newRow("256 colours") << lColor256 << true << 8;
        QTest::newRow("true colour") << lColorTrue << false << 24;
        QTest::newRow("automatic: the screen's depth") << lAutoMatic << true << -1;
    }
    void reader_arguments()
    {
        QFETCH(TLoadResolution, resolution);
        QFETCH(bool, dither);
        QFETCH(int, bits);
        QList<Library_Call> calls;
        Image_Library_Override library(Recording_Library(calls));
        TPMultiImage image;
        image.Set_ImageReadRes(resolution);
        image.Set_ImageDither(dither);
        if (bits < 0)
            bits = image.Screen_Depth();
        const QString path = m_dir.Write("args.gif", Encode(m_picture, "gif", 8));
        image.Set_ImageName(path);
        QCOMPARE(calls.size(), 2);
        QCOMPARE(calls.at(0).Operation, QString("Read_GIF"));
        QCOMPARE(calls.at(0).File, QFile::encodeName(Platform::Native_Path(path)));
        QCOMPARE(calls.at(0).Bits, bits);
        QCOMPARE(calls.at(0).Dither, dither ? 1 : 0);
        QCOMPARE(calls.at(1).Operation, QString("Picture_Info"));
    }

    // A view that shows a picture smaller than its size decodes no more than it shows.
    void decode_target_reads_a_jpeg_scaled()
    {
        QList<Library_Call> calls;
        Image_Library_Override library(Recording_Library(calls));
        TPMultiImage image;
        image.Set_DecodeTarget(QSize(100, 80));
        image.Set_ImageName(m_dir.Write("big.jpg", Encode(Photo(480, 360), "jpg")));
        QCOMPARE(calls.at(0).Operation, QString("Read_JPEG_Scaled"));
        QCOMPARE(calls.at(0).Target, QSize(100, 80));
        // 1/4 is the smallest scale that covers 100 x 80; the file's own size stays known.
        QCOMPARE(image.Picture().Size(), QSize(120, 90));
        QCOMPARE(QSize(image.Info().Width, image.Info().Height), QSize(480, 360));
        // Other formats have no scaled decoder.
        calls.clear();
        image.Set_ImageName(m_dir.Write("big.png", Encode(Photo(480, 360), "png")));
        QCOMPARE(calls.at(0).Operation, QString("Read_PNG"));
        QCOMPARE(image.Picture().Size(), QSize(480, 360));
    }

    void palette_picture_keeps_its_palette()
    {
        TPMultiImage image;
        image.Set_ImageReadRes(lColorTrue);
        image.Set_ImageName(m_dir.Write("pal.gif", Encode(m_picture, "gif", 8)));
        QCOMPARE(image.Picture().Bitmap().format(), QImage::Format_Indexed8);
        QCOMPARE(image.Picture().Palette(), image.Picture().Bitmap().colorTable());
        QVERIFY(image.Picture().Palette().size() >= 4);
    }

    void auto_size_takes_the_pictures_size()
    {
        TPMultiImage image;
        image.move(7, 9);
        image.Set_AutoSize(true);
        image.Set_ImageName(m_dir.Write("auto.png", Encode(m_picture, "png")));
        QCOMPARE(image.geometry(), QRect(7, 9, 40, 30));
        // An empty picture leaves the size alone.
        image.Set_ImageName(m_dir.Dos("none.bmp"));
        QCOMPARE(image.size(), QSize(40, 30));
        // Turning AutoSize on later sizes the control at once.
        TPMultiImage later;
        later.Set_ImageName(m_dir.Write("later.png", Encode(Quadrants(60, 20), "png")));
        QCOMPARE(later.size(), QSize(105, 105));
        later.Set_AutoSize(true);
        QCOMPARE(later.size(), QSize(60, 20));
    }

    void banners_start_step_and_stop()
    {
        TPMultiImage image;
        image.resize(100, 30);
        image.Set_ImageName(m_dir.Write("news.scm", "/sp|2/sm|News/eo|"));
        QCOMPARE(image.Banner().Current_Mode(), Text_Banner::Mode::Scroll);
        QCOMPARE(image.Banner().Settings().Speed, 2);
        // One pixel on every third message; the other banner's message does nothing.
        for (int i = 0; i < 7; ++i)
            image.Banner_Message(Banner_Scroll_Message);
        image.Banner_Message(Banner_Lines_Message);
        QCOMPARE(image.Banner().Offset(), 2);

        image.Set_ImageName(m_dir.Write("news.cms", "title\n255\n-12\nSans\n\n\n0\n0\nOne\nTwo\n"));
        QCOMPARE(image.Banner().Current_Mode(), Text_Banner::Mode::Lines);
        image.Banner_Message(Banner_Scroll_Message);
        QCOMPARE(image.Banner().Offset(), 0);
        // Speed 0: every message moves; past the bottom the next line comes.
        int steps = 0;
        while (image.Banner().Line() == 0 && steps < 1000) {
            image.Banner_Message(Banner_Lines_Message);
            ++steps;
        }
        QCOMPARE(image.Banner().Line(), 1);
        QVERIFY(steps > 30);

        image.Set_ImageName(m_dir.Write("stop.png", Encode(m_picture, "png")));
        QVERIFY(!image.Banner().Active());
    }
};

QTEST_MAIN(Tst_TMultiP_Load)
#include "tst_tmultip_load.moc"
