#include "Profile.h"

#include "AnsiText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

bool Is_Section_Line(const QString& trimmed, QString* name)
{
    if (!trimmed.startsWith(QLatin1Char('[')))
        return false;
    const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
    if (close < 0)
        return false;
    if (name)
        *name = trimmed.mid(1, close - 1).trimmed();
    return true;
}

// Splits "key = value"; false for lines without '=' and for comments.
bool Split_Key(const QString& line, QString* key, QString* value)
{
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';')))
        return false;
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return false;
    *key = line.left(eq).trimmed();
    QString v = line.mid(eq + 1).trimmed();
    if (v.size() >= 2 &&
        ((v.startsWith('"') && v.endsWith('"')) || (v.startsWith('\'') && v.endsWith('\''))))
        v = v.mid(1, v.size() - 2);
    *value = v;
    return true;
}

} // namespace

Profile_File::Profile_File(QString nativePath) : m_path(std::move(nativePath)) {}

bool Profile_File::Exists() const
{
    return QFileInfo(m_path).isFile();
}

QStringList Profile_File::Lines() const
{
    QFile f(m_path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return Ansi::Split_Lines(Ansi::Decode(f.readAll()));
}

QString Profile_File::Read_String(const QString& section, const QString& key,
                                  const QString& defaultValue) const
{
    bool inSection = false;
    for (const QString& line : Lines()) {
        QString name;
        if (Is_Section_Line(line.trimmed(), &name)) {
            if (inSection)
                break; // the first matching section is the one that counts
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        QString k, v;
        if (inSection && Split_Key(line, &k, &v) && k.compare(key, Qt::CaseInsensitive) == 0)
            return v;
    }
    return defaultValue;
}

int Profile_File::To_Integer(const QString& text, int defaultValue)
{
    QString t = text.trimmed();
    bool negative = false;
    if (t.startsWith(QLatin1Char('-')) || t.startsWith(QLatin1Char('+'))) {
        negative = t.startsWith(QLatin1Char('-'));
        t = t.mid(1);
    }
    int base = 10;
    if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        base = 16;
        t = t.mid(2);
    } else if (t.startsWith(QLatin1Char('$'))) {
        base = 16;
        t = t.mid(1);
    }
    if (t.isEmpty())
        return defaultValue;
    for (QChar c : t) {
        const bool digit =
            base == 10 ? (c >= '0' && c <= '9') : QString("0123456789abcdefABCDEF").contains(c);
        if (!digit)
            return defaultValue;
    }
    bool ok = false;
    const qint64 v = t.toLongLong(&ok, base);
    if (!ok)
        return defaultValue;
    const qint64 signedValue = negative ? -v : v;
    if (base == 16 && !negative && v <= 0xFFFFFFFFLL)
        return int(quint32(v)); // hexadecimal values fill all 32 bits, as Windows reads them
    if (signedValue < INT_MIN || signedValue > INT_MAX)
        return defaultValue;
    return int(signedValue);
}

int Profile_File::Read_Integer(const QString& section, const QString& key, int defaultValue) const
{
    const QString marker = QStringLiteral("\x01<absent>");
    const QString text = Read_String(section, key, marker);
    if (text == marker)
        return defaultValue;
    return To_Integer(text, defaultValue);
}

QStringList Profile_File::Read_Keys(const QString& section) const
{
    QStringList keys;
    bool inSection = false;
    for (const QString& line : Lines()) {
        QString name;
        if (Is_Section_Line(line.trimmed(), &name)) {
            if (inSection)
                break;
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        QString k, v;
        if (inSection && Split_Key(line, &k, &v) && !keys.contains(k, Qt::CaseInsensitive))
            keys.append(k);
    }
    return keys;
}

bool Profile_File::Write_String(const QString& section, const QString& key, const QString& value)
{
    QStringList lines = Lines();
    const QString entry = key + QLatin1Char('=') + value;
    qsizetype sectionStart = -1; // index of the first line after the section header
    qsizetype sectionEnd = -1;   // index after the section's last key line
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString name;
        if (Is_Section_Line(lines.at(i).trimmed(), &name)) {
            if (sectionStart >= 0)
                break;
            if (name.compare(section, Qt::CaseInsensitive) == 0)
                sectionStart = sectionEnd = i + 1;
            continue;
        }
        if (sectionStart < 0)
            continue;
        QString k, v;
        if (Split_Key(lines.at(i), &k, &v)) {
            if (k.compare(key, Qt::CaseInsensitive) == 0) {
                lines[i] = entry;
                sectionEnd = -2; // replaced in place
                break;
            }
            sectionEnd = i + 1;
        }
    }
    if (sectionStart < 0) {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines.append(QString());
        lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        lines.append(entry);
    } else if (sectionEnd >= 0) {
        lines.insert(sectionEnd, entry);
    }

    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QSaveFile out(m_path);
    if (!out.open(QIODevice::WriteOnly)) {
        m_error = out.errorString();
        return false;
    }
    out.write(Ansi::Encode(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
    if (!out.commit()) {
        m_error = out.errorString();
        return false;
    }
    return true;
}

namespace Platform {

namespace {
QString Find_In(const QString& folder, const QString& fileName)
{
    QDir dir(folder);
    if (!dir.exists())
        return {};
    if (QFileInfo(dir.filePath(fileName)).isFile())
        return dir.filePath(fileName);
    for (const QString& entry : dir.entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
        if (entry.compare(fileName, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    }
    return {};
}
} // namespace

QString Settings_File_Path(const QString& nativeProgramDir, const QString& baseName)
{
    const QString fileName = baseName + QStringLiteral(".INI");
    const QString beside = Find_In(nativeProgramDir, fileName);
    if (!beside.isEmpty())
        return beside;
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = QDir::homePath() + QStringLiteral("/.config");
    const QString found = Find_In(config, fileName);
    return found.isEmpty() ? QDir(config).filePath(fileName) : found;
}

} // namespace Platform
