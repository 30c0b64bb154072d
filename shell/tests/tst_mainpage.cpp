#include "ActionMenu.h"
#include "CategoryTree.h"
#include "Fixture.h"
#include "MainWindow.h"
#include "PageDisplay.h"

#include "MessageBox.h"

#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

namespace {

// The centre of page cell i (0-based) in the window's current grid.
QPoint Cell_Centre(const TForm1& form, int i)
{
    const Page_Geometry& g = form.Geometry();
    return {(i % g.Cols) * g.Pitch_X() + g.Pitch_X() / 2,
            (i / g.Cols) * g.Pitch_Y() + g.Pitch_Y() / 2};
}

void Click(TForm1& form, int cell, bool ctrl = false)
{
    const QPoint at = cell < 0 ? QPoint(form.THB_DSP->width() - 2, 5) : Cell_Centre(form, cell);
    QTest::mouseClick(form.THB_DSP, Qt::LeftButton, ctrl ? Qt::ControlModifier : Qt::NoModifier,
                      at);
}

struct Started
{
    Fixture fixture;
    Message_Box_Script script;
    std::unique_ptr<TForm1> form;

    bool Start(const QList<int>& counts, const QStringList& arguments = {})
    {
        if (!fixture.Make(Mkdisc::Small_Disc(counts)))
            return false;
        form = std::make_unique<TForm1>(Start_Options{fixture.programFile(), arguments});
        form->show();
        return QTest::qWaitForWindowExposed(form.get()) && !form->State().Abort_Start;
    }
};

} // namespace

class Tst_Main_Page : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void firstPageFilled();
    void clicks_data();
    void clicks();
    void statusBarNamesTheSelection();
    void popupSelectsAndClears();
    void scrollingReadsOnlyWhatComesIntoView();
    void resizeSnapsToCellsAndKeepsSelection();
    void menuOpensHighlightsAndCloses();
    void hiddenEntriesCloseUp();
    void thumbnailViewTwiceKeepsSelection();
    void viewIndicesShowsPrefixes();
    void manualListsEveryCategory();
    void unreadableThumbnailsReportedOncePerFill();
    void keysMoveThroughThePage();

private:
    QTemporaryDir m_runtime;
};

void Tst_Main_Page::initTestCase()
{
    qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
}

void Tst_Main_Page::firstPageFilled()
{
    Started s;
    QVERIFY(s.Start({13, 3}));
    TForm1& form = *s.form;
    QCOMPARE(form.size(), QSize(583, 401));
    QCOMPARE(form.THB_DSP->size(), QSize(334, 360));
    QCOMPARE(form.Page_Bitmap().size(), QSize(333, 360)); // one pixel narrower
    QCOMPARE(form.Geometry().Cols, 3);
    QCOMPARE(form.Geometry().Rows, 4);
    QCOMPARE(form.State().Thumb_List.size(), 13);
    QCOMPARE(form.State().Thumb_List.first(), QStringLiteral("D:\\CAT1\\THB\\P000.BMP"));
    QCOMPARE(form.THB_Scroll->maximum(), 1);
    QCOMPARE(form.windowTitle(), QStringLiteral("Orvinta - Category 1"));
    QCOMPARE(form.Selected_Item_Label->text(), QStringLiteral("Selected: none"));
    QCOMPARE(form.State().Picture_Dir, QStringLiteral("D:\\CAT1\\"));
    QCOMPARE(form.State().Picture_Ext, QStringLiteral(".JPG"));
    // A real thumbnail is drawn in the first cell: not white at its centre.
    QVERIFY(form.Page_Bitmap().pixel(55, 45) != qRgb(255, 255, 255));
    // Choosing another category fills the page from it and clears the selection.
    Click(form, 0);
    form.Cat_List->setCurrentItem(form.Cat_List->currentItem()->parent()->child(1));
    QCOMPARE(form.State().Thumb_List.size(), 3);
    QVERIFY(form.State().Selection.isEmpty());
    QCOMPARE(form.Page_Bitmap().pixel(55, 90 + 45), qRgb(255, 255, 255)); // cell 4 has no picture
}

