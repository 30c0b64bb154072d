#include "WmfFonts.h"

#include <QFontDatabase>
#include <QStringDecoder>

#include <array>
#include <utility>

namespace wmf {

namespace {

enum class Kind
{
    Sans,
    Serif,
    Mono,
    Script,
    Symbol
};

struct FaceClass
{
    const char* face;
    Kind kind;
};

// Common Windows faces and the class of font that stands in for them.
constexpr FaceClass KnownFaces[] = {
    {"arial", Kind::Sans},
    {"arial black", Kind::Sans},
    {"arial narrow", Kind::Sans},
    {"helvetica", Kind::Sans},
    {"helv", Kind::Sans},
    {"ms sans serif", Kind::Sans},
    {"microsoft sans serif", Kind::Sans},
    {"ms shell dlg", Kind::Sans},
    {"system", Kind::Sans},
    {"small fonts", Kind::Sans},
    {"tahoma", Kind::Sans},
    {"verdana", Kind::Sans},
    {"segoe ui", Kind::Sans},
    {"calibri", Kind::Sans},
    {"trebuchet ms", Kind::Sans},
    {"century gothic", Kind::Sans},
    {"franklin gothic medium", Kind::Sans},
    {"lucida sans", Kind::Sans},
    {"lucida sans unicode", Kind::Sans},
    {"univers", Kind::Sans},
    {"swiss", Kind::Sans},
    {"impact", Kind::Sans},
    {"times new roman", Kind::Serif},
    {"times", Kind::Serif},
    {"tms rmn", Kind::Serif},
    {"ms serif", Kind::Serif},
    {"roman", Kind::Serif},
    {"dutch", Kind::Serif},
    {"georgia", Kind::Serif},
    {"book antiqua", Kind::Serif},
    {"bookman old style", Kind::Serif},
    {"garamond", Kind::Serif},
    {"palatino", Kind::Serif},
    {"palatino linotype", Kind::Serif},
    {"century schoolbook", Kind::Serif},
    {"cambria", Kind::Serif},
    {"courier new", Kind::Mono},
    {"courier", Kind::Mono},
    {"lucida console", Kind::Mono},
    {"consolas", Kind::Mono},
    {"fixedsys", Kind::Mono},
    {"terminal", Kind::Mono},
    {"modern", Kind::Mono},
    {"comic sans ms", Kind::Script},
    {"script", Kind::Script},
    {"brush script mt", Kind::Script},
    {"monotype corsiva", Kind::Script},
    {"symbol", Kind::Symbol},
};

QStringList substitutes(Kind kind)
{
    switch (kind) {
    case Kind::Serif:
        return {"Liberation Serif", "Tinos", "DejaVu Serif", "FreeSerif", "Nimbus Roman"};
    case Kind::Mono:
        return {"Liberation Mono", "Cousine", "DejaVu Sans Mono", "FreeMono", "Nimbus Mono PS"};
    case Kind::Script:
        return {"Comic Neue", "URW Chancery L", "Z003", "DejaVu Sans"};
    case Kind::Symbol: // the Greek letters and signs come through decodeText
    case Kind::Sans:
    default:
        return {"Liberation Sans", "Arimo", "DejaVu Sans", "FreeSans", "Nimbus Sans"};
    }
}

QStringList faces(QByteArrayView faceList)
{
    QStringList out;
    for (const QString& f : QString::fromLatin1(faceList).split(QLatin1Char(';'))) {
        const QString t = f.trimmed();
        if (!t.isEmpty())
            out.append(t);
    }
    return out;
}

// Code page 1252 at 0x80..0x9F; the other bytes read as Latin-1.
constexpr std::array<char16_t, 32> Cp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString decodeCp1252(QByteArrayView bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const uchar b = uchar(ch);
        out.append(b >= 0x80 && b <= 0x9F ? QChar(Cp1252High[b - 0x80]) : QChar(b));
    }
    return out;
}

// The Symbol face: Greek letters at the Latin ones, and signs.
char16_t symbolChar(uchar b)
{
    static constexpr char16_t Upper[26] = {
        0x391, 0x392, 0x3A7, 0x394, 0x395, 0x3A6, 0x393, 0x397, 0x399, 0x3D1, 0x39A, 0x39B, 0x39C,
        0x39D, 0x39F, 0x3A0, 0x398, 0x3A1, 0x3A3, 0x3A4, 0x3A5, 0x3C2, 0x3A9, 0x39E, 0x3A8, 0x396};
    static constexpr char16_t Lower[26] = {
        0x3B1, 0x3B2, 0x3C7, 0x3B4, 0x3B5, 0x3C6, 0x3B3, 0x3B7, 0x3B9, 0x3D5, 0x3BA, 0x3BB, 0x3BC,
        0x3BD, 0x3BF, 0x3C0, 0x3B8, 0x3C1, 0x3C3, 0x3C4, 0x3C5, 0x3D6, 0x3C9, 0x3BE, 0x3C8, 0x3B6};
    if (b >= 'A' && b <= 'Z')
        return Upper[b - 'A'];
    if (b >= 'a' && b <= 'z')
        return Lower[b - 'a'];
    // Signs: (byte, code point), in byte order.
    static constexpr std::pair<uchar, char16_t> Signs[] = {
        {0x22, 0x2200}, {0x24, 0x2203}, {0x27, 0x220B}, {0x2A, 0x2217}, {0x2D, 0x2212},
        {0x40, 0x2245}, {0x5C, 0x2234}, {0x5E, 0x22A5}, {0x7E, 0x223C}, {0xA3, 0x2264},
        {0xA5, 0x221E}, {0xA7, 0x2663}, {0xA8, 0x2666}, {0xA9, 0x2665}, {0xAA, 0x2660},
        {0xAB, 0x2194}, {0xAC, 0x2190}, {0xAD, 0x2191}, {0xAE, 0x2192}, {0xAF, 0x2193},
        {0xB0, 0x00B0}, {0xB1, 0x00B1}, {0xB3, 0x2265}, {0xB4, 0x00D7}, {0xB5, 0x221D},
        {0xB6, 0x2202}, {0xB7, 0x2022}, {0xB8, 0x00F7}, {0xB9, 0x2260}, {0xBA, 0x2261},
        {0xBB, 0x2248}, {0xBC, 0x2026}, {0xC4, 0x2297}, {0xC5, 0x2295}, {0xC6, 0x2205},
        {0xC7, 0x2229}, {0xC8, 0x222A}, {0xD0, 0x2220}, {0xD1, 0x2207}, {0xD5, 0x220F},
        {0xD6, 0x221A}, {0xD7, 0x22C5}, {0xD8, 0x00AC}, {0xD9, 0x2227}, {0xDA, 0x2228},
        {0xDB, 0x21D4}, {0xDC, 0x21D0}, {0xDD, 0x21D1}, {0xDE, 0x21D2}, {0xDF, 0x21D3},
        {0xE0, 0x25CA}, {0xE5, 0x2211}, {0xF2, 0x222B},
    };
    for (const auto& [from, to] : Signs)
        if (from == b)
            return to;
    return b;
}

const char* codePage(int charSet)
{
    switch (charSet) {
    case 77:
        return "macintosh";
    case 128:
        return "Shift_JIS";
    case 129:
        return "windows-949";
    case 134:
        return "GBK";
    case 136:
        return "Big5";
    case 161:
        return "windows-1253";
    case 162:
        return "windows-1254";
    case 163:
        return "windows-1258";
    case 177:
        return "windows-1255";
    case 178:
        return "windows-1256";
    case 186:
        return "windows-1257";
    case 204:
        return "windows-1251";
    case 222:
        return "windows-874";
    case 238:
        return "windows-1250";
    case 255:
        return "IBM437";
    default:
        return nullptr; // ANSI, DEFAULT and the rest: code page 1252
    }
}

} // namespace

