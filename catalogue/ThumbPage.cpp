#include "ThumbPage.h"

#include "DosPath.h"
#include "System.h"

#include <QCollator>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QImageReader>
#include <QLocale>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

Page_Geometry Page_Geometry::For(QSize page)
{
    Page_Geometry g;
    g.Cols = std::max(0, page.width()) / Cell_Width;
    g.Rows = std::max(0, page.height()) / Cell_Height;
    // A page narrower than one cell has no grid, and no gaps to divide.
    g.Gap_X = g.Cols > 0 ? (page.width() % Cell_Width) / (2 * g.Cols) : 0;
    g.Gap_Y = g.Rows > 0 ? (page.height() % Cell_Height) / (2 * g.Rows) : 0;
    return g;
}

int Page_Geometry::Cell_At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= Pitch_X() * Cols || y >= Pitch_Y() * Rows)
        return -1;
    return x / Pitch_X() + (y / Pitch_Y()) * Cols;
}

int Scroll_Maximum(int count, int cols, int rows)
{
    if (cols <= 0)
        return 0;
    return count / cols >= rows ? count / cols + 1 - rows : 0;
}

QSize Snap_Client_Size(QSize client)
{
    const int w = client.width() < 583 ? 583 : 583 + ((client.width() - 583) / 110) * 110;
    const int h = client.height() < 401 ? 401 : 401 + ((client.height() - 401) / 90) * 90;
    return {w, h};
}

