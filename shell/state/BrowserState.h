#pragma once
// The process-wide state that start-up fills and every window reads. Plain data only: the
// windows get it by reference and change only what their commands own.

#include "DosPath.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

// One entry of the catalogue file, numbered by its position in the file.
struct Category_Record
{
    QString Picture_Folder; // relative to Data_Root, as written
    QString Thumb_Folder;   // Data_Root + the file's value for categories and entry 0
    QString Picture_Ext;    // as written, with or without the leading dot
    std::uint8_t CD_Number = 0;
};

// The switches of the settings section "Active" (true only when the value is exactly 1).
struct Active_Switches
{
    bool Print = true;
    bool Clipboard = true;
    bool RU_List = true;
    bool Copy = true;
    bool Help_Button = false;
    bool Help = true;
    bool Language = true;
    bool THB_View = true;
    bool Print_Cat = true;
    bool Print_Sel_Tile = true;
    bool Print_Sel_Page = true;
};

struct Browser_State
{
    // Folders, in Windows form with a trailing backslash.
    QString Program_Dir;
    QString CD_Root;
    QString Data_Root;
    QString RU_Dir; // Program_Dir + RU_Path as written (no separator added)
    int CD_Drive_Number = 0;

    // Language.
    int Lang_Index = 1;
    QStringList Lang_Strings; // messages of the current language, from 0
    int Lang_Count = 0;
    QList<QImage> Flag_Icons; // one per language, in file order
    QString Help_File;

    // What is on show.
    bool Category_Mode = false;
    QStringList Thumb_List; // full thumbnail paths; a picture index is a position here
    QStringList Selection;  // selected picture indices as decimal text
    QList<Category_Record> Catalogue;
    QString Picture_Dir;
    QString Picture_Ext;
    QString Picture_Comment;
    std::uint8_t Required_CD = 0;
    std::uint8_t Inserted_CD = 0;

    // Pictures named by the settings.
    QString Splash_File;
    QString CD_ID_File;
    QString About_File;
    QString Palette_File;
    bool Stretch = false;
    Active_Switches Active_Flags;
    QImage HighLight_Mark;
    QImage RU_Picture;

    bool Abort_Start = false;
    bool Show_Indices = false;
    bool Catalogue_Loading = false;
    bool Manual_Mode = false;

    // The picture file of picture index k: Picture_Dir + the thumbnail's file name with its
    // extension replaced by Picture_Ext (D:\CAT\THB\ROSE.BMP -> D:\CAT\PIC\ROSE.JPG).
    QString Picture_Path(int k) const
    {
        return Picture_Dir +
               Dos::Replace_Extension(Dos::File_Name(Thumb_List.value(k)), Picture_Ext);
    }

    // Message number n of the current language; an empty text for a number the table lacks
    // (start-up refuses a language file without the messages the program uses).
    QString Message(int n) const
    {
        return n >= 0 && n < Lang_Strings.size() ? Lang_Strings.at(n) : QString();
    }
};

// The largest catalogue the program takes, and the message numbers every language file
// must hold.
constexpr int Max_Catalogue_Entries = 700;
constexpr int Required_Messages = 70;
