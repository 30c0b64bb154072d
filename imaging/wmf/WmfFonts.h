#pragma once

// Fonts and text bytes of metafiles: which installed family stands for a
// Windows face name, and how a string's bytes read in its character set.

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <functional>

namespace wmf {

// The installed family for a face list ("Arial", or "Arial;Helvetica"): the
// first face in the list that is installed, or whose usual substitute is
// (Arial -> Liberation Sans, Arimo, DejaVu Sans...); failing all faces, a
// family of the class that pitchAndFamily names (roman, swiss, modern...).
// isInstalled answers whether a family name is installed.
QString resolveFamily(QByteArrayView faceList, int pitchAndFamily,
                      const std::function<bool(const QString&)>& isInstalled);

// As above, asking the font database.
QString resolveFamily(QByteArrayView faceList, int pitchAndFamily);

// Extra weight for faces whose name says so ("Arial Black" is a heavy face).
int faceWeight(QByteArrayView faceList, int weight);

// The text of bytes written in the font's character set (ANSI is Windows
// code page 1252; the Symbol face's Greek letters and signs map to Unicode).
QString decodeText(QByteArrayView bytes, int charSet, QByteArrayView faceList);

} // namespace wmf
