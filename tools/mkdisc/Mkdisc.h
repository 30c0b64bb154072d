#pragma once
// Writes disc folders for the demo and for tests: the catalogue "Cats.txt", the disc
// identification files, thumbnail folders of 100 x 80 bitmaps, pictures (some only inside
// a ZIP archive of the same name) and the pictures the settings name; and the program's own
// files beside a program folder (language file, flag icons, settings file).

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

namespace Mkdisc {

struct Picture_Spec
{
    QString Name;          // base name, e.g. "ROSE"
    bool Archived = false; // only inside Name + ".ZIP" beside where the picture would be
};

struct Entry_Spec
{
    bool Leaf = true;
    QString Kind;           // written kind; empty: "LEAF" or "HEADING"
    QStringList Names;      // one per language, with number prefixes ("12. Animals")
    QString Picture_Folder; // relative to the disc root, as written in the catalogue
    QString Thumb_Folder;
    QString Picture_Ext; // as written (".JPG" or "jpg")
    int CD_Number = 1;
    QList<Picture_Spec> Pictures;
};

struct Disc_Spec
{
    int Languages = 3;
    int CD_Number = 1;                           // first number of CD.ID
    QString Product = QStringLiteral("orvinta"); // the marker file is Product + ".ID"
    bool Write_Marker = true;
    bool Write_CD_ID = true;
    QList<Entry_Spec> Entries; // entry 0 first (always a heading)
    QSize Picture_Size{480, 360};
};

// A small disc: entry 0, one heading, and one category per count in pictureCounts (pictures
// named P000, P001, ... as JPEG).
Disc_Spec Small_Disc(const QList<int>& pictureCounts);
// The demo disc: several headings and categories in three languages, every format.
Disc_Spec Demo_Disc();

// Writes the disc into folder (created when missing). False with a text on failure.
bool Write_Disc(const QString& folder, const Disc_Spec& spec, QString* error);

// Writes the catalogue text of a spec (CR LF line ends, code page 1252).
QByteArray Catalogue_Text(const Disc_Spec& spec);

struct Program_Files_Spec
{
    QString Base_Name = QStringLiteral("orvinta");
    int Languages = 3;         // 1 to 3 of English, German, French
    int Messages = 70;         // how many messages the language file holds
    QString Disc_Folder;       // native folder mapped as drive D:
    bool Keep_Settings = true; // an existing settings file keeps its values
};

// Writes <Base_Name>.LNG, Flags\*.ICO, the recently-used folder and <Base_Name>.INI into
// programFolder.
bool Write_Program_Files(const QString& programFolder, const Program_Files_Spec& spec,
                         QString* error);

// A whole installation for tests and benchmarks: root + "/disc" receives the disc, root +
// "/program" the program's own files with the disc mapped as drive D:. Returns the native
// path the program file would have there (root + "/program/" + base name), or an empty
// string with a text on failure.
QString Write_Installation(const QString& root, const Disc_Spec& disc, Program_Files_Spec files,
                           QString* error);

// The language file text for the first `languages` languages.
QByteArray Language_File_Text(int languages, int messages);
// Message texts: index 0..69 in language 0 (English), 1 (German), 2 (French).
QString Message_Text(int message, int language);

// Pictures drawn by our own code.
QImage Draw_Picture(const QString& name, QSize size, int style);
QImage Draw_Thumbnail(const QImage& picture); // fits into 100 x 80
QImage Draw_Flag(int language);               // 32 x 32
QImage Draw_Highlight_Mark();                 // 110 x 90
QImage Draw_Banner(const QString& title, const QString& subtitle, QSize size, int style);

} // namespace Mkdisc
