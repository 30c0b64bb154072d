#pragma once
// Profile files ("INI" files) with the rules Windows applies to them: sections and keys are
// found without regard to case and the first match wins; a value is trimmed of blanks and of
// one pair of enclosing quotes; integers are decimal, or hexadecimal after "0x" or "$", and a
// value that is not a number gives the default. Writing a key keeps every other line of the
// file and replaces the file atomically.

#include <QString>
#include <QStringList>

class Profile_File
{
public:
    explicit Profile_File(QString nativePath);

    const QString& Path() const { return m_path; }
    bool Exists() const;

    QString Read_String(const QString& section, const QString& key,
                        const QString& defaultValue) const;
    int Read_Integer(const QString& section, const QString& key, int defaultValue) const;
    // A switch is on only when its integer value is exactly 1.
    bool Read_Switch(const QString& section, const QString& key, int defaultValue) const
    {
        return Read_Integer(section, key, defaultValue) == 1;
    }
    // Every key of a section, in file order (first occurrence of each).
    QStringList Read_Keys(const QString& section) const;

    // Sets key=value in section (adding the section and key when missing). Returns false
    // with errorText() set when the file cannot be written; the old file is then unchanged.
    bool Write_String(const QString& section, const QString& key, const QString& value);
    bool Write_Integer(const QString& section, const QString& key, int value)
    {
        return Write_String(section, key, QString::number(value));
    }
    QString errorText() const { return m_error; }

    // Windows' integer rule on its own: decimal or 0x / $ hexadecimal, else the default.
    static int To_Integer(const QString& text, int defaultValue);

private:
    QStringList Lines() const;

    QString m_path;
    QString m_error;
};

namespace Platform {

// The settings file "<base name>.INI": beside the program when it is there (a portable
// install), else in the user's settings folder ($XDG_CONFIG_HOME, default ~/.config).
// Names are matched without regard to case. When neither exists the settings-folder path
// is returned, which is where a write creates it.
QString Settings_File_Path(const QString& nativeProgramDir, const QString& baseName);

} // namespace Platform
