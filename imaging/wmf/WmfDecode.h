#pragma once

// Decoders for the objects that metafile records carry: device-independent
// bitmaps, old device-dependent bitmaps (Bitmap16) and regions. Every length
// and count is checked against the bytes given; bad input gives a null image
// or an empty region.

#include "WmfRecords.h"

#include <QImage>
#include <QList>
#include <QRegion>

namespace wmf {

// Largest bitmap decoded, in pixels.
constexpr qint64 MaxBitmapPixels = qint64(1) << 25;

// A packed DIB (BITMAPINFOHEADER or BITMAPCOREHEADER, colour table, bits) as
// a top-down ARGB32 image: 1, 4, 8, 16, 24 and 32 bits, RLE4, RLE8, bit
// fields, embedded JPEG and PNG. colorUsage 1 (DIB_PAL_COLORS) means the
// colour table holds indices into palette. Rows missing from a truncated DIB,
// and pixels that RLE data skips, stay transparent.
QImage decodeDib(QByteArrayView dib, int colorUsage, const QList<QRgb>* palette);

// A Bitmap16 object (type, width, height, width in bytes, planes, bits per
// pixel) whose bits start bitsOffset bytes after its start. A one-bit bitmap
// comes back as Format_Mono: index 0 is drawn in the text colour and index 1
// in the background colour, which the caller sets in its colour table.
QImage decodeBitmap16(QByteArrayView object, qsizetype bitsOffset);

// The region of a CreateRegion record, in logical units.
QRegion decodeRegion(const Params& params);

} // namespace wmf
