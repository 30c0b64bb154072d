// The clipboard within the process: copy, cut and paste of bitmaps, metafiles and icons,
// and the keys that call them.
#include "Imaging_Fixture.h"
#include "TMultiP.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTest>

using namespace imagetest;

namespace {

QClipboard* Clipboard()
{
    return QGuiApplication::clipboard();
}

void Put_Text(const QString& text)
{
    Clipboard()->setText(text);
}

} // namespace

class Tst_TMultiP_Clipboard : public QObject
{
    Q_OBJECT

    Scratch m_dir;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.Valid());
        Put_Text("probe");
        if (Clipboard()->text() != QLatin1String("probe"))
            QSKIP("this platform has no clipboard");
    }

    void copy_bitmap()
    {
        TPMultiImage image;
        image.Set_ImageReadRes(lColorTrue);
        image.Set_ImageName(m_dir.Write("q.gif", Encode(Quadrants(30, 20), "gif", 8)));
        image.CopyToClipboard();
        const QMimeData* data = Clipboard()->mimeData();
        QVERIFY(data->hasImage());
        QVERIFY(!data->hasFormat("image/x-wmf"));
        const QImage copied = qvariant_cast<QImage>(data->imageData());
        QCOMPARE(copied.convertToFormat(QImage::Format_RGB32),
                 image.Picture().Bitmap().convertToFormat(QImage::Format_RGB32));
        // The picture stays.
        QVERIFY(image.Picture().Has_Graphic());
    }

    void copy_metafile_as_metafile_and_bitmap()
    {
        TPMultiImage image;
        const QByteArray wmf = Two_Halves_Metafile(80, 40);
        image.Set_ImageName(m_dir.Write("h.wmf", wmf));
        image.CopyToClipboard();
        const QMimeData* data = Clipboard()->mimeData();
        QCOMPARE(data->data("image/x-wmf"), wmf);
        const QImage drawn = qvariant_cast<QImage>(data->imageData());
        QCOMPARE(drawn.size(), QSize(80, 40));
        QVERIFY(Near(drawn.pixel(10, 20), qRgb(255, 0, 0)));
        QVERIFY(Near(drawn.pixel(70, 20), qRgb(0, 0, 255)));
    }

    void copy_icon_and_nothing()
    {
        TPMultiImage image;
        image.Set_ImageName(m_dir.Write("i.ico", Icon_File(Quadrants(16, 16))));
        image.CopyToClipboard();
        QCOMPARE(qvariant_cast<QImage>(Clipboard()->mimeData()->imageData()).size(), QSize(16, 16));
        // An empty picture leaves the clipboard as it was.
        Put_Text("kept");
        TPMultiImage empty;
        empty.CopyToClipboard();
        empty.CutToClipboard();
        QCOMPARE(Clipboard()->text(), QString("kept"));
    }

    void cut_empties_the_picture()
    {
        TPMultiImage image;
        image.Set_Picture(TPicture::From_Bitmap(Quadrants(12, 10)));
        image.CutToClipboard();
        QVERIFY(!image.Picture().Has_Graphic());
        QCOMPARE(qvariant_cast<QImage>(Clipboard()->mimeData()->imageData()).size(), QSize(12, 10));
    }

    void paste()
    {
        TPMultiImage image;
        // An image from another program.
        Clipboard()->setImage(Quadrants(24, 18));
        image.PasteFromClipboard();
        QCOMPARE(image.Picture().Graphic_Kind(), TPicture::Kind::Bitmap);
        QCOMPARE(image.Picture().Size(), QSize(24, 18));
        QCOMPARE(image.Picture().Bitmap().pixel(20, 15) | 0xff000000u, qRgb(0, 0, 255));

        // A metafile under the office suites' name wins over its bitmap rendition.
        auto* data = new QMimeData;
        data->setData("application/x-openoffice-wmf;windows_formatname=\"Image WMF\"",
                      Two_Halves_Metafile(50, 30));
        data->setImageData(Quadrants(5, 5));
        Clipboard()->setMimeData(data);
        image.PasteFromClipboard();
        QCOMPARE(image.Picture().Graphic_Kind(), TPicture::Kind::Metafile);
        QCOMPARE(image.Picture().Size(), QSize(50, 30));

        // Text is no picture: the picture stays.
        Put_Text("just words");
        image.PasteFromClipboard();
        QCOMPARE(image.Picture().Graphic_Kind(), TPicture::Kind::Metafile);
        // Damaged metafile bytes alone are no picture either.
        data = new QMimeData;
        data->setData("image/x-wmf", QByteArray("\xD7\xCD\xC6\x9A", 4));
        Clipboard()->setMimeData(data);
        image.PasteFromClipboard();
        QCOMPARE(image.Picture().Size(), QSize(50, 30));
    }

    void paste_stops_a_banner()
    {
        TPMultiImage image;
        image.Set_ImageName(m_dir.Write("n.scm", "/sm|news/eo|"));
        QVERIFY(image.Banner().Active());
        Clipboard()->setImage(Quadrants(8, 8));
        image.PasteFromClipboard();
        QVERIFY(!image.Banner().Active());
        QCOMPARE(image.Picture().Size(), QSize(8, 8));
    }

    void keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("action"); // copy, paste, cut or none
        const int ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier;
        QTest::newRow("Ctrl+Insert copies") << int(Qt::Key_Insert) << ctrl << "copy";
        QTest::newRow("Shift+Insert pastes") << int(Qt::Key_Insert) << shift << "paste";
        QTest::newRow("Shift+Delete cuts") << int(Qt::Key_Delete) << shift << "cut";
        QTest::newRow("Ctrl+C copies") << int(Qt::Key_C) << ctrl << "copy";
        QTest::newRow("Ctrl+V pastes") << int(Qt::Key_V) << ctrl << "paste";
        QTest::newRow("Ctrl+X cuts") << int(Qt::Key_X) << ctrl << "cut";
        QTest::newRow("Ctrl+Shift+C copies") << int(Qt::Key_C) << (ctrl | shift) << "copy";
        QTest::newRow("Insert alone does nothing") << int(Qt::Key_Insert) << 0 << "none";
        QTest::newRow("Delete alone does nothing") << int(Qt::Key_Delete) << 0 << "none";
        QTest::newRow("Alt+C does nothing") << int(Qt::Key_C) << int(Qt::AltModifier) << "none";
    }
    void keys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, action);
        TPMultiImage image;
        image.Set_Picture(TPicture::From_Bitmap(Quadrants(10, 10)));
        auto* data = new QMimeData;
        data->setImageData(Quadrants(7, 7));
        Clipboard()->setMimeData(data);
        QTest::keyClick(&image, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        const QSize onClipboard =
            qvariant_cast<QImage>(Clipboard()->mimeData()->imageData()).size();
        const QSize shown = image.Picture().Size();
        if (action == QLatin1String("copy")) {
            QCOMPARE(onClipboard, QSize(10, 10));
            QCOMPARE(shown, QSize(10, 10));
        } else if (action == QLatin1String("paste")) {
            QCOMPARE(onClipboard, QSize(7, 7));
            QCOMPARE(shown, QSize(7, 7));
        } else if (action == QLatin1String("cut")) {
            QCOMPARE(onClipboard, QSize(10, 10));
            QVERIFY(!image.Picture().Has_Graphic());
        } else {
            QCOMPARE(onClipboard, QSize(7, 7));
            QCOMPARE(shown, QSize(10, 10));
        }
    }
};

QTEST_MAIN(Tst_TMultiP_Clipboard)
#include "tst_tmultip_clipboard.moc"
