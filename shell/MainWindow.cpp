#include "MainWindow.h"

#include "PageDisplay.h"

#include "CategoryTree.h"
#include "DosPath.h"
#include "Language.h"
#include "MessageBox.h"
#include "Profile.h"
#include "StandardError.h"
#include "StartUp.h"
#include "System.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

namespace {
constexpr int kStatusBarHeight = 25;
constexpr int kDesignClientWidth = 583;
constexpr int kDesignClientHeight = 401;
} // namespace

TForm1::TForm1(const Start_Options& options, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));
    Create_Controls();
    FormCreate(options);
}

TForm1::~TForm1() = default;

void TForm1::Create_Controls()
{
    setAutoFillBackground(true);
    resize(kDesignClientWidth, kDesignClientHeight);

    Cat_List_Panel = new QWidget(this);
    Cat_List_Panel->setObjectName(QStringLiteral("Cat_List_Panel"));
    Cat_List_Panel->setGeometry(8, 8, 212, 320);
    Cat_List = new QTreeWidget(Cat_List_Panel);
    Cat_List->setObjectName(QStringLiteral("Cat_List"));
    Cat_List->setGeometry(8, 8, 196, 300);
    Cat_List->setHeaderHidden(true);
    Cat_List->setIndentation(19);
    Cat_List->setIconSize(QSize(16, 16));
    Cat_List->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Cat_List->setRootIsDecorated(true);
    Cat_List->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Cat_List->header()->setStretchLastSection(false);
    Cat_List->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    connect(Cat_List, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { Cat_List_Change(current); });
    RU_Image = new QLabel(Cat_List_Panel);
    RU_Image->setObjectName(QStringLiteral("RU_Image"));
    RU_Image->hide();

    THB_Panel = new QWidget(this);
    THB_Panel->setObjectName(QStringLiteral("THB_Panel"));
    THB_Panel->setAutoFillBackground(true);
    QPalette silver = THB_Panel->palette();
    silver.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    THB_Panel->setPalette(silver);
    Create_Page_Controls();

    Status_Bar = new QFrame(this);
    Status_Bar->setObjectName(QStringLiteral("Status_Bar"));
    static_cast<QFrame*>(Status_Bar)->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Menu_Button = new QToolButton(Status_Bar);
    Menu_Button->setObjectName(QStringLiteral("Menu_Button"));
    Menu_Button->setGeometry(0, 0, 75, kStatusBarHeight);
    Menu_Button->setIcon(Menu_Button_Picture());
    Menu_Button->setIconSize(QSize(71, 21));
    Menu_Button->setFocusPolicy(Qt::NoFocus);
    connect(Menu_Button, &QToolButton::clicked, this, &TForm1::Menu_Button_Click);
    Selected_Item_Label = new QLabel(Status_Bar);
    Selected_Item_Label->setObjectName(QStringLiteral("Selected_Item_Label"));
    Selected_Item_Label->move(80, 5);
    Image_Comment = new QLabel(Status_Bar);
    Image_Comment->setObjectName(QStringLiteral("Image_Comment"));
    Image_Comment->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    Action_Menu = new ::Action_Menu(this);
    Action_Menu->move(-1000, 0);
    connect(Action_Menu, &Action_Menu::Command, this, &TForm1::Menu_Command);

    Manual = new QPushButton(QStringLiteral("Manual"), this);
    Manual->setObjectName(QStringLiteral("Manual"));
    Manual->setGeometry(0, 352, 75, 25);
    Manual->hide();
    connect(Manual, &QPushButton::clicked, this, &TForm1::Manual_Click);

    Kill_Timer = new QTimer(this);
    Kill_Timer->setObjectName(QStringLiteral("Kill_Timer"));
    Kill_Timer->setInterval(10);
    Kill_Timer->setSingleShot(true);
    connect(Kill_Timer, &QTimer::timeout, this, [this] {
        Kill_Timer->stop();
        close();
    });

    // Clicks on the tree panel, the tree, the status bar and its labels close the menu.
    for (QWidget* w :
         {static_cast<QWidget*>(Cat_List_Panel), Cat_List->viewport(), Status_Bar,
          static_cast<QWidget*>(Selected_Item_Label), static_cast<QWidget*>(Image_Comment)})
        w->installEventFilter(this);
}

