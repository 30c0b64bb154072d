#include "DosPath.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace Dos {
namespace {
qsizetype Last_Separator(const QString& path)
{
    return std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char(':')));
}
} // namespace

QString Extension(const QString& path)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot < Last_Separator(path))
        return {};
    return path.mid(dot);
}

QString Replace_Extension(const QString& path, const QString& ext)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot < Last_Separator(path))
        return path + ext;
    return path.left(dot) + ext;
}

QString File_Name(const QString& path)
{
    return path.mid(Last_Separator(path) + 1);
}

QString Folder(const QString& path)
{
    return path.left(Last_Separator(path) + 1);
}

QString With_Backslash(const QString& folder)
{
    return folder.endsWith(QLatin1Char('\\')) ? folder : folder + QLatin1Char('\\');
}

} // namespace Dos

namespace {

QString Strip_Slash(QString folder)
{
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}

// Finds the entry of folder whose name matches name: the exact name when it exists, else
// the first match without regard to case in name order (so the choice is repeatable).
QString Match_Entry(const QString& folder, const QString& name)
{
    const QString exact = folder == QLatin1String("/") ? folder + name : folder + '/' + name;
    if (QFileInfo::exists(exact))
        return exact;
    QDir dir(folder);
    const QStringList entries = dir.entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return folder == QLatin1String("/") ? folder + entry : folder + '/' + entry;
    }
    return {};
}

} // namespace

Drive_Map::Drive_Map()
{
    Map(QLatin1Char('Z'), QStringLiteral("/"));
    Map(QLatin1Char('C'), QDir::homePath());
}

void Drive_Map::Map(QChar letter, const QString& nativeFolder)
{
    m_folders.insert(letter.toUpper(), Strip_Slash(QDir::cleanPath(nativeFolder)));
}

void Drive_Map::Unmap(QChar letter)
{
    m_folders.remove(letter.toUpper());
}

QString Drive_Map::Folder_Of(QChar letter) const
{
    return m_folders.value(letter.toUpper());
}

QString Drive_Map::Direct_Native(const QString& dosPath) const
{
    QString rest = dosPath;
    QString base = QStringLiteral("/");
    if (rest.size() >= 2 && rest.at(1) == QLatin1Char(':') && rest.at(0).isLetter()) {
        base = Folder_Of(rest.at(0));
        if (base.isEmpty())
            return {};
        rest = rest.mid(2);
    }
    rest.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (rest.startsWith(QLatin1Char('/')))
        rest.remove(0, 1);
    return base.endsWith(QLatin1Char('/')) ? base + rest : base + QLatin1Char('/') + rest;
}

QString Drive_Map::To_Native(const QString& dosPath) const
{
    QString rest = dosPath;
    QString base = QStringLiteral("/");
    if (rest.size() >= 2 && rest.at(1) == QLatin1Char(':') && rest.at(0).isLetter()) {
        base = Folder_Of(rest.at(0));
        if (base.isEmpty())
            return {};
        rest = rest.mid(2);
    }
    rest.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QStringList parts = rest.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    const bool trailing = rest.endsWith(QLatin1Char('/'));

    // Fast path: the path exists as written.
    QString direct = base;
    for (const QString& part : parts)
        direct += (direct.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/")) + part;
    if (QFileInfo::exists(direct) || parts.isEmpty())
        return trailing && !direct.endsWith(QLatin1Char('/')) ? direct + '/' : direct;

    QString current = base;
    qsizetype i = 0;
    for (; i < parts.size(); ++i) {
        const QString& part = parts.at(i);
        if (part == QLatin1String(".") || part == QLatin1String(".."))
            break;
        const QString found = Match_Entry(current, part);
        if (found.isEmpty())
            break;
        current = found;
    }
    for (; i < parts.size(); ++i)
        current +=
            (current.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/")) + parts.at(i);
    return trailing ? current + '/' : current;
}

QString Drive_Map::To_Dos(const QString& nativePath) const
{
    const QString path = QDir::cleanPath(nativePath);
    QChar best;
    qsizetype bestLength = -1;
    for (auto it = m_folders.constBegin(); it != m_folders.constEnd(); ++it) {
        const QString& folder = it.value();
        const bool inside = folder == QLatin1String("/")
                                ? path.startsWith(QLatin1Char('/'))
                                : (path == folder || path.startsWith(folder + '/'));
        if (inside && folder.size() > bestLength) {
            best = it.key();
            bestLength = folder.size();
        }
    }
    if (bestLength < 0)
        return {};
    const QString folder = m_folders.value(best);
    QString rest = folder == QLatin1String("/") ? path.mid(1) : path.mid(folder.size() + 1);
    rest.replace(QLatin1Char('/'), QLatin1Char('\\'));
    if (nativePath.endsWith(QLatin1Char('/')) && !rest.isEmpty())
        rest += QLatin1Char('\\');
    return QString(best) + QStringLiteral(":\\") + rest;
}

namespace Platform {

Drive_Map& Drives()
{
    static Drive_Map map;
    return map;
}

QString Native_Path(const QString& dosPath)
{
    return Drives().To_Native(dosPath);
}

QString Dos_Path(const QString& nativePath)
{
    return Drives().To_Dos(nativePath);
}

bool Open_For_Reading(const QString& dosPath, QFile& file)
{
    const QString direct = Drives().Direct_Native(dosPath);
    if (direct.isEmpty())
        return false;
    file.setFileName(direct);
    if (file.open(QIODevice::ReadOnly))
        return true;
    const QString resolved = Native_Path(dosPath);
    if (resolved.isEmpty() || resolved == direct)
        return false;
    file.setFileName(resolved);
    return file.open(QIODevice::ReadOnly);
}

bool File_Exists(const QString& dosPath)
{
    const QString native = Native_Path(dosPath);
    return !native.isEmpty() && QFileInfo(native).isFile();
}

bool Folder_Exists(const QString& dosPath)
{
    const QString native = Native_Path(dosPath);
    return !native.isEmpty() && QFileInfo(native).isDir();
}

} // namespace Platform
