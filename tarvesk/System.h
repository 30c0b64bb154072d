#pragma once
// What tarvesk needs from the operating system. Each system has its own source
// (System_Posix.cpp with the Qt clipboard, System_Win32.cpp); CMake picks one.

#include "Placeable_Metafile.h"

#include <memory>

namespace tarvesk {

// Opens the file named on the command line read-only, letting others read and
// write it meanwhile; null when it cannot be opened.
std::unique_ptr<File_Reader> Open_Command_Line_File(int argc, char** argv);

// The desktop's clipboard.
std::unique_ptr<Clipboard> System_Clipboard();

} // namespace tarvesk
