#include "ActionMenu.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {
const char* const kDesignCaptions[12] = {
    "",     "Zoom",     "Save", "Print",     "Thumbnail View", "Notes",
    "Help", "Language", "Exit", "Clipboard", "Recently Used",  "View Indices"};
}

Menu_Entry::Menu_Entry(int number, const QString& caption, QWidget* parent)
    : QFrame(parent), m_number(number)
{
    setObjectName(QStringLiteral("Menu%1").arg(number));
    setFrameShape(QFrame::NoFrame);
    setAutoFillBackground(true);
    setMouseTracking(true);
    setGeometry(0, 0, 175, 32);
    m_icon = new QLabel(this);
    m_icon->setGeometry(0, 0, 32, 32);
    m_icon->setAlignment(Qt::AlignCenter);
    m_icon->setPixmap(Menu_Icon(number));
    m_label = new QLabel(caption, this);
    m_label->setObjectName(QStringLiteral("Menu_Label%1").arg(number));
    m_label->move(40, 10);
    m_label->setFixedWidth(175 - 40 - 2);
    // The icon and label count as the entry for the mouse.
    m_icon->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_label->setAttribute(Qt::WA_TransparentForMouseEvents);
    Set_Highlighted(false);
}

void Menu_Entry::Set_Highlighted(bool on)
{
    QPalette pal = palette();
    const QPalette system = QApplication::palette();
    pal.setColor(QPalette::Window,
                 on ? system.color(QPalette::Highlight) : system.color(QPalette::Button));
    setPalette(pal);
    QPalette labelPal = m_label->palette();
    labelPal.setColor(QPalette::WindowText,
                      on ? system.color(QPalette::HighlightedText) : QColor(Qt::black));
    m_label->setPalette(labelPal);
}

void Menu_Entry::mouseMoveEvent(QMouseEvent* event)
{
    emit Hovered(m_number);
    QFrame::mouseMoveEvent(event);
}

void Menu_Entry::enterEvent(QEnterEvent* event)
{
    emit Hovered(m_number);
    QFrame::enterEvent(event);
}

void Menu_Entry::mousePressEvent(QMouseEvent* event)
{
    event->accept();
}

void Menu_Entry::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit Clicked(m_number);
    QFrame::mouseReleaseEvent(event);
}

Action_Menu::Action_Menu(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("Action_Menu"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setLineWidth(1);
    setAutoFillBackground(true);
    resize(177, 100);
    for (int n = 1; n <= 11; ++n) {
        auto* entry = new Menu_Entry(n, QString::fromLatin1(kDesignCaptions[n]), this);
        connect(entry, &Menu_Entry::Hovered, this, &Action_Menu::Highlight);
        connect(entry, &Menu_Entry::Clicked, this, &Action_Menu::Command);
        m_entries.append(entry);
    }
    Restack();
}

void Action_Menu::Set_Entry_Height(int number, int height)
{
    Entry(number)->resize(175, height);
    Restack();
}

void Action_Menu::Restack()
{
    int top = 1;
    for (int number : Menu_Order) {
        Menu_Entry* entry = Entry(number);
        entry->move(1, top);
        entry->setVisible(entry->height() > 0);
        top += entry->height();
    }
}

int Action_Menu::Entries_Bottom() const
{
    return Entry(Menu_Exit)->y() + Entry(Menu_Exit)->height();
}

void Action_Menu::Highlight(int n)
{
    if (m_hover == n)
        return;
    if (m_hover > 0)
        Entry(m_hover)->Set_Highlighted(false);
    m_hover = n;
    if (n > 0)
        Entry(n)->Set_Highlighted(true);
}