void Tst_Main_Page::clicks_data()
{
    QTest::addColumn<QList<int>>("cells"); // 100 + n: Ctrl+click on cell n; -1: the margin
    QTest::addColumn<QStringList>("selection");
    QTest::newRow("click selects one") << QList<int>{0} << QStringList{"0"};
    QTest::newRow("click elsewhere replaces") << QList<int>{0, 1} << QStringList{"1"};
    QTest::newRow("ctrl adds") << QList<int>{0, 101, 110} << QStringList{"0", "1", "10"};
    QTest::newRow("click on a selected one among several: it alone")
        << QList<int>{0, 101, 102, 1} << QStringList{"1"};
    QTest::newRow("ctrl on a selected one removes it")
        << QList<int>{0, 101, 102, 101} << QStringList{"0", "2"};
    QTest::newRow("margin right of the grid does nothing") << QList<int>{0, -1} << QStringList{"0"};
}

void Tst_Main_Page::clicks()
{
    QFETCH(QList<int>, cells);
    QFETCH(QStringList, selection);
    Started s;
    QVERIFY(s.Start({13}));
    for (int c : cells)
        Click(*s.form, c >= 100 ? c - 100 : c, c >= 100);
    QCOMPARE(s.form->State().Selection, selection);
}

void Tst_Main_Page::statusBarNamesTheSelection()
{
    Started s;
    QVERIFY(s.Start({13}));
    TForm1& form = *s.form;
    Click(form, 2);
    QCOMPARE(form.Selected_Item_Label->text(), QStringLiteral("Selected: D:\\CAT1\\P002.JPG"));
    Click(form, 5, true);
    QCOMPARE(form.Selected_Item_Label->text(), QStringLiteral("Pictures selected: 2"));
    QVERIFY(form.Image_Comment->text().isEmpty());
    // The highlight mark stands behind a selected thumbnail (its corner shows).
    QCOMPARE(QColor(form.Page_Bitmap().pixel(2 * 110 + 3, 3)).blue() > 150, true);
    QCOMPARE(form.Page_Bitmap().pixel(1 * 110 + 3, 3), qRgb(255, 255, 255));
}

void Tst_Main_Page::popupSelectsAndClears()
{
    Started s;
    QVERIFY(s.Start({12}));
    TForm1& form = *s.form;
    form.THB_PopupMenu->actions().at(1)->trigger(); // &Select All
    QCOMPARE(form.State().Selection,
             (QStringList{"0", "1", "10", "11", "2", "3", "4", "5", "6", "7", "8", "9"}));
    QCOMPARE(form.Selected_Item_Label->text(), QStringLiteral("Pictures selected: 12"));
    QCOMPARE(form.THB_PopupMenu->actions().at(0)->text(), QStringLiteral("&Clear All"));
    form.THB_PopupMenu->actions().at(0)->trigger();
    QVERIFY(form.State().Selection.isEmpty());
}

