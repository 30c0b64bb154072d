// Text records of the metafile player: TEXTOUT and EXTTEXTOUT with the
// selected font, alignment, background and spacing.

#include "WmfFonts.h"
#include "WmfPlayer.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>

#include <cmath>

namespace wmf {

namespace {

constexpr int TaUpdateCp = 0x0001;
constexpr int TaHorizontal = 0x0006;
constexpr int TaRight = 0x0002;
constexpr int TaCenter = 0x0006;
constexpr int TaVertical = 0x0018;
constexpr int TaBottom = 0x0008;
constexpr int TaBaseline = 0x0018;
constexpr int EtoOpaque = 0x0002;
constexpr int EtoClipped = 0x0004;
constexpr int EtoGlyphIndex = 0x0010;
constexpr int EtoPdy = 0x2000;
constexpr double MaxFontPixels = 16384;

QFont makeQFont(const FontSpec& spec, double pixels, double dpi)
{
    QFont font(resolveFamily(spec.face, spec.pitchAndFamily));
    font.setPointSizeF(pixels * 72.0 / dpi);
    const int weight = faceWeight(spec.face, spec.weight > 0 ? spec.weight : 400);
    font.setWeight(QFont::Weight(std::clamp(weight, 1, 1000)));
    font.setItalic(spec.italic);
    font.setUnderline(spec.underline);
    font.setStrikeOut(spec.strikeOut);
    font.setKerning(false); // Windows text output places glyphs by their advances only
    return font;
}

} // namespace

void Player::textOut(const Record& rec)
{
    const Params& p = rec.params;
    const int length = p.s16(0);
    if (length <= 0)
        return;
    const qsizetype stringWords = (length + 1) / 2;
    if (!p.has(1 + stringWords + 2))
        return;
    const QByteArrayView text = p.tail(2).first(length);
    drawText(p.s16(2 + stringWords), p.s16(1 + stringWords), text, {}, 0, {});
}

void Player::extTextOut(const Record& rec)
{
    const Params& p = rec.params;
    if (!p.has(4))
        return;
    const int y = p.s16(0);
    const int x = p.s16(1);
    const int count = std::max(0, int(p.s16(2)));
    const int options = p.u16(3);
    qsizetype at = 4;
    QRectF rect;
    if ((options & (EtoOpaque | EtoClipped)) && p.has(8)) {
        rect = deviceRect(p.s16(4), p.s16(5), p.s16(6), p.s16(7));
        at = 8;
    }
    const qsizetype available = p.byteCount() - at * 2;
    const qsizetype length = std::min<qsizetype>(count, available);
    const QByteArrayView text = p.tail(at * 2).first(std::max<qsizetype>(0, length));
    // The optional spacing array: one advance per byte (with ETO_PDY, an x
    // and a y advance each; the y ones are not used).
    QList<double> dx;
    const qsizetype dxAt = at + (length + 1) / 2;
    const int step = (options & EtoPdy) ? 2 : 1;
    if (p.has(dxAt + length * step)) {
        dx.reserve(length);
        for (qsizetype i = 0; i < length; ++i)
            dx.append(p.s16(dxAt + i * step));
    }
    drawText(x, y, text, dx, options, rect);
}

void Player::drawText(double x, double y, QByteArrayView bytes, const QList<double>& dx,
                      int options, const QRectF& rect)
{
    applyClip();
    if ((options & EtoOpaque) && !rect.isEmpty())
        m_p.fillRect(rect, color(m_dc.bkColor));
    if (bytes.isEmpty() || !m_canDrawText || (options & EtoGlyphIndex))
        return;

    const FontSpec& spec = m_dc.font;
    const QPointF scale = deviceScale();
    const double sx = std::abs(scale.x());
    const double sy = std::abs(scale.y());
    const double dpi = m_p.device() ? m_p.device()->logicalDpiY() : 96.0;

    // Negative heights give the character height (the em), positive ones the
    // cell height (ascent plus descent); 0 is the default of 16 screen pixels.
    double pixels;
    if (spec.height < 0)
        pixels = -spec.height * sy;
    else if (spec.height > 0) {
        const QFontMetricsF ref(makeQFont(spec, 100, dpi), m_p.device());
        const double cell = ref.ascent() + ref.descent();
        pixels = cell > 0 ? spec.height * sy * 100 / cell : spec.height * sy;
    } else {
        pixels = 16.0 * sy * m_in.unitsPerInch / 96.0;
    }
    if (!(pixels >= 0.5))
        return;
    pixels = std::min(pixels, MaxFontPixels);
    QFont font = makeQFont(spec, pixels, dpi);
    if (spec.width != 0) {
        const QFontMetricsF natural(font, m_p.device());
        if (natural.averageCharWidth() > 0) {
            const double wanted = std::abs(spec.width) * sx;
            font.setStretch(
                std::clamp(int(std::lround(100 * wanted / natural.averageCharWidth())), 1, 4000));
        }
    }
    const QFontMetricsF fm(font, m_p.device());

    const QString text = decodeText(bytes, spec.charSet, spec.face);
    const bool perByte = text.size() == bytes.size();
    QList<double> advances;
    const bool spaced = (perByte && !dx.isEmpty()) || m_dc.charExtra != 0 ||
                        (m_dc.breakExtra != 0 && m_dc.breakCount > 0);
    double width = 0;
    if (spaced) {
        advances.reserve(text.size());
        for (qsizetype i = 0; i < text.size(); ++i) {
            double a;
            if (perByte && i < dx.size()) {
                a = dx[i] * scale.x();
            } else {
                a = fm.horizontalAdvance(text[i]) + m_dc.charExtra * sx;
                if (text[i] == QLatin1Char(' ') && m_dc.breakCount > 0)
                    a += double(m_dc.breakExtra) / m_dc.breakCount * sx;
            }
            advances.append(a);
            width += a;
        }
    } else {
        width = fm.horizontalAdvance(text);
    }

    const bool updateCp = m_dc.textAlign & TaUpdateCp;
    const QPointF ref =
        updateCp ? toDevice(m_dc.currentPos.x(), m_dc.currentPos.y()) : toDevice(x, y);
    double startX = 0;
    switch (m_dc.textAlign & TaHorizontal) {
    case TaRight:
        startX = -width;
        break;
    case TaCenter:
        startX = -width / 2;
        break;
    default:
        break;
    }
    double baseline = fm.ascent(); // TA_TOP
    switch (m_dc.textAlign & TaVertical) {
    case TaBottom:
        baseline = -fm.descent();
        break;
    case TaBaseline:
        baseline = 0;
        break;
    default:
        break;
    }
    const double angle = -spec.escapement / 10.0;

    m_p.save();
    if ((options & EtoClipped) && !rect.isNull())
        m_p.setClipRect(rect, Qt::IntersectClip);
    m_p.translate(ref);
    m_p.rotate(angle);
    if (m_dc.bkMode == 2) // OPAQUE: the text cells get the background colour
        m_p.fillRect(QRectF(std::min(startX, startX + width), baseline - fm.ascent(),
                            std::abs(width), fm.ascent() + fm.descent()),
                     color(m_dc.bkColor));
    m_p.setFont(font);
    m_p.setPen(color(m_dc.textColor));
    if (spaced) {
        double pen = startX;
        for (qsizetype i = 0; i < text.size(); ++i) {
            m_p.drawText(QPointF(pen, baseline), QString(text[i]));
            pen += advances[i];
        }
    } else {
        m_p.drawText(QPointF(startX, baseline), text);
    }
    m_p.restore();

    if (updateCp) {
        double move = 0;
        switch (m_dc.textAlign & TaHorizontal) {
        case TaRight:
            move = -width;
            break;
        case TaCenter:
            move = 0;
            break;
        default:
            move = width;
            break;
        }
        const double rad = angle * M_PI / 180;
        const QPointF end = ref + QPointF(move * std::cos(rad), move * std::sin(rad));
        m_dc.currentPos = toLogical(end);
    }
}

} // namespace wmf
