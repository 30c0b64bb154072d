#pragma once
// Sequential reader for the program's line-oriented text files (the catalogue and the
// language file). Two kinds of item exist: a number item is a decimal integer, with blanks
// and empty lines before it skipped and the rest of its line ignored; a line item is one
// whole line taken unchanged.

#include <QString>
#include <QStringList>

class Text_Items
{
public:
    explicit Text_Items(QStringList lines) : m_lines(std::move(lines)) {}

    // False when the text ends before a number or holds something else where a number
    // must stand; errorText() then says which.
    bool Read_Number(int& value);
    // False when the text has no more lines.
    bool Read_Line(QString& line);
    bool Skip_Line()
    {
        QString ignored;
        return Read_Line(ignored);
    }

    bool At_End() const { return m_next >= m_lines.size(); }
    QString errorText() const { return m_error; }

private:
    QStringList m_lines;
    qsizetype m_next = 0;
    QString m_error;
};
