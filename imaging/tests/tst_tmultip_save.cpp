// Saving through SaveAs*: the depth table per format, the options handed to the back end,
// DefSaveFilename, round trips through ImageName, and the failure boxes.
#include "Imaging_Fixture.h"
#include "MessageBox.h"
#include "TMultiP.h"

#include <QSet>
#include <QTest>

using namespace imagetest;

Q_DECLARE_METATYPE(TSaveResolution)
Q_DECLARE_METATYPE(TTiffCompression)

namespace {

using Save = void (TPMultiImage::*)(const QString&);

struct Format
{
    const char* Extension;
    Save Method;
    const char* Writer;
    const char* Failure;
};

const Format Formats[] = {
    {"bmp", &TPMultiImage::SaveAsBMP, "Write_BMP", "Writing bmp file failed"},
    {"png", &TPMultiImage::SaveAsPNG, "Write_PNG", "Writing png file failed"},
    {"jpg", &TPMultiImage::SaveAsJPG, "Write_JPEG", "Writing jpg file failed"},
    {"gif", &TPMultiImage::SaveAsGIF, "Write_GIF", "Writing gif file failed"},
    {"tif", &TPMultiImage::SaveAsTIF, "Write_TIFF", "Writing tif file failed"},
    {"pcx", &TPMultiImage::SaveAsPCX, "Write_PCX", "Writing pcx file failed"},
};

const Format& Format_Of(const QString& extension)
{
    for (const Format& f : Formats)
        if (extension == QLatin1String(f.Extension))
            return f;
    return Formats[0];
}

QSet<QRgb> Colours(const QImage& image)
{
    QSet<QRgb> set;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            set.insert(image.pixel(x, y) | 0xff000000u);
    return set;
}

double Mean_Difference(const QImage& a, const QImage& b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

const QList<QRgb> Vga = {
    qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
    qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
    qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
    qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};

} // namespace

class Tst_TMultiP_Save : public QObject
{
    Q_OBJECT

    Scratch m_dir;

    // A control holding a photo-like picture read from a PNG.
    void Load_Photo(TPMultiImage& image, const QImage& picture = Photo())
    {
        image.Set_ImageReadRes(lColorTrue);
        image.Set_ImageName(m_dir.Write("source.png", Encode(picture, "png")));
        QVERIFY(image.Picture().Has_Graphic());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.Valid());
        TPMultiImage probe;
        if (probe.Screen_Depth() != 24)
            QSKIP("the automatic rows assume a true-colour screen");
    }