namespace Selection_List {
namespace {
// Position of the text in the list, or where it belongs (as a negative -(pos + 1)).
qsizetype Find(const QStringList& selection, const QString& text)
{
    const auto it = std::lower_bound(
        selection.begin(), selection.end(), text,
        [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    const qsizetype pos = it - selection.begin();
    if (it != selection.end() && it->compare(text, Qt::CaseInsensitive) == 0)
        return pos;
    return -(pos + 1);
}
} // namespace

bool Toggle(QStringList& selection, int index)
{
    const QString text = QString::number(index);
    const qsizetype pos = Find(selection, text);
    if (pos >= 0) {
        selection.removeAt(pos);
        return false;
    }
    selection.insert(-pos - 1, text);
    return true;
}

bool Contains(const QStringList& selection, int index)
{
    return Find(selection, QString::number(index)) >= 0;
}

void Select_All(QStringList& selection, int count)
{
    selection.clear();
    for (int i = 0; i < count; ++i)
        selection.append(QString::number(i));
    std::sort(selection.begin(), selection.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
}
} // namespace Selection_List

namespace {

const QCollator& Name_Collator()
{
    static const QCollator collator = [] {
        QLocale locale;
        if (locale.language() == QLocale::C)
            locale = QLocale(QLocale::English, QLocale::UnitedStates);
        QCollator c(locale);
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator;
}

// For names of printable ASCII characters the collation order is the order of the
// characters' primary weights, one weight per character; a table of their ranks sorts such
// names without asking the collator for every name. -1 marks characters the table cannot
// stand for (those the collation ignores, and everything outside printable ASCII).
const std::array<int, 128>& Ascii_Ranks()
{
    static const std::array<int, 128> ranks = [] {
        std::array<int, 128> r;
        r.fill(-1);
        const QCollator& c = Name_Collator();
        std::vector<char> chars;
        for (char ch = 32; ch < 127; ++ch) {
            if (c.compare(QString(QLatin1Char(ch)), QString()) != 0)
                chars.push_back(ch);
        }
        std::stable_sort(chars.begin(), chars.end(), [&](char a, char b) {
            return c.compare(QString(QLatin1Char(a)), QString(QLatin1Char(b))) < 0;
        });
        int rank = 0;
        for (size_t i = 0; i < chars.size(); ++i) {
            if (i > 0 &&
                c.compare(QString(QLatin1Char(chars[i - 1])), QString(QLatin1Char(chars[i]))) != 0)
                ++rank;
            r[size_t(chars[i])] = rank;
        }
        return r;
    }();
    return ranks;
}

// True when every character of the name has a rank.
bool Rankable(const QString& name)
{
    const std::array<int, 128>& ranks = Ascii_Ranks();
    for (QChar ch : name) {
        const char16_t u = ch.unicode();
        if (u >= 128 || ranks[u] < 0)
            return false;
    }
    return true;
}

// Compares two rankable names by the ranks of their characters, a shorter prefix first.
int Compare_Ranks(const QString& a, const QString& b)
{
    const std::array<int, 128>& ranks = Ascii_Ranks();
    const qsizetype n = std::min(a.size(), b.size());
    const QChar* pa = a.constData();
    const QChar* pb = b.constData();
    for (qsizetype i = 0; i < n; ++i) {
        const int d = ranks[pa[i].unicode()] - ranks[pb[i].unicode()];
        if (d != 0)
            return d;
    }
    return int(a.size() - b.size());
}

} // namespace

namespace {

// The listings of the folders shown last. A folder whose modification and change times are
// those of its listing has the same files, so a category shown again (after a resize, a
// Thumbnail View switch, a return from another category) is not listed again.
struct Listing
{
    QString Folder; // as asked, Windows form
    QString Native;
    QDateTime Modified;
    QDateTime Changed;
    QStringList List;
};

QList<Listing>& Recent_Listings()
{
    static QList<Listing> listings;
    return listings;
}

bool Folder_Stamp(const QString& native, QDateTime* modified, QDateTime* changed)
{
    const QFileInfo info(native);
    if (!info.isDir())
        return false;
    *modified = info.lastModified();
    *changed = info.fileTime(QFileDevice::FileMetadataChangeTime);
    return true;
}

QStringList Sorted_Listing(const QString& folder, const QString& native);

} // namespace

QStringList List_Thumbnails(const QString& folderDos)
{
    const QString folder = Dos::With_Backslash(folderDos);
    const QString native = Platform::Native_Path(folder);
    QDateTime modified, changed;
    if (native.isEmpty() || !Folder_Stamp(native, &modified, &changed))
        return {};
    QList<Listing>& recent = Recent_Listings();
    for (qsizetype i = 0; i < recent.size(); ++i) {
        const Listing& l = recent.at(i);
        if (l.Folder == folder && l.Native == native && l.Modified == modified &&
            l.Changed == changed) {
            recent.move(i, 0);
            return recent.first().List;
        }
    }
    const QDateTime listed = QDateTime::currentDateTime();
    Listing listing{folder, native, modified, changed, Sorted_Listing(folder, native)};
    // File times are kept in coarse steps: a folder changed within the last moments may
    // change again without its times moving, so only a listing of a folder that had been
    // unchanged for a while before it was read is kept.
    if (std::max(modified, changed).msecsTo(listed) >= 2000) {
        recent.prepend(listing);
        if (recent.size() > 8)
            recent.removeLast();
    }
    return listing.List;
}

namespace {

QStringList Sorted_Listing(const QString& folder, const QString& native)
{
    const QStringList names = Platform::List_Files(native, QStringLiteral(".BMP"));
    std::vector<qsizetype> order(size_t(names.size()));
    for (qsizetype i = 0; i < names.size(); ++i)
        order[size_t(i)] = i;
    const bool ascii = std::all_of(names.begin(), names.end(), Rankable);
    // Names the collation ranks equal (they differ in case only) keep a fixed order.
    if (ascii) {
        std::sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
            const int c = Compare_Ranks(names.at(a), names.at(b));
            return c != 0 ? c < 0 : names.at(a) < names.at(b);
        });
    } else {
        const QCollator& collator = Name_Collator();
        std::vector<QCollatorSortKey> keys;
        keys.reserve(size_t(names.size()));
        for (const QString& name : names)
            keys.push_back(collator.sortKey(name));
        std::sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
            const int c = keys[size_t(a)].compare(keys[size_t(b)]);
            return c != 0 ? c < 0 : names.at(a) < names.at(b);
        });
    }
    QStringList list;
    list.reserve(names.size());
    for (qsizetype i : order)
        list.append(folder + names.at(i));
    return list;
}

} // namespace

