// The main window's thumbnail page: laying out the browser area, filling and scrolling the
// page, the mouse and keys on it, and the commands that rebuild it.
#include "MainWindow.h"

#include "CategoryTree.h"
#include "MessageBox.h"
#include "PageDisplay.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QToolButton>
#include <QTreeWidget>

namespace {
constexpr int kScrollWidth = 13;

// Shows the busy cursor for the life of the object.
struct Busy_Cursor
{
    Busy_Cursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Busy_Cursor() { QApplication::restoreOverrideCursor(); }
};
} // namespace

void TForm1::Create_Page_Controls()
{
    THB_DSP = new Page_Display(THB_Panel);
    THB_Scroll = new QScrollBar(Qt::Vertical, THB_Panel);
    THB_Scroll->setObjectName(QStringLiteral("THB_Scroll"));
    THB_Scroll->setSingleStep(1);
    THB_Scroll->setPageStep(1);
    Prev_Page = new QToolButton(THB_Panel);
    Prev_Page->setObjectName(QStringLiteral("Prev_Page"));
    Prev_Page->setArrowType(Qt::UpArrow);
    Prev_Page->setFocusPolicy(Qt::NoFocus);
    Next_Page = new QToolButton(THB_Panel);
    Next_Page->setObjectName(QStringLiteral("Next_Page"));
    Next_Page->setArrowType(Qt::DownArrow);
    Next_Page->setFocusPolicy(Qt::NoFocus);
    THB_PopupMenu = new QMenu(this);
    THB_PopupMenu->setObjectName(QStringLiteral("THB_PopupMenu"));
    QAction* clearAll = THB_PopupMenu->addAction(QStringLiteral("&Clear All"));
    QAction* selectAll = THB_PopupMenu->addAction(QStringLiteral("&Select All"));

    connect(THB_Scroll, &QScrollBar::valueChanged, this, &TForm1::Scroll_Change);
    connect(Prev_Page, &QToolButton::clicked, this, [this] { Page_Step(-m_geometry.Rows); });
    connect(Next_Page, &QToolButton::clicked, this, [this] { Page_Step(m_geometry.Rows); });
    connect(THB_DSP, &Page_Display::Pressed, this, &TForm1::Page_Pressed);
    connect(THB_DSP, &Page_Display::Clicked, this, &TForm1::Page_Click);
    connect(THB_DSP, &Page_Display::Double_Clicked, this, &TForm1::Page_Double_Click);
    connect(THB_DSP, &Page_Display::Context_Menu, this, [this](QPoint at) {
        Close_Menu();
        THB_PopupMenu->popup(at);
    });
    connect(clearAll, &QAction::triggered, this, [this] {
        m_state.Selection.clear();
        Draw_Page();
    });
    connect(selectAll, &QAction::triggered, this, [this] {
        Selection_List::Select_All(m_state.Selection, int(m_state.Thumb_List.size()));
        Draw_Page();
    });
    // A click on the scroll bar closes the menu and goes on scrolling.
    THB_Scroll->installEventFilter(this);
    THB_DSP->installEventFilter(this);
}

void TForm1::Layout_Page(int left)
{
    const int cw = width();
    const int ch = height();
    const int statusHeight = Status_Bar->height();
    Cat_List_Panel->setGeometry(8, 8, 212, ch - 16 - statusHeight);
    Cat_List->resize(196, Cat_List_Panel->height() - 16);

    // The recently-used picture, centred on black in the tree's place.
    QPixmap ru(Cat_List->size());
    ru.fill(Qt::black);
    if (!m_state.RU_Picture.isNull()) {
        QPainter p(&ru);
        p.drawImage((ru.width() - m_state.RU_Picture.width()) / 2,
                    (ru.height() - m_state.RU_Picture.height()) / 2, m_state.RU_Picture);
    }
    RU_Image->setGeometry(Cat_List->geometry());
    RU_Image->setPixmap(ru);

    THB_Panel->setGeometry(left + 8, 8, cw - 16 - left, ch - 16 - statusHeight);
    const int pw = THB_Panel->width(), ph = THB_Panel->height();
    THB_Scroll->setGeometry(pw - kScrollWidth, 16, kScrollWidth, ph - 32);
    THB_DSP->setGeometry(0, 0, pw - kScrollWidth, ph);
    Prev_Page->setGeometry(THB_Scroll->x(), 0, kScrollWidth, THB_Scroll->y());
    const int nextTop = THB_Scroll->y() + THB_Scroll->height();
    Next_Page->setGeometry(THB_Scroll->x(), nextTop, kScrollWidth, ph - nextTop);
}

