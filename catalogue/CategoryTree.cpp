#include "CategoryTree.h"

#include <QPainter>
#include <QPainterPath>
#include <QTreeWidget>

namespace {

constexpr int kEntryRole = Qt::UserRole + 1;

QPixmap Draw_Book(bool open)
{
    QPixmap pix(16, 16);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    if (!open) {
        p.setPen(QColor(90, 0, 0));
        p.setBrush(QColor(196, 32, 32));
        p.drawRoundedRect(QRectF(3.5, 1.5, 10, 13), 1.5, 1.5);
        p.setPen(QColor(250, 235, 200));
        p.drawLine(QPointF(5.5, 2.5), QPointF(5.5, 13.5)); // spine
        p.setPen(QColor(255, 220, 120));
        p.drawLine(QPointF(8, 5), QPointF(12, 5));
    } else {
        p.setPen(QColor(70, 70, 70));
        p.setBrush(QColor(200, 200, 200));
        QPainterPath left, right;
        left.moveTo(8, 4);
        left.cubicTo(6, 2.5, 3, 2.5, 1, 3.5);
        left.lineTo(1, 13.5);
        left.cubicTo(3, 12.5, 6, 12.5, 8, 14);
        left.closeSubpath();
        right.moveTo(8, 4);
        right.cubicTo(10, 2.5, 13, 2.5, 15, 3.5);
        right.lineTo(15, 13.5);
        right.cubicTo(13, 12.5, 10, 12.5, 8, 14);
        right.closeSubpath();
        p.drawPath(left);
        p.drawPath(right);
        p.setPen(QColor(130, 130, 130));
        for (int y = 6; y <= 11; y += 2) {
            p.drawLine(QPointF(3, y), QPointF(6.5, y));
            p.drawLine(QPointF(9.5, y), QPointF(13, y));
        }
    }
    return pix;
}

QIcon Node_Icon(int image)
{
    QIcon icon;
    icon.addPixmap(Cat_Tree_Images(image), QIcon::Normal);
    icon.addPixmap(Cat_Tree_Images(Selected_Image), QIcon::Selected);
    return icon;
}

} // namespace

QPixmap Cat_Tree_Images(int index)
{
    return Draw_Book(index == Selected_Image);
}

int Node_Entry(const QTreeWidgetItem* item)
{
    if (!item)
        return -1;
    const QVariant v = item->data(0, kEntryRole);
    return v.isValid() ? v.toInt() : -1;
}

void Fill_Cat_List(QTreeWidget* tree, const Catalogue_Tree& catalogue)
{
    tree->clear();
    const QIcon headingIcon = Node_Icon(Heading_Image);
    const QIcon categoryIcon = Node_Icon(Category_Image);
    QTreeWidgetItem* first = nullptr;
    for (int h = 0; h < catalogue.Headings.size(); ++h) {
        const Catalogue_Node& heading = catalogue.Headings.at(h);
        auto* headingItem = new QTreeWidgetItem(tree, {heading.Text});
        headingItem->setIcon(0, headingIcon);
        for (int c = 0; c < heading.Children.size(); ++c) {
            const Catalogue_Node& category = heading.Children.at(c);
            auto* item = new QTreeWidgetItem(headingItem, {category.Text});
            item->setIcon(0, categoryIcon);
            item->setData(0, kEntryRole, category.Entry);
            if (h == catalogue.First_Heading && c == catalogue.First_Child)
                first = item;
        }
    }
    if (first)
        tree->setCurrentItem(first);
}

QList<QTreeWidgetItem*> Category_Nodes(QTreeWidget* tree)
{
    QList<QTreeWidgetItem*> nodes;
    for (int h = 0; h < tree->topLevelItemCount(); ++h) {
        QTreeWidgetItem* heading = tree->topLevelItem(h);
        for (int c = 0; c < heading->childCount(); ++c)
            nodes.append(heading->child(c));
    }
    return nodes;
}
