#include "Retrieval.h"

#include "DosPath.h"
#include "DynaLibU.h"
#include "MessageBox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QByteArray Native_Text(const QString& dosPath)
{
    return QFile::encodeName(Platform::Native_Path(dosPath));
}

void Remove_File(const QString& dosPath)
{
    if (Platform::File_Exists(dosPath))
        QFile::remove(Platform::Native_Path(dosPath));
}

// Files copied from a disc carry no write permission; the scratch file must be replaceable.
void Clear_Read_Only(const QString& nativePath)
{
    QFile file(nativePath);
    file.setPermissions(file.permissions() | QFileDevice::WriteOwner | QFileDevice::WriteUser);
}

bool Same_File(const QString& nativeA, const QString& nativeB)
{
    const QString a = QFileInfo(nativeA).canonicalFilePath();
    return !a.isEmpty() && a == QFileInfo(nativeB).canonicalFilePath();
}

// After a successful extraction: the member named like the archive with the scratch file's
// extension becomes the scratch file.
void Take_Extracted_Picture(const QString& archivePath, const QString& scratchFile)
{
    const QString extracted =
        Dos::Folder(scratchFile) +
        Dos::Replace_Extension(Dos::File_Name(archivePath), Dos::Extension(scratchFile));
    const QString nativeExtracted = Platform::Native_Path(extracted);
    if (Platform::File_Exists(extracted) &&
        Same_File(nativeExtracted, Platform::Native_Path(scratchFile))) {
        // The archive is named like the scratch file: the picture was extracted onto it.
        Clear_Read_Only(nativeExtracted);
        return;
    }
    Remove_File(scratchFile);
    if (!Platform::File_Exists(extracted))
        return; // the archive held the picture under another name: no scratch file now
    Clear_Read_Only(nativeExtracted);
    QFile::rename(nativeExtracted, Platform::Native_Path(scratchFile));
}

} // namespace

bool Extractable_Member(const QString& relativePath, const QString& nativeProgramDir)
{
    // Archives come from the disc, but their members land in the program's own folder: a
    // member must not replace the program, its libraries, its settings, its language file or
    // anything in its own sub-folders (the flags, the recently-used list).
    QString path = relativePath;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    // Names that climb out are the archive library's to refuse, with its own result.
    if (path.startsWith(QLatin1Char('/')) || path.contains(QLatin1Char(':')) ||
        parts.contains(QStringLiteral("..")))
        return true;
    if (parts.size() > 1) {
        const QFileInfo first(QDir(nativeProgramDir).filePath(parts.first()));
        if (first.isSymLink())
            return true; // likewise: the library refuses what resolves outside
        if (first.exists())
            return false; // one of the program's own folders
    }
    const QString ext = Dos::Extension(parts.value(parts.size() - 1)).toUpper();
    if (ext.size() < 2)
        return false; // no extension: the program files themselves carry none here
    static const QStringList programKinds{".SO", ".DLL", ".EXE", ".INI", ".LNG", ".ID"};
    return !programKinds.contains(ext) &&
           !path.contains(QLatin1String(".so."), Qt::CaseInsensitive);
}

QString Retrieval_Error_Text(int result)
{
    return QStringLiteral("Error retrieving image (Error: %1)").arg(result);
}

QString Archive_Path(const QString& picturePath)
{
    return Dos::Replace_Extension(picturePath, QStringLiteral(".ZIP"));
}

QString Scratch_File(const QString& programDir, const QString& picturePath)
{
    return programDir + QStringLiteral("decomprs") + Dos::Extension(picturePath);
}

QString Resolve_Picture_File(const QString& picturePath, const QString& programDir, QObject* owner)
{
    if (Platform::File_Exists(picturePath))
        return picturePath;
    const QString archive = Archive_Path(picturePath);
    if (!Platform::File_Exists(archive))
        return picturePath;
    const QString scratch = Scratch_File(programDir, picturePath);
    Retrieve_Picture(owner, archive, scratch, programDir);
    return scratch;
}

void Retrieve_Picture(QObject* owner, const QString& archivePath, const QString& scratchFile,
                      const QString& programDir)
{
    const QString destination = Dos::Folder(scratchFile);
    if (archivePath.size() > Max_Retrieval_Path || destination.size() > Max_Retrieval_Path) {
        Message_Box(QString::fromLatin1(Path_Too_Long_Text), Box_Type::Information,
                    Box_Buttons::Ok);
        Remove_File(scratchFile);
        return;
    }

    TUnzipFile unzip(programDir, owner);
    if (!unzip.Loaded())
        return; // only when the program's ending was replaced (tests)
    unzip.Set_Options({TUnzipFlag::OverWriteFlag, TUnzipFlag::QuietFlag});
    unzip.lpszZipFile()->SetText(Native_Text(archivePath));
    unzip.lpszFileSpec()->SetText("*.*");
    unzip.lpszDestination()->SetText(Native_Text(destination));
    const QString nativeProgramDir = Platform::Native_Path(programDir);
    unzip.OnRenameCallback = [nativeProgramDir](PDZRename rename) {
        if (!Extractable_Member(QFile::decodeName(rename->newName), nativeProgramDir))
            rename->newName[0] = '\0'; // skipped
    };

    if (unzip.Unzip_Execute(DUNZIP_ACTION_EXTRACT)) {
        Take_Extracted_Picture(archivePath, scratchFile);
        return;
    }
    const int result = unzip.Unzip_Result();
    const QString message = result == DUNZIP_DISK_FULL ? QString::fromLatin1(Disk_Full_Text)
                                                       : Retrieval_Error_Text(result);
    // Whatever lay in the scratch file belongs to an earlier picture: the caller must not
    // show it under this picture's name.
    Remove_File(scratchFile);
    Message_Box(message, Box_Type::Information, Box_Buttons::Ok);
}
