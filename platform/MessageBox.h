#pragma once
// The platform's message boxes. Every box the program shows goes through Message_Box, so
// tests can install a script that records each box and answers it instead of showing it.

#include <QList>
#include <QString>
#include <functional>

class QWidget;

enum class Box_Type
{
    Warning,
    Error,
    Information
};
enum class Box_Buttons
{
    Ok,
    Ok_Cancel,
    Yes_No
};
enum class Box_Answer
{
    Ok,
    Cancel,
    Yes,
    No
};

// The caption of boxes shown without one of their own: the application's title.
void Set_Box_Caption(const QString& caption);

// Shows a modal box and returns the button pressed. An empty caption uses the application
// title. Closing the box with Escape or the window frame gives Cancel or No where there is
// such a button, else Ok.
Box_Answer Message_Box(const QString& text, Box_Type type, Box_Buttons buttons = Box_Buttons::Ok,
                       const QString& caption = {});

struct Recorded_Box
{
    QString text;
    QString caption;
    Box_Type type;
    Box_Buttons buttons;
};

// While an instance lives, boxes are recorded here and answered from the queue (the first
// button of the box when the queue is empty) instead of being shown.
class Message_Box_Script
{
public:
    Message_Box_Script();
    ~Message_Box_Script();
    Message_Box_Script(const Message_Box_Script&) = delete;
    Message_Box_Script& operator=(const Message_Box_Script&) = delete;

    void Answer(Box_Answer answer) { m_answers.append(answer); }
    // Called for each box (after recording it); lets a test act while the box is "open".
    void On_Box(std::function<void(const Recorded_Box&)> handler)
    {
        m_handler = std::move(handler);
    }

    const QList<Recorded_Box>& Boxes() const { return m_boxes; }
    QStringList Texts() const;
    void Clear() { m_boxes.clear(); }

private:
    friend Box_Answer Message_Box(const QString&, Box_Type, Box_Buttons, const QString&);
    Box_Answer Take(const Recorded_Box& box);

    QList<Recorded_Box> m_boxes;
    QList<Box_Answer> m_answers;
    std::function<void(const Recorded_Box&)> m_handler;
    Message_Box_Script* m_previous = nullptr;
};
