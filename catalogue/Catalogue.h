#pragma once
// The catalogue file "Cats.txt" and the category tree built from it.
//
// The file holds the number of name lines per entry L, the number of entries N, then N
// entries of: a separator line, the kind ("LEAF" without regard to case is a category,
// anything else a heading), L names, the picture folder, the thumbnail folder, the picture
// extension and the CD number. Entry 0 is always a heading. A category belongs to the
// heading that precedes it; one listed before any other heading belongs to entry 0.

#include "BrowserState.h"

#include <QList>
#include <QString>
#include <QStringList>

struct Catalogue_Node
{
    QString Text;
    int Entry = -1; // catalogue entry number of a category; -1 for a heading
    QList<Catalogue_Node> Children;
};

struct Catalogue_Tree
{
    QList<Category_Record> Records;
    QList<Catalogue_Node> Headings; // sorted, each with its sorted categories
    // Display order position of the first category: heading index and child index, or -1.
    int First_Heading = -1;
    int First_Child = -1;

    int First_Entry() const
    {
        return First_Heading < 0 ? -1 : Headings.at(First_Heading).Children.at(First_Child).Entry;
    }
};

// The name shown for an entry: without its number prefix (everything up to the first "."
// and the character after it) unless indices are shown.
QString Display_Name(const QString& name, bool showIndices);

// The comparison the tree is sorted with: locale-aware and case-sensitive, lower case before
// upper case where the texts differ only in case. Negative, zero or positive.
int Compare_Names(const QString& a, const QString& b);

// Reads the catalogue text. Returns false with a text for the user when the file ends early,
// holds no category, more than Max_Catalogue_Entries entries, or a number item that is not
// a number.
bool Read_Catalogue(const QStringList& lines, const QString& dataRoot, int langIndex,
                    bool showIndices, Catalogue_Tree& tree, QString* error);

// Reads Data_Root + "Cats.txt". Throws Standard_Error when the file cannot be read and for
// the cases Read_Catalogue refuses.
Catalogue_Tree Load_Catalogue_File(const QString& dataRoot, int langIndex, bool showIndices);
