#include "MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QStringList>

namespace {
Message_Box_Script* g_script = nullptr;
QString g_caption;
} // namespace

void Set_Box_Caption(const QString& caption)
{
    g_caption = caption;
}

Message_Box_Script::Message_Box_Script() : m_previous(g_script)
{
    g_script = this;
}

Message_Box_Script::~Message_Box_Script()
{
    g_script = m_previous;
}

QStringList Message_Box_Script::Texts() const
{
    QStringList texts;
    for (const Recorded_Box& box : m_boxes)
        texts.append(box.text);
    return texts;
}

Box_Answer Message_Box_Script::Take(const Recorded_Box& box)
{
    m_boxes.append(box);
    if (m_handler)
        m_handler(box);
    if (!m_answers.isEmpty())
        return m_answers.takeFirst();
    return box.buttons == Box_Buttons::Yes_No ? Box_Answer::Yes : Box_Answer::Ok;
}

Box_Answer Message_Box(const QString& text, Box_Type type, Box_Buttons buttons,
                       const QString& caption)
{
    const QString title = !caption.isEmpty()     ? caption
                          : !g_caption.isEmpty() ? g_caption
                                                 : QGuiApplication::applicationName();
    if (g_script)
        return g_script->Take({text, title, type, buttons});

    QMessageBox::Icon icon = QMessageBox::Information;
    if (type == Box_Type::Warning)
        icon = QMessageBox::Warning;
    else if (type == Box_Type::Error)
        icon = QMessageBox::Critical;
    QMessageBox::StandardButtons standard = QMessageBox::Ok;
    QMessageBox::StandardButton escape = QMessageBox::Ok;
    if (buttons == Box_Buttons::Ok_Cancel) {
        standard = QMessageBox::Ok | QMessageBox::Cancel;
        escape = QMessageBox::Cancel;
    } else if (buttons == Box_Buttons::Yes_No) {
        standard = QMessageBox::Yes | QMessageBox::No;
        escape = QMessageBox::No;
    }
    QMessageBox box(icon, title, text, standard, QApplication::activeWindow());
    box.setEscapeButton(escape);
    switch (box.exec()) {
    case QMessageBox::Cancel:
        return Box_Answer::Cancel;
    case QMessageBox::Yes:
        return Box_Answer::Yes;
    case QMessageBox::No:
        return Box_Answer::No;
    case QMessageBox::Ok:
        return Box_Answer::Ok;
    default:
        return buttons == Box_Buttons::Ok_Cancel ? Box_Answer::Cancel
               : buttons == Box_Buttons::Yes_No  ? Box_Answer::No
                                                 : Box_Answer::Ok;
    }
}