void TForm1::FormCreate(const Start_Options& options)
{
    m_state.Show_Indices = false;
    m_state.Catalogue_Loading = false;
    m_state.Manual_Mode = false;
    if (Platform::Already_Running(QStringLiteral("SemaphoreName"),
                                  [this] { Restore_And_Raise(); })) {
        m_secondInstance = true;
        return;
    }
    Manual->setVisible(!options.Arguments.isEmpty() &&
                       options.Arguments.first().toUpper().contains(QLatin1Char('D')));

    try {
        Program_Location where = Program_Location::Of(options.Program_File);
        const Profile_File settings(where.Settings_File);
        Apply_Platform_Settings(settings);
        where = Program_Location::Of(options.Program_File); // the drive map may name its folder
        m_state.Program_Dir = where.Program_Dir;
        Action_Menu->move(-1000, 0);
        Action_Menu->resize(177, Action_Menu->Entries_Bottom() + 1);
        m_menuOpen = false;

        Read_Install_Paths(m_state, settings);
        QString error;
        if (!Load_Language(m_state, where.Language_File(), &error)) {
            Message_Box(error, Box_Type::Error, Box_Buttons::Ok, QStringLiteral("Orvinta"));
            Give_Up();
            return;
        }
        Apply_Language();
        // The application title: task bar text and the caption of the program's boxes.
        Set_Box_Caption(m_state.Message(0));
        setWindowTitle(m_state.Message(0));

        if (!Valid_CD_Root(m_state.CD_Root)) {
            Message_Box(m_state.Message(14), Box_Type::Error);
            Give_Up();
            return;
        }
        if (Check_CD(m_state, where.Base_Name) == CD_Check::Gave_Up) {
            Give_Up();
            return;
        }

        const Install_Pictures pictures = Read_Install_Rest(m_state, settings);
        m_state.HighLight_Mark = Load_Required_Bitmap(pictures.HighLight);
        Load_Required_Bitmap(pictures.Palette); // the palette picture must be readable
        m_state.RU_Picture = Load_Required_Bitmap(pictures.RU_Image);
        RU_Image->move(8, 8);
        RU_Image->resize(Cat_List->width(), Cat_List->height());
        RU_Image->hide();

        m_state.Active_Flags = Read_Active(settings);
        const Active_Switches& a = m_state.Active_Flags;
        const std::pair<bool, int> hidden[] = {{a.Print, Menu_Print},
                                               {a.Clipboard, Menu_Clipboard},
                                               {a.RU_List, Menu_Recently_Used},
                                               {a.Copy, Menu_Save},
                                               {a.Help, Menu_Help},
                                               {a.Language, Menu_Language},
                                               {a.THB_View, Menu_Thumbnail_View}};
        for (const auto& [on, entry] : hidden)
            if (!on)
                Action_Menu->Set_Entry_Height(entry, 0);

        m_state.Thumb_List.clear();
        m_state.Selection.clear();
        Load_Catalogue();
        Action_Menu->Set_Entry_Height(Menu_Notes, 0);
        m_state.Category_Mode = true;
    } catch (const std::exception& e) {
        Show_Standard_Error(e);
        Give_Up();
    }
}

void TForm1::Apply_Language()
{
    const std::pair<int, int> labels[] = {
        {Menu_Zoom, 1},      {Menu_Save, 2},           {Menu_Print, 3},
        {Menu_Clipboard, 4}, {Menu_Thumbnail_View, 5}, {Menu_Recently_Used, 6},
        {Menu_Notes, 7},     {Menu_Help, 8},           {Menu_Language, 9},
        {Menu_Exit, 10},     {Menu_View_Indices, 69}};
    for (const auto& [entry, message] : labels)
        Action_Menu->Entry(entry)->Label()->setText(m_state.Message(message));
    if (m_state.Lang_Count == 1)
        Action_Menu->Set_Entry_Height(Menu_Language, 0);
}

