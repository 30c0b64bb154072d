// Colour depth reduction: exact palettes, giflib's median-cut palette, error diffusion into a
// given colour table, black and white.
#include "sky_common.h"

#include <QHash>
#include <QPainter>
#include <algorithm>
#include <array>
#include <gif_lib.h>
#include <new>
#include <vector>

namespace sky {

int depthClass(int bits)
{
    switch (bits) {
    case 0:
    case 1:
    case 4:
    case 8:
        return bits;
    default:
        return bits >= 9 && bits <= 32 ? 24 : -1;
    }
}

const QList<QRgb>& vgaPalette()
{
    static const QList<QRgb> table{
        qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
        qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
        qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
        qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
    return table;
}

void clampIndices(QImage& image)
{
    if (image.format() != QImage::Format_Indexed8)
        return;
    if (image.colorCount() == 0) {
        QList<QRgb> grey(256);
        for (int i = 0; i < 256; ++i)
            grey[i] = qRgb(i, i, i);
        image.setColorTable(grey);
    }
    const int count = image.colorCount();
    if (count >= 256)
        return;
    for (int y = 0; y < image.height(); ++y) {
        const uchar* row = image.constScanLine(y);
        const uchar* end = row + image.width();
        if (std::find_if(row, end, [count](uchar v) { return v >= count; }) == end)
            continue;
        uchar* out = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x)
            if (out[x] >= count)
                out[x] = 0;
    }
}

QImage flattenToRgb32(const QImage& image)
{
    if (!image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_RGB32);
    QImage out(image.size(), QImage::Format_RGB32);
    if (out.isNull())
        throw std::bad_alloc();
    out.fill(Qt::white);
    QPainter painter(&out);
    painter.drawImage(0, 0, image);
    return out;
}

namespace {

bool opaqueSubsetOf(const QList<QRgb>& colours, const QList<QRgb>& table)
{
    return std::all_of(colours.begin(), colours.end(),
                       [&](QRgb c) { return qAlpha(c) == 255 && table.contains(c); });
}

// The distinct colours of an RGB32 picture, or an empty list when there are more than max.
QList<QRgb> exactColours(const QImage& rgb, int max)
{
    QList<QRgb> found;
    QHash<QRgb, bool> seen;
    QRgb last = 0;
    bool haveLast = false;
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb c = row[x] | 0xff000000u;
            if (haveLast && c == last)
                continue;
            last = c;
            haveLast = true;
            if (seen.contains(c))
                continue;
            if (found.size() == max)
                return {};
            seen.insert(c, true);
            found.append(c);
        }
    }
    return found;
}

// giflib's median cut over a sample of at most ~4 million pixels; each entry is then moved to
// the mean of the full-precision colours it gathered (the quantizer works on 5 bits a channel).
QList<QRgb> medianCut(const QImage& rgb, int colours)
{
    const int64_t pixels = int64_t(rgb.width()) * rgb.height();
    int step = 1;
    while (pixels / (int64_t(step) * step) > 4'000'000)
        ++step;
    std::vector<GifByteType> r, g, b;
    const size_t expected =
        size_t((rgb.width() + step - 1) / step) * size_t((rgb.height() + step - 1) / step);
    r.reserve(expected);
    g.reserve(expected);
    b.reserve(expected);
    for (int y = 0; y < rgb.height(); y += step) {
        const QRgb* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); x += step) {
            r.push_back(GifByteType(qRed(row[x])));
            g.push_back(GifByteType(qGreen(row[x])));
            b.push_back(GifByteType(qBlue(row[x])));
        }
    }
    std::vector<GifByteType> index(r.size());
    std::vector<GifColorType> map(static_cast<size_t>(colours));
    int size = colours;
    if (GifQuantizeBuffer(unsigned(r.size()), 1, &size, r.data(), g.data(), b.data(), index.data(),
                          map.data()) != GIF_OK)
        throw std::bad_alloc();
    size = std::clamp(size, 1, colours);
    std::vector<std::array<uint64_t, 4>> sums(size_t(size), {0, 0, 0, 0});
    for (size_t i = 0; i < index.size(); ++i) {
        auto& s = sums[std::min<size_t>(index[i], size_t(size - 1))];
        s[0] += r[i];
        s[1] += g[i];
        s[2] += b[i];
        ++s[3];
    }
    QList<QRgb> table(size);
    for (int i = 0; i < size; ++i) {
        const auto& s = sums[size_t(i)];
        table[i] = s[3] ? qRgb(int((s[0] + s[3] / 2) / s[3]), int((s[1] + s[3] / 2) / s[3]),
                               int((s[2] + s[3] / 2) / s[3]))
                        : qRgb(map[size_t(i)].Red, map[size_t(i)].Green, map[size_t(i)].Blue);
    }
    return table;
}

