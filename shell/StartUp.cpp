#include "StartUp.h"

#include "AnsiText.h"
#include "DosPath.h"
#include "MessageBox.h"
#include "Profile.h"
#include "StandardError.h"
#include "System.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace {
const QString kInstall = QStringLiteral("Install");
const QString kNone = QStringLiteral("<NONE>");
} // namespace

Program_Location Program_Location::Of(const QString& nativeProgramFile)
{
    const QFileInfo info(nativeProgramFile);
    Program_Location where;
    where.Program_Dir = Dos::With_Backslash(Platform::Dos_Path(info.absolutePath()));
    where.Base_Name = info.completeBaseName().isEmpty() ? info.fileName() : info.completeBaseName();
    where.Settings_File = Platform::Settings_File_Path(info.absolutePath(), where.Base_Name);
    return where;
}

QString Program_Location::Language_File() const
{
    return Dos::Replace_Extension(Program_Dir + Base_Name, QStringLiteral(".LNG"));
}

void Apply_Platform_Settings(const Profile_File& settings)
{
    const int codePage = settings.Read_Integer(kInstall, QStringLiteral("CodePage"), 1252);
    Ansi::Set_Code_Page(codePage);
    for (const QString& key : settings.Read_Keys(QStringLiteral("Drives"))) {
        if (key.size() == 1 && key.at(0).isLetter())
            Platform::Drives().Map(key.at(0),
                                   settings.Read_String(QStringLiteral("Drives"), key, {}));
    }
}

void Read_Install_Paths(Browser_State& state, const Profile_File& settings)
{
    const QString cdDrive = settings.Read_String(kInstall, QStringLiteral("CD_Drive"), kNone);
    state.Lang_Index = settings.Read_Integer(kInstall, QStringLiteral("Lang"), 1);
    const QString ruPath = settings.Read_String(kInstall, QStringLiteral("RU_Path"), kNone);
    const QString dataPath = settings.Read_String(kInstall, QStringLiteral("Data_Path"), QString());
    state.CD_Root = Dos::With_Backslash(cdDrive);
    state.RU_Dir = state.Program_Dir + ruPath;
    state.Data_Root = Dos::With_Backslash(state.CD_Root + dataPath);
}

bool Valid_CD_Root(const QString& cdRoot)
{
    return cdRoot.mid(1, 2) == QLatin1String(":\\");
}

CD_Check Check_CD(Browser_State& state, const QString& programBaseName)
{
    state.CD_Root = state.CD_Root.toUpper();
    state.CD_Drive_Number = state.CD_Root.at(0).unicode() - 64;
    const QChar drive = state.CD_Root.at(0);
    const QString insert =
        state.Message(15) + QLatin1Char(' ') + state.Message(0) + QStringLiteral(" CD");
    for (;;) {
        if (!Platform::Drive_Ready(drive)) {
            if (Message_Box(insert, Box_Type::Warning, Box_Buttons::Ok_Cancel) == Box_Answer::Ok)
                continue;
            return CD_Check::Gave_Up;
        }
        const QString idFile = state.CD_Root + QStringLiteral("CD.ID");
        if (!Platform::File_Exists(idFile)) {
            Message_Box(state.Message(16), Box_Type::Error);
            return CD_Check::Gave_Up;
        }
        QFile id(Platform::Native_Path(idFile));
        int number = 0;
        if (id.open(QIODevice::ReadOnly)) {
            const QString text = Ansi::Decode(id.read(256)).trimmed();
            qsizetype end = 0;
            while (end < text.size() && (text.at(end).isDigit() || (end == 0 && text.at(0) == '-')))
                ++end;
            number = text.left(end).toInt();
        }
        state.Inserted_CD = std::uint8_t(number & 0xFF);
        if (Platform::File_Exists(state.Data_Root + programBaseName + QStringLiteral(".ID")))
            return CD_Check::Accepted;
        if (Message_Box(insert, Box_Type::Warning, Box_Buttons::Ok_Cancel) != Box_Answer::Ok)
            return CD_Check::Gave_Up;
    }
}

namespace {
// Data_Root + the language number + name when that file exists, else the language-1 name.
QString Per_Language(const Browser_State& state, const QString& name)
{
    const QString own = state.Data_Root + QString::number(state.Lang_Index) + name;
    return Platform::File_Exists(own) ? own : state.Data_Root + QStringLiteral("1") + name;
}
} // namespace

Install_Pictures Read_Install_Rest(Browser_State& state, const Profile_File& settings)
{
    Install_Pictures pictures;
    pictures.HighLight =
        state.Data_Root + settings.Read_String(kInstall, QStringLiteral("HighLight"), kNone);
    state.Splash_File =
        Per_Language(state, settings.Read_String(kInstall, QStringLiteral("Splash"), kNone));
    state.CD_ID_File = state.Data_Root + QStringLiteral("CD_ID.BMP");
    state.Stretch = settings.Read_Switch(kInstall, QStringLiteral("Stretch"), 0);
    state.Palette_File = settings.Read_String(kInstall, QStringLiteral("Palette"), kNone);
    pictures.Palette = state.Data_Root + state.Palette_File;
    state.About_File =
        Per_Language(state, settings.Read_String(kInstall, QStringLiteral("About"), kNone));
    pictures.RU_Image =
        state.Data_Root + settings.Read_String(kInstall, QStringLiteral("RU_Image"), kNone);
    return pictures;
}

Active_Switches Read_Active(const Profile_File& settings)
{
    const QString s = QStringLiteral("Active");
    Active_Switches a;
    a.Print = settings.Read_Switch(s, QStringLiteral("Print"), 1);
    a.Clipboard = settings.Read_Switch(s, QStringLiteral("Clipboard"), 1);
    a.RU_List = settings.Read_Switch(s, QStringLiteral("RU_List"), 1);
    a.Copy = settings.Read_Switch(s, QStringLiteral("Copy"), 1);
    a.Help_Button = settings.Read_Switch(s, QStringLiteral("Help_Button"), 0);
    a.Help = settings.Read_Switch(s, QStringLiteral("Help"), 1);
    a.Language = settings.Read_Switch(s, QStringLiteral("Language"), 1);
    a.THB_View = settings.Read_Switch(s, QStringLiteral("THB_View"), 1);
    a.Print_Cat = settings.Read_Switch(s, QStringLiteral("Print_Cat"), 1);
    a.Print_Sel_Tile = settings.Read_Switch(s, QStringLiteral("Print_Sel_Tile"), 1);
    a.Print_Sel_Page = settings.Read_Switch(s, QStringLiteral("Print_Sel_Page"), 1);
    return a;
}

QImage Load_Required_Bitmap(const QString& dosPath)
{
    const QString native = Platform::Native_Path(dosPath);
    if (!QFileInfo(native).isFile())
        Raise_File_Error(dosPath, QStringLiteral("The file does not exist."));
    QImageReader reader(native);
    reader.setDecideFormatFromContent(true);
    QImage image = reader.read();
    if (image.isNull())
        Raise_File_Error(
            dosPath, QStringLiteral("It is not a readable bitmap (%1).").arg(reader.errorString()));
    return image;
}