QString resolveFamily(QByteArrayView faceList, int pitchAndFamily,
                      const std::function<bool(const QString&)>& isInstalled)
{
    for (const QString& face : faces(faceList)) {
        if (isInstalled(face))
            return face;
        const QString key = face.toLower();
        for (const FaceClass& known : KnownFaces) {
            if (key != QLatin1String(known.face))
                continue;
            QStringList subs = substitutes(known.kind);
            if (key == QLatin1String("arial narrow"))
                subs.prepend("Liberation Sans Narrow");
            for (const QString& sub : subs)
                if (isInstalled(sub))
                    return sub;
        }
    }
    Kind kind = Kind::Sans;
    switch (pitchAndFamily & 0xF0) {
    case 0x10:
        kind = Kind::Serif;
        break; // FF_ROMAN
    case 0x30:
        kind = Kind::Mono;
        break; // FF_MODERN
    case 0x40:
        kind = Kind::Script;
        break; // FF_SCRIPT
    default:
        if ((pitchAndFamily & 0x03) == 1) // FIXED_PITCH
            kind = Kind::Mono;
        break;
    }
    for (const QString& sub : substitutes(kind))
        if (isInstalled(sub))
            return sub;
    return substitutes(kind).constLast();
}

QString resolveFamily(QByteArrayView faceList, int pitchAndFamily)
{
    return resolveFamily(faceList, pitchAndFamily,
                         [](const QString& family) { return QFontDatabase::hasFamily(family); });
}

int faceWeight(QByteArrayView faceList, int weight)
{
    const QStringList list = faces(faceList);
    if (list.isEmpty())
        return weight;
    const QString first = list.first().toLower();
    if (first.endsWith(QLatin1String(" black")) || first == QLatin1String("impact"))
        return std::max(weight, 900);
    return weight;
}

QString decodeText(QByteArrayView bytes, int charSet, QByteArrayView faceList)
{
    const QStringList list = faces(faceList);
    if (!list.isEmpty() &&
        list.first().compare(QLatin1String("Symbol"), Qt::CaseInsensitive) == 0) {
        QString out;
        for (char ch : bytes)
            out.append(QChar(symbolChar(uchar(ch))));
        return out;
    }
    if (const char* name = codePage(charSet)) {
        QStringDecoder decoder(name);
        if (decoder.isValid())
            return decoder.decode(bytes);
    }
    return decodeCp1252(bytes);
}

} // namespace wmf
