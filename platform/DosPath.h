#pragma once
// Paths inside the program are Windows-form strings ("D:\CAT\PIC\ROSE.JPG"), so that every
// string rule works as the disc's own names expect. This is the one place that maps them to
// native paths: a drive letter names a native folder (the drive map), and each component is
// matched without regard to case, as discs made on Windows need (an exact match wins).

#include <QFile>
#include <QHash>
#include <QString>

namespace Dos {

// The extension: the part from the last "." that stands after the last "\" or ":",
// dot included; empty when there is none.
QString Extension(const QString& path);
// Cuts the path at its extension's dot and appends ext; appends ext when there is none.
QString Replace_Extension(const QString& path, const QString& ext);
// The part after the last "\" or ":".
QString File_Name(const QString& path);
// The part up to and including the last "\" or ":" (empty when there is none).
QString Folder(const QString& path);
// Appends a backslash unless the text already ends in one.
QString With_Backslash(const QString& folder);

} // namespace Dos

class Drive_Map
{
public:
    // Z: is the native root and C: the user's home folder until mapped otherwise.
    Drive_Map();

    void Map(QChar letter, const QString& nativeFolder);
    void Unmap(QChar letter);
    // The native folder of a drive letter, or an empty string when it is not mapped.
    QString Folder_Of(QChar letter) const;

    // The native path for a Windows-form path. Components are resolved without regard to
    // case in the existing folders; the remainder of a path that does not exist is kept as
    // written. A path without a drive letter is taken relative to the native root. Returns an
    // empty string for a drive that is not mapped.
    QString To_Native(const QString& dosPath) const;
    // The Windows-form path of a native absolute path: the mapped folder that holds it with
    // the longest name gives the drive letter.
    QString To_Dos(const QString& nativePath) const;
    // The native path with the components joined as written, without looking at the folders.
    QString Direct_Native(const QString& dosPath) const;

private:
    QHash<QChar, QString> m_folders; // upper-case letter -> native folder without trailing '/'
};

namespace Platform {

// The process-wide drive map used by the functions below.
Drive_Map& Drives();

QString Native_Path(const QString& dosPath);
QString Dos_Path(const QString& nativePath);
// Opens the file at a Windows-form path for reading: the path as written first (no lookup
// in the folders when the names match exactly), then resolved without regard to case.
bool Open_For_Reading(const QString& dosPath, QFile& file);
// True when an ordinary file (not a folder) exists at the path.
bool File_Exists(const QString& dosPath);
bool Folder_Exists(const QString& dosPath);

} // namespace Platform
