#include "WmfPicture.h"

#include "WmfPlayer.h"
#include "WmfRecords.h"

#include <QFile>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace {

constexpr quint32 PlaceableKey = 0x9AC6CDD7u;
constexpr qsizetype PlaceableSize = 22;
constexpr qsizetype MetaHeaderSize = 18;
constexpr qint64 MaxFileBytes = 256 * 1024 * 1024;

quint16 word(const QByteArray& b, qsizetype at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}

// Grows box by the logical points that a drawing record names.
void addRecordPoints(const wmf::Record& rec, int& x0, int& y0, int& x1, int& y1, bool& any)
{
    const wmf::Params& p = rec.params;
    auto add = [&](int x, int y) {
        if (!any) {
            x0 = x1 = x;
            y0 = y1 = y;
            any = true;
            return;
        }
        x0 = std::min(x0, x);
        x1 = std::max(x1, x);
        y0 = std::min(y0, y);
        y1 = std::max(y1, y);
    };
    auto addPoints = [&](qsizetype first, qsizetype count) {
        for (qsizetype i = 0; i < count && p.has(first + 2 * i + 2); ++i)
            add(p.s16(first + 2 * i), p.s16(first + 2 * i + 1));
    };
    // Rectangle parameters come as bottom, right, top, left from word `at`.
    auto addRect = [&](qsizetype at) {
        if (p.has(at + 4)) {
            add(p.s16(at + 3), p.s16(at + 2));
            add(p.s16(at + 1), p.s16(at));
        }
    };
    switch (rec.function) {
    case wmf::LineTo:
        if (p.has(2))
            add(p.s16(1), p.s16(0));
        break;
    case wmf::SetPixel:
        if (p.has(4))
            add(p.s16(3), p.s16(2));
        break;
    case wmf::Rectangle:
    case wmf::Ellipse:
        addRect(0);
        break;
    case wmf::RoundRect:
        addRect(2);
        break;
    case wmf::Arc:
    case wmf::Pie:
    case wmf::Chord:
        addRect(4);
        break;
    case wmf::Polygon:
    case wmf::Polyline:
        addPoints(1, p.u16(0));
        break;
    case wmf::PolyPolygon: {
        const int n = p.u16(0);
        qsizetype total = 0;
        for (int i = 0; i < n; ++i)
            total += p.u16(1 + i);
        addPoints(1 + n, total);
        break;
    }
    case wmf::TextOut: {
        const qsizetype at = 1 + (p.u16(0) + 1) / 2;
        if (p.has(at + 2))
            add(p.s16(at + 1), p.s16(at));
        break;
    }
    case wmf::ExtTextOut:
        if (p.has(2))
            add(p.s16(1), p.s16(0));
        break;
    case wmf::PatBlt:
        if (p.has(6)) {
            add(p.s16(5), p.s16(4));
            add(p.s16(5) + p.s16(3), p.s16(4) + p.s16(2));
        }
        break;
    case wmf::StretchDib:
        if (p.has(11)) {
            add(p.s16(10), p.s16(9));
            add(p.s16(10) + p.s16(8), p.s16(9) + p.s16(7));
        }
        break;
    case wmf::DibStretchBlt:
    case wmf::StretchBlt: {
        const qsizetype at = rec.sizeWords == (rec.function >> 8) + 3 ? 7 : 6;
        if (p.has(at + 4)) {
            add(p.s16(at + 3), p.s16(at + 2));
            add(p.s16(at + 3) + p.s16(at + 1), p.s16(at + 2) + p.s16(at));
        }
        break;
    }
    case wmf::DibBitBlt:
    case wmf::BitBlt: {
        const qsizetype at = rec.sizeWords == (rec.function >> 8) + 3 ? 5 : 4;
        if (p.has(at + 4)) {
            add(p.s16(at + 3), p.s16(at + 2));
            add(p.s16(at + 3) + p.s16(at + 1), p.s16(at + 2) + p.s16(at));
        }
        break;
    }
    default:
        break;
    }
}

} // namespace

int WmfPicture::mulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const qint64 product = qint64(a) * qint64(b);
    const qint64 divisor = c;
    const qint64 magnitude = (std::llabs(product) + std::llabs(divisor) / 2) / std::llabs(divisor);
    const qint64 result = ((product < 0) != (divisor < 0)) ? -magnitude : magnitude;
    if (result > std::numeric_limits<int>::max() || result < std::numeric_limits<int>::min())
        return -1;
    return int(result);
}

WmfPicture WmfPicture::fromFile(const QString& path)
{
    WmfPicture pic;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        pic.m_error = QStringLiteral("The metafile cannot be opened: %1").arg(file.errorString());
        return pic;
    }
    if (file.size() > MaxFileBytes) {
        pic.m_error = QStringLiteral("The metafile is too large");
        return pic;
    }
    pic.m_bytes = file.readAll();
    pic.parse();
    return pic;
}

