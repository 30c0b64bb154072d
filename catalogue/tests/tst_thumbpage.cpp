#include "ThumbPage.h"

#include "DosPath.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class Tst_Thumb_Page : public QObject
{
    Q_OBJECT
private slots:
    void geometry_data();
    void geometry();
    void hitTest_data();
    void hitTest();
    void scrollMaximum_data();
    void scrollMaximum();
    void snapClientSize_data();
    void snapClientSize();
    void selectionOrder();
    void toggle();
    void shiftRowsReadsOnlyTheNewRow_data();
    void shiftRowsReadsOnlyTheNewRow();
    void unreadableThumbnailsAreBlankAndReported();
    void listingTakesOrdinaryBitmapsInOrder();
    void listingOrderIsTheLocaleOrder();
    void composedPage();
};

void Tst_Thumb_Page::geometry_data()
{
    QTest::addColumn<QSize>("page");
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("gapX");
    QTest::addColumn<int>("gapY");
    QTest::addColumn<int>("pitchX");
    QTest::addColumn<int>("pitchY");
    QTest::newRow("334 x 360, no gaps") << QSize(334, 360) << 3 << 4 << 0 << 0 << 110 << 90;
    QTest::newRow("450 x 400") << QSize(450, 400) << 4 << 4 << 1 << 5 << 112 << 100;
    QTest::newRow("narrower than a cell") << QSize(50, 60) << 0 << 0 << 0 << 0 << 110 << 90;
}

void Tst_Thumb_Page::geometry()
{
    QFETCH(QSize, page);
    const Page_Geometry g = Page_Geometry::For(page);
    QTEST(g.Cols, "cols");
    QTEST(g.Rows, "rows");
    QTEST(g.Gap_X, "gapX");
    QTEST(g.Gap_Y, "gapY");
    QTEST(g.Pitch_X(), "pitchX");
    QTEST(g.Pitch_Y(), "pitchY");
}

void Tst_Thumb_Page::hitTest_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("cell");
    // 450 x 400: pitches 112 x 100, 4 x 4 cells.
    QTest::newRow("first cell") << QPoint(50, 50) << 0;
    QTest::newRow("left gap belongs to its cell") << QPoint(0, 0) << 0;
    QTest::newRow("right gap of the first cell") << QPoint(111, 99) << 0;
    QTest::newRow("second row, third column") << QPoint(230, 150) << 6;
    QTest::newRow("last cell") << QPoint(447, 399) << 15;
    QTest::newRow("margin right of the grid") << QPoint(448, 10) << -1;
    QTest::newRow("below the grid") << QPoint(10, 400) << -1;
}

void Tst_Thumb_Page::hitTest()
{
    QFETCH(QPoint, point);
    QFETCH(int, cell);
    QCOMPARE(Page_Geometry::For(QSize(450, 400)).Cell_At(point.x(), point.y()), cell);
}

void Tst_Thumb_Page::scrollMaximum_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("maximum");
    QTest::newRow("12 in 4 x 3: an empty last row") << 12 << 1;
    QTest::newRow("13 in 4 x 3") << 13 << 1;
    QTest::newRow("5 in 4 x 3") << 5 << 0;
    QTest::newRow("none") << 0 << 0;
    QTest::newRow("160 in 4 x 3") << 160 << 38;
}

void Tst_Thumb_Page::scrollMaximum()
{
    QFETCH(int, count);
    QFETCH(int, maximum);
    QCOMPARE(Scroll_Maximum(count, 4, 3), maximum);
    QCOMPARE(Scroll_Maximum(count, 0, 3), 0);
}

void Tst_Thumb_Page::snapClientSize_data()
{
    QTest::addColumn<QSize>("dragged");
    QTest::addColumn<QSize>("snapped");
    QTest::newRow("700 x 500") << QSize(700, 500) << QSize(693, 491);
    QTest::newRow("600 x 300") << QSize(600, 300) << QSize(583, 401);
    QTest::newRow("design size") << QSize(583, 401) << QSize(583, 401);
    QTest::newRow("one cell short") << QSize(802, 580) << QSize(693, 491);
}