// Nearest table entry, cached on 6 bits a channel.
class NearestColour
{
public:
    explicit NearestColour(const QList<QRgb>& table) : table_(table), cache_(1 << 18, 0xffff) {}

    int find(int r, int g, int b)
    {
        const int key = ((r >> 2) << 12) | ((g >> 2) << 6) | (b >> 2);
        uint16_t& slot = cache_[size_t(key)];
        if (slot == 0xffff)
            slot = uint16_t(search(((r >> 2) << 2) + 2, ((g >> 2) << 2) + 2, ((b >> 2) << 2) + 2));
        return slot;
    }

private:
    int search(int r, int g, int b) const
    {
        int best = 0;
        int bestDistance = INT32_MAX;
        for (int i = 0; i < table_.size(); ++i) {
            const int dr = qRed(table_[i]) - r, dg = qGreen(table_[i]) - g,
                      db = qBlue(table_[i]) - b;
            const int d = dr * dr + dg * dg + db * db;
            if (d < bestDistance) {
                bestDistance = d;
                best = i;
            }
        }
        return best;
    }

    const QList<QRgb>& table_;
    std::vector<uint16_t> cache_;
};

QImage mapExact(const QImage& rgb, const QList<QRgb>& table)
{
    QHash<QRgb, uchar> index;
    for (int i = 0; i < table.size(); ++i)
        index.insert(table[i] | 0xff000000u, uchar(i));
    QImage out(rgb.size(), QImage::Format_Indexed8);
    if (out.isNull())
        throw std::bad_alloc();
    out.setColorTable(table);
    NearestColour nearest(table);
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        uchar* o = out.scanLine(y);
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb c = in[x] | 0xff000000u;
            auto it = index.constFind(c);
            o[x] = it != index.constEnd() ? *it : uchar(nearest.find(qRed(c), qGreen(c), qBlue(c)));
        }
    }
    return out;
}

// Floyd-Steinberg error diffusion into the table (or nearest colour without dithering).
QImage mapToTable(const QImage& rgb, const QList<QRgb>& table, bool dither)
{
    QImage out(rgb.size(), QImage::Format_Indexed8);
    if (out.isNull())
        throw std::bad_alloc();
    out.setColorTable(table);
    NearestColour nearest(table);
    const int w = rgb.width();
    std::vector<int> err0(size_t(w + 2) * 3, 0), err1(size_t(w + 2) * 3, 0);
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        uchar* o = out.scanLine(y);
        if (!dither) {
            for (int x = 0; x < w; ++x)
                o[x] = uchar(nearest.find(qRed(in[x]), qGreen(in[x]), qBlue(in[x])));
            continue;
        }
        std::fill(err1.begin(), err1.end(), 0);
        for (int x = 0; x < w; ++x) {
            int* e = &err0[size_t(x + 1) * 3];
            const int r = std::clamp(qRed(in[x]) + e[0] / 16, 0, 255);
            const int g = std::clamp(qGreen(in[x]) + e[1] / 16, 0, 255);
            const int b = std::clamp(qBlue(in[x]) + e[2] / 16, 0, 255);
            const int i = nearest.find(r, g, b);
            o[x] = uchar(i);
            const int d[3] = {r - qRed(table[i]), g - qGreen(table[i]), b - qBlue(table[i])};
            for (int c = 0; c < 3; ++c) {
                err0[size_t(x + 2) * 3 + size_t(c)] += d[c] * 7;
                err1[size_t(x) * 3 + size_t(c)] += d[c] * 3;
                err1[size_t(x + 1) * 3 + size_t(c)] += d[c] * 5;
                err1[size_t(x + 2) * 3 + size_t(c)] += d[c];
            }
        }
        std::swap(err0, err1);
    }
    return out;
}