void Tst_Main_Page::scrollingReadsOnlyWhatComesIntoView()
{
    Started s;
    QVERIFY(s.Start({40}));
    TForm1& form = *s.form;
    int reads = 0;
    form.Set_Thumb_Loader([&](const QString& path, bool* exists) {
        ++reads;
        return Load_Thumbnail_File(path, exists);
    });
    form.Show_Category(Node_Entry(form.Cat_List->currentItem()), false, true);
    QCOMPARE(reads, 12);
    QCOMPARE(form.THB_Scroll->maximum(), 10); // 40 div 3 + 1 - 4

    reads = 0;
    form.THB_Scroll->setValue(1); // the down arrow: one row
    QCOMPARE(reads, 3);
    QCOMPARE(form.Top_Index(), 3);
    reads = 0;
    form.THB_Scroll->setValue(0); // the up arrow
    QCOMPARE(reads, 3);
    reads = 0;
    form.THB_Scroll->setValue(3); // dragging the thumb three rows: every cell
    QCOMPARE(reads, 12);
    QCOMPARE(form.Top_Index(), 9);

    form.Next_Page->click(); // one page: four rows
    QCOMPARE(form.THB_Scroll->value(), 7);
    form.Next_Page->click();
    QCOMPARE(form.THB_Scroll->value(), 10); // held at the maximum
    reads = 0;
    form.Next_Page->click(); // at the last position: nothing changes
    QCOMPARE(form.THB_Scroll->value(), 10);
    QCOMPARE(reads, 0);
    form.Prev_Page->click();
    QCOMPARE(form.THB_Scroll->value(), 6);
    // The last position shows pictures 30-39 and white cells after them.
    form.THB_Scroll->setValue(10);
    QCOMPARE(form.Top_Index(), 30);
    QCOMPARE(form.Page_Bitmap().pixel(2 * 110 + 55, 3 * 90 + 45), qRgb(255, 255, 255));
}

void Tst_Main_Page::resizeSnapsToCellsAndKeepsSelection()
{
    Started s;
    QVERIFY(s.Start({40}));
    TForm1& form = *s.form;
    Click(form, 1);
    form.resize(700, 500);
    QTRY_COMPARE(form.size(), QSize(693, 491));
    QCOMPARE(form.Geometry().Cols, 4); // 693 - 16 - 220 - 13 = 444
    QCOMPARE(form.Geometry().Rows, 5); // 491 - 16 - 25 = 450
    QCOMPARE(form.State().Selection, QStringList{"1"});
    QCOMPARE(form.Status_Bar->geometry(), QRect(0, 491 - 25, 693, 25));
    form.resize(600, 300);
    QTRY_COMPARE(form.size(), QSize(583, 401));
    QCOMPARE(form.State().Selection, QStringList{"1"});
}

void Tst_Main_Page::menuOpensHighlightsAndCloses()
{
    Started s;
    QVERIFY(s.Start({13}));
    TForm1& form = *s.form;
    QCOMPARE(form.Action_Menu->x(), -1000);
    QTest::mouseClick(form.Menu_Button, Qt::LeftButton);
    QVERIFY(form.Menu_Open());
    QCOMPARE(form.Action_Menu->x(), 8);
    QCOMPARE(form.Action_Menu->y() + form.Action_Menu->height(), form.Status_Bar->y());
    QCOMPARE(form.Action_Menu->height(), form.Action_Menu->Entries_Bottom() + 2);

    Menu_Entry* zoom = form.Action_Menu->Entry(Menu_Zoom);
    Menu_Entry* save = form.Action_Menu->Entry(Menu_Save);
    const QColor face = zoom->palette().color(QPalette::Window);
    QTest::mouseMove(zoom, QPoint(50, 16));
    QTRY_COMPARE(form.Action_Menu->Hover_Item(), int(Menu_Zoom));
    QVERIFY(zoom->palette().color(QPalette::Window) != face);
    QTest::mouseMove(save, QPoint(50, 16));
    QTRY_COMPARE(form.Action_Menu->Hover_Item(), int(Menu_Save));
    QCOMPARE(zoom->palette().color(QPalette::Window), face);
    QVERIFY(save->palette().color(QPalette::Window) != face);

    // A click on the page only closes the menu.
    QVERIFY(form.Menu_Open());
    Click(form, 0);
    QVERIFY(!form.Menu_Open());
    QCOMPARE(form.Action_Menu->x(), -1000);
    QVERIFY(form.State().Selection.isEmpty());
    // Opening again shows no highlight.
    QTest::mouseClick(form.Menu_Button, Qt::LeftButton);
    QCOMPARE(form.Action_Menu->Hover_Item(), 0);
    QCOMPARE(save->palette().color(QPalette::Window), face);
    // A click on the tree closes it; Escape too.
    QTest::mouseClick(form.Cat_List->viewport(), Qt::LeftButton, {}, QPoint(150, 200));
    QVERIFY(!form.Menu_Open());
    QTest::mouseClick(form.Menu_Button, Qt::LeftButton);
    QTest::keyClick(&form, Qt::Key_Escape);
    QVERIFY(!form.Menu_Open());
    // A command closes the menu and stays closed.
    QTest::mouseClick(form.Menu_Button, Qt::LeftButton);
    QTest::mouseClick(form.Action_Menu->Entry(Menu_Save), Qt::LeftButton, {}, QPoint(50, 16));
    QVERIFY(!form.Menu_Open());
    QCOMPARE(form.Action_Menu->x(), -1000);
    // Exit closes the window.
    QTest::mouseClick(form.Menu_Button, Qt::LeftButton);
    QTest::mouseClick(form.Action_Menu->Entry(Menu_Exit), Qt::LeftButton, {}, QPoint(50, 16));
    QVERIFY(!form.isVisible());
}