void Tst_Thumb_Page::snapClientSize()
{
    QFETCH(QSize, dragged);
    QFETCH(QSize, snapped);
    QCOMPARE(Snap_Client_Size(dragged), snapped);
}

void Tst_Thumb_Page::selectionOrder()
{
    QStringList selection{"5"};
    Selection_List::Select_All(selection, 12);
    QCOMPARE(selection,
             (QStringList{"0", "1", "10", "11", "2", "3", "4", "5", "6", "7", "8", "9"}));
}

void Tst_Thumb_Page::toggle()
{
    QStringList selection;
    QVERIFY(Selection_List::Toggle(selection, 2));
    QVERIFY(Selection_List::Toggle(selection, 10));
    QVERIFY(Selection_List::Toggle(selection, 1));
    QCOMPARE(selection, (QStringList{"1", "10", "2"}));
    QVERIFY(Selection_List::Contains(selection, 10));
    QVERIFY(!Selection_List::Toggle(selection, 10));
    QCOMPARE(selection, (QStringList{"1", "2"}));
    QVERIFY(!Selection_List::Contains(selection, 10));
}

void Tst_Thumb_Page::shiftRowsReadsOnlyTheNewRow_data()
{
    QTest::addColumn<int>("delta");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("firstCell"); // picture shown in cell 0 afterwards
    QTest::newRow("down one row") << 1 << 4 << 4;
    QTest::newRow("up one row") << -1 << 0 << 0;
}

void Tst_Thumb_Page::shiftRowsReadsOnlyTheNewRow()
{
    QFETCH(int, delta);
    QFETCH(int, top);
    QFETCH(int, firstCell);
    QStringList list;
    for (int i = 0; i < 20; ++i)
        list << QStringLiteral("D:\\T\\P%1.BMP").arg(i);
    QStringList reads;
    // Each picture is a bitmap whose width tells its index.
    Thumb_Cells cells([&](const QString& path, bool* exists) {
        reads << path;
        *exists = true;
        return QImage(10 + list.indexOf(path), 10, QImage::Format_RGB32);
    });
    cells.Reset(12);
    const int start = delta == 1 ? 0 : 4;
    cells.Load_All(list, start);
    QCOMPARE(reads.size(), 12);
    reads.clear();
    cells.Shift_Rows(delta, 4, list, top);
    QCOMPARE(reads.size(), 4); // one row of four
    QCOMPARE(cells.Images().at(0).width(), 10 + firstCell);
    for (int i = 0; i < 12; ++i)
        QCOMPARE(cells.Images().at(i).width(), 10 + top + i);
}

void Tst_Thumb_Page::unreadableThumbnailsAreBlankAndReported()
{
    const QStringList list{"D:\\A.BMP", "D:\\B.BMP", "D:\\C.BMP", "D:\\D.BMP"};
    Thumb_Cells cells([](const QString& path, bool* exists) {
        *exists = !path.endsWith("\\D.BMP"); // D is missing
        if (path == "D:\\B.BMP" || path == "D:\\C.BMP")
            return QImage(); // exists, not a bitmap
        return *exists ? QImage(50, 40, QImage::Format_RGB32) : QImage();
    });
    cells.Reset(6);
    cells.Load_All(list, 0);
    QCOMPARE(cells.Take_Unreadable(), (QStringList{"D:\\B.BMP", "D:\\C.BMP"}));
    QVERIFY(cells.Take_Unreadable().isEmpty());
    QCOMPARE(cells.Images().at(0).size(), QSize(50, 40));
    for (int i : {1, 2, 3, 4, 5}) // unreadable, missing and beyond the list: blank
        QCOMPARE(cells.Images().at(i).size(), QSize(100, 80));
    QCOMPARE(cells.Images().at(1).pixel(50, 40), qRgb(255, 255, 255));
}

