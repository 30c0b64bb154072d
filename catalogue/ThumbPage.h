#pragma once
// The thumbnail page without its window: the grid geometry of 110 x 90 cells, the scroll
// range, the selection list, listing a category's thumbnails, the loaded cell bitmaps with
// their one-row shift, and the composed page picture.

#include <QImage>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>

constexpr int Cell_Width = 110;
constexpr int Cell_Height = 90;
constexpr int Thumb_Width = 100;
constexpr int Thumb_Height = 80;

struct Page_Geometry
{
    int Cols = 0;
    int Rows = 0;
    int Gap_X = 0;
    int Gap_Y = 0;

    static Page_Geometry For(QSize page);
    int Pitch_X() const { return Gap_X * 2 + Cell_Width; }
    int Pitch_Y() const { return Gap_Y * 2 + Cell_Height; }
    int Cells() const { return Cols * Rows; }
    // The 0-based cell under a point of the page, gaps belonging to their cell; -1 outside
    // the grid.
    int Cell_At(int x, int y) const;
};

// The scroll bar's maximum, in rows, for count pictures. When count is a multiple of cols,
// the last position shows an empty bottom row.
int Scroll_Maximum(int count, int cols, int rows);

// The main window's client size snapped to whole cells: 583 + k * 110 by 401 + k * 90.
QSize Snap_Client_Size(QSize client);

// The selection holds picture indices as decimal text in ascending order of that text,
// compared character by character without regard to case (so "10" comes before "2").
namespace Selection_List {
bool Toggle(QStringList& selection, int index); // true when selected afterwards
bool Contains(const QStringList& selection, int index);
void Select_All(QStringList& selection, int count);
} // namespace Selection_List

// The thumbnails of a category folder: every ordinary ".BMP" file (no folders, hidden or
// system files), as folder + file name, in case-insensitive locale order of the names.
QStringList List_Thumbnails(const QString& folderDos);

// Loads one thumbnail file. Returns a null image when the file is missing (*exists false) or
// when it exists but is not a readable bitmap (*exists true).
using Thumb_Loader = std::function<QImage(const QString& dosPath, bool* exists)>;
QImage Load_Thumbnail_File(const QString& dosPath, bool* exists);

// The bitmaps of the page's cells, one per cell in cell order.
class Thumb_Cells
{
public:
    explicit Thumb_Cells(Thumb_Loader loader = Load_Thumbnail_File) : m_loader(std::move(loader)) {}

    // Empties the table and creates count blank cells.
    void Reset(int count);
    // Loads every cell from list, picture index topIndex + cell.
    void Load_All(const QStringList& list, int topIndex);
    // Moves the cells by one row (delta -1: down, 0 or 1: up) and loads the row that comes
    // into view; topIndex is the new first picture index.
    void Shift_Rows(int delta, int cols, const QStringList& list, int topIndex);

    const QList<QImage>& Images() const { return m_images; }
    // Thumbnails that exist but could not be read since the last Take_Unreadable.
    QStringList Take_Unreadable();

private:
    void Load_Cell(int cell, const QStringList& list, int index);

    Thumb_Loader m_loader;
    QList<QImage> m_images;
    QStringList m_unreadable;
};

// A blank white 100 x 80 bitmap, the picture of a missing thumbnail.
QImage Blank_Thumbnail();

// Draws the whole page into page (its size is kept): white, then for every cell with a
// picture the highlight mark behind a selected one and the thumbnail centred in its
// 100 x 80 area.
void Compose_Page(QImage& page, const Page_Geometry& g, const QList<QImage>& cells, int topIndex,
                  int count, const std::function<bool(int)>& isSelected, const QImage& highlight);
