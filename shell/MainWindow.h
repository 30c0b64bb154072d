#pragma once
// The main window: the category tree on the left, the thumbnail page on the right, the
// status bar with the action menu's button at the bottom.

#include "ActionMenu.h"
#include "BrowserState.h"
#include "ThumbPage.h"

#include <QStringList>
#include <QWidget>
#include <functional>

class Page_Display;
class QLabel;
class QMenu;
class QScrollBar;
class QPushButton;
class QTimer;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

struct Start_Options
{
    QString Program_File;  // native path of the program file; its folder holds our own files
    QStringList Arguments; // command-line arguments after the program name
};

class TForm1 : public QWidget
{
    Q_OBJECT
public:
    explicit TForm1(const Start_Options& options, QWidget* parent = nullptr);
    ~TForm1() override;

    Browser_State& State() { return m_state; }
    // True when another instance of this session was already running: it has been asked to
    // come to the front and this one must end at once.
    bool Second_Instance() const { return m_secondInstance; }

    // Controls, named as the rest of the program knows them.
    QTreeWidget* Cat_List = nullptr;
    QWidget* Cat_List_Panel = nullptr;
    QLabel* RU_Image = nullptr;
    QWidget* THB_Panel = nullptr;
    Page_Display* THB_DSP = nullptr;
    QScrollBar* THB_Scroll = nullptr;
    QToolButton* Prev_Page = nullptr;
    QToolButton* Next_Page = nullptr;
    QMenu* THB_PopupMenu = nullptr;
    QWidget* Status_Bar = nullptr;
    QToolButton* Menu_Button = nullptr;
    QLabel* Selected_Item_Label = nullptr;
    QLabel* Image_Comment = nullptr;
    ::Action_Menu* Action_Menu = nullptr;
    QPushButton* Manual = nullptr;
    QTimer* Kill_Timer = nullptr;

    bool Menu_Open() const { return m_menuOpen; }
    // Loads the catalogue and the tree, selecting the first category.
    void Load_Catalogue();

    // The thumbnail page.
    void Show_Category(int entry, bool clearSelection, bool categoryMode);
    void Draw_Page();
    bool Toggle_Selection(int index);
    bool Is_Selected(int index) const;
    const Page_Geometry& Geometry() const { return m_geometry; }
    int Top_Index() const { return m_topIndex; }
    const Thumb_Cells& Cells() const { return m_cells; }
    const QImage& Page_Bitmap() const { return m_pageBitmap; }
    // Replaces how thumbnail files are read (tests count the reads).
    void Set_Thumb_Loader(Thumb_Loader loader) { m_cells = Thumb_Cells(std::move(loader)); }

    // Commands of the action menu, by entry number.
    void Menu_Command(int number);
    void Menu_Button_Click();
    void Close_Menu();
    void Thumbnail_View();
    void View_Indices();
    void Manual_Click();

    // Opens the viewer at the given position of the selection; set by the program once the
    // viewer exists.
    std::function<void(int zoomIndex)> Open_Viewer;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormCreate(const Start_Options& options);
    void FormShow();
    void Create_Controls();
    void Apply_Language();
    void Give_Up();
    void Cat_List_Change(QTreeWidgetItem* current);
    void Restore_And_Raise();
    void Create_Page_Controls();
    void Layout_Page(int left);
    void Load_Thumbs();
    void Report_Unreadable();
    void Scroll_Change(int position);
    void Page_Step(int rows);
    void Page_Pressed(QPoint point, bool ctrl);
    void Page_Click();
    void Page_Double_Click();
    void Update_Status_Bar();
    bool Page_Key(QKeyEvent* event);

    Browser_State m_state;
    bool m_secondInstance = false;
    bool m_shown = false;
    bool m_menuOpen = false;

    Page_Geometry m_geometry;
    Thumb_Cells m_cells;
    QImage m_pageBitmap;
    int m_topIndex = 0;
    int m_lastScrollPos = 0;
    bool m_pageBusy = false;
    bool m_scrollBusy = false;
    bool m_ctrlClick = false;
    bool m_lastToggleSelected = false;
    QPoint m_pressPoint;
};
