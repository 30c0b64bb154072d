#pragma once
// The main window's action menu: eleven entry panels stacked from the top in a fixed order,
// each 175 x 32 with a 32 x 32 icon and a label. An entry of height 0 takes no room.

#include <QFrame>
#include <QList>
#include <QMouseEvent>

class QLabel;

// Entry numbers as the panels are named (Menu1 .. Menu11).
enum Menu_Command
{
    Menu_Zoom = 1,
    Menu_Save = 2,
    Menu_Print = 3,
    Menu_Thumbnail_View = 4,
    Menu_Notes = 5,
    Menu_Help = 6,
    Menu_Language = 7,
    Menu_Exit = 8,
    Menu_Clipboard = 9,
    Menu_Recently_Used = 10,
    Menu_View_Indices = 11,
};

// Top-to-bottom order of the panels.
inline constexpr int Menu_Order[11] = {
    Menu_Zoom,           Menu_Save,          Menu_Clipboard,    Menu_Print,
    Menu_Thumbnail_View, Menu_Recently_Used, Menu_View_Indices, Menu_Notes,
    Menu_Help,           Menu_Language,      Menu_Exit};

class Menu_Entry : public QFrame
{
    Q_OBJECT
public:
    Menu_Entry(int number, const QString& caption, QWidget* parent);
    int Number() const { return m_number; }
    QLabel* Label() const { return m_label; }
    void Set_Highlighted(bool on);

signals:
    void Hovered(int number);
    void Clicked(int number);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;

private:
    int m_number;
    QLabel* m_icon;
    QLabel* m_label;
};

class Action_Menu : public QFrame
{
    Q_OBJECT
public:
    explicit Action_Menu(QWidget* parent);

    Menu_Entry* Entry(int number) const { return m_entries.at(number - 1); }
    // Sets an entry's height (0 hides it) and restacks the entries below it.
    void Set_Entry_Height(int number, int height);
    // Places entry number right below entry `below` with the given height.
    void Restack();
    // Menu8's top + its height: the bottom of the last entry.
    int Entries_Bottom() const;

    int Hover_Item() const { return m_hover; }
    // Un-highlights the highlighted entry and highlights n (0: none).
    void Highlight(int n);

signals:
    void Command(int number);

protected:
    // Presses inside the menu belong to it, not to the window behind (which closes it).
    void mousePressEvent(QMouseEvent* event) override { event->accept(); }

private:
    QList<Menu_Entry*> m_entries; // by number - 1
    int m_hover = 0;
};

// The 32 x 32 icon of an entry and the picture of the menu button.
QPixmap Menu_Icon(int number);
QPixmap Menu_Button_Picture();
