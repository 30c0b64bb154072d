#pragma once

// A small writer of Windows metafiles (WMF). It appends records through typed
// methods and builds the file with a correct METAHEADER (file size, largest
// record, object count) and, when asked, a placeable header with its checksum.
//
// The record numbers and layouts here are written down independently of the
// player in imaging/wmf on purpose: the player's tests render files made by
// this writer, so a layout mistake in one of them shows up as a failing test
// instead of being shared silently.

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QPolygon>
#include <QRect>
#include <QRegion>

class WmfWriter
{
public:
    // Raster operations (ternary ROP codes).
    enum Rop : quint32
    {
        SrcCopy = 0x00CC0020,
        SrcPaint = 0x00EE0086,
        SrcAnd = 0x008800C6,
        SrcInvert = 0x00660046,
        SrcErase = 0x00440328,
        NotSrcCopy = 0x00330008,
        PatCopy = 0x00F00021,
        PatInvert = 0x005A0049,
        DstInvert = 0x00550009,
        Blackness = 0x00000042,
        Whiteness = 0x00FF0062,
    };
    enum PenStyle
    {
        PsSolid = 0,
        PsDash = 1,
        PsDot = 2,
        PsDashDot = 3,
        PsDashDotDot = 4,
        PsNull = 5,
        PsInsideFrame = 6,
        PsEndcapRound = 0x0000,
        PsEndcapSquare = 0x0100,
        PsEndcapFlat = 0x0200,
        PsJoinRound = 0x0000,
        PsJoinBevel = 0x1000,
        PsJoinMiter = 0x2000,
    };
    enum BrushStyle
    {
        BsSolid = 0,
        BsNull = 1,
        BsHatched = 2,
        BsPattern = 3,
        BsDibPatternPt = 6
    };
    enum Hatch
    {
        HsHorizontal = 0,
        HsVertical,
        HsFDiagonal,
        HsBDiagonal,
        HsCross,
        HsDiagCross
    };
    enum MapMode
    {
        MmText = 1,
        MmLoMetric,
        MmHiMetric,
        MmLoEnglish,
        MmHiEnglish,
        MmTwips,
        MmIsotropic,
        MmAnisotropic
    };
    enum TextAlign
    {
        TaNoUpdateCp = 0,
        TaUpdateCp = 1,
        TaLeft = 0,
        TaRight = 2,
        TaCenter = 6,
        TaTop = 0,
        TaBottom = 8,
        TaBaseline = 24
    };
    enum BkMode
    {
        Transparent = 1,
        Opaque = 2
    };
    enum PolyFill
    {
        Alternate = 1,
        Winding = 2
    };
    enum ExtTextFlags
    {
        EtoOpaque = 0x0002,
        EtoClipped = 0x0004
    };
    enum Rop2
    {
        R2Black = 1,
        R2XorPen = 7,
        R2Nop = 11,
        R2CopyPen = 13,
        R2White = 16
    };
    enum ColorUsage
    {
        DibRgbColors = 0,
        DibPalColors = 1
    };

    struct Font
    {
        int height = -12; // negative: character height; positive: cell height
        int width = 0;
        int escapement = 0; // tenths of a degree, counter-clockwise
        int orientation = 0;
        int weight = 400;
        bool italic = false;
        bool underline = false;
        bool strikeOut = false;
        int charSet = 0;
        int pitchAndFamily = 0;
        QByteArray faceName = "Arial";
    };

    // COLORREF values.
    static quint32 rgb(int r, int g, int b);
    static quint32 rgb(const QColor& c) { return rgb(c.red(), c.green(), c.blue()); }
    static quint32 paletteIndex(int index);

    // A packed DIB (header, colour table, bits) of an image at 1, 4, 8, 24 or
    // 32 bits per pixel, bottom-up unless topDown. Images with more colours
    // than the depth holds are reduced by Qt's conversion.
    static QByteArray dib(const QImage& image, int bits, bool topDown = false);

    WmfWriter() = default;
    // Writes a placeable header with these bounds (logical units) and resolution.
    void setPlaceable(int left, int top, int right, int bottom, int unitsPerInch);

