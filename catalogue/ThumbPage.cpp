#include "ThumbPage.h"

#include "DosPath.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QLocale>
#include <QPainter>

#include <algorithm>

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

QStringList List_Thumbnails(const QString& folderDos)
{
    const QString folder = Dos::With_Backslash(folderDos);
    QStringList names;
    const QString native = Platform::Native_Path(folder);
    if (!native.isEmpty()) {
        QDir dir(native);
        // No QDir::Hidden and no QDir::System: those files are not listed.
        for (const QFileInfo& info : dir.entryInfoList(QDir::Files | QDir::NoDotAndDotDot)) {
            if (info.isFile() &&
                info.fileName().endsWith(QLatin1String(".BMP"), Qt::CaseInsensitive))
                names.append(info.fileName());
        }
    }
    static const QCollator collator = [] {
        QLocale locale;
        if (locale.language() == QLocale::C)
            locale = QLocale(QLocale::English, QLocale::UnitedStates);
        QCollator c(locale);
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
    QStringList list;
    list.reserve(names.size());
    for (const QString& name : names)
        list.append(folder + name);
    return list;
}

QImage Load_Thumbnail_File(const QString& dosPath, bool* exists)
{
    const QString native = Platform::Native_Path(dosPath);
    const bool found = !native.isEmpty() && QFileInfo(native).isFile();
    if (exists)
        *exists = found;
    if (!found)
        return {};
    QImageReader reader(native, "BMP");
    return reader.read();
}

QImage Blank_Thumbnail()
{
    QImage blank(Thumb_Width, Thumb_Height, QImage::Format_RGB32);
    blank.fill(Qt::white);
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

QImage Compose_Page(QSize size, const Page_Geometry& g, const QList<QImage>& cells, int topIndex,
                    int count, const std::function<bool(int)>& isSelected, const QImage& highlight)
{
    QImage page(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
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
    return page;
}
