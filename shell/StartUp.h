#pragma once
// The start-up steps that need no window: reading the settings file, deriving the folders of
// the browser state, and the check that the product's disc is in the drive.

#include "BrowserState.h"

#include <QString>

class Profile_File;

// Where the program's own files are: its folder and its file's base name ("orvinta").
struct Program_Location
{
    QString Program_Dir; // Windows form, trailing backslash
    QString Base_Name;
    QString Settings_File; // native path of the settings file

    static Program_Location Of(const QString& nativeProgramFile);
    // The language file: the program's path with its extension replaced by ".LNG".
    QString Language_File() const;
};

// Applies the settings' [Drives] map and code page; they must be in force before any other
// path or text is read.
void Apply_Platform_Settings(const Profile_File& settings);

// Reads CD_Drive, Lang, RU_Path and Data_Path and derives CD_Root (not yet upper-cased),
// Lang_Index, RU_Dir and Data_Root.
void Read_Install_Paths(Browser_State& state, const Profile_File& settings);

// True when CD_Root is a drive letter followed by ":\".
bool Valid_CD_Root(const QString& cdRoot);

enum class CD_Check
{
    Accepted,
    Gave_Up
};

// Upper-cases CD_Root, sets CD_Drive_Number and asks until the product's disc is in the
// drive or the user gives up (message boxes from Lang_Strings).
CD_Check Check_CD(Browser_State& state, const QString& programBaseName);

// The rest of "Install" that depends on the disc: Splash_File, CD_ID_File, Stretch,
// Palette_File, About_File, and the names of the highlight mark and recently-used picture.
struct Install_Pictures
{
    QString HighLight; // Data_Root + HighLight
    QString RU_Image;  // Data_Root + RU_Image
    QString Palette;   // Data_Root + Palette
};
Install_Pictures Read_Install_Rest(Browser_State& state, const Profile_File& settings);

// Section "Active".
Active_Switches Read_Active(const Profile_File& settings);

// Loads a bitmap the settings name; throws Standard_Error when it cannot be read.
QImage Load_Required_Bitmap(const QString& dosPath);
