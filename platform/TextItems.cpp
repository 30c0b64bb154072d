#include "TextItems.h"

namespace {
bool Is_Blank(QChar c)
{
    return c.unicode() <= ' ';
}
} // namespace

bool Text_Items::Read_Number(int& value)
{
    while (m_next < m_lines.size()) {
        const QString& line = m_lines.at(m_next++);
        qsizetype i = 0;
        while (i < line.size() && Is_Blank(line.at(i)))
            ++i;
        if (i == line.size())
            continue; // empty or blank line before the number
        const qsizetype start = i;
        if (line.at(i) == QLatin1Char('-') || line.at(i) == QLatin1Char('+'))
            ++i;
        const qsizetype digits = i;
        while (i < line.size() && line.at(i).isDigit() && line.at(i).unicode() < 128)
            ++i;
        bool ok = i > digits;
        const qint64 v = ok ? line.mid(start, i - start).toLongLong(&ok) : 0;
        if (!ok || v < INT_MIN || v > INT_MAX) {
            m_error = QStringLiteral("line %1: a number was expected, found \"%2\"")
                          .arg(m_next)
                          .arg(line.trimmed().left(40));
            return false;
        }
        value = int(v);
        return true;
    }
    m_error = QStringLiteral("the file ends where a number was expected");
    return false;
}

bool Text_Items::Read_Line(QString& line)
{
    if (m_next >= m_lines.size()) {
        m_error = QStringLiteral("the file ends early (after line %1)").arg(m_lines.size());
        return false;
    }
    line = m_lines.at(m_next++);
    return true;
}
