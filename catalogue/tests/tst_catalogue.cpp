#include "Catalogue.h"
#include "CategoryTree.h"

#include <QTest>
#include <QTreeWidget>

namespace {

struct Entry
{
    QString kind;
    QStringList names;
    QString pictures, thumbs, ext;
    int cd = 1;
};

QStringList Lines(int languages, const QList<Entry>& entries, int declared = -1)
{
    QStringList lines{QString::number(languages),
                      QString::number(declared < 0 ? entries.size() : declared)};
    for (const Entry& e : entries) {
        lines << "" << e.kind << e.names << e.pictures << e.thumbs << e.ext
              << QString::number(e.cd);
    }
    return lines;
}

// Entry 0 "0. Top", heading "2. Plants" with categories listed before heading "1. Animals"
// (out of alphabetical order in the file), one category before any heading.
QList<Entry> Sample()
{
    return {
        {"HEAD", {"0. Top", "0. Oben", "0. Haut"}, "", "", "", 1},
        {"LEAF", {"9. Early", "9. Frueh", "9. Tot"}, "EARLY", "EARLY\\THB", ".JPG", 1},
        {"heading", {"2. Plants", "2. Pflanzen", "2. Plantes"}, "", "PLANTS", "", 1},
        {"leaf",
         {"21. Trees", "21. B\u00E4ume", "21. Arbres"},
         "TREES\\",
         "TREES\\THB\\",
         "JPG",
         2},
        {"Leaf",
         {"22. Flowers", "22. Blumen", "22. Fleurs"},
         "FLOWERS",
         "FLOWERS\\THB",
         "gif",
         258},
        {"HEAD", {"1. Animals", "1. Tiere", "1. Animaux"}, "", "", "", 1},
        {"LEAF", {"12. birds", "12. V\u00F6gel", "12. Oiseaux"}, "BIRDS", "BIRDS\\THB", ".PCX", 1},
        {"LEAF",
         {"11. Birds", "11. Wale", "11. \u00C9l\u00E9phants"},
         "BIRDS2",
         "BIRDS2\\THB",
         ".BMP",
         1},
        {"LEAF", {"13. Cats", "13. Katzen", "13. Chats"}, "CATS", "CATS\\THB", ".TIF", 1},
    };
}

QStringList Texts(const QList<Catalogue_Node>& nodes)
{
    QStringList t;
    for (const Catalogue_Node& n : nodes)
        t << n.Text;
    return t;
}

} // namespace

class Tst_Catalogue : public QObject
{
    Q_OBJECT
private slots:
    void displayName_data();
    void displayName();
    void treeShape();
    void language_data();
    void language();
    void recordsAndFolders();
    void showIndicesSortsPrefixesAsText();
    void refused_data();
    void refused();
    void fillTreeSelectsFirstCategory();
};

void Tst_Catalogue::displayName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("indices");
    QTest::addColumn<QString>("shown");
    QTest::newRow("prefix") << "3. Birds" << false << "Birds";
    QTest::newRow("long prefix") << "12. Animals" << false << "Animals";
    QTest::newRow("no dot loses first character") << "Birds" << false << "irds";
    QTest::newRow("with indices") << "3. Birds" << true << "3. Birds";
    QTest::newRow("no dot with indices") << "Birds" << true << "Birds";
    QTest::newRow("dot at end") << "Birds." << false << "";
}

void Tst_Catalogue::displayName()
{
    QFETCH(QString, name);
    QFETCH(bool, indices);
    QFETCH(QString, shown);
    QCOMPARE(Display_Name(name, indices), shown);
}

void Tst_Catalogue::treeShape()
{
    Catalogue_Tree tree;
    QString error;
    QVERIFY2(Read_Catalogue(Lines(3, Sample()), "D:\\", 1, false, tree, &error), qPrintable(error));
    // Headings sorted; categories stay under the heading that preceded them in the file.
    QCOMPARE(Texts(tree.Headings), (QStringList{"Animals", "Plants", "Top"}));
    QCOMPARE(Texts(tree.Headings.at(0).Children), (QStringList{"birds", "Birds", "Cats"}));
    QCOMPARE(Texts(tree.Headings.at(1).Children), (QStringList{"Flowers", "Trees"}));
    QCOMPARE(Texts(tree.Headings.at(2).Children), (QStringList{"Early"}));
    QCOMPARE(tree.Headings.at(0).Entry, -1);
    QCOMPARE(tree.Headings.at(1).Children.at(0).Entry, 4);
    // The first category in display order: lower case before upper case.
    QCOMPARE(tree.First_Entry(), 6);
}