void TForm1::Show_Category(int entry, bool clearSelection, bool categoryMode)
{
    Action_Menu->move(Action_Menu->x(), 0);
    Close_Menu();
    m_pageBusy = true;

    if (categoryMode && entry >= 0 && entry < m_state.Catalogue.size()) {
        const Category_Record& record = m_state.Catalogue.at(entry);
        m_state.Picture_Dir = Dos::With_Backslash(m_state.Data_Root + record.Picture_Folder);
        m_state.Picture_Ext = record.Picture_Ext.startsWith(QLatin1Char('.'))
                                  ? record.Picture_Ext
                                  : QLatin1Char('.') + record.Picture_Ext;
        m_state.Required_CD = record.CD_Number;
    }
    const int left = Cat_List_Panel->isVisibleTo(this) ? Cat_List_Panel->width() + 8 : 0;
    Layout_Page(left);

    // The page bitmap is one pixel narrower than the display.
    const QSize pageSize(std::max(1, THB_DSP->width() - 1), std::max(1, THB_DSP->height()));
    m_geometry = Page_Geometry::For(THB_DSP->size());
    m_topIndex = 0;
    m_lastScrollPos = 0;
    m_scrollBusy = false;
    {
        const QSignalBlocker quiet(THB_Scroll);
        THB_Scroll->setValue(0);
    }

    if (categoryMode && entry >= 0 && entry < m_state.Catalogue.size()) {
        Busy_Cursor busy;
        m_state.Thumb_List = List_Thumbnails(m_state.Catalogue.at(entry).Thumb_Folder);
    } else if (categoryMode) {
        m_state.Thumb_List.clear();
    }
    if (clearSelection)
        m_state.Selection.clear();

    {
        const QSignalBlocker quiet(THB_Scroll);
        THB_Scroll->setMaximum(
            Scroll_Maximum(int(m_state.Thumb_List.size()), m_geometry.Cols, m_geometry.Rows));
    }
    if (m_pageBitmap.size() != pageSize)
        m_pageBitmap = QImage(pageSize, QImage::Format_RGB32);
    m_cells.Reset(m_geometry.Cells());
    Load_Thumbs();
    Draw_Page();
    m_pageBusy = false;

    const QTreeWidgetItem* node = Cat_List->currentItem();
    setWindowTitle(m_state.Message(0) + QStringLiteral(" - ") +
                   (categoryMode ? (node ? node->text(0) : QString()) : m_state.Message(22)));
    Report_Unreadable();
}

void TForm1::Load_Thumbs()
{
    Busy_Cursor busy;
    m_cells.Load_All(m_state.Thumb_List, m_topIndex);
}

void TForm1::Report_Unreadable()
{
    const QStringList bad = m_cells.Take_Unreadable();
    if (bad.isEmpty())
        return;
    QString text =
        QStringLiteral("The thumbnail \"%1\" is not a readable bitmap.").arg(bad.first());
    if (bad.size() > 1)
        text += QStringLiteral(" %1 more thumbnails on this page could not be read either.")
                    .arg(bad.size() - 1);
    Message_Box(text, Box_Type::Error);
}

bool TForm1::Is_Selected(int index) const
{
    return Selection_List::Contains(m_state.Selection, index);
}

bool TForm1::Toggle_Selection(int index)
{
    return Selection_List::Toggle(m_state.Selection, index);
}

void TForm1::Draw_Page()
{
    m_geometry = Page_Geometry::For(THB_DSP->size());
    {
        Busy_Cursor busy;
        Compose_Page(
            m_pageBitmap, m_geometry, m_cells.Images(), m_topIndex, int(m_state.Thumb_List.size()),
            [this](int k) { return Is_Selected(k); }, m_state.HighLight_Mark);
    }
    THB_DSP->Show_Page(m_pageBitmap);
    Update_Status_Bar();
}

void TForm1::Update_Status_Bar()
{
    Image_Comment->clear();
    const QStringList& selection = m_state.Selection;
    if (selection.isEmpty()) {
        Selected_Item_Label->setText(m_state.Message(11) + QLatin1Char(' ') + m_state.Message(13));
    } else if (selection.size() == 1) {
        const int k = selection.first().toInt();
        // In recently-used mode the entry of the picture names its folder and comment.
        if (!m_state.Category_Mode)
            Image_Comment->setText(m_state.Picture_Comment);
        Selected_Item_Label->setText(m_state.Message(11) + QLatin1Char(' ') +
                                     m_state.Picture_Path(k));
    } else {
        Selected_Item_Label->setText(m_state.Message(12) + QLatin1Char(' ') +
                                     QString::number(selection.size()));
    }
    Selected_Item_Label->adjustSize();
    Image_Comment->adjustSize();
    Image_Comment->move(Status_Bar->width() - 5 - Image_Comment->width(),
                        (Status_Bar->height() - Image_Comment->height()) / 2);
    Selected_Item_Label->move(80, (Status_Bar->height() - Selected_Item_Label->height()) / 2);
}