WmfPicture WmfPicture::fromBytes(const QByteArray& bytes)
{
    WmfPicture pic;
    pic.m_bytes = bytes;
    pic.parse();
    return pic;
}

void WmfPicture::parse()
{
    m_valid = false;
    const QByteArray& b = m_bytes;
    qsizetype at = 0;
    if (b.size() >= 4 && qFromLittleEndian<quint32>(b.constData()) == PlaceableKey) {
        if (b.size() < PlaceableSize + MetaHeaderSize) {
            m_error = QStringLiteral("The metafile is truncated");
            return;
        }
        m_placeable = true;
        const int left = qint16(word(b, 6));
        const int top = qint16(word(b, 8));
        const int right = qint16(word(b, 10));
        const int bottom = qint16(word(b, 12));
        m_unitsPerInch = word(b, 14);
        // The checksum (XOR of the first ten words) is not enforced: writers
        // that got it wrong made files that Windows programs show all the same.
        if (m_unitsPerInch == 0) {
            m_error = QStringLiteral("The metafile header gives no units per inch");
            return;
        }
        m_bounds = QRect(left, top, right - left, bottom - top);
        at = PlaceableSize;
    } else if (b.size() < MetaHeaderSize) {
        m_error = QStringLiteral("Not a Windows metafile");
        return;
    }

    const quint16 type = word(b, at);
    const quint16 headerWords = word(b, at + 2);
    const quint16 version = word(b, at + 4);
    if ((type != 1 && type != 2) || headerWords != 9 || (version != 0x0100 && version != 0x0300)) {
        m_error = m_placeable ? QStringLiteral("The metafile header is damaged")
                              : QStringLiteral("Not a Windows metafile");
        return;
    }
    m_objectCount = word(b, at + 10);
    m_firstRecord = at + headerWords * 2;
    m_valid = true;
    m_error.clear();
    if (!m_placeable)
        measurePlainFile();
}

void WmfPicture::measurePlainFile()
{
    int mapMode = 1;
    int orgX = 0, orgY = 0, extX = 0, extY = 0;
    bool extSet = false;
    bool drawn = false;
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool any = false;

    wmf::RecordReader reader(QByteArrayView(m_bytes), m_firstRecord);
    wmf::Record rec;
    while (reader.next(rec)) {
        const wmf::Params& p = rec.params;
        if (!drawn) {
            switch (rec.function) {
            case wmf::SetMapMode:
                mapMode = p.u16(0);
                break;
            case wmf::SetWindowOrg:
                orgY = p.s16(0);
                orgX = p.s16(1);
                break;
            case wmf::SetWindowExt:
                extY = p.s16(0);
                extX = p.s16(1);
                extSet = true;
                break;
            default:
                break;
            }
            if (wmf::drawsOutput(rec.function)) {
                drawn = true;
                if (extSet && wmf::metricUnitsPerInch(mapMode) == 0)
                    break;
            }
        }
        if (drawn)
            addRecordPoints(rec, x0, y0, x1, y1, any);
    }
    m_unitsPerInch = wmf::metricUnitsPerInch(mapMode) ? wmf::metricUnitsPerInch(mapMode) : 96;
    if (extSet && wmf::metricUnitsPerInch(mapMode) == 0)
        m_bounds = QRect(std::min(orgX, orgX + extX), std::min(orgY, orgY + extY), std::abs(extX),
                         std::abs(extY));
    else if (any)
        m_bounds = QRect(x0, y0, x1 - x0, y1 - y0);
    else
        m_bounds = QRect();
    // Logical units of screen pixels would make a picture of more than 2048
    // pixels; such files use finer units, most often twips.
    if (m_unitsPerInch == 96 && std::max(m_bounds.width(), m_bounds.height()) > 2048)
        m_unitsPerInch = 1440;
}

QSize WmfPicture::pixelSize(int screenDpi) const
{
    if (!m_valid)
        return {};
    auto toPixels = [&](int extent) {
        return mulDiv(mulDiv(extent, 2540, m_unitsPerInch), screenDpi, 2540);
    };
    return QSize(toPixels(m_bounds.width()), toPixels(m_bounds.height()));
}

void WmfPicture::play(QPainter& painter, const QRectF& target) const
{
    if (!m_valid || !painter.isActive())
        return;
    wmf::PlayerInput in;
    in.data = QByteArrayView(m_bytes);
    in.firstRecord = m_firstRecord;
    in.placeable = m_placeable;
    in.bounds = m_bounds;
    in.unitsPerInch = m_unitsPerInch;
    in.objectCount = m_objectCount;
    wmf::Player player(painter, target, in);
    player.run();
}
