#pragma once
// Finding the file of a picture. A picture lies on the disc either as a file or, beside where
// the file would lie, inside an archive of the same name with the extension ".ZIP"; an
// archived picture is extracted into the scratch file "decomprs" + its extension in the
// program's folder, one scratch file per extension.
//
// Paths are in Windows form. The picture path of a picture index is
// Browser_State::Picture_Path(k).

#include <QString>

class QObject;

// The longest archive path and destination folder an extraction takes.
inline constexpr int Max_Retrieval_Path = 255;

// The fixed texts of a retrieval.
inline constexpr char Disk_Full_Text[] = "Disk Full. Image cannot be retrieved";
inline constexpr char Path_Too_Long_Text[] =
    "Path too long (more than 255 characters). Image cannot be retrieved";
// "Error retrieving image (Error: <result>)".
QString Retrieval_Error_Text(int result);

// Whether an archive member (its path relative to the program's folder, "/" between folders)
// may be written there: nothing inside the program's existing sub-folders, and no name that
// could replace a file of the program (executables, libraries, settings, language and marker
// files). Names that climb out of the folder are left to the archive library, which refuses
// the whole archive.
bool Extractable_Member(const QString& relativePath, const QString& nativeProgramDir);

// The picture path with its extension replaced by ".ZIP" (D:\CAT\PIC\ROSE.JPG ->
// D:\CAT\PIC\ROSE.ZIP).
QString Archive_Path(const QString& picturePath);
// programDir + "decomprs" + the extension of the picture path (C:\APP\decomprs.JPG).
QString Scratch_File(const QString& programDir, const QString& picturePath);

// The file to load for a picture: the picture path when a file lies there; otherwise, when
// its archive exists, the scratch file after the picture was retrieved into it (whether that
// worked or not); otherwise the picture path unchanged. programDir is the program's folder:
// it holds the archive library and receives the scratch file.
QString Resolve_Picture_File(const QString& picturePath, const QString& programDir,
                             QObject* owner = nullptr);

// Extracts every member of the archive into the folder of the scratch file and renames the
// member named like the archive with the scratch file's extension to the scratch file,
// replacing the one there. A failed extraction shows an information box and removes the
// scratch file, so that no earlier picture passes for this one. The archive library is loaded
// from programDir for the call; when that fails the program ends. owner parents the adapter
// for the duration of the call.
void Retrieve_Picture(QObject* owner, const QString& archivePath, const QString& scratchFile,
                      const QString& programDir);
