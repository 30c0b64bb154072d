#pragma once
// Text banners a picture control can show instead of a picture: a ".SCM" file holds one
// message that moves leftward; a ".CMS" file holds lines that move upward one after the
// other. The banner moves one pixel on every (speed + 1)-th step message it receives.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>
#include <QStringList>

class QPainter;

// Window messages that step the banners (WM_USER + 1 and WM_USER + 2).
constexpr int Banner_Scroll_Message = 0x0400 + 1; // ".SCM": leftward
constexpr int Banner_Lines_Message = 0x0400 + 2;  // ".CMS": upward

struct Banner_Settings
{
    quint32 Font_Colour = 255; // Windows colour values: 0x00BBGGRR
    int Font_Height = -13;     // negative: character height in pixels
    QString Font_Name = QStringLiteral("SYSTEM");
    int Font_Size = 0;  // points; 0 until a file gives one
    QString Font_Style; // bold, italic, underline, strike-out as "1" or not; empty until given
    quint32 Back_Colour = 128;
    int Speed = 1;
    QString Message = QStringLiteral(" Invallid message format ! ");
};

// A Windows colour value as a colour.
QColor Windows_Colour(quint32 value);

// Applies the markers of a ".SCM" text to settings. Each value runs from its marker to the
// next marker of the fixed order; a value whose pair of markers is missing takes its default
// (the font size and style have none and stay), an empty or unreadable value changes nothing.
void Parse_Scroll_Banner(const QString& text, Banner_Settings& settings);

// Applies a ".CMS" text (at most 65527 bytes are read) to settings and returns its text
// lines: line 1 is skipped, lines 2 to 8 hold font colour, font height, font name, font size,
// style, background colour and speed (an empty or unreadable line changes nothing), the lines
// from 9 on are the text.
QStringList Parse_Line_Banner(const QByteArray& file, Banner_Settings& settings);
constexpr qsizetype Line_Banner_Max_Bytes = 65527;

// The font the settings describe, starting from base.
QFont Banner_Font(const Banner_Settings& settings, const QFont& base);

class Text_Banner
{
public:
    enum class Mode
    {
        None,
        Scroll, // ".SCM"
        Lines   // ".CMS"
    };

    // Starts a banner from a file's bytes. The settings carry over from banner to banner.
    void Start_Scroll(const QByteArray& file, const QFont& base);
    void Start_Lines(const QByteArray& file, const QFont& base);
    void Stop() { m_mode = Mode::None; }

    Mode Current_Mode() const { return m_mode; }
    bool Active() const { return m_mode != Mode::None; }
    const Banner_Settings& Settings() const { return m_settings; }
    // Pixels moved so far in the current pass; the line shown (".CMS").
    int Offset() const { return m_offset; }
    int Line() const { return m_line; }

    // Handles a step message; true when the banner moved.
    bool Step(int message, QSize client);
    // Draws the banner over the client rectangle.
    void Paint(QPainter& painter, QRect client) const;

private:
    void Render();

    Mode m_mode = Mode::None;
    Banner_Settings m_settings;
    QFont m_font;
    QStringList m_lines;
    int m_line = 0;
    int m_offset = 0;
    int m_messages = 0;
    QImage m_text; // the message or the current line, rendered
};
