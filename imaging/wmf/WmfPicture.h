#pragma once

// A Windows metafile (WMF) held in memory and drawn as vectors on any QPainter:
// a widget, a QImage, a printer or a PDF file.
//
// Placeable files (with the 22-byte header that gives bounds and units per
// inch) and plain ones are read. A plain file has no bounds of its own: they
// are the window origin and extent that the file sets before it first draws,
// or, without those, the box around the coordinates of its drawing records;
// its units per inch are those of a metric map mode set before the first
// drawing, else 96 (one logical unit per screen pixel, as the text map mode
// means) unless that makes a side longer than 2048 pixels: then 1440 (twips).

#include <QByteArray>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QString>

class QPainter;

class WmfPicture
{
public:
    WmfPicture() = default;
    static WmfPicture fromFile(const QString& path);
    static WmfPicture fromBytes(const QByteArray& bytes);

    // False when the headers are missing or damaged; errorText() says why.
    bool isValid() const { return m_valid; }
    QString errorText() const { return m_error; }

    bool isPlaceable() const { return m_placeable; }
    // Logical units; for a placeable file exactly the header's rectangle.
    QRect bounds() const { return m_bounds; }
    int unitsPerInch() const { return m_unitsPerInch; }

    // The size the Windows toolkit reports for the picture:
    // MulDiv(MulDiv(extent, 2540, units per inch), screenDpi, 2540) per axis.
    QSize pixelSize(int screenDpi = 96) const;

    // Plays the records so that the picture's frame fills target. Drawing is
    // clipped to target. The painter's render hints (antialiasing, smooth
    // pixmap scaling) are the caller's choice; its state is restored afterwards.
    // Text needs a QGuiApplication; without one, text records are skipped.
    // An inactive painter draws nothing.
    void play(QPainter& painter, const QRectF& target) const;

    // The file's bytes, as read.
    QByteArray bytes() const { return m_bytes; }

    // a * b / c rounded to the nearest integer, halves away from zero, or -1
    // when c is 0 or the result does not fit 32 bits (as Windows' MulDiv).
    static int mulDiv(int a, int b, int c);

private:
    void parse();
    void measurePlainFile();

    QByteArray m_bytes;
    bool m_valid = false;
    QString m_error = QStringLiteral("No metafile loaded");
    bool m_placeable = false;
    QRect m_bounds;
    int m_unitsPerInch = 96;
    qsizetype m_firstRecord = 0;
    int m_objectCount = 0;
};
