#include "Catalogue.h"

#include "AnsiText.h"
#include "DosPath.h"
#include "StandardError.h"
#include "TextItems.h"

#include <QCollator>
#include <QFile>
#include <QLocale>

#include <algorithm>

QString Display_Name(const QString& name, bool showIndices)
{
    if (showIndices)
        return name;
    const qsizetype dot = name.indexOf(QLatin1Char('.')); // 0-based; the prefix is dot + 2 long
    return name.mid(dot < 0 ? 1 : dot + 2);
}

namespace {

const QCollator& Name_Collator()
{
    static const QCollator collator = [] {
        QLocale locale;
        if (locale.language() == QLocale::C)
            locale = QLocale(QLocale::English, QLocale::UnitedStates);
        QCollator c(locale);
        c.setCaseSensitivity(Qt::CaseSensitive);
        c.setNumericMode(false);
        c.setIgnorePunctuation(false);
        return c;
    }();
    return collator;
}

void Sort_Nodes(QList<Catalogue_Node>& nodes)
{
    std::stable_sort(nodes.begin(), nodes.end(),
                     [](const Catalogue_Node& a, const Catalogue_Node& b) {
                         return Compare_Names(a.Text, b.Text) < 0;
                     });
    for (Catalogue_Node& node : nodes)
        Sort_Nodes(node.Children);
}

} // namespace

int Compare_Names(const QString& a, const QString& b)
{
    const int c = Name_Collator().compare(a, b);
    if (c != 0 || a == b)
        return c;
    // Texts the collation ranks equal still need a fixed order: lower case first.
    for (qsizetype i = 0; i < std::min(a.size(), b.size()); ++i) {
        if (a.at(i) != b.at(i))
            return a.at(i).isLower()
                       ? -1
                       : (b.at(i).isLower() ? 1 : a.at(i).unicode() - b.at(i).unicode());
    }
    return int(a.size() - b.size());
}

bool Read_Catalogue(const QStringList& lines, const QString& dataRoot, int langIndex,
                    bool showIndices, Catalogue_Tree& tree, QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    tree = Catalogue_Tree();
    Text_Items items(lines);
    int names = 0;
    int entries = 0;
    if (!items.Read_Number(names) || !items.Read_Number(entries))
        return fail(items.errorText());
    if (names < 1)
        return fail(QStringLiteral("the catalogue gives no name lines per entry"));
    if (entries > Max_Catalogue_Entries)
        return fail(QStringLiteral("the catalogue lists %1 entries; at most %2 are supported")
                        .arg(entries)
                        .arg(Max_Catalogue_Entries));

    const int count = std::max(entries, 1); // the first entry is always read
    int current = -1;                       // index of the current heading in tree.Headings
    bool anyCategory = false;
    for (int i = 0; i < count; ++i) {
        QString kind;
        QStringList entryNames;
        Category_Record record;
        QString thumbFolder;
        int cd = 0;
        bool ok = items.Skip_Line() && items.Read_Line(kind);
        for (int n = 0; ok && n < names; ++n) {
            QString name;
            ok = items.Read_Line(name);
            entryNames.append(name);
        }
        ok = ok && items.Read_Line(record.Picture_Folder) && items.Read_Line(thumbFolder) &&
             items.Read_Line(record.Picture_Ext) && items.Read_Number(cd);
        if (!ok)
            return fail(QStringLiteral("entry %1: %2").arg(i).arg(items.errorText()));
        record.CD_Number = std::uint8_t(cd & 0xFF);

        const QString name = langIndex >= 1 && langIndex <= entryNames.size()
                                 ? entryNames.at(langIndex - 1)
                                 : entryNames.first();
        const bool leaf = i > 0 && kind.compare(QLatin1String("LEAF"), Qt::CaseInsensitive) == 0;
        record.Thumb_Folder = (leaf || i == 0) ? dataRoot + thumbFolder : thumbFolder;
        tree.Records.append(record);

        Catalogue_Node node;
        node.Text = Display_Name(name, showIndices);
        if (leaf) {
            node.Entry = i;
            tree.Headings[current].Children.append(node);
            anyCategory = true;
        } else {
            tree.Headings.append(node);
            current = int(tree.Headings.size()) - 1;
        }
    }
    if (!anyCategory)
        return fail(QStringLiteral("the catalogue holds no category (no entry of kind LEAF)"));

    Sort_Nodes(tree.Headings);
    for (int h = 0; h < tree.Headings.size(); ++h) {
        if (!tree.Headings.at(h).Children.isEmpty()) {
            tree.First_Heading = h;
            tree.First_Child = 0;
            break;
        }
    }
    return true;
}

Catalogue_Tree Load_Catalogue_File(const QString& dataRoot, int langIndex, bool showIndices)
{
    const QString path = dataRoot + QStringLiteral("Cats.txt");
    QFile file(Platform::Native_Path(path));
    if (!file.open(QIODevice::ReadOnly))
        Raise_File_Error(path, file.exists() ? file.errorString()
                                             : QStringLiteral("The file does not exist."));
    Catalogue_Tree tree;
    QString error;
    if (!Read_Catalogue(Ansi::Split_Lines(Ansi::Decode(file.readAll())), dataRoot, langIndex,
                        showIndices, tree, &error))
        throw Standard_Error(
            QStringLiteral("The catalogue \"%1\" cannot be read: %2.").arg(path, error));
    return tree;
}
