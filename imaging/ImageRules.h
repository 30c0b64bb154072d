#pragma once
// The picture control's rules that need no window: which reader an extension chooses, the
// colour depths handed to the readers and writers, the option values, and the rectangles a
// picture is painted into.

#include <QRect>
#include <QSize>
#include <QString>

// Colour depth asked of the readers.
enum TLoadResolution
{
    lColorVga,
    lMonoChrome,
    lColor16,
    lColor256,
    lColorTrue,
    lAutoMatic
};
// Colour depth asked of the writers.
enum TSaveResolution
{
    sColorVga,
    sMonoChrome,
    sColor16,
    sColor256,
    sColorTrue,
    sJpegGray,
    sAutoMatic
};
enum TTiffCompression
{
    sNONE,
    sCCITT,
    sLZW,
    sPACKBITS
};

namespace Image_Rules {

// How a file is loaded, chosen by its extension.
enum class Load_Branch
{
    Metafile, // ".WMF"
    Icon,     // ".ICO"
    Scroll_Banner,
    Line_Banner,
    BMP,  // ".BMP", ".THB"
    JPEG, // ".JPG", ".THJ"
    Resource,
    PNG,
    GIF,
    TIFF,
    PCX,
    None // any other extension: nothing is loaded
};

// The extension from the last "." after the last "\" or ":", upper-cased and cut to its
// first four characters, dot included (".TIFF" gives ".TIF", ".JPEG" gives ".JPE").
QString Picture_Extension(const QString& path);
Load_Branch Branch_For(const QString& extension);

// The depth the drawing surface reports, as the automatic resolutions use it: fewer than
// 5 bits gives 4, 8 gives 8, 16 or more gives 24, anything else 8.
int Screen_Colour_Depth(int surfaceBits);

// Bits for the readers.
int Reader_Bits(TLoadResolution resolution, int screenDepth);

enum class Save_Format
{
    BMP,
    PNG,
    JPEG,
    GIF,
    TIFF,
    PCX
};
// Bits for the writers, per format.
int Writer_Bits(TSaveResolution resolution, Save_Format format, int screenDepth);

// The value of the TIFF Compression tag for a compression choice.
int Tiff_Compression_Code(TTiffCompression compression);

// Values the quality and smoothing options store: quality 1..100 else 25, smoothing 0..100
// else 5.
int Stored_Quality(int value);
int Stored_Smoothing(int value);

// The rectangle a picture fills when stretched keeping its aspect ratio within the client
// rectangle: centred along the axis with room to spare, lengths rounded half to even. A
// picture without area fills the whole client rectangle.
QRect Stretch_Ratio_Rect(QRect client, QSize picture);

struct View_Flags
{
    bool Stretch = false;
    bool Stretch_Ratio = false;
    bool Center = false;
};
// Where the picture is drawn in the client rectangle: stretched to it, stretched keeping
// the aspect ratio, centred at its own size (offsets truncated toward zero), or at its own
// size in the top left corner.
QRect Target_Rect(const View_Flags& flags, QRect client, QSize picture);

} // namespace Image_Rules
