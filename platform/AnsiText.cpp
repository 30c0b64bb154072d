#include "AnsiText.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <array>

namespace Ansi {
namespace {

// Code page 1252 differs from Latin-1 only in 0x80..0x9F. Unassigned positions map to the
// C1 control of the same value, as Windows' own conversion does.
constexpr std::array<char16_t, 32> k1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

int g_codePage = 1252;

QString Decode1252(const QByteArray& bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* d = out.data();
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *d++ = (b >= 0x80 && b <= 0x9F) ? QChar(k1252High[b - 0x80]) : QChar(b);
    }
    return out;
}

QByteArray Encode1252(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            out.append(static_cast<char>(u));
            continue;
        }
        char mapped = '?';
        for (int i = 0; i < 32; ++i) {
            if (k1252High[i] == u) {
                mapped = static_cast<char>(0x80 + i);
                break;
            }
        }
        out.append(mapped);
    }
    return out;
}

QByteArray Codec_Name(int codePage)
{
    return "windows-" + QByteArray::number(codePage);
}

} // namespace

int Code_Page()
{
    return g_codePage;
}

bool Set_Code_Page(int codePage)
{
    if (codePage == 1252) {
        g_codePage = codePage;
        return true;
    }
    QStringDecoder probe(Codec_Name(codePage).constData());
    if (!probe.isValid())
        return false;
    g_codePage = codePage;
    return true;
}

QString Decode(const QByteArray& bytes)
{
    if (g_codePage == 1252)
        return Decode1252(bytes);
    QStringDecoder dec(Codec_Name(g_codePage).constData());
    return dec.isValid() ? dec.decode(bytes) : Decode1252(bytes);
}

QByteArray Encode(const QString& text)
{
    if (g_codePage == 1252)
        return Encode1252(text);
    QStringEncoder enc(Codec_Name(g_codePage).constData());
    return enc.isValid() ? QByteArray(enc.encode(text)) : Encode1252(text);
}

QStringList Split_Lines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = text.size();
        qsizetype stop = end;
        if (stop > start && text.at(stop - 1) == QLatin1Char('\r'))
            --stop;
        lines.append(text.mid(start, stop - start));
        start = end + 1;
    }
    return lines;
}

} // namespace Ansi
