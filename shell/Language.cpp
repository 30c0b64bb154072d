#include "Language.h"

#include "AnsiText.h"
#include "DosPath.h"
#include "TextItems.h"

#include <QFile>
#include <QImageReader>

QString Flags_Folder(const QString& programDir)
{
    return Dos::With_Backslash(programDir) + QStringLiteral("Flags\\");
}

bool Load_Language(Browser_State& state, const QString& languageFileDos, QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = QStringLiteral("The language file \"%1\" cannot be used: %2.")
                         .arg(languageFileDos, why);
        return false;
    };

    state.Lang_Strings.clear();
    state.Flag_Icons.clear();
    QFile file(Platform::Native_Path(languageFileDos));
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.exists() ? file.errorString() : QStringLiteral("the file is missing"));
    Text_Items items(Ansi::Split_Lines(Ansi::Decode(file.readAll())));

    int count = 0;
    if (!items.Read_Number(count))
        return fail(items.errorText());
    if (count < 1)
        return fail(QStringLiteral("it lists no languages"));
    state.Lang_Count = count;
    if (state.Lang_Index < 1 || state.Lang_Count < state.Lang_Index)
        state.Lang_Index = 1;

    const QString flags = Flags_Folder(state.Program_Dir);
    for (int i = 1; i <= count; ++i) {
        QString flagName, helpName;
        if (!items.Read_Line(flagName) || !items.Read_Line(helpName))
            return fail(items.errorText());
        QImageReader reader(Platform::Native_Path(flags + flagName));
        QImage icon = reader.read();
        if (icon.isNull())
            return fail(QStringLiteral("the flag icon \"%1\" cannot be read (%2)")
                            .arg(flags + flagName, reader.errorString()));
        state.Flag_Icons.append(icon);
        if (i == state.Lang_Index)
            state.Help_File = state.Data_Root + helpName;
    }

    int messages = 0;
    if (!items.Skip_Line() || !items.Read_Number(messages))
        return fail(items.errorText());
    if (messages < Required_Messages)
        return fail(QStringLiteral("it holds %1 messages where %2 are needed")
                        .arg(messages)
                        .arg(Required_Messages));
    for (int m = 0; m < messages; ++m) {
        if (!items.Skip_Line())
            return fail(QStringLiteral("message %1 is missing").arg(m));
        for (int lang = 1; lang <= count; ++lang) {
            QString text;
            if (!items.Read_Line(text))
                return fail(QStringLiteral("message %1 is missing").arg(m));
            if (lang == state.Lang_Index)
                state.Lang_Strings.append(text);
        }
    }
    return true;
}