// Packs a picture of at most two colour indices into Format_Mono, keeping its table.
QImage packMono(const QImage& indexed)
{
    QImage out(indexed.size(), QImage::Format_Mono);
    if (out.isNull())
        throw std::bad_alloc();
    // A one-colour table gets a second, different colour so that both entries stay apart.
    QList<QRgb> table = indexed.colorTable();
    if (table.isEmpty())
        table.append(qRgb(0, 0, 0));
    if (table.size() < 2)
        table.append((table[0] & 0xffffff) == 0 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    table.resize(2);
    out.setColorTable(table);
    for (int y = 0; y < indexed.height(); ++y) {
        const uchar* in = indexed.constScanLine(y);
        uchar* o = out.scanLine(y);
        std::fill(o, o + out.bytesPerLine(), 0);
        for (int x = 0; x < indexed.width(); ++x)
            if (in[x])
                o[x >> 3] |= uchar(0x80 >> (x & 7));
    }
    return out;
}

} // namespace

QImage reduceDepth(const QImage& image, int cls, bool dither, const QList<QRgb>* palette)
{
    if (cls >= 24 || image.isNull())
        return image;
    const int maxColours = cls == 0 ? 16 : (1 << cls);
    const QImage::Format f = image.format();
    if (f == QImage::Format_Mono || f == QImage::Format_MonoLSB || f == QImage::Format_Indexed8) {
        const QList<QRgb> table = image.colorTable();
        const bool fits =
            table.size() <= maxColours && (cls != 0 || opaqueSubsetOf(table, vgaPalette()));
        if (fits) {
            if (f == QImage::Format_Mono)
                return image;
            if (f == QImage::Format_MonoLSB)
                return image.convertToFormat(QImage::Format_Mono);
            return cls == 1 ? packMono(image) : image;
        }
    }
    const QImage rgb = flattenToRgb32(image);
    if (rgb.isNull())
        throw std::bad_alloc();
    QList<QRgb> table;
    bool exact = false;
    if (cls == 0) {
        table = vgaPalette();
    } else if (palette && !palette->isEmpty() && palette->size() <= maxColours) {
        table = *palette;
    } else if (table = exactColours(rgb, maxColours); !table.isEmpty()) {
        exact = true;
    } else if (cls == 1) {
        return rgb.convertToFormat(QImage::Format_Mono,
                                   dither ? Qt::DiffuseDither : Qt::ThresholdDither);
    } else {
        table = medianCut(rgb, maxColours);
    }
    QImage indexed = exact ? mapExact(rgb, table) : mapToTable(rgb, table, dither);
    return cls == 1 ? packMono(indexed) : indexed;
}

QImage indexedForWrite(const QImage& image, int cls, const QList<QRgb>* palette)
{
    QImage reduced = reduceDepth(image, cls, true, palette);
    if (reduced.format() == QImage::Format_Indexed8)
        return reduced;
    // Format_Mono: unpack to one byte a pixel, keeping the two colours.
    QImage out(reduced.size(), QImage::Format_Indexed8);
    if (out.isNull())
        throw std::bad_alloc();
    out.setColorTable(reduced.colorTable());
    for (int y = 0; y < reduced.height(); ++y) {
        const uchar* in = reduced.constScanLine(y);
        uchar* o = out.scanLine(y);
        for (int x = 0; x < reduced.width(); ++x)
            o[x] = (in[x >> 3] >> (7 - (x & 7))) & 1;
    }
    return out;
}

} // namespace sky
