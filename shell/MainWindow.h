#pragma once
// The main window: the category tree on the left, the thumbnail page on the right, the
// status bar with the action menu's button at the bottom.

#include "ActionMenu.h"
#include "BrowserState.h"

#include <QStringList>
#include <QWidget>

class QLabel;
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

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate(const Start_Options& options);
    void FormShow();
    void Create_Controls();
    void Apply_Language();
    void Give_Up();
    void Layout_Browser_Area();
    void Cat_List_Change(QTreeWidgetItem* current);
    void Close_Menu();
    void Menu_Button_Click();
    void Restore_And_Raise();

    Browser_State m_state;
    bool m_secondInstance = false;
    bool m_shown = false;
    bool m_menuOpen = false;
};