void Tst_Thumb_Page::listingTakesOrdinaryBitmapsInOrder()
{
    QTemporaryDir dir;
    for (const char* name :
         {"rose.bmp", "Apple.BMP", "banana.BMP", "cherry.JPG", ".hidden.BMP", "Zed.Bmp"}) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QVERIFY(QDir(dir.path()).mkdir("folder.BMP"));
    Platform::Drives().Map('T', dir.path());
    QCOMPARE(List_Thumbnails("T:\\"),
             (QStringList{"T:\\Apple.BMP", "T:\\banana.BMP", "T:\\rose.bmp", "T:\\Zed.Bmp"}));
    QCOMPARE(List_Thumbnails("T:").size(), 4); // a backslash is appended
    QVERIFY(List_Thumbnails("T:\\missing\\").isEmpty());
    // A folder listed before is listed again once its files change.
    QVERIFY(QFile::remove(dir.filePath("rose.bmp")));
    QFile added(dir.filePath("Cherry.BMP"));
    QVERIFY(added.open(QIODevice::WriteOnly));
    QCOMPARE(List_Thumbnails("T:\\"),
             (QStringList{"T:\\Apple.BMP", "T:\\banana.BMP", "T:\\Cherry.BMP", "T:\\Zed.Bmp"}));
}

void Tst_Thumb_Page::listingOrderIsTheLocaleOrder()
{
    // Punctuation, digits and case, in ASCII names (sorted through a table of character ranks)
    // and with a non-ASCII name among them (sorted by the collator itself).
    const QStringList ascii{"b-c.BMP", "b_c.BMP", "b c.BMP",  "B2.BMP",  "b10.BMP",
                            "b1.BMP",  "Bz.BMP",  "b(1).BMP", "b.c.BMP", "ba.BMP",
                            "BA2.BMP", "a~.BMP",  "a#.BMP"};
    for (const bool withAccent : {false, true}) {
        QTemporaryDir dir;
        QStringList names = ascii;
        if (withAccent)
            names << QString::fromUtf8("\xC3\xa9t\xC3\xa9.BMP") << "ez.BMP"
                  << "ea.BMP";
        for (const QString& name : names) {
            QFile f(dir.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        Platform::Drives().Map('T', dir.path());
        QStringList listed;
        for (const QString& path : List_Thumbnails("T:\\"))
            listed << Dos::File_Name(path);
        QCollator collator(QLocale(QLocale::English, QLocale::UnitedStates));
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        QStringList expected = names;
        std::stable_sort(expected.begin(), expected.end(), [&](const QString& a, const QString& b) {
            return collator.compare(a, b) < 0;
        });
        for (int i = 0; i < expected.size(); ++i) // names equal to the collator may come either way
            QVERIFY2(collator.compare(listed.at(i), expected.at(i)) == 0,
                     qPrintable(listed.join(' ') + " / " + expected.join(' ')));
    }
}

void Tst_Thumb_Page::composedPage()
{
    // 450 x 400: 4 x 4, gaps 1 and 5; 5 pictures, picture 1 selected.
    const Page_Geometry g = Page_Geometry::For(QSize(450, 400));
    QList<QImage> cells;
    for (int i = 0; i < 16; ++i) {
        QImage thumb(60, 40, QImage::Format_RGB32);
        thumb.fill(Qt::red);
        cells << thumb;
    }
    QImage mark(110, 90, QImage::Format_RGB32);
    mark.fill(Qt::blue);
    QImage page(449, 400, QImage::Format_RGB32);
    Compose_Page(
        page, g, cells, 0, 5, [](int k) { return k == 1; }, mark);
    QCOMPARE(page.size(), QSize(449, 400));
    // Cell 0: thumbnail centred in its 100 x 80 area at (5 + 1 + 20, 5 + 5 + 20).
    QCOMPARE(page.pixel(26, 30), qRgb(255, 0, 0));
    QCOMPARE(page.pixel(25, 30), qRgb(255, 255, 255));
    QCOMPARE(page.pixel(26, 29), qRgb(255, 255, 255));
    // Cell 1 is selected: the mark fills its 110 x 90 box around the thumbnail.
    QCOMPARE(page.pixel(112 + 1, 5), qRgb(0, 0, 255));
    QCOMPARE(page.pixel(112 + 1 + 30, 5 + 20 + 5 + 5), qRgb(255, 0, 0));
    // Cell 5 has no picture: white.
    QCOMPARE(page.pixel(112 + 50, 100 + 45), qRgb(255, 255, 255));
}

QTEST_GUILESS_MAIN(Tst_Thumb_Page)
#include "tst_thumbpage.moc"
