// The demo disc: a small collection in three languages with every kind of entry the
// catalogue format allows.
#include "Mkdisc.h"

namespace Mkdisc {
namespace {

Entry_Spec Heading(QStringList names)
{
    Entry_Spec e;
    e.Leaf = false;
    e.Names = std::move(names);
    return e;
}

Entry_Spec Category(QStringList names, const QString& folder, const QString& ext, int cd,
                    const QStringList& pictures, int archiveEvery = 0)
{
    Entry_Spec e;
    e.Names = std::move(names);
    e.Picture_Folder = folder;
    e.Thumb_Folder = folder + QStringLiteral("\\THB\\");
    e.Picture_Ext = ext;
    e.CD_Number = cd;
    for (int i = 0; i < pictures.size(); ++i)
        e.Pictures.append(
            {pictures.at(i), archiveEvery > 0 && i % archiveEvery == archiveEvery - 1});
    return e;
}

QStringList Numbered(const QString& stem, int count)
{
    QStringList names;
    for (int i = 1; i <= count; ++i)
        names << stem + QStringLiteral("%1").arg(i, 3, 10, QLatin1Char('0'));
    return names;
}

} // namespace

Disc_Spec Demo_Disc()
{
    Disc_Spec spec;
    spec.Languages = 3;
    spec.CD_Number = 1;
    spec.Picture_Size = QSize(480, 360);
    spec.Entries = {
        Heading({"0. Orvinta Collection", "0. Orvinta Sammlung", "0. Collection Orvinta"}),
        // Listed before any heading: it belongs to entry 0.
        Category({"50. Highlights", "50. H\u00F6hepunkte", "50. Temps forts"}, "HIGHLITE", ".JPG",
                 1,
                 {"AURORA", "BLOSSOM", "CANYON", "DUNES", "ECLIPSE", "FJORD", "GLACIER", "HARBOUR",
                  "ISLAND", "JUNGLE", "LAGOON", "MEADOW"},
                 4),
        // Headings out of alphabetical order.
        Heading({"30. Plants", "30. Pflanzen", "30. Plantes"}),
        Category({"31. Flowers", "31. Blumen", "31. Fleurs"}, "PLANTS\\FLOWERS", ".PNG", 1,
                 {"ASTER",    "BLUEBELL", "CROCUS", "DAISY",   "DAHLIA", "FREESIA",
                  "GERANIUM", "HYACINTH", "IRIS",   "JASMINE", "LILAC",  "LILY",
                  "LOTUS",    "MARIGOLD", "ORCHID", "PANSY",   "PEONY",  "POPPY",
                  "ROSE",     "SAGE",     "TULIP",  "VIOLET",  "ZINNIA", "CLOVER"}),
        Category({"32. Trees", "32. B\u00E4ume", "32. Arbres"}, "PLANTS\\TREES", "jpg", 1,
                 {"ALDER", "ASH", "BEECH", "BIRCH", "CEDAR", "CHESTNUT", "CYPRESS", "ELM", "FIR",
                  "HAZEL", "HOLLY", "LARCH", "MAPLE", "OAK", "PINE", "WILLOW"}),
        Heading({"10. Animals", "10. Tiere", "10. Animaux"}),
        Category({"11. Birds", "11. V\u00F6gel", "11. Oiseaux"}, "ANIMALS\\BIRDS", ".JPG", 1,
                 Numbered(QStringLiteral("BIRD"), 160), 10),
        Category({"12. Fish", "12. Fische", "12. Poissons"}, "ANIMALS\\FISH", ".BMP", 1,
                 {"ANGEL",   "BARB",    "CARP", "COD",      "EEL",    "GOBY",  "GUPPY",
                  "HADDOCK", "HERRING", "KOI",  "MACKEREL", "MINNOW", "PERCH", "PIKE",
                  "PLAICE",  "SALMON",  "SOLE", "TETRA",    "TROUT",  "TUNA"}),
        Category({"13. Elephants", "13. Elefanten", "13. \u00C9l\u00E9phants"}, "ANIMALS\\ELEPHANT",
                 ".JPG", 2, Numbered(QStringLiteral("ELE"), 10)),
        Heading({"20. Places", "20. Orte", "20. Lieux"}),
        Category({"21. Mountains", "21. Berge", "21. Montagnes"}, "PLACES\\MOUNTAIN", ".JPG", 1,
                 Numbered(QStringLiteral("PEAK"), 18), 1),
        Category({"22. Coasts", "22. K\u00FCsten", "22. C\u00F4tes"}, "PLACES\\COAST", ".PNG", 1,
                 Numbered(QStringLiteral("COAST"), 14)),
        Category({"23. Cities", "23. St\u00E4dte", "23. Villes"}, "PLACES\\CITY", "BMP", 1,
                 Numbered(QStringLiteral("CITY"), 12)),
        // Last, so that the entries above keep their numbers: the remaining formats.
        Heading({"40. Art", "40. Kunst", "40. Art"}),
        Category({"41. Clip Art", "41. Cliparts", "41. Images clipart"}, "ART\\CLIPART", ".WMF", 1,
                 {"FLOWER", "HOUSE", "LANDSCAP", "CHART", "BLOOM", "COTTAGE", "VALLEY", "GRAPH"}),
        Category({"42. Icons", "42. Symbole", "42. Ic\u00F4nes"}, "ART\\ICONS", "ico", 1,
                 {"SUN", "MOON", "STAR", "CLOUD", "DROP", "LEAF", "FLAME", "BELL", "KEY", "SHELL"}),
        Category({"43. Posters", "43. Plakate", "43. Affiches"}, "ART\\POSTERS", ".GIF", 1,
                 Numbered(QStringLiteral("POSTER"), 10), 5),
        // "tiff" is cut to ".TIF" when the picture is loaded.
        Category({"44. Paintings", "44. Gem\u00E4lde", "44. Peintures"}, "ART\\PAINT", "tiff", 1,
                 {"DAWN", "DUSK", "HARVEST", "MARKET", "ORCHARD", "RIVER", "STILL", "WINTER"}),
        Category({"45. Sketches", "45. Skizzen", "45. Esquisses"}, "ART\\SKETCH", ".PCX", 1,
                 Numbered(QStringLiteral("SKETCH"), 6)),
    };
    return spec;
}

} // namespace Mkdisc
