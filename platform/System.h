#pragma once
// Operating-system services other than paths and profiles: drive readiness, the
// single-instance rule, starting other programs, and the program's own location.

#include <QString>
#include <QStringList>
#include <functional>

namespace Platform {

// A drive holds a medium when its mapped folder exists and can be listed. A mapped folder
// that is empty and is not itself a mount point (an empty mount point with nothing mounted)
// counts as no medium.
bool Drive_Ready(QChar letter);

// The single-instance rule for one user session. The first caller of the session claims the
// instance name and returns false; onRaise is then called whenever a later instance starts.
// A later caller asks the first instance to restore and raise its window and returns true.
bool Already_Running(const QString& instanceName, std::function<void()> onRaise);

// Starts a program without waiting for it; the parameter text is passed unchanged as one
// argument. Returns false when the program cannot be started.
bool Start_Program(const QString& dosProgram, const QString& parameters);

// The names of the ordinary files in a native folder whose names end in suffix (without
// regard to case); hidden files are left out. Reads the folder listing once, without a call
// per file where the file system gives each entry's type.
QStringList List_Files(const QString& nativeFolder, const QString& suffix);

// Native path of the running program file.
QString Program_File();

} // namespace Platform