void TForm1::Scroll_Change(int position)
{
    Close_Menu();
    if (m_pageBusy || m_scrollBusy)
        return;
    m_scrollBusy = true;
    m_topIndex = position * m_geometry.Cols;
    const int delta = position - m_lastScrollPos;
    if (std::abs(delta) <= 1) {
        Busy_Cursor busy;
        m_cells.Shift_Rows(delta, m_geometry.Cols, m_state.Thumb_List, m_topIndex);
    } else {
        Load_Thumbs();
    }
    m_lastScrollPos = position;
    Draw_Page();
    m_scrollBusy = false;
    Report_Unreadable();
}

void TForm1::Page_Step(int rows)
{
    if (m_menuOpen) {
        Close_Menu();
        return;
    }
    THB_Scroll->setValue(std::clamp(THB_Scroll->value() + rows, 0, THB_Scroll->maximum()));
}

void TForm1::Page_Pressed(QPoint point, bool ctrl)
{
    m_pressPoint = point;
    m_ctrlClick = ctrl;
}

void TForm1::Page_Click()
{
    if (m_menuOpen) {
        Close_Menu();
        return;
    }
    const int cell = m_geometry.Cell_At(m_pressPoint.x(), m_pressPoint.y());
    if (cell < 0)
        return;
    const int k = cell + m_topIndex;
    if (k >= m_state.Thumb_List.size())
        return;
    if (!m_ctrlClick)
        m_state.Selection.clear();
    m_lastToggleSelected = Toggle_Selection(k);
    Draw_Page();
}

void TForm1::Page_Double_Click()
{
    if (!m_lastToggleSelected)
        return;
    if (m_state.Selection.isEmpty()) {
        Message_Box(m_state.Message(17), Box_Type::Information);
    } else if (Open_Viewer) {
        Open_Viewer(int(m_state.Selection.size()) - 1);
    }
    Draw_Page();
}

bool TForm1::Page_Key(QKeyEvent* event)
{
    const int position = THB_Scroll->value();
    switch (event->key()) {
    case Qt::Key_Up:
        THB_Scroll->setValue(position - 1);
        return true;
    case Qt::Key_Down:
        THB_Scroll->setValue(position + 1);
        return true;
    case Qt::Key_PageUp:
        Page_Step(-m_geometry.Rows);
        return true;
    case Qt::Key_PageDown:
        Page_Step(m_geometry.Rows);
        return true;
    case Qt::Key_Home:
        THB_Scroll->setValue(0);
        return true;
    case Qt::Key_End:
        THB_Scroll->setValue(THB_Scroll->maximum());
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_state.Selection.isEmpty())
            Message_Box(m_state.Message(17), Box_Type::Information);
        else if (Open_Viewer)
            Open_Viewer(int(m_state.Selection.size()) - 1);
        Draw_Page();
        return true;
    default:
        break;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        Selection_List::Select_All(m_state.Selection, int(m_state.Thumb_List.size()));
        Draw_Page();
        return true;
    }
    return false;
}

void TForm1::Thumbnail_View()
{
    Cat_List_Panel->setVisible(!Cat_List_Panel->isVisibleTo(this));
    Action_Menu->move(-1000, Action_Menu->y());
    m_menuOpen = false;
    QString label;
    if (Cat_List_Panel->isVisibleTo(this)) {
        Action_Menu->Set_Entry_Height(
            Menu_View_Indices,
            m_state.Category_Mode ? Action_Menu->Entry(Menu_Recently_Used)->height() : 0);
        label = m_state.Message(5);
    } else {
        Action_Menu->Set_Entry_Height(Menu_View_Indices, 0);
        label = m_state.Message(m_state.Category_Mode ? 19 : 20);
    }
    Action_Menu->Entry(Menu_Thumbnail_View)->Label()->setText(label);
    Show_Category(Node_Entry(Cat_List->currentItem()), false, m_state.Category_Mode);
}

void TForm1::View_Indices()
{
    m_state.Show_Indices = !m_state.Show_Indices;
    Load_Catalogue();
    Action_Menu->Entry(Menu_View_Indices)
        ->Label()
        ->setText(m_state.Message(m_state.Show_Indices ? 68 : 69));
}

void TForm1::Manual_Click()
{
    QStringList manual;
    int dirs = 0;
    for (QTreeWidgetItem* node : Category_Nodes(Cat_List)) {
        const int entry = Node_Entry(node);
        Cat_List->setCurrentItem(node); // shows the category in category mode
        manual.append(QLatin1Char('%') + m_state.Catalogue.value(entry).Picture_Folder);
        ++dirs;
        for (int k = 0; k < m_state.Thumb_List.size(); ++k)
            manual.append(m_state.Picture_Path(k));
    }
    Message_Box(QStringLiteral("No Items: %1 No Dirs: %2").arg(manual.size()).arg(dirs),
                Box_Type::Information);
    m_state.Thumb_List = manual;
    m_state.Manual_Mode = true;
    // The print window prints the manual from here.
    Draw_Page();
}
