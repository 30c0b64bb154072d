// Program folders and discs for the retrieval tests: a temporary program folder holding one
// kind of archive library, a temporary disc mapped as drive D:, and the stand-in library's
// log and record.
#pragma once

#include "DynaLibU.h"
#include "dunzip32.h"

#include <QByteArray>
#include <QColor>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <utility>
#include <vector>

namespace retrieval_test {

enum class Back_End
{
    Real,           // the archive back end
    Recording_Stub, // the stand-in that records its calls (recording_stub.c)
    No_Entry,       // a library under the right file name without "dunzip"
    None            // no library at all
};

class Program_Folder
{
public:
    explicit Program_Folder(Back_End backEnd = Back_End::Real, const QString& subFolder = {});

    QString Native() const { return m_native; } // without a trailing slash
    QString Dos() const;                        // Program_Dir: Windows form, trailing backslash
    QString File(const QString& name) const { return m_native + '/' + name; }
    // The folder's entries other than the library, sorted.
    QStringList Entries() const;

private:
    QTemporaryDir m_dir;
    QString m_native;
};

// A temporary folder mapped as drive D: for the fixture's lifetime.
class Disc
{
public:
    Disc();
    ~Disc();
    Disc(const Disc&) = delete;
    Disc& operator=(const Disc&) = delete;

    QString Root() const { return m_dir.path(); }
    QString Native(const QString& relative) const { return m_dir.path() + '/' + relative; }
    // "D:\" + relative with backslashes.
    static QString Dos(const QString& relative);
    void Write_File(const QString& relative, const QByteArray& bytes) const;
    // A deflated archive of (member name, bytes).
    void Write_Zip(const QString& relative,
                   const std::vector<std::pair<QString, QByteArray>>& members) const;

private:
    QTemporaryDir m_dir;
    QString m_previousD;
};

// The stand-in library's log ("load", "call", "unload" lines) and its copy of the record,
// named through the environment for the fixture's lifetime.
class Stub_Recorder
{
public:
    Stub_Recorder();
    ~Stub_Recorder();
    Stub_Recorder(const Stub_Recorder&) = delete;
    Stub_Recorder& operator=(const Stub_Recorder&) = delete;

    QStringList Log() const;
    bool Has_Record() const;
    Unzip_Record Record() const;
    // "field=[text]" or "field=(null)" lines for the record's text fields.
    QStringList Texts() const;
    void Set_Result(int result) const;
    void Set_Return_Length(quint32 length) const;

private:
    QTemporaryDir m_dir;
};

// A program folder holding the stand-in library, with its recorder.
struct Recording_Program
{
    Stub_Recorder stub;
    Program_Folder program{Back_End::Recording_Stub};
};

// Replaces the program's ending for its lifetime and notes the exit codes it was given.
class Ending_Recorder
{
public:
    Ending_Recorder();
    ~Ending_Recorder();
    Ending_Recorder(const Ending_Recorder&) = delete;
    Ending_Recorder& operator=(const Ending_Recorder&) = delete;
    const QList<int>& Codes() const { return m_codes; }

private:
    QList<int> m_codes;
    Program_End_Function m_previous;
};

// A JPEG drawn for the tests.
QByteArray Jpeg_Bytes(QSize size, QColor colour);
QByteArray Read_File(const QString& nativePath);

} // namespace retrieval_test