void Tst_Main_Page::hiddenEntriesCloseUp()
{
    Started s;
    s.fixture.Make(Mkdisc::Small_Disc({3}));
    s.fixture.Set("Active", "Print", "0");
    s.fixture.Set("Active", "Help", "0");
    TForm1 form({s.fixture.programFile(), {}});
    QStringList shown;
    int bottom = 0;
    for (int n : Menu_Order) {
        Menu_Entry* e = form.Action_Menu->Entry(n);
        if (e->height() > 0) {
            shown << e->Label()->text();
            QCOMPARE(e->y(), bottom + (bottom == 0 ? 1 : 0));
            bottom = e->y() + e->height();
        }
    }
    QCOMPARE(shown, (QStringList{"Zoom", "Save", "Clipboard", "Thumbnail View", "Recently Used",
                                 "View Indices", "Language", "Exit"}));
    QCOMPARE(form.Action_Menu->Entries_Bottom(), bottom);
    QCOMPARE(form.Action_Menu->Entries_Bottom(), 1 + 8 * 32);
}

void Tst_Main_Page::thumbnailViewTwiceKeepsSelection()
{
    Started s;
    QVERIFY(s.Start({40}));
    TForm1& form = *s.form;
    Click(form, 2);
    Click(form, 3, true);
    form.Thumbnail_View();
    QVERIFY(!form.Cat_List_Panel->isVisibleTo(&form));
    QCOMPARE(form.THB_Panel->x(), 8);
    QCOMPARE(form.Geometry().Cols, 5); // 583 - 16 - 13 = 554
    QCOMPARE(form.Action_Menu->Entry(Menu_Thumbnail_View)->Label()->text(),
             Mkdisc::Message_Text(19, 0));
    QCOMPARE(form.Action_Menu->Entry(Menu_View_Indices)->height(), 0);
    QCOMPARE(form.State().Selection, (QStringList{"2", "3"}));
    form.Thumbnail_View();
    QVERIFY(form.Cat_List_Panel->isVisibleTo(&form));
    QCOMPARE(form.Geometry().Cols, 3);
    QCOMPARE(form.Action_Menu->Entry(Menu_Thumbnail_View)->Label()->text(),
             QStringLiteral("Thumbnail View"));
    QCOMPARE(form.Action_Menu->Entry(Menu_View_Indices)->height(), 32);
    QCOMPARE(form.State().Selection, (QStringList{"2", "3"}));
}

