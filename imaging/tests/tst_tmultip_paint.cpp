// Painting, checked at pixels of the control's own rendering (QWidget::grab): the four
// placements for bitmaps, metafiles and icons, hard edges for one-bit pictures, the overlay
// text, the border, the banner and the OnPaint event.
#include "Imaging_Fixture.h"
#include "MessageBox.h"
#include "TMultiP.h"

#include <QTest>
#include <functional>

using namespace imagetest;

Q_DECLARE_METATYPE(std::function<void(TPMultiImage&)>)

namespace {

const QRgb Background = qRgb(255, 0, 255);
const QRgb Red = qRgb(255, 0, 0), Green = qRgb(0, 255, 0), Blue = qRgb(0, 0, 255),
           Yellow = qRgb(255, 255, 0);

QImage Shot(TPMultiImage& image)
{
    return image.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

enum Mode
{
    Plain,
    Centre,
    Stretched,
    Ratio
};

void Set_Mode(TPMultiImage& image, int mode)
{
    image.Set_Center(mode == Centre);
    image.Set_Stretch(mode == Stretched);
    image.Set_StretchRatio(mode == Ratio);
}

// The quadrant colours at the corners of target, the background just outside it.
bool Quadrants_At(const QImage& shot, QRect target, QString* why)
{
    const struct
    {
        QPoint at;
        QRgb colour;
    } checks[] = {
        {target.topLeft() + QPoint(1, 1), Red},
        {target.topRight() + QPoint(-1, 1), Green},
        {target.bottomRight() - QPoint(1, 1), Blue},
        {target.bottomLeft() + QPoint(1, -1), Yellow},
        {target.topLeft() - QPoint(1, 1), Background},
        {target.bottomRight() + QPoint(1, 1), Background},
    };
    for (const auto& c : checks) {
        if (!shot.rect().contains(c.at))
            continue;
        if (!Near(shot.pixel(c.at), c.colour, 40)) {
            *why = QStringLiteral("at %1,%2: %3, expected %4")
                       .arg(c.at.x())
                       .arg(c.at.y())
                       .arg(shot.pixel(c.at), 0, 16)
                       .arg(c.colour, 0, 16);
            return false;
        }
    }
    return true;
}

} // namespace

class Tst_TMultiP_Paint : public QObject
{
    Q_OBJECT

    Scratch m_dir;

private slots:
    void initTestCase() { QVERIFY(m_dir.Valid()); }

    void placements_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("control");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("libraryPalette");
        QTest::addColumn<QRect>("target");
        const QString wide = m_dir.Write("wide.png", Encode(Quadrants(200, 100), "png"));
        const QString tall = m_dir.Write("tall.bmp", Encode(Quadrants(100, 200), "bmp"));
        const QString small = m_dir.Write("small.gif", Encode(Quadrants(60, 40), "gif", 8));
        const QString icon = m_dir.Write("quad.ico", Icon_File(Quadrants(48, 48)));
        const QSize c400(400, 400);
        for (bool lib : {true, false}) {
            const char* path = lib ? "own blit" : "toolkit";
            QTest::addRow("%s: ratio, 200 x 100 in 400 x 400", path)
                << wide << c400 << int(Ratio) << lib << QRect(0, 100, 400, 200);
            QTest::addRow("%s: ratio, 100 x 200 in 400 x 400", path)
                << tall << c400 << int(Ratio) << lib << QRect(100, 0, 200, 400);
            QTest::addRow("%s: stretch", path)
                << wide << QSize(150, 300) << int(Stretched) << lib << QRect(0, 0, 150, 300);
            QTest::addRow("%s: centre", path)
                << small << QSize(101, 81) << int(Centre) << lib << QRect(20, 20, 60, 40);
            QTest::addRow("%s: plain", path)
                << small << QSize(101, 81) << int(Plain) << lib << QRect(0, 0, 60, 40);
        }
        QTest::newRow("plain, larger than the control")
            << wide << QSize(120, 60) << int(Plain) << true << QRect(0, 0, 200, 100);
        QTest::newRow("centre, larger than the control: offsets toward zero")
            << wide << QSize(101, 61) << int(Centre) << true << QRect(-49, -19, 200, 100);
        QTest::newRow("icon, ratio")
            << icon << QSize(200, 100) << int(Ratio) << true << QRect(50, 0, 100, 100);
        QTest::newRow("icon, centre")
            << icon << QSize(100, 100) << int(Centre) << true << QRect(26, 26, 48, 48);
    }
    void placements()
    {
        QFETCH(QString, file);
        QFETCH(QSize, control);
        QFETCH(int, mode);
        QFETCH(bool, libraryPalette);
        QFETCH(QRect, target);
        Message_Box_Script script;
        TPMultiImage image;
        image.resize(control);
        image.Set_Color(Background);
        image.Set_ImageLibPalette(libraryPalette);
        Set_Mode(image, mode);
        image.Set_ImageName(file);
        QCOMPARE(script.Texts(), QStringList());
        QString why;
        QVERIFY2(Quadrants_At(Shot(image), target, &why), qPrintable(why));
    }

