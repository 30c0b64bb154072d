#include "Banner.h"

#include "AnsiText.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <climits>
#include <cstdlib>

namespace {

// A number as the banner files write it: decimal, or hexadecimal after "$" or "0x".
bool Read_Number(const QString& text, qint64& value)
{
    const QString t = text.trimmed();
    bool ok = false;
    if (t.startsWith(QLatin1Char('$')))
        value = t.mid(1).toLongLong(&ok, 16);
    else if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        value = t.mid(2).toLongLong(&ok, 16);
    else
        value = t.toLongLong(&ok, 10);
    return ok;
}

bool Read_Int(const QString& text, int& out)
{
    qint64 v = 0;
    if (!Read_Number(text, v) || v < INT_MIN || v > INT_MAX)
        return false;
    out = int(v);
    return true;
}

bool Read_Colour(const QString& text, quint32& out)
{
    qint64 v = 0;
    if (!Read_Number(text, v) || v < INT_MIN || v > UINT_MAX)
        return false;
    out = quint32(v);
    return true;
}

// The settings' fields in file order; each applies a non-empty value and restores its
// default (where it has one) when the file does not give it.
enum Field
{
    Font_Colour,
    Font_Height,
    Font_Name,
    Font_Size,
    Font_Style,
    Back_Colour,
    Speed,
    Message,
    Field_Count
};

void Apply(Field field, const QString& value, Banner_Settings& s)
{
    if (value.isEmpty())
        return;
    switch (field) {
    case Font_Colour:
        Read_Colour(value, s.Font_Colour);
        break;
    case Font_Height:
        Read_Int(value, s.Font_Height);
        break;
    case Font_Name:
        s.Font_Name = value;
        break;
    case Font_Size:
        Read_Int(value, s.Font_Size);
        break;
    case Font_Style:
        s.Font_Style = value;
        break;
    case Back_Colour:
        Read_Colour(value, s.Back_Colour);
        break;
    case Speed:
        Read_Int(value, s.Speed);
        break;
    case Message:
        s.Message = value;
        break;
    case Field_Count:
        break;
    }
}

void Restore_Default(Field field, Banner_Settings& s)
{
    const Banner_Settings defaults;
    switch (field) {
    case Font_Colour:
        s.Font_Colour = defaults.Font_Colour;
        break;
    case Font_Height:
        s.Font_Height = defaults.Font_Height;
        break;
    case Font_Name:
        s.Font_Name = defaults.Font_Name;
        break;
    case Back_Colour:
        s.Back_Colour = defaults.Back_Colour;
        break;
    case Speed:
        s.Speed = defaults.Speed;
        break;
    case Message:
        s.Message = defaults.Message;
        break;
    case Font_Size: // no default
    case Font_Style:
    case Field_Count:
        break;
    }
}

} // namespace

QColor Windows_Colour(quint32 value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

void Parse_Scroll_Banner(const QString& text, Banner_Settings& settings)
{
    static const char* const markers[Field_Count + 1] = {"/fc|", "/fh|", "/fn|", "/fs|", "/ft|",
                                                         "/bc|", "/sp|", "/sm|", "/eo|"};
    for (int f = 0; f < Field_Count; ++f) {
        const qsizetype start = text.indexOf(QLatin1String(markers[f]));
        const qsizetype from = start + 4;
        const qsizetype end = start < 0 ? -1 : text.indexOf(QLatin1String(markers[f + 1]), from);
        if (end < 0)
            Restore_Default(Field(f), settings);
        else
            Apply(Field(f), text.mid(from, end - from), settings);
    }
}

QStringList Parse_Line_Banner(const QByteArray& file, Banner_Settings& settings)
{
    const QStringList lines = Ansi::Split_Lines(Ansi::Decode(file.left(Line_Banner_Max_Bytes)));
    const Field order[7] = {Font_Colour, Font_Height, Font_Name, Font_Size,
                            Font_Style,  Back_Colour, Speed};
    for (int i = 0; i < 7; ++i)
        Apply(order[i], lines.value(i + 1), settings);
    return lines.mid(8);
}

QFont Banner_Font(const Banner_Settings& s, const QFont& base)
{
    QFont font = base;
    font.setFamily(s.Font_Name);
    if (s.Font_Height != 0)
        font.setPixelSize(std::clamp(std::abs(s.Font_Height), 1, 2000));
    if (s.Font_Size > 0)
        font.setPointSize(std::min(s.Font_Size, 1500));
    if (!s.Font_Style.isEmpty()) {
        auto on = [&](int i) {
            return i < s.Font_Style.size() && s.Font_Style.at(i) == QLatin1Char('1');
        };
        font.setBold(on(0));
        font.setItalic(on(1));
        font.setUnderline(on(2));
        font.setStrikeOut(on(3));
    }
    return font;
}

void Text_Banner::Start_Scroll(const QByteArray& file, const QFont& base)
{
    Parse_Scroll_Banner(Ansi::Decode(file), m_settings);
    m_lines = QStringList{m_settings.Message};
    m_mode = Mode::Scroll;
    m_font = Banner_Font(m_settings, base);
    m_line = m_offset = m_messages = 0;
    Render();
}

void Text_Banner::Start_Lines(const QByteArray& file, const QFont& base)
{
    m_lines = Parse_Line_Banner(file, m_settings);
    if (m_lines.isEmpty())
        m_lines = QStringList{m_settings.Message};
    m_mode = Mode::Lines;
    m_font = Banner_Font(m_settings, base);
    m_line = m_offset = m_messages = 0;
    Render();
}

void Text_Banner::Render()
{
    const QString text = m_mode == Mode::Lines
                             ? QLatin1Char(' ') + m_lines.value(m_line) + QLatin1Char(' ')
                             : m_lines.value(0);
    const QFontMetrics metrics(m_font);
    const QSize size(std::max(1, metrics.horizontalAdvance(text)), std::max(1, metrics.height()));
    m_text = QImage(size, QImage::Format_RGB32);
    m_text.fill(Windows_Colour(m_settings.Back_Colour));
    QPainter painter(&m_text);
    painter.setFont(m_font);
    painter.setPen(Windows_Colour(m_settings.Font_Colour));
    painter.drawText(0, metrics.ascent(), text);
}

bool Text_Banner::Step(int message, QSize client)
{
    const bool mine = (m_mode == Mode::Scroll && message == Banner_Scroll_Message) ||
                      (m_mode == Mode::Lines && message == Banner_Lines_Message);
    if (!mine)
        return false;
    // A speed below 0 moves on every message rather than dividing by zero.
    const int every = std::max(1, m_settings.Speed + 1);
    if (++m_messages % every != 0)
        return false;
    m_messages = 0;
    ++m_offset;
    if (m_mode == Mode::Scroll) {
        if (m_offset > client.width() + m_text.width())
            m_offset = 0;
    } else if (m_offset > client.height() + m_text.height()) {
        m_offset = 0;
        m_line = (m_line + 1) % int(m_lines.size());
        Render();
    }
    return true;
}

void Text_Banner::Paint(QPainter& painter, QRect client) const
{
    painter.fillRect(client, Windows_Colour(m_settings.Back_Colour));
    if (m_mode == Mode::Scroll)
        painter.drawImage(client.left() + client.width() - m_offset,
                          client.top() + (client.height() - m_text.height()) / 2, m_text);
    else if (m_mode == Mode::Lines)
        painter.drawImage(client.left() + (client.width() - m_text.width()) / 2,
                          client.top() + client.height() - m_offset, m_text);
}