void TForm1::Give_Up()
{
    m_state.Abort_Start = true;
    Kill_Timer->start();
}

void TForm1::Load_Catalogue()
{
    m_state.Catalogue_Loading = true;
    Cat_List->clear();
    QCoreApplication::processEvents();
    m_state.Catalogue_Loading = false;
    const Catalogue_Tree tree =
        Load_Catalogue_File(m_state.Data_Root, m_state.Lang_Index, m_state.Show_Indices);
    m_state.Catalogue = tree.Records;
    Fill_Cat_List(Cat_List, tree);
}

void TForm1::Cat_List_Change(QTreeWidgetItem* current)
{
    if (!m_state.Category_Mode || m_state.Catalogue_Loading)
        return;
    const int entry = Node_Entry(current);
    if (entry < 0)
        return;
    Show_Category(entry, true, true);
}

void TForm1::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TForm1::FormShow()
{
    if (m_state.Abort_Start)
        return;
    m_state.Category_Mode = true;
}

void TForm1::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_state.Abort_Start)
        return;
    if (m_menuOpen)
        Close_Menu();
    // The window grows and shrinks in whole thumbnail cells.
    const QSize snapped = Snap_Client_Size(size());
    if (snapped != size()) {
        resize(snapped);
        if (size() != snapped)
            return; // the window system resizes later and sends a new notification
    }
    Status_Bar->setGeometry(0, height() - kStatusBarHeight, width(), kStatusBarHeight);
    Show_Category(Node_Entry(Cat_List->currentItem()), false, m_state.Category_Mode);
    Image_Comment->move(Status_Bar->width() - 5 - Image_Comment->width(), 5);
}

void TForm1::closeEvent(QCloseEvent* event)
{
    m_state.Thumb_List.clear();
    m_state.Selection.clear();
    m_state.Lang_Strings.clear();
    m_state.Flag_Icons.clear();
    m_state.HighLight_Mark = QImage();
    m_state.RU_Picture = QImage();
    event->accept();
}

void TForm1::mousePressEvent(QMouseEvent* event)
{
    Close_Menu();
    QWidget::mousePressEvent(event);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress && watched != THB_DSP)
        Close_Menu(); // the page's own click closes the menu and does nothing else
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && m_menuOpen) {
            Close_Menu();
            return true;
        }
        if (watched == THB_DSP && Page_Key(key))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TForm1::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && m_menuOpen) {
        Close_Menu();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TForm1::Close_Menu()
{
    if (!m_menuOpen)
        return;
    Action_Menu->move(-1000, Action_Menu->y());
    m_menuOpen = false;
}

void TForm1::Menu_Button_Click()
{
    Action_Menu->Highlight(0);
    if (!m_menuOpen) {
        const int h = Action_Menu->Entries_Bottom() + 2;
        Action_Menu->setGeometry(8, Status_Bar->y() - h, 177, h);
        Action_Menu->raise();
    } else {
        Action_Menu->move(-1000, Action_Menu->y());
    }
    m_menuOpen = !m_menuOpen;
}

void TForm1::Menu_Command(int number)
{
    switch (number) {
    case Menu_Thumbnail_View:
        Thumbnail_View();
        return;
    case Menu_Exit:
        close();
        return;
    case Menu_Recently_Used:
        Close_Menu(); // the recently-used mode switch closes the menu itself
        return;
    default:
        break;
    }
    Menu_Button_Click();
    switch (number) {
    case Menu_View_Indices:
        View_Indices();
        break;
    case Menu_Zoom:
        if (Open_Viewer) {
            Open_Viewer(0);
            Draw_Page();
        }
        break;
    default:
        // Save, Clipboard, Print, Notes, Help and Language open their windows here.
        break;
    }
}

void TForm1::Restore_And_Raise()
{
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}