void Tst_Catalogue::language_data()
{
    QTest::addColumn<int>("lang");
    QTest::addColumn<QStringList>("animals");
    QTest::newRow("second language, locale order")
        << 2 << QStringList{"Katzen", "V\u00F6gel", "Wale"};
    QTest::newRow("third language") << 3 << QStringList{"Chats", "\u00C9l\u00E9phants", "Oiseaux"};
    QTest::newRow("beyond the name lines: the first") << 5 << QStringList{"birds", "Birds", "Cats"};
}

void Tst_Catalogue::language()
{
    QFETCH(int, lang);
    QFETCH(QStringList, animals);
    Catalogue_Tree tree;
    QVERIFY(Read_Catalogue(Lines(3, Sample()), "D:\\", lang, false, tree, nullptr));
    int animalsIndex = -1;
    for (int h = 0; h < tree.Headings.size(); ++h)
        if (tree.Headings.at(h).Children.size() == 3)
            animalsIndex = h;
    QVERIFY(animalsIndex >= 0);
    QCOMPARE(Texts(tree.Headings.at(animalsIndex).Children), animals);
}

void Tst_Catalogue::recordsAndFolders()
{
    Catalogue_Tree tree;
    QVERIFY(Read_Catalogue(Lines(3, Sample()), "D:\\DATA\\", 1, false, tree, nullptr));
    QCOMPARE(tree.Records.size(), 9);
    QCOMPARE(tree.Records.at(0).Thumb_Folder, QStringLiteral("D:\\DATA\\"));
    QCOMPARE(tree.Records.at(2).Thumb_Folder, QStringLiteral("PLANTS")); // a later heading: as read
    QCOMPARE(tree.Records.at(3).Thumb_Folder, QStringLiteral("D:\\DATA\\TREES\\THB\\"));
    QCOMPARE(tree.Records.at(3).Picture_Folder, QStringLiteral("TREES\\"));
    QCOMPARE(tree.Records.at(3).Picture_Ext, QStringLiteral("JPG"));
    QCOMPARE(int(tree.Records.at(3).CD_Number), 2);
    QCOMPARE(int(tree.Records.at(4).CD_Number), 2); // 258: the low 8 bits
}

void Tst_Catalogue::showIndicesSortsPrefixesAsText()
{
    QList<Entry> entries{{"H", {"0. Top"}, "", "", "", 1},
                         {"LEAF", {"2. Two"}, "A", "A", ".BMP", 1},
                         {"LEAF", {"10. Ten"}, "B", "B", ".BMP", 1}};
    Catalogue_Tree tree;
    QVERIFY(Read_Catalogue(Lines(1, entries), "D:\\", 1, true, tree, nullptr));
    QCOMPARE(Texts(tree.Headings.at(0).Children), (QStringList{"10. Ten", "2. Two"}));
    QVERIFY(Read_Catalogue(Lines(1, entries), "D:\\", 1, false, tree, nullptr));
    QCOMPARE(Texts(tree.Headings.at(0).Children), (QStringList{"Ten", "Two"}));
}

void Tst_Catalogue::refused_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("why");
    const QStringList good = Lines(3, Sample());
    QTest::newRow("ends early") << good.mid(0, good.size() - 3) << "ends early";
    QTest::newRow("declares more entries than it holds") << Lines(3, Sample(), 12) << "ends";
    QTest::newRow("no category") << Lines(1, {{"H", {"0. Top"}, "", "", "", 1},
                                              {"H", {"1. B"}, "", "", "", 1}})
                                 << "no category";
    QTest::newRow("too many entries") << Lines(3, Sample(), 701) << "at most 700";
    QStringList badNumber = good;
    badNumber[10] = "one"; // the CD number of entry 0
    QTest::newRow("CD number not a number") << badNumber << "number";
    QTest::newRow("empty file") << QStringList{} << "number";
}

void Tst_Catalogue::refused()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, why);
    Catalogue_Tree tree;
    QString error;
    QVERIFY(!Read_Catalogue(lines, "D:\\", 1, false, tree, &error));
    QVERIFY2(error.contains(why), qPrintable(error));
}

void Tst_Catalogue::fillTreeSelectsFirstCategory()
{
    Catalogue_Tree catalogue;
    QVERIFY(Read_Catalogue(Lines(3, Sample()), "D:\\", 1, false, catalogue, nullptr));
    QTreeWidget tree;
    Fill_Cat_List(&tree, catalogue);
    QCOMPARE(tree.topLevelItemCount(), 3);
    QCOMPARE(tree.currentItem()->text(0), QStringLiteral("birds"));
    QCOMPARE(Node_Entry(tree.currentItem()), 6);
    QCOMPARE(Node_Entry(tree.topLevelItem(0)), -1);
    QList<int> order;
    for (QTreeWidgetItem* item : Category_Nodes(&tree))
        order << Node_Entry(item);
    QCOMPARE(order, (QList<int>{6, 7, 8, 4, 3, 1}));
}

QTEST_MAIN(Tst_Catalogue)
#include "tst_catalogue.moc"
