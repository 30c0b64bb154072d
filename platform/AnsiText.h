#pragma once
// 8-bit ANSI text as Windows writes it. Disc files, the language file, the settings file and
// the recently-used list are in the Windows code page of the product's languages (1252 for
// the Western languages unless the settings name another one).

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace Ansi {

// The code page used for every 8-bit text file; 1252 by default.
int Code_Page();
// Returns false (and keeps the current page) when the page is not supported.
bool Set_Code_Page(int codePage);

QString Decode(const QByteArray& bytes);
QByteArray Encode(const QString& text);

// Splits text into lines at LF; a CR before the LF is dropped, so files with and without
// CR LF line ends read the same. A final line without line end counts; a final empty
// line after the last line end does not.
QStringList Split_Lines(const QString& text);

} // namespace Ansi
