#pragma once
// A program folder with its own files and a disc folder mapped as drive D:, for tests that
// start the main window.

#include "Mkdisc.h"
#include "Profile.h"

#include <QTemporaryDir>

// A program folder with its own files and a disc folder mapped as drive D:.
struct Fixture
{
    QTemporaryDir dir;
    QString program() const { return dir.filePath("program"); }
    QString disc() const { return dir.filePath("disc"); }
    QString programFile() const { return program() + "/orvinta"; }

    bool Make(const Mkdisc::Disc_Spec& spec, int languages = 3, int messages = 70)
    {
        QString error;
        Mkdisc::Program_Files_Spec files;
        files.Languages = languages;
        files.Messages = messages;
        files.Keep_Settings = false;
        return !Mkdisc::Write_Installation(dir.path(), spec, files, &error).isEmpty();
    }
    void Set(const QString& section, const QString& key, const QString& value)
    {
        Profile_File(program() + "/orvinta.INI").Write_String(section, key, value);
    }
};
