// The picture control's rules without a window: extensions, depths, options, geometry, and
// the banner files.
#include "Banner.h"
#include "ImageRules.h"

#include <QTest>

using namespace Image_Rules;

Q_DECLARE_METATYPE(Image_Rules::Load_Branch)
Q_DECLARE_METATYPE(Image_Rules::Save_Format)
Q_DECLARE_METATYPE(TSaveResolution)

class Tst_Image_Rules : public QObject
{
    Q_OBJECT
private slots:
    void extension_chooses_branch_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<Load_Branch>("branch");
        QTest::newRow("TIFF cut to .TIF") << "D:\\CAT\\ROSE.TIFF"
                                          << ".TIF" << Load_Branch::TIFF;
        QTest::newRow("tiff in lower case") << "D:\\cat\\rose.tiff"
                                            << ".TIF" << Load_Branch::TIFF;
        QTest::newRow("JPEG cut to .JPE loads nothing") << "D:\\ROSE.JPEG"
                                                        << ".JPE" << Load_Branch::None;
        QTest::newRow(".THB is a bitmap") << "D:\\T\\ROSE.THB"
                                          << ".THB" << Load_Branch::BMP;
        QTest::newRow(".thb in lower case") << "D:\\t\\rose.thb"
                                            << ".THB" << Load_Branch::BMP;
        QTest::newRow(".ThJ in mixed case") << "D:\\t\\rose.ThJ"
                                            << ".THJ" << Load_Branch::JPEG;
        QTest::newRow(".jpg") << "D:\\rose.jpg"
                              << ".JPG" << Load_Branch::JPEG;
        QTest::newRow("dot in a folder, none in the name") << "D:\\PICS.OLD\\ROSE"
                                                           << "" << Load_Branch::None;
        QTest::newRow("dot before the drive colon") << "A.B:ROSE"
                                                    << "" << Load_Branch::None;
        QTest::newRow(".res") << "C:\\101.res"
                              << ".RES" << Load_Branch::Resource;
        QTest::newRow(".wmf") << "D:\\ART\\HOUSE.wmf"
                              << ".WMF" << Load_Branch::Metafile;
        QTest::newRow(".ico") << "D:\\ART\\FLAG.ICO"
                              << ".ICO" << Load_Branch::Icon;
        QTest::newRow(".scm") << "D:\\NEWS.SCM"
                              << ".SCM" << Load_Branch::Scroll_Banner;
        QTest::newRow(".cms") << "D:\\NEWS.CMS"
                              << ".CMS" << Load_Branch::Line_Banner;
        QTest::newRow("last dot counts") << "D:\\ROSE.JPG.PCX"
                                         << ".PCX" << Load_Branch::PCX;
        QTest::newRow("three-letter .PNGX") << "D:\\ROSE.PNGX"
                                            << ".PNG" << Load_Branch::PNG;
    }
    void extension_chooses_branch()
    {
        QFETCH(QString, path);
        QFETCH(QString, extension);
        QFETCH(Load_Branch, branch);
        QCOMPARE(Picture_Extension(path), extension);
        QCOMPARE(Branch_For(Picture_Extension(path)), branch);
    }

    void screen_colour_depth_data()
    {
        QTest::addColumn<int>("surface");
        QTest::addColumn<int>("depth");
        for (auto [surface, depth] : {std::pair{1, 4},
                                      {4, 4},
                                      {5, 8},
                                      {7, 8},
                                      {8, 8},
                                      {9, 8},
                                      {15, 8},
                                      {16, 24},
                                      {24, 24},
                                      {32, 24}})
            QTest::addRow("%d bits", surface) << surface << depth;
    }
    void screen_colour_depth()
    {
        QFETCH(int, surface);
        QFETCH(int, depth);
        QCOMPARE(Screen_Colour_Depth(surface), depth);
    }

    void reader_bits()
    {
        QCOMPARE(Reader_Bits(lColorVga, 24), 0);
        QCOMPARE(Reader_Bits(lMonoChrome, 24), 1);
        QCOMPARE(Reader_Bits(lColor16, 24), 4);
        QCOMPARE(Reader_Bits(lColor256, 24), 8);
        QCOMPARE(Reader_Bits(lColorTrue, 8), 24);
        QCOMPARE(Reader_Bits(lAutoMatic, 8), 8);
        QCOMPARE(Reader_Bits(lAutoMatic, 24), 24);
    }

    // The writers' table: one row per resolution, columns BMP/PNG/TIFF/PCX, GIF, JPEG.
    void writer_bits_data()
    {
        QTest::addColumn<TSaveResolution>("resolution");
        QTest::addColumn<int>("screen");
        QTest::addColumn<int>("raster");
        QTest::addColumn<int>("gif");
        QTest::addColumn<int>("jpeg");
        QTest::newRow("VGA") << sColorVga << 24 << 0 << 0 << 24;
        QTest::newRow("monochrome") << sMonoChrome << 24 << 1 << 1 << 1;
        QTest::newRow("16 colours") << sColor16 << 24 << 4 << 4 << 24;
        QTest::newRow("256 colours") << sColor256 << 24 << 8 << 8 << 24;
        QTest::newRow("true colour: GIF at 8") << sColorTrue << 24 << 24 << 8 << 24;
        QTest::newRow("JPEG grey") << sJpegGray << 24 << 8 << 8 << 1;
        QTest::newRow("automatic on a true-colour screen: GIF at 8")
            << sAutoMatic << 24 << 24 << 8 << 24;
        QTest::newRow("automatic on a 256-colour screen") << sAutoMatic << 8 << 8 << 8 << 24;
        QTest::newRow("automatic on a 16-colour screen") << sAutoMatic << 4 << 4 << 4 << 24;
    }
    void writer_bits()
    {
        QFETCH(TSaveResolution, resolution);
        QFETCH(int, screen);
        QFETCH(int, raster);
        QFETCH(int, gif);
        QFETCH(int, jpeg);
        for (Save_Format f :
             {Save_Format::BMP, Save_Format::PNG, Save_Format::TIFF, Save_Format::PCX})
            QCOMPARE(Writer_Bits(resolution, f, screen), raster);
        QCOMPARE(Writer_Bits(resolution, Save_Format::GIF, screen), gif);
        QCOMPARE(Writer_Bits(resolution, Save_Format::JPEG, screen), jpeg);
    }

    void option_values()
    {
        QCOMPARE(Tiff_Compression_Code(sNONE), 1);
        QCOMPARE(Tiff_Compression_Code(sCCITT), 2);
        QCOMPARE(Tiff_Compression_Code(sLZW), 5);
        QCOMPARE(Tiff_Compression_Code(sPACKBITS), 32773);
        for (auto [given, stored] : {std::pair{0, 25}, {101, 25}, {-1, 25}, {1, 1}, {100, 100}})
            QCOMPARE(Stored_Quality(given), stored);
        for (auto [given, stored] : {std::pair{101, 5}, {-1, 5}, {0, 0}, {100, 100}, {256, 5}})
            QCOMPARE(Stored_Smoothing(given), stored);
    }

    void target_rect_data()
    {
        QTest::addColumn<QRect>("client");
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<int>("mode"); // 0 plain, 1 centre, 2 stretch, 3 ratio
        QTest::addColumn<QRect>("target");
        const QRect c400(0, 0, 400, 400);
        QTest::newRow("ratio: wide picture")
            << c400 << QSize(200, 100) << 3 << QRect(0, 100, 400, 200);
        QTest::newRow("ratio: tall picture")
            << c400 << QSize(100, 200) << 3 << QRect(100, 0, 200, 400);
        QTest::newRow("ratio: same shape (tie)") << c400 << QSize(50, 50) << 3 << c400;
        // 300 x 200 in 554 x 328: rx 1.8467 > ry 1.64, width 492, x = 31.
        QTest::newRow("ratio: 3:2 in the viewer's size")
            << QRect(0, 0, 554, 328) << QSize(300, 200) << 3 << QRect(31, 0, 492, 328);
        // 3 x 1 in 10 x 10: height 10/3 = 3.33 -> 3, e = 6.67, y = round(3.33) = 3.
        QTest::newRow("ratio: rounding")
            << QRect(0, 0, 10, 10) << QSize(3, 1) << 3 << QRect(0, 3, 10, 3);
        // 2 x 1 in 5 x 5: height 2.5 rounds to 2 (even), offset 1.25 to 1.
        QTest::newRow("ratio: half rounds to even")
            << QRect(0, 0, 5, 5) << QSize(2, 1) << 3 << QRect(0, 1, 5, 2);
        QTest::newRow("ratio: picture without area") << c400 << QSize(0, 10) << 3 << c400;
        QTest::newRow("ratio: inside a border")
            << QRect(1, 1, 400, 400) << QSize(200, 100) << 3 << QRect(1, 101, 400, 200);
        QTest::newRow("stretch") << c400 << QSize(30, 10) << 2 << c400;
        QTest::newRow("centre") << QRect(0, 0, 101, 51) << QSize(50, 20) << 1
                                << QRect(25, 15, 50, 20);
        QTest::newRow("centre: larger than the client, toward zero")
            << QRect(0, 0, 100, 100) << QSize(301, 101) << 1 << QRect(-100, 0, 301, 101);
        QTest::newRow("plain") << c400 << QSize(30, 10) << 0 << QRect(0, 0, 30, 10);
    }
    void target_rect()
    {
        QFETCH(QRect, client);
        QFETCH(QSize, picture);
        QFETCH(int, mode);
        QFETCH(QRect, target);
        View_Flags flags;
        flags.Center = mode == 1;
        flags.Stretch = mode == 2;
        flags.Stretch_Ratio = mode == 3;
        QCOMPARE(Target_Rect(flags, client, picture), target);
    }

    void scroll_banner_markers()
    {
        Banner_Settings s;
        Parse_Scroll_Banner("/fc|65280/fh|-20/fn|Sans/fs|14/ft|1010/bc|16711680/sp|3/sm|Hello "
                            "world/eo|",
                            s);
        QCOMPARE(s.Font_Colour, 65280u);
        QCOMPARE(s.Font_Height, -20);
        QCOMPARE(s.Font_Name, QString("Sans"));
        QCOMPARE(s.Font_Size, 14);
        QCOMPARE(s.Font_Style, QString("1010"));
        QCOMPARE(s.Back_Colour, 16711680u);
        QCOMPARE(s.Speed, 3);
        QCOMPARE(s.Message, QString("Hello world"));

        // Empty values change nothing; a missing pair brings the default back, except for
        // the size and style, which have none.
        Parse_Scroll_Banner("/fc|/fh|/fn|Serif/fs|/ft|/bc|/sp|/sm|Again/eo|", s);
        QCOMPARE(s.Font_Colour, 65280u);
        QCOMPARE(s.Font_Name, QString("Serif"));
        QCOMPARE(s.Speed, 3);
        QCOMPARE(s.Message, QString("Again"));
        Parse_Scroll_Banner("/sm|Only a message/eo|", s);
        QCOMPARE(s.Font_Colour, 255u);
        QCOMPARE(s.Font_Height, -13);
        QCOMPARE(s.Font_Name, QString("SYSTEM"));
        QCOMPARE(s.Font_Size, 14);
        QCOMPARE(s.Font_Style, QString("1010"));
        QCOMPARE(s.Back_Colour, 128u);
        QCOMPARE(s.Speed, 1);
        QCOMPARE(s.Message, QString("Only a message"));
        // Without its end marker the message takes its default.
        Parse_Scroll_Banner("/sm|cut short", s);
        QCOMPARE(s.Message, QString(" Invallid message format ! "));
        // A value that is no number changes nothing.
        Parse_Scroll_Banner("/sp|fast/sm|x/eo|", s);
        QCOMPARE(s.Speed, 1);
    }

    void line_banner_lines()
    {
        Banner_Settings s;
        const QStringList text = Parse_Line_Banner(
            "Orvinta news\r\n65535\r\n-16\r\nMono\r\n\r\n0100\r\n0\r\n4\r\nFirst\r\nSecond\r\n", s);
        QCOMPARE(text, QStringList({"First", "Second"}));
        QCOMPARE(s.Font_Colour, 65535u);
        QCOMPARE(s.Font_Height, -16);
        QCOMPARE(s.Font_Name, QString("Mono"));
        QCOMPARE(s.Font_Size, 0); // empty line: unchanged
        QCOMPARE(s.Font_Style, QString("0100"));
        QCOMPARE(s.Back_Colour, 0u);
        QCOMPARE(s.Speed, 4);

        // Only the first 65527 bytes are read.
        QByteArray big = "h\n1\n2\nF\n3\n0000\n5\n6\n";
        const qsizetype kept = Line_Banner_Max_Bytes - big.size() - 1; // ends with its "\n"
        big += QByteArray(kept, 'a') + "\nlost\n";
        QCOMPARE(Parse_Line_Banner(big, s), QStringList{QString(kept, QLatin1Char('a'))});
    }

    void banner_font()
    {
        Banner_Settings s;
        s.Font_Height = -20;
        s.Font_Style = QStringLiteral("0101");
        QFont f = Banner_Font(s, QFont());
        QCOMPARE(f.pixelSize(), 20);
        QVERIFY(!f.bold() && f.italic() && !f.underline() && f.strikeOut());
        s.Font_Size = 30; // the size comes after the height and wins
        QCOMPARE(Banner_Font(s, QFont()).pointSize(), 30);
        QCOMPARE(Windows_Colour(0x0000FF), QColor(255, 0, 0));
        QCOMPARE(Windows_Colour(128), QColor(128, 0, 0));
    }
};

QTEST_GUILESS_MAIN(Tst_Image_Rules)
#include "tst_image_rules.moc"