namespace {

quint32 Le32(const uchar* p)
{
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

// Thumbnails are nearly always uncompressed 24-bit bitmaps: their rows are copied straight
// into the image. Anything else goes to the general reader.
QImage Decode_Bmp(const QByteArray& bytes)
{
    const auto* d = reinterpret_cast<const uchar*>(bytes.constData());
    const qsizetype size = bytes.size();
    if (size >= 54 && d[0] == 'B' && d[1] == 'M' && Le32(d + 14) >= 40 &&
        (d[26] | d[27] << 8) == 1 && (d[28] | d[29] << 8) == 24 && Le32(d + 30) == 0) {
        const qint32 width = qint32(Le32(d + 18));
        const qint32 height = qint32(Le32(d + 22));
        const quint32 offset = Le32(d + 10);
        const qint64 rows = height < 0 ? -qint64(height) : height;
        const qint64 stride = ((qint64(width) * 3 + 3) / 4) * 4;
        if (width > 0 && width <= 4096 && rows > 0 && rows <= 4096 && offset <= size &&
            stride * rows <= size - offset) {
            // Decoded into the page's own pixel format, so drawing it is a plain copy.
            QImage image(width, int(rows), QImage::Format_RGB32);
            for (int y = 0; y < rows; ++y) {
                const int source = height > 0 ? int(rows) - 1 - y : y; // bottom-up unless negative
                const uchar* in = d + offset + stride * source;
                auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
                for (qint32 x = 0; x < width; ++x, in += 3)
                    out[x] = qRgb(in[2], in[1], in[0]);
            }
            return image;
        }
    }
    return QImage::fromData(bytes, "BMP");
}

} // namespace

QImage Load_Thumbnail_File(const QString& dosPath, bool* exists)
{
    QFile file;
    if (!Platform::Open_For_Reading(dosPath, file)) {
        // Missing, or there but not readable (which counts as a bad bitmap).
        if (exists)
            *exists = Platform::File_Exists(dosPath);
        return {};
    }
    if (exists)
        *exists = true;
    return Decode_Bmp(file.readAll());
}

QImage Blank_Thumbnail()
{
    // One shared picture: cells are copied and drawn, never drawn on.
    static const QImage blank = [] {
        QImage image(Thumb_Width, Thumb_Height, QImage::Format_RGB32);
        image.fill(Qt::white);
        return image;
    }();
    return blank;
}

void Thumb_Cells::Reset(int count)
{
    m_images = QList<QImage>(std::max(0, count), Blank_Thumbnail());
}

void Thumb_Cells::Load_Cell(int cell, const QStringList& list, int index)
{
    if (index < 0 || index >= list.size()) {
        m_images[cell] = Blank_Thumbnail();
        return;
    }
    bool exists = false;
    QImage image = m_loader(list.at(index), &exists);
    if (image.isNull()) {
        if (exists)
            m_unreadable.append(list.at(index));
        image = Blank_Thumbnail();
    }
    m_images[cell] = image;
}

void Thumb_Cells::Load_All(const QStringList& list, int topIndex)
{
    for (int i = 0; i < m_images.size(); ++i)
        Load_Cell(i, list, topIndex + i);
}

void Thumb_Cells::Shift_Rows(int delta, int cols, const QStringList& list, int topIndex)
{
    const int cells = int(m_images.size());
    if (cols <= 0 || cells < cols)
        return;
    if (delta == -1) {
        for (int i = cells - 1; i >= cols; --i)
            m_images[i] = m_images[i - cols];
        for (int i = 0; i < cols; ++i)
            Load_Cell(i, list, topIndex + i);
    } else {
        for (int i = 0; i < cells - cols; ++i)
            m_images[i] = m_images[i + cols];
        for (int i = cells - cols; i < cells; ++i)
            Load_Cell(i, list, topIndex + i);
    }
}

QStringList Thumb_Cells::Take_Unreadable()
{
    QStringList taken;
    taken.swap(m_unreadable);
    return taken;
}

void Compose_Page(QImage& page, const Page_Geometry& g, const QList<QImage>& cells, int topIndex,
                  int count, const std::function<bool(int)>& isSelected, const QImage& highlight)
{
    if (page.isNull())
        page = QImage(1, 1, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter p(&page);
    const int px = g.Pitch_X(), py = g.Pitch_Y();
    for (int i = 0; i < cells.size() && i < g.Cells(); ++i) {
        const int c = i % g.Cols, r = i / g.Cols, k = topIndex + i;
        if (k >= count)
            continue; // the page is white already
        if (isSelected(k) && !highlight.isNull())
            p.drawImage(px * c + g.Gap_X, py * r + g.Gap_Y, highlight);
        const QImage& thumb = cells.at(i);
        p.drawImage(px * c + 5 + g.Gap_X + (Thumb_Width - thumb.width()) / 2,
                    py * r + 5 + g.Gap_Y + (Thumb_Height - thumb.height()) / 2, thumb);
    }
}
