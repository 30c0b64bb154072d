#pragma once

// The metafile player: a device context of its own (mapping, objects, saved
// states, clip) that plays records onto a QPainter. Internal to orvinta_wmf;
// WmfPicture::play is its public face.

#include "WmfRecords.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QPainterPath>
#include <QPointF>
#include <QRect>
#include <QRegion>
#include <QSizeF>

#include <memory>
#include <variant>
#include <vector>

class QPainter;
class QPen;
class QBrush;

namespace wmf {

struct PlayerInput
{
    QByteArrayView data;
    qsizetype firstRecord = 0;
    bool placeable = false;
    QRect bounds;
    int unitsPerInch = 96;
    int objectCount = 0;
};

struct PenSpec
{
    int style = 0; // PS_SOLID
    int width = 0; // logical units; 0 is one device pixel
    quint32 color = 0;
};

struct BrushSpec
{
    int style = 0; // BS_SOLID
    quint32 color = 0xFFFFFF;
    int hatch = 0;
    QImage pattern;           // pattern brushes
    bool monoPattern = false; // a device-dependent 1-bit pattern: text and background colours
};

// The default is the system font: bold, of the default height.
struct FontSpec
{
    int height = 0;
    int width = 0;
    int escapement = 0;
    int weight = 700;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charSet = 0;
    int pitchAndFamily = 0;
    QByteArray face = "System";
};

// Palettes are changed in place by SetPalEntries and friends, and a selected
// palette sees those changes: the object and the selection share the entries.
using PaletteRef = std::shared_ptr<QList<QRgb>>;

using Object = std::variant<std::monostate, PenSpec, BrushSpec, FontSpec, PaletteRef, QRegion>;

struct ClipState
{
    bool active = false;
    bool isRect = false;
    QRectF rect;       // painter coordinates, when isRect
    QPainterPath path; // painter coordinates, otherwise
};

// Everything SaveDC keeps and RestoreDC brings back.
struct DcState
{
    PenSpec pen;
    BrushSpec brush;
    FontSpec font;
    PaletteRef palette;
    quint32 textColor = 0;
    quint32 bkColor = 0xFFFFFF;
    int bkMode = 2;       // OPAQUE
    int polyFillMode = 1; // ALTERNATE
    int textAlign = 0;
    int rop2 = 13; // R2_COPYPEN
    int stretchMode = 1;
    int charExtra = 0;
    int breakExtra = 0;
    int breakCount = 0;
    int mapMode = 1; // MM_TEXT
    QPointF windowOrg{0, 0};
    QSizeF windowExt{1, 1};
    bool windowExtSet = false;
    QPointF viewportOrg{0, 0};
    QSizeF viewportExt{1, 1};
    bool viewportExtSet = false;
    QPointF currentPos{0, 0};
    ClipState clip;
};

class Player
{
public:
    Player(QPainter& painter, const QRectF& target, const PlayerInput& input);
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    void run();

private:
    void dispatch(const Record& rec);
    void dispatchState(const Record& rec);
    void dispatchObjects(const Record& rec);

    // Mapping: logical units -> the metafile's device space -> painter coordinates.
    void freeze();
    QPointF logicalScale() const;
    QPointF toDevice(double x, double y);
    QPointF toLogical(const QPointF& device);
    QPointF deviceScale();
    QRectF deviceRect(double left, double top, double right, double bottom);
    void setWindowExt(double w, double h);
    void setViewportExt(double w, double h);

    // Objects.
    void addObject(Object obj);
    void selectObject(int index);
    void deleteObject(int index);
    Object* object(int index);
    QColor color(quint32 ref) const;
    void restoreDC(int saved);

    // Clip.
    void applyClip();
    void intersectClip(const QRectF& rect);
    void excludeClip(const QRectF& rect);
    void selectClipRegion(int index);
    QPainterPath regionPath(const QRegion& region);

    // Shapes (WmfPlayerShapes.cpp).
    void drawShapeRecord(const Record& rec);
    bool makePen(QPen& pen);
    bool makeBrush(const BrushSpec& spec, QBrush& brush);
    bool mixColour(QColor& c) const;
    double screenPixel() const;
    bool smoothEdges() const;
    void paintPath(const QPainterPath& path, bool fill, bool stroke);
    void fillWithBrush(const QPainterPath& path, const BrushSpec& brush);
    QRectF insideFrame(QRectF rect);
    void arcLike(const Record& rec);
    void regionRecord(const Record& rec);

    // Text (WmfPlayerText.cpp).
    void textOut(const Record& rec);
    void extTextOut(const Record& rec);
    void drawText(double x, double y, QByteArrayView text, const QList<double>& dx, int options,
                  const QRectF& rect);

    // Bitmaps (WmfPlayerBitmaps.cpp).
    struct Blit
    {
        quint32 rop = 0;
        QRectF dest;   // painter coordinates, not normalised: a negative size mirrors
        QImage source; // already cut to the source rectangle
        bool hasSource = false;
    };
    bool readBlit(const Record& rec, Blit& blit);
    void blitRecord(const Record& rec);
    void drawBlits(const QList<Blit>& blits);
    void patBlt(const Record& rec);
    void fillRop(const QRectF& rect, quint32 rop);
    QImage dib(QByteArrayView bytes, int colorUsage) const;

    QPainter& m_p;
    QRectF m_target;
    PlayerInput m_in;
    RecordReader m_reader;
    DcState m_dc;
    QList<DcState> m_saved;
    std::vector<Object> m_objects;
    size_t m_firstFree = 0;

    bool m_frozen = false;
    QSizeF m_refWindowExt{1, 1};
    double m_kx = 1, m_ky = 1, m_tx = 0, m_ty = 0;
    bool m_clipDirty = true;
    bool m_canDrawText = false;
};

} // namespace wmf