    // Write at each depth of the table, read back, compare pixels or the number of colours.
    void round_trip_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<TSaveResolution>("resolution");
        QTest::addColumn<int>("bits"); // what the file must hold
        for (const char* f : {"bmp", "png", "tif", "pcx"}) {
            QTest::addRow("%s VGA", f) << f << sColorVga << 4;
            QTest::addRow("%s monochrome", f) << f << sMonoChrome << 1;
            QTest::addRow("%s 16 colours", f) << f << sColor16 << 4;
            QTest::addRow("%s 256 colours", f) << f << sColor256 << 8;
            QTest::addRow("%s true colour", f) << f << sColorTrue << 24;
            QTest::addRow("%s grey setting: 256 colours", f) << f << sJpegGray << 8;
            QTest::addRow("%s automatic", f) << f << sAutoMatic << 24;
        }
        QTest::newRow("gif VGA") << "gif" << sColorVga << 4;
        QTest::newRow("gif monochrome") << "gif" << sMonoChrome << 1;
        QTest::newRow("gif 16 colours") << "gif" << sColor16 << 4;
        QTest::newRow("gif 256 colours") << "gif" << sColor256 << 8;
        QTest::newRow("gif true colour: 8 bits") << "gif" << sColorTrue << 8;
        QTest::newRow("gif automatic: 8 bits") << "gif" << sAutoMatic << 8;
        QTest::newRow("jpg true colour") << "jpg" << sColorTrue << 24;
        QTest::newRow("jpg 256 colours: true colour") << "jpg" << sColor256 << 24;
        QTest::newRow("jpg grey") << "jpg" << sJpegGray << 8;
        QTest::newRow("jpg monochrome: grey") << "jpg" << sMonoChrome << 8;
    }
    void round_trip()
    {
        QFETCH(QString, format);
        QFETCH(TSaveResolution, resolution);
        QFETCH(int, bits);
        Message_Box_Script script;
        TPMultiImage image;
        const QImage picture = Photo();
        Load_Photo(image, picture);
        image.Set_ImageWriteRes(resolution);
        image.Set_JPegSaveQuality(95);
        const QString out = m_dir.Dos(QStringLiteral("trip.") + format);
        (image.*Format_Of(format).Method)(out);
        QCOMPARE(script.Texts(), QStringList());

        TPMultiImage back;
        back.Set_ImageReadRes(lColorTrue);
        back.Set_ImageName(out);
        QCOMPARE(script.Texts(), QStringList());
        const QImage read = back.Picture().Bitmap();
        QCOMPARE(read.size(), picture.size());
        QCOMPARE(int(back.Info().Values[0]), bits);
        const QSet<QRgb> colours = Colours(read);
        if (format == QLatin1String("jpg")) {
            if (bits == 8) {
                for (QRgb c : colours)
                    QVERIFY(qRed(c) == qGreen(c) && qGreen(c) == qBlue(c));
            } else {
                // Colour, not reduced: far more than 256 colours and close to the original
                // (the blue saw-tooth costs a JPEG some accuracy).
                QVERIFY(colours.size() > 256);
                QVERIFY2(Mean_Difference(read, picture) < 5.0,
                         qPrintable(QString::number(Mean_Difference(read, picture))));
            }
        } else if (bits == 24) {
            QCOMPARE(Mean_Difference(read, picture), 0.0);
        } else {
            QVERIFY(colours.size() <= (1 << bits));
            QVERIFY(colours.size() > 1);
            if (resolution == sColorVga)
                for (QRgb c : colours)
                    QVERIFY(Vga.contains(c));
            // Reduced, not ruined: the picture is still close to the original.
            if (bits == 8)
                QVERIFY(Mean_Difference(read, picture) < 12.0);
        }
    }

    // A picture with a palette keeps it through a write and a read at 256 colours.
    void palette_survives_a_round_trip_data()
    {
        QTest::addColumn<QString>("format");
        for (const char* f : {"bmp", "png", "gif", "tif", "pcx"})
            QTest::newRow(f) << f;
    }
    void palette_survives_a_round_trip()
    {
        QFETCH(QString, format);
        TPMultiImage image;
        image.Set_ImageReadRes(lColorTrue);
        image.Set_ImageName(m_dir.Write("five.gif", Encode(Quadrants(20, 10), "gif", 8)));
        const QSet<QRgb> before = Colours(image.Picture().Bitmap());
        QCOMPARE(before.size(), 4);
        image.Set_ImageWriteRes(sColor256);
        const QString out = m_dir.Dos(QStringLiteral("five.") + format);
        (image.*Format_Of(format).Method)(out);
        TPMultiImage back;
        back.Set_ImageReadRes(lColorTrue);
        back.Set_ImageName(out);
        QCOMPARE(back.Picture().Bitmap().format(), QImage::Format_Indexed8);
        QCOMPARE(Colours(back.Picture().Bitmap()), before);
        QVERIFY(!back.Picture().Palette().isEmpty());
    }

    void options_reach_the_writers_data()
    {
        QTest::addColumn<int>("quality");
        QTest::addColumn<int>("smoothing");
        QTest::addColumn<int>("storedQuality");
        QTest::addColumn<int>("storedSmoothing");
        QTest::newRow("in range") << 77 << 30 << 77 << 30;
        QTest::newRow("quality 0 stores 25") << 0 << 0 << 25 << 0;
        QTest::newRow("quality 101 stores 25, smoothing 101 stores 5") << 101 << 101 << 25 << 5;
        QTest::newRow("limits") << 1 << 100 << 1 << 100;
        QTest::newRow("quality 100") << 100 << 0 << 100 << 0;
    }
    void options_reach_the_writers()
    {
        QFETCH(int, quality);
        QFETCH(int, smoothing);
        QFETCH(int, storedQuality);
        QFETCH(int, storedSmoothing);
        QList<Library_Call> calls;
        TPMultiImage image;
        Load_Photo(image);
        Image_Library_Override library(Recording_Library(calls));
        image.Set_JPegSaveQuality(quality);
        image.Set_JPegSaveSmooth(smoothing);
        QCOMPARE(image.JPegSaveQuality(), storedQuality);
        QCOMPARE(image.JPegSaveSmooth(), storedSmoothing);
        image.SaveAsJPG(m_dir.Dos("q.jpg"));
        QCOMPARE(calls.size(), 1);
        QCOMPARE(calls.at(0).Quality, storedQuality);
        QCOMPARE(calls.at(0).Smoothing, storedSmoothing);
        QCOMPARE(calls.at(0).Bits, 24);
        QCOMPARE(calls.at(0).File, QFile::encodeName(m_dir.Native("q.jpg")));
    }

    void construction_values()
    {
        TPMultiImage image;
        QCOMPARE(image.JPegSaveQuality(), 25);
        QCOMPARE(image.JPegSaveSmooth(), 0);
        QCOMPARE(image.TifSaveCompress(), sNONE);
        QCOMPARE(image.ImageWriteRes(), sAutoMatic);
        QCOMPARE(image.ImageReadRes(), lAutoMatic);
        QVERIFY(image.ImageDither() && image.ImageLibPalette() && image.UseTwainWindow());
        QVERIFY(!image.PNGInterLaced() && !image.Stretch() && !image.StretchRatio());
        QVERIFY(image.TextTransParent() && !image.TextShadow());
        QCOMPARE(image.size(), QSize(105, 105));
        QCOMPARE(image.Color(), image.palette().color(QPalette::Button));
        QVERIFY(!image.Picture().Has_Graphic());
        QCOMPARE(image.DefSaveFilename(), QString());
    }

    void png_interlace_and_tiff_compression_data()
    {
        QTest::addColumn<TTiffCompression>("compression");
        QTest::addColumn<int>("code");
        QTest::newRow("none") << sNONE << 1;
        QTest::newRow("CCITT") << sCCITT << 2;
        QTest::newRow("LZW") << sLZW << 5;
        QTest::newRow("PackBits") << sPACKBITS << 32773;
    }
    void png_interlace_and_tiff_compression()
    {
        QFETCH(TTiffCompression, compression);
        QFETCH(int, code);
        QList<Library_Call> calls;
        TPMultiImage image;
        Load_Photo(image);
        Image_Library_Override library(Recording_Library(calls));
        image.Set_TifSaveCompress(compression);
        image.SaveAsTIF(m_dir.Dos("c.tif"));
        image.Set_PNGInterLaced(true);
        image.SaveAsPNG(m_dir.Dos("i.png"));
        image.Set_PNGInterLaced(false);
        image.SaveAsPNG(m_dir.Dos("n.png"));
        QCOMPARE(calls.size(), 3);
        QCOMPARE(calls.at(0).Compression, code);
        QCOMPARE(calls.at(1).Interlaced, 1);
        QCOMPARE(calls.at(2).Interlaced, 0);
    }

    // CCITT compresses black and white only: a colour picture keeps its colours.
    void ccitt_keeps_a_colour_picture()
    {
        Message_Box_Script script;
        TPMultiImage image;
        const QImage picture = Quadrants(30, 20);
        Load_Photo(image, picture);
        image.Set_TifSaveCompress(sCCITT);
        image.Set_ImageWriteRes(sColorTrue);
        image.SaveAsTIF(m_dir.Dos("colour-ccitt.tif"));
        TPMultiImage back;
        back.Set_ImageName(m_dir.Dos("colour-ccitt.tif"));
        QCOMPARE(script.Texts(), QStringList());
        QCOMPARE(Mean_Difference(back.Picture().Bitmap(), picture), 0.0);
    }

    void gif_at_eight_bits_on_a_true_colour_screen()
    {
        QList<Library_Call> calls;
        TPMultiImage image;
        Load_Photo(image);
        Image_Library_Override library(Recording_Library(calls));
        QCOMPARE(image.Screen_Depth(), 24);
        for (TSaveResolution res : {sColorTrue, sAutoMatic}) {
            image.Set_ImageWriteRes(res);
            image.SaveAsGIF(m_dir.Dos("t.gif"));
            image.SaveAsBMP(m_dir.Dos("t.bmp"));
        }
        QCOMPARE(calls.size(), 4);
        QCOMPARE(calls.at(0).Bits, 8);
        QCOMPARE(calls.at(1).Bits, 24);
        QCOMPARE(calls.at(2).Bits, 8);
        QCOMPARE(calls.at(3).Bits, 24);
    }

    void empty_name_reuses_def_save_filename()
    {
        Message_Box_Script script;
        TPMultiImage image;
        Load_Photo(image);
        const QString first = m_dir.Dos("def.out");
        image.SaveAsPNG(first);
        QCOMPARE(image.DefSaveFilename(), first);
        QVERIFY(m_dir.Read("def.out").startsWith("\x89PNG"));
        image.SaveAsBMP();
        QCOMPARE(image.DefSaveFilename(), first);
        QVERIFY(m_dir.Read("def.out").startsWith("BM"));
        image.Set_DefSaveFilename(m_dir.Dos("set.out"));
        image.SaveAsGIF(QString());
        QVERIFY(m_dir.Read("set.out").startsWith("GIF8"));
        QCOMPARE(script.Texts(), QStringList());
    }

    void writer_failures_data()
    {
        QTest::addColumn<QString>("format");
        for (const Format& f : Formats)
            QTest::newRow(f.Extension) << f.Extension;
    }
    void writer_failures()
    {
        QFETCH(QString, format);
        const Format& f = Format_Of(format);
        Message_Box_Script script;
        TPMultiImage image;
        Load_Photo(image);

        // A folder that does not exist.
        (image.*f.Method)(m_dir.Dos(QStringLiteral("no folder\\x.") + format));
        QCOMPARE(script.Texts(),
                 QStringList({Sky_Error_Text(uint16_t(SKY_ERR_CREATE)), f.Failure}));
        QCOMPARE(script.Boxes().at(0).type, Box_Type::Error);
        QCOMPARE(script.Boxes().at(1).type, Box_Type::Information);

        // A back end that fails to write.
        script.Clear();
        {
            QList<Library_Call> calls;
            Image_Library_Override library(Recording_Library(calls, SKY_ERR_WRITE));
            (image.*f.Method)(m_dir.Dos(QStringLiteral("w.") + format));
            QCOMPARE(calls.size(), 1);
            QCOMPARE(calls.at(0).Operation, QString(f.Writer));
        }
        QCOMPARE(script.Texts(), QStringList({Sky_Error_Text(uint16_t(SKY_ERR_WRITE)), f.Failure}));

        // No bitmap to write: an empty picture, or a metafile.
        script.Clear();
        image.Set_Picture(TPicture());
        (image.*f.Method)(m_dir.Dos(QStringLiteral("e.") + format));
        image.Set_Picture(TPicture::From_Metafile(WmfPicture::fromBytes(Two_Halves_Metafile())));
        (image.*f.Method)(m_dir.Dos(QStringLiteral("m.") + format));
        const QString none = Sky_Error_Text(uint16_t(SKY_ERR_NO_PICTURE));
        QCOMPARE(script.Texts(), QStringList({none, f.Failure, none, f.Failure}));
        QVERIFY(m_dir.Read(QStringLiteral("e.") + format).isEmpty());
    }
};

QTEST_MAIN(Tst_TMultiP_Save)
#include "tst_tmultip_save.moc"
