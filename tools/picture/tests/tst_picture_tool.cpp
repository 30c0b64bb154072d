// orvinta-picture run as scripts run it: what info prints, what convert writes (read back by
// the back end), exit statuses and error texts.
#include "PictureTool.h"
#include "WmfWriter.h"

#include "sky32v3c.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    int Status = -1;
    QString Out;
    QString Err;
};

Run Picture(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(PICTURE_TOOL), args);
    Run r;
    if (p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit)
        r.Status = p.exitCode();
    r.Out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.Err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

QImage Gradient(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x * 255 / w, y * 255 / h, (x * y) % 256));
    return image;
}

// The back end's view of a written file: its format, size and bits per pixel.
QString Describe(const QString& path)
{
    char format[6] = {}, second[26] = {};
    int16_t w = 0, h = 0, bits = 0, colours = 0, dpi = 0;
    if (Sky_Picture_Info(QFile::encodeName(path), format, &w, &h, &bits, &colours, &dpi, second) <
        1)
        return QStringLiteral("unreadable");
    return QStringLiteral("%1 %2x%3 %4").arg(format).arg(w).arg(h).arg(bits);
}

QByteArray Metafile(int w, int h)
{
    WmfWriter wr;
    wr.setPlaceable(0, 0, w, h, 96);
    wr.setWindowOrg(0, 0);
    wr.setWindowExt(w, h);
    wr.selectObject(wr.createBrushIndirect(WmfWriter::BsSolid, WmfWriter::rgb(0, 128, 255)));
    wr.rectangle(0, 0, w, h);
    return wr.bytes();
}

} // namespace

class Tst_Picture_Tool : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_png, m_jpg, m_wmf;

    QString Path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_png = Path("photo.png");
        m_jpg = Path("photo.jpg");
        m_wmf = Path("clip.wmf");
        const QImage image = Gradient(480, 360);
        QCOMPARE(Sky_Write_PNG(QFile::encodeName(m_png), 24, 0, &image, nullptr), SKY_OK);
        QCOMPARE(Sky_Write_JPEG(QFile::encodeName(m_jpg), 90, 0, 24, &image, nullptr), SKY_OK);
        QFile wmf(m_wmf);
        QVERIFY(wmf.open(QIODevice::WriteOnly));
        wmf.write(Metafile(300, 150));
    }

    void info()
    {
        Run r = Picture({"info", m_jpg});
        QCOMPARE(r.Status, 0);
        QVERIFY2(r.Out.startsWith("format: JPEG\nsize: 480 x 360\ndepth: 24\n"), qPrintable(r.Out));
        r = Picture({"info", m_wmf});
        QCOMPARE(r.Status, 0);
        QVERIFY2(r.Out.startsWith("format: WMF\nsize: 300 x 150\ndepth: vector\n"),
                 qPrintable(r.Out));
    }

    void convert_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("written");
        QTest::newRow("png to bmp") << "photo.png"
                                    << "a.bmp" << QStringList() << "BMP 480x360 24";
        QTest::newRow("png to 8-bit bmp")
            << "photo.png"
            << "b.bmp" << QStringList{"--bits", "8"} << "BMP 480x360 8";
        QTest::newRow("jpg to 1-bit tif, CCITT")
            << "photo.jpg"
            << "c.tif" << QStringList{"--bits", "1", "--compression", "ccitt"} << "TIFF 480x360 1";
        QTest::newRow("png to gif: 8 bits") << "photo.png"
                                            << "d.gif" << QStringList() << "GIF 480x360 8";
        QTest::newRow("png to 16-colour pcx")
            << "photo.png"
            << "e.pcx" << QStringList{"--bits", "4"} << "PCX 480x360 4";
        QTest::newRow("png to grey jpeg")
            << "photo.png"
            << "f.jpg" << QStringList{"--gray", "--quality", "70"} << "JPEG 480x360 8";
        QTest::newRow("jpeg fitted into 100 x 100")
            << "photo.jpg"
            << "g.png" << QStringList{"--fit", "100x100"} << "PNG 100x75 24";
        QTest::newRow("interlaced png")
            << "photo.jpg"
            << "h.PNG" << QStringList{"--interlaced"} << "PNG 480x360 24";
        QTest::newRow("metafile at its size") << "clip.wmf"
                                              << "i.bmp" << QStringList() << "BMP 300x150 24";
        QTest::newRow("metafile fitted")
            << "clip.wmf"
            << "j.tif" << QStringList{"--fit", "600x600"} << "TIFF 600x300 24";
    }
    void convert()
    {
        QFETCH(QString, in);
        QFETCH(QString, out);
        QFETCH(QStringList, options);
        QFETCH(QString, written);
        const Run r = Picture(QStringList{"convert", Path(in), Path(out)} + options);
        // Qt may warn about the environment; the tool itself says nothing.
        QVERIFY2(!r.Err.contains("orvinta-picture"), qPrintable(r.Err));
        QCOMPARE(r.Status, 0);
        QCOMPARE(Describe(Path(out)), written);
    }

    void render_grabs_the_control()
    {
        const Run r =
            Picture({"render", m_wmf, Path("r.png"), "--size", "200x200", "--mode", "ratio"});
        QCOMPARE(r.Status, 0);
        QCOMPARE(Describe(Path("r.png")), QString("PNG 200x200 24"));
        QImage shot;
        QVERIFY(shot.load(Path("r.png")));
        QCOMPARE(shot.pixel(100, 100) & 0xffffffu, 0x0080ffu); // the metafile's colour
        QCOMPARE(shot.pixel(100, 10), shot.pixel(100, 190));   // background above and below
        QVERIFY((shot.pixel(100, 10) & 0xffffffu) != 0x0080ffu);
    }

    void failures_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("text");
        QTest::newRow("missing file")
            << QStringList{"info", "/no/such/file.png"} << 1 << "no such file";
        QTest::newRow("damaged file")
            << QStringList{"info", "damaged.png"} << 1 << "Reading png file failed";
        QTest::newRow("unknown extension")
            << QStringList{"info", "notes.txt"} << 1 << "not a picture format";
        QTest::newRow("output format")
            << QStringList{"convert", "photo.png", "x.webp"} << 2 << "output format";
        QTest::newRow("quality out of range")
            << QStringList{"convert", "photo.png", "x.jpg", "--quality", "0"} << 2
            << "bad value for --quality";
        QTest::newRow("bits") << QStringList{"convert", "photo.png", "x.bmp", "--bits", "16"} << 2
                              << "bad value for --bits";
        QTest::newRow("no command") << QStringList{} << 2 << "no command";
        QTest::newRow("folder not there")
            << QStringList{"convert", "photo.png", "none/x.png"} << 1 << "Writing png file failed";
    }
    void failures()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, text);
        QFile damaged(Path("damaged.png"));
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write("\x89PNG\r\n\x1a\n cut short");
        damaged.close();
        QFile notes(Path("notes.txt"));
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.write("text");
        notes.close();
        for (QString& a : args)
            if (!a.startsWith(QLatin1String("--")) && a.contains(QLatin1Char('.')) &&
                !a.startsWith(QLatin1Char('/')))
                a = Path(a);
        const Run r = Picture(args);
        QCOMPARE(r.Status, status);
        QVERIFY2(r.Err.contains(text), qPrintable(r.Err));
        QCOMPARE(r.Out, QString());
    }
};

QTEST_GUILESS_MAIN(Tst_Picture_Tool)
#include "tst_picture_tool.moc"