void Tst_Main_Page::viewIndicesShowsPrefixes()
{
    Started s;
    QVERIFY(s.Start({2, 3}));
    TForm1& form = *s.form;
    Click(form, 1);
    form.Menu_Command(Menu_View_Indices);
    QCOMPARE(form.Cat_List->currentItem()->text(0), QStringLiteral("1. Category 1"));
    QCOMPARE(form.Action_Menu->Entry(Menu_View_Indices)->Label()->text(),
             Mkdisc::Message_Text(68, 0));
    QVERIFY(form.State().Selection.isEmpty()); // the first category shown afresh
    QCOMPARE(form.State().Thumb_List.size(), 2);
    form.Menu_Command(Menu_View_Indices);
    QCOMPARE(form.Cat_List->currentItem()->text(0), QStringLiteral("Category 1"));
    QCOMPARE(form.Action_Menu->Entry(Menu_View_Indices)->Label()->text(),
             Mkdisc::Message_Text(69, 0));
}

void Tst_Main_Page::manualListsEveryCategory()
{
    Started s;
    QVERIFY(s.Start({3, 4}, {"/d"}));
    TForm1& form = *s.form;
    QVERIFY(form.Manual->isVisible());
    s.script.Clear();
    form.Manual->click();
    QCOMPARE(s.script.Texts(), QStringList{"No Items: 9 No Dirs: 2"});
    QCOMPARE(s.script.Boxes().first().type, Box_Type::Information);
    const QStringList& list = form.State().Thumb_List;
    QCOMPARE(list.size(), 9);
    QCOMPARE(list.at(0), QStringLiteral("%CAT1"));
    QCOMPARE(list.at(1), QStringLiteral("D:\\CAT1\\P000.JPG"));
    QCOMPARE(list.at(4), QStringLiteral("%CAT2"));
    QCOMPARE(list.at(8), QStringLiteral("D:\\CAT2\\P003.JPG"));
    QVERIFY(form.State().Manual_Mode);
}

void Tst_Main_Page::unreadableThumbnailsReportedOncePerFill()
{
    Started s;
    QVERIFY(s.fixture.Make(Mkdisc::Small_Disc({6})));
    for (const char* name : {"P001.BMP", "P004.BMP"}) {
        QFile f(s.fixture.disc() + "/CAT1/THB/" + name);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("not a bitmap");
    }
    TForm1 form({s.fixture.programFile(), {}});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(s.script.Boxes().size(), 1);
    const Recorded_Box& box = s.script.Boxes().first();
    QCOMPARE(box.type, Box_Type::Error);
    QVERIFY2(box.text.contains("D:\\CAT1\\THB\\P001.BMP") && box.text.contains("1 more"),
             qPrintable(box.text));
    // The bad cells are white, the others drawn.
    QCOMPARE(form.Page_Bitmap().pixel(110 + 55, 45), qRgb(255, 255, 255));
    QVERIFY(form.Page_Bitmap().pixel(55, 45) != qRgb(255, 255, 255));
    QVERIFY(form.Page_Bitmap().pixel(2 * 110 + 55, 45) != qRgb(255, 255, 255));
}

void Tst_Main_Page::keysMoveThroughThePage()
{
    Started s;
    QVERIFY(s.Start({40}));
    TForm1& form = *s.form;
    form.THB_DSP->setFocus();
    QTest::keyClick(form.THB_DSP, Qt::Key_Down);
    QCOMPARE(form.THB_Scroll->value(), 1);
    QTest::keyClick(form.THB_DSP, Qt::Key_PageDown);
    QCOMPARE(form.THB_Scroll->value(), 5);
    QTest::keyClick(form.THB_DSP, Qt::Key_End);
    QCOMPARE(form.THB_Scroll->value(), 10);
    QTest::keyClick(form.THB_DSP, Qt::Key_Home);
    QCOMPARE(form.THB_Scroll->value(), 0);
    QTest::keyClick(form.THB_DSP, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(form.State().Selection.size(), 40);
    s.script.Clear();
    form.THB_PopupMenu->actions().at(0)->trigger();
    QTest::keyClick(form.THB_DSP, Qt::Key_Return); // nothing selected
    QCOMPARE(s.script.Texts(), QStringList{Mkdisc::Message_Text(17, 0)});
}

QTEST_MAIN(Tst_Main_Page)
#include "tst_mainpage.moc"