    // Metafiles fill the same rectangles as bitmaps, aspect ratio included.
    void metafile_placements_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QRect>("target");
        QTest::newRow("plain") << int(Plain) << QRect(0, 0, 80, 40);
        QTest::newRow("centre") << int(Centre) << QRect(60, 80, 80, 40);
        QTest::newRow("stretch") << int(Stretched) << QRect(0, 0, 200, 200);
        QTest::newRow("ratio") << int(Ratio) << QRect(0, 50, 200, 100);
    }
    void metafile_placements()
    {
        QFETCH(int, mode);
        QFETCH(QRect, target);
        TPMultiImage image;
        image.resize(200, 200);
        image.Set_Color(Background);
        Set_Mode(image, mode);
        image.Set_ImageName(m_dir.Write("halves.wmf", Two_Halves_Metafile(80, 40)));
        const QImage shot = Shot(image);
        const int midY = target.center().y();
        QVERIFY(Near(shot.pixel(target.left() + 2, midY), Red));
        QVERIFY(Near(shot.pixel(target.right() - 2, midY), Blue));
        QVERIFY(Near(shot.pixel(target.left() + 2, target.top() + 2), Red));
        if (target.top() > 0)
            QVERIFY(Near(shot.pixel(target.left() + 2, target.top() - 2), Background));
        if (target.right() < 198)
            QVERIFY(Near(shot.pixel(target.right() + 2, midY), Background));
    }

    // One-bit pictures keep hard edges when stretched; others are smoothed.
    void one_bit_pictures_stay_black_and_white()
    {
        QImage checker(8, 8, QImage::Format_Mono);
        checker.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                checker.setPixel(x, y, (x + y) % 2);
        const QString file = m_dir.Write("checker.bmp", Encode(checker, "bmp", 1));
        auto greys = [&](TLoadResolution res) {
            TPMultiImage image;
            image.resize(24, 24);
            image.Set_Stretch(true);
            image.Set_ImageReadRes(res);
            image.Set_ImageName(file);
            const QImage shot = Shot(image);
            int count = 0;
            for (int y = 0; y < 24; ++y)
                for (int x = 0; x < 24; ++x)
                    count += qRed(shot.pixel(x, y)) != 0 && qRed(shot.pixel(x, y)) != 255;
            return count;
        };
        QCOMPARE(greys(lMonoChrome), 0);
        QVERIFY(greys(lColorTrue) > 0);
    }

    void overlay_text_with_shadow_and_rotation()
    {
        TPMultiImage image;
        image.resize(200, 200);
        image.Set_Color(qRgb(255, 255, 255));
        QFont font = image.font();
        font.setPixelSize(30);
        font.setBold(true);
        image.setFont(font);
        image.Set_Text("HH");
        image.Set_TextLeft(50);
        image.Set_TextTop(100);
        image.Set_TextShadow(true);
        image.Set_TextShadowColor(qRgb(255, 0, 0));
        auto box = [](const QImage& shot, auto wanted) {
            QRect r;
            for (int y = 0; y < shot.height(); ++y)
                for (int x = 0; x < shot.width(); ++x)
                    if (wanted(shot.pixel(x, y)))
                        r |= QRect(x, y, 1, 1);
            return r;
        };
        auto black = [](QRgb c) { return qRed(c) < 60 && qGreen(c) < 60 && qBlue(c) < 60; };
        auto red = [](QRgb c) { return qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60; };
        QImage shot = Shot(image);
        const QRect text = box(shot, black);
        const QRect shadow = box(shot, red);
        QVERIFY(!text.isEmpty() && !shadow.isEmpty());
        // Top-left placement: the text's cell starts at (50, 100); the shadow is 2 px further.
        QVERIFY(text.left() >= 50 && text.left() < 60 && text.top() >= 100 && text.top() < 112);
        QVERIFY(shadow.right() > text.right() && shadow.bottom() > text.bottom());

        // Rotated 90 degrees counter-clockwise: the text runs upward from its point.
        image.Set_TextShadow(false);
        image.Set_TextRotate(90);
        shot = Shot(image);
        const QRect rotated = box(shot, black);
        QVERIFY(box(shot, red).isEmpty());
        QVERIFY(rotated.height() > rotated.width());
        QVERIFY(rotated.bottom() <= 100 && rotated.left() >= 50);

        // Opaque text paints its cell in the control's colour over the picture.
        image.Set_TextRotate(0);
        image.Set_Color(qRgb(0, 128, 0));
        image.Set_Picture(TPicture::From_Bitmap(Quadrants(200, 200)));
        image.Set_TextTransParent(false);
        shot = Shot(image);
        QVERIFY(Near(shot.pixel(51, 101), qRgb(0, 128, 0)));
        image.Set_TextTransParent(true);
        QVERIFY(Near(Shot(image).pixel(51, 101), Yellow));
    }

    void single_border_frames_the_client_area()
    {
        TPMultiImage image;
        image.resize(42, 32);
        image.Set_BorderStyle(bsSingle);
        image.Set_Picture(TPicture::From_Bitmap(Quadrants(40, 30)));
        QCOMPARE(image.Client_Rect(), QRect(1, 1, 40, 30));
        const QImage shot = Shot(image);
        QCOMPARE(shot.pixel(0, 0), image.palette().color(QPalette::WindowText).rgb());
        QCOMPARE(shot.pixel(1, 1), Red);
        QCOMPARE(shot.pixel(40, 30), Blue);
    }

    void banner_paints_instead_of_the_picture()
    {
        TPMultiImage image;
        image.resize(120, 40);
        image.Set_ImageName(m_dir.Write("p.png", Encode(Quadrants(120, 40), "png")));
        image.Set_ImageName(m_dir.Write("b.scm", "/bc|65280/sp|1/sm|Moving text/eo|"));
        // The text starts beyond the right edge: only the background shows.
        QImage shot = Shot(image);
        QCOMPARE(shot.pixel(5, 5), qRgb(0, 255, 0));
        QCOMPARE(shot.pixel(115, 35), qRgb(0, 255, 0));
        for (int i = 0; i < 60; ++i)
            image.Banner_Message(Banner_Scroll_Message); // speed 1: every second message
        shot = Shot(image);
        int red = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 120; ++x)
                red += qRed(shot.pixel(x, y)) > 200 && qGreen(shot.pixel(x, y)) < 100;
        QVERIFY(red > 0);
        for (int x = 0; x < 85; ++x)
            QCOMPARE(shot.pixel(x, 20), qRgb(0, 255, 0)); // text only in the last 30 px
    }

    void on_paint_comes_last()
    {
        TPMultiImage image;
        image.resize(50, 50);
        image.Set_Picture(TPicture::From_Bitmap(Quadrants(50, 50)));
        int calls = 0;
        connect(&image, &TPMultiImage::OnPaint, this, [&](QPainter* canvas) {
            ++calls;
            canvas->fillRect(0, 0, 5, 5, Qt::black);
        });
        const QImage shot = Shot(image);
        QCOMPARE(calls, 1);
        QCOMPARE(shot.pixel(2, 2), qRgb(0, 0, 0));
        QCOMPARE(shot.pixel(8, 8), Red);
    }

    // Setters of what the control shows repaint; the others only store their value.
    void which_setters_repaint_data()
    {
        using Setter = std::function<void(TPMultiImage&)>;
        QTest::addColumn<Setter>("setter");
        QTest::addColumn<bool>("repaints");
        QTest::newRow("Stretch") << Setter([](TPMultiImage& i) { i.Set_Stretch(true); }) << true;
        QTest::newRow("StretchRatio")
            << Setter([](TPMultiImage& i) { i.Set_StretchRatio(true); }) << true;
        QTest::newRow("Center") << Setter([](TPMultiImage& i) { i.Set_Center(true); }) << true;
        QTest::newRow("BorderStyle")
            << Setter([](TPMultiImage& i) { i.Set_BorderStyle(bsSingle); }) << true;
        QTest::newRow("Text") << Setter([](TPMultiImage& i) { i.Set_Text("x"); }) << true;
        QTest::newRow("TextShadow")
            << Setter([](TPMultiImage& i) { i.Set_TextShadow(true); }) << true;
        QTest::newRow("TextLeft") << Setter([](TPMultiImage& i) { i.Set_TextLeft(3); }) << true;
        QTest::newRow("TextTop") << Setter([](TPMultiImage& i) { i.Set_TextTop(3); }) << true;
        QTest::newRow("TextRotate")
            << Setter([](TPMultiImage& i) { i.Set_TextRotate(45); }) << true;
        QTest::newRow("TextTransParent")
            << Setter([](TPMultiImage& i) { i.Set_TextTransParent(false); }) << true;
        QTest::newRow("AutoSize, even unchanged")
            << Setter([](TPMultiImage& i) { i.Set_AutoSize(false); }) << true;
        QTest::newRow("Stretch unchanged")
            << Setter([](TPMultiImage& i) { i.Set_Stretch(false); }) << false;
        QTest::newRow("ImageReadRes")
            << Setter([](TPMultiImage& i) { i.Set_ImageReadRes(lColor16); }) << false;
        QTest::newRow("ImageWriteRes")
            << Setter([](TPMultiImage& i) { i.Set_ImageWriteRes(sColor16); }) << false;
        QTest::newRow("TifSaveCompress")
            << Setter([](TPMultiImage& i) { i.Set_TifSaveCompress(sLZW); }) << false;
        QTest::newRow("ImageDither")
            << Setter([](TPMultiImage& i) { i.Set_ImageDither(false); }) << false;
        QTest::newRow("ImageLibPalette")
            << Setter([](TPMultiImage& i) { i.Set_ImageLibPalette(false); }) << false;
        QTest::newRow("PNGInterLaced")
            << Setter([](TPMultiImage& i) { i.Set_PNGInterLaced(true); }) << false;
        QTest::newRow("TextShadowColor")
            << Setter([](TPMultiImage& i) { i.Set_TextShadowColor(Qt::red); }) << false;
        QTest::newRow("UseTwainWindow")
            << Setter([](TPMultiImage& i) { i.Set_UseTwainWindow(false); }) << false;
    }
    void which_setters_repaint()
    {
        using Setter = std::function<void(TPMultiImage&)>;
        QFETCH(Setter, setter);
        QFETCH(bool, repaints);
        TPMultiImage image;
        int paints = 0;
        connect(&image, &TPMultiImage::OnPaint, this, [&](QPainter*) { ++paints; });
        image.show();
        QVERIFY(QTest::qWaitForWindowExposed(&image));
        QTRY_VERIFY(paints > 0);
        QCoreApplication::processEvents();
        paints = 0;
        setter(image);
        QCoreApplication::processEvents();
        QCOMPARE(paints > 0, repaints);
    }

    void stretch_flags_exclude_each_other()
    {
        TPMultiImage image;
        image.Set_StretchRatio(true);
        image.Set_Stretch(true);
        QVERIFY(image.Stretch() && !image.StretchRatio());
        image.Set_StretchRatio(true);
        QVERIFY(!image.Stretch() && image.StretchRatio());
        image.Set_Stretch(false); // false leaves the other alone
        QVERIFY(image.StretchRatio());
    }

    void bitmap_covering_the_control_needs_no_background()
    {
        TPMultiImage image;
        image.resize(40, 30);
        image.Set_Picture(TPicture::From_Bitmap(Quadrants(40, 30)));
        QVERIFY(image.testAttribute(Qt::WA_OpaquePaintEvent));
        image.Set_Picture(TPicture::From_Bitmap(Quadrants(40, 29)));
        QVERIFY(!image.testAttribute(Qt::WA_OpaquePaintEvent));
        image.Set_Picture(
            TPicture::From_Metafile(WmfPicture::fromBytes(Two_Halves_Metafile(40, 30))));
        QVERIFY(!image.testAttribute(Qt::WA_OpaquePaintEvent));
    }
};

QTEST_MAIN(Tst_TMultiP_Paint)
#include "tst_tmultip_paint.moc"
