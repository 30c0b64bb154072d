#pragma once
// The language file: every text the program shows, in every language of the product. It
// lies beside the program (the program file's name with the extension ".LNG"):
//   the number of languages L;
//   for each language its flag icon file (in Flags\) and its help file (on the disc);
//   one ignored line; the number of messages M;
//   for each message an ignored label line, then its text in each of the L languages.

#include "BrowserState.h"

#include <QString>

// Reads the language file into the state: Lang_Strings of the current language, Lang_Count,
// Flag_Icons and Help_File. A stored Lang outside 1..Lang_Count is replaced by 1 for this
// run. Returns false with a text for the user when the file is missing, malformed, lacks
// any of the messages the program uses, or a flag icon cannot be read.
bool Load_Language(Browser_State& state, const QString& languageFileDos, QString* error);

// The flags folder: Program_Dir + "Flags\" (a backslash put between when missing).
QString Flags_Folder(const QString& programDir);
