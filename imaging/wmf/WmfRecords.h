#pragma once

// The length-checked record reader of the metafile player: record function
// numbers, a bounded view of one record's parameters, and a walker over the
// records that stops at the first record whose length does not fit the data.

#include <QByteArrayView>
#include <QtEndian>

namespace wmf {

enum Function : quint16
{
    Eof = 0x0000,
    SaveDC = 0x001E,
    RealizePalette = 0x0035,
    SetPalEntries = 0x0037,
    CreatePalette = 0x00F7,
    SetBkMode = 0x0102,
    SetMapMode = 0x0103,
    SetRop2 = 0x0104,
    SetRelAbs = 0x0105,
    SetPolyFillMode = 0x0106,
    SetStretchBltMode = 0x0107,
    SetTextCharExtra = 0x0108,
    RestoreDC = 0x0127,
    InvertRegion = 0x012A,
    PaintRegion = 0x012B,
    SelectClipRegion = 0x012C,
    SelectObject = 0x012D,
    SetTextAlign = 0x012E,
    ResizePalette = 0x0139,
    DibCreatePatternBrush = 0x0142,
    SetLayout = 0x0149,
    DeleteObject = 0x01F0,
    CreatePatternBrush = 0x01F9,
    SetBkColor = 0x0201,
    SetTextColor = 0x0209,
    SetTextJustification = 0x020A,
    SetWindowOrg = 0x020B,
    SetWindowExt = 0x020C,
    SetViewportOrg = 0x020D,
    SetViewportExt = 0x020E,
    OffsetWindowOrg = 0x020F,
    OffsetViewportOrg = 0x0211,
    LineTo = 0x0213,
    MoveTo = 0x0214,
    OffsetClipRgn = 0x0220,
    FillRegion = 0x0228,
    SetMapperFlags = 0x0231,
    SelectPalette = 0x0234,
    CreatePenIndirect = 0x02FA,
    CreateFontIndirect = 0x02FB,
    CreateBrushIndirect = 0x02FC,
    Polygon = 0x0324,
    Polyline = 0x0325,
    ScaleWindowExt = 0x0410,
    ScaleViewportExt = 0x0412,
    ExcludeClipRect = 0x0415,
    IntersectClipRect = 0x0416,
    Ellipse = 0x0418,
    FloodFill = 0x0419,
    Rectangle = 0x041B,
    SetPixel = 0x041F,
    FrameRegion = 0x0429,
    AnimatePalette = 0x0436,
    TextOut = 0x0521,
    PolyPolygon = 0x0538,
    ExtFloodFill = 0x0548,
    RoundRect = 0x061C,
    PatBlt = 0x061D,
    Escape = 0x0626,
    CreateRegion = 0x06FF,
    Arc = 0x0817,
    Pie = 0x081A,
    Chord = 0x0830,
    BitBlt = 0x0922,
    DibBitBlt = 0x0940,
    ExtTextOut = 0x0A32,
    StretchBlt = 0x0B23,
    DibStretchBlt = 0x0B41,
    SetDibToDev = 0x0D33,
    StretchDib = 0x0F43,
};

// Units per inch of the fixed map modes (MM_LOMETRIC to MM_TWIPS), 0 for the others.
inline int metricUnitsPerInch(int mapMode)
{
    switch (mapMode) {
    case 2:
        return 254; // MM_LOMETRIC, 0.1 mm
    case 3:
        return 2540; // MM_HIMETRIC, 0.01 mm
    case 4:
        return 100; // MM_LOENGLISH, 0.01 inch
    case 5:
        return 1000; // MM_HIENGLISH, 0.001 inch
    case 6:
        return 1440; // MM_TWIPS
    default:
        return 0;
    }
}

// Records that put something on the page (as opposed to settings and objects).
inline bool drawsOutput(quint16 f)
{
    switch (f) {
    case LineTo:
    case Rectangle:
    case RoundRect:
    case Ellipse:
    case Arc:
    case Pie:
    case Chord:
    case Polygon:
    case Polyline:
    case PolyPolygon:
    case TextOut:
    case ExtTextOut:
    case SetPixel:
    case PatBlt:
    case BitBlt:
    case StretchBlt:
    case DibBitBlt:
    case DibStretchBlt:
    case StretchDib:
    case SetDibToDev:
    case FillRegion:
    case FrameRegion:
    case PaintRegion:
    case InvertRegion:
    case FloodFill:
    case ExtFloodFill:
        return true;
    default:
        return false;
    }
}

// The parameters of one record. Every read is checked against the record's
// length; a read past its end gives 0, so callers test has() first where a
// short record must be skipped rather than drawn with zeros.
class Params
{
public:
    Params() = default;
    Params(const uchar* data, qsizetype bytes) : m_data(data), m_bytes(bytes) {}

    qsizetype words() const { return m_bytes / 2; }
    qsizetype byteCount() const { return m_bytes; }
    bool has(qsizetype wordCount) const { return wordCount >= 0 && wordCount <= words(); }

    quint16 u16(qsizetype word) const
    {
        return has(word + 1) ? qFromLittleEndian<quint16>(m_data + 2 * word) : 0;
    }
    qint16 s16(qsizetype word) const { return qint16(u16(word)); }
    quint32 u32(qsizetype word) const { return quint32(u16(word)) | quint32(u16(word + 1)) << 16; }

    // The bytes from byteOffset to the end of the record (empty when outside).
    QByteArrayView tail(qsizetype byteOffset) const
    {
        if (byteOffset < 0 || byteOffset > m_bytes)
            return {};
        return QByteArrayView(m_data + byteOffset, m_bytes - byteOffset);
    }

private:
    const uchar* m_data = nullptr;
    qsizetype m_bytes = 0;
};

struct Record
{
    quint16 function = 0;
    qsizetype offset = 0;    // byte offset of the record in the file
    qsizetype sizeWords = 0; // as the record states it
    Params params;
};

// Walks the records of a metafile from the first one after the header. It
// stops at the end-of-file record, at the end of the data, and at a record
// whose size is below 3 words or runs past the data (damaged() then tells).
class RecordReader
{
public:
    RecordReader(QByteArrayView data, qsizetype firstRecord) : m_data(data), m_pos(firstRecord) {}

    bool next(Record& rec)
    {
        if (!read(m_pos, rec))
            return false;
        m_pos += rec.sizeWords * 2;
        return true;
    }

    // The record after the current one, without moving.
    bool peek(Record& rec) const
    {
        RecordReader copy = *this;
        return copy.next(rec);
    }

    bool damaged() const { return m_damaged; }
    bool atEnd() const { return m_done; }

private:
    bool read(qsizetype pos, Record& rec)
    {
        if (m_done)
            return false;
        if (pos >= m_data.size()) { // the data ended without an end-of-file record
            m_done = true;
            return false;
        }
        if (m_data.size() - pos < 6) {
            m_done = m_damaged = true;
            return false;
        }
        const auto* p = reinterpret_cast<const uchar*>(m_data.data()) + pos;
        const qint64 words = qFromLittleEndian<quint32>(p);
        if (words < 3 || words > (m_data.size() - pos) / 2) {
            m_done = m_damaged = true;
            return false;
        }
        rec.function = qFromLittleEndian<quint16>(p + 4);
        rec.offset = pos;
        rec.sizeWords = qsizetype(words);
        rec.params = Params(p + 6, qsizetype(words * 2 - 6));
        if (rec.function == Eof) {
            m_done = true;
            return false;
        }
        return true;
    }

    QByteArrayView m_data;
    qsizetype m_pos = 0;
    bool m_done = false;
    bool m_damaged = false;
};

} // namespace wmf
