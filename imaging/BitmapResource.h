#pragma once
// Bitmap resources of the program. They are Qt resources under ":/RT_BITMAP/", each file a
// packed device-independent bitmap as a Windows bitmap resource holds it: a BITMAPINFOHEADER
// (or a later version of it) or a BITMAPCOREHEADER, the colour table, then the pixels. A
// resource is named by an upper-case name ("ROSE") or by a decimal number ("101").

#include <QImage>
#include <QList>
#include <QRgb>
#include <QString>

struct Bitmap_Resource
{
    QImage Bitmap;
    QList<QRgb> Palette; // the colour table, empty for a bitmap without one
    int DIB_Size = 0;    // header, colour table and pixels, in bytes
};

// The resource path for the base name of a ".RES" file name: a base name of decimal digits
// is a numeric identifier (leading zeros do not count), any other is a name, matched without
// regard to case. Empty when no such resource exists.
QString Bitmap_Resource_Path(const QString& baseName);

// Decodes a packed DIB. The colour table holds the header's count of colours, or 2^bits
// entries when it gives none. False with a reason when the data is damaged.
bool Decode_Packed_DIB(const QByteArray& dib, Bitmap_Resource& out, QString* error = nullptr);

// Looks up and decodes the resource for a base name.
bool Load_Bitmap_Resource(const QString& baseName, Bitmap_Resource& out, QString* error = nullptr);
