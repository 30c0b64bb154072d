#pragma once
// The category tree control: two levels (headings, then their categories), a 16 x 16 image
// per node (a closed red book; an open grey book for the selected node), the entry number
// of a category kept with its node.

#include "Catalogue.h"

#include <QIcon>

class QTreeWidget;
class QTreeWidgetItem;

enum Cat_Tree_Image
{
    Heading_Image = 0,
    Selected_Image = 1,
    Category_Image = 2
};

// The three images of the tree's image list.
QPixmap Cat_Tree_Images(int index);

// Replaces the tree's nodes with the catalogue's and selects the first category in display
// order (which the tree's selection handler then shows, when it is listening).
void Fill_Cat_List(QTreeWidget* tree, const Catalogue_Tree& catalogue);

// The entry number a node carries, or -1 for a heading (or no node).
int Node_Entry(const QTreeWidgetItem* item);

// Every node that carries an entry number, in display order.
QList<QTreeWidgetItem*> Category_Nodes(QTreeWidget* tree);