    // Mapping.
    void setMapMode(int mode);
    void setWindowOrg(int x, int y);
    void setWindowExt(int w, int h);
    void setViewportOrg(int x, int y);
    void setViewportExt(int w, int h);
    void offsetWindowOrg(int dx, int dy);
    void scaleWindowExt(int xNum, int xDenom, int yNum, int yDenom);
    void saveDC();
    void restoreDC(int saved);

    // Objects. Each create returns the slot that the object takes: the lowest
    // free one, as the player's object table hands them out.
    int createPenIndirect(int style, int width, quint32 color);
    int createBrushIndirect(int style, quint32 color, int hatch = 0);
    int createDibPatternBrush(const QByteArray& dib, int colorUsage = DibRgbColors);
    // Monochrome 8 x 8 (or any size) pattern as a device-dependent bitmap:
    // set bits are drawn in the background colour, clear bits in the text colour.
    int createPatternBrush(const QImage& monoPattern);
    int createFontIndirect(const Font& font);
    int createPalette(const QList<QRgb>& entries);
    int createRegion(const QRegion& region);
    void selectObject(int slot);
    void deleteObject(int slot);
    void selectPalette(int slot);
    void realizePalette();
    void selectClipRegion(int slot);

    // Settings.
    void setTextColor(quint32 color);
    void setBkColor(quint32 color);
    void setBkMode(int mode);
    void setTextAlign(int align);
    void setPolyFillMode(int mode);
    void setRop2(int rop2);
    void setStretchBltMode(int mode);
    void setTextCharExtra(int extra);

    // Drawing.
    void moveTo(int x, int y);
    void lineTo(int x, int y);
    void rectangle(int left, int top, int right, int bottom);
    void roundRect(int left, int top, int right, int bottom, int cornerW, int cornerH);
    void ellipse(int left, int top, int right, int bottom);
    void arc(int left, int top, int right, int bottom, int xs, int ys, int xe, int ye);
    void pie(int left, int top, int right, int bottom, int xs, int ys, int xe, int ye);
    void chord(int left, int top, int right, int bottom, int xs, int ys, int xe, int ye);
    void polygon(const QPolygon& points);
    void polyline(const QPolygon& points);
    void polyPolygon(const QList<QPolygon>& polygons);
    void textOut(int x, int y, const QByteArray& text);
    // clip: left, top, right, bottom; written when options has EtoOpaque or EtoClipped.
    void extTextOut(int x, int y, int options, const QRect& clip, const QByteArray& text,
                    const QList<int>& dx = {});
    void setPixel(int x, int y, quint32 color);
    void patBlt(int x, int y, int w, int h, quint32 rop);
    void fillRegion(int region, int brush);
    void frameRegion(int region, int brush, int width, int height);
    void paintRegion(int region);
    void intersectClipRect(int left, int top, int right, int bottom);
    void excludeClipRect(int left, int top, int right, int bottom);

    // Bitmaps. Rectangles are x, y, width, height; a negative size mirrors.
    void stretchDib(const QRect& dst, const QRect& src, const QByteArray& dib, quint32 rop,
                    int colorUsage = DibRgbColors);
    void dibStretchBlt(const QRect& dst, const QRect& src, const QByteArray& dib, quint32 rop);
    void dibBitBlt(int xDst, int yDst, const QRect& src, const QByteArray& dib, quint32 rop);

    void escape(int function, const QByteArray& data);
    // Any record: its function number and its parameter words as they are.
    void record(quint16 function, const QList<quint16>& params);
    void record(quint16 function, const QByteArray& params);

    // The complete file, with the end-of-file record appended.
    QByteArray bytes() const;

private:
    int takeSlot();
    void words(quint16 function, std::initializer_list<int> values);

    QByteArray m_records;
    quint32 m_maxRecordWords = 3;
    QList<bool> m_slots;
    bool m_placeable = false;
    int m_bounds[4] = {0, 0, 0, 0};
    int m_unitsPerInch = 1440;
};

// Demo clip-art metafiles for the demo disc: 0 flower, 1 house, 2 landscape,
// 3 chart. Each is a placeable file of 640 x 480 pixels at 96 pixels per inch,
// coloured, captioned, and drawn with many kinds of records.
QByteArray Demo_Metafile(int which, const QString& caption);
int Demo_Metafile_Count();
