// Writes the packed device-independent bitmaps that the resource tests compile in as
// bitmap resources, one file per resource, into the folder given.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <cstdio>

namespace {

void Put16(QByteArray& b, int v)
{
    b.append(char(v & 0xFF));
    b.append(char((v >> 8) & 0xFF));
}

void Put32(QByteArray& b, qint64 v)
{
    for (int i = 0; i < 4; ++i)
        b.append(char((v >> (8 * i)) & 0xFF));
}

struct Rgb
{
    int r, g, b;
};

// Rows bottom-up, each padded to four bytes; pixels are palette indices or, at 24 bits,
// indices into colours written as triples.
QByteArray Rows(int width, int height, int bits, const QList<int>& pixels,
                const QList<Rgb>& colours)
{
    QByteArray out;
    const int stride = ((width * bits + 31) / 32) * 4;
    for (int y = height - 1; y >= 0; --y) {
        QByteArray row(stride, '\0');
        for (int x = 0; x < width; ++x) {
            const int v = pixels.at(y * width + x);
            if (bits == 24) {
                row[x * 3] = char(colours.at(v).b);
                row[x * 3 + 1] = char(colours.at(v).g);
                row[x * 3 + 2] = char(colours.at(v).r);
            } else {
                const int bit = x * bits;
                row[bit / 8] = char(row.at(bit / 8) | (v << (8 - bits - bit % 8)));
            }
        }
        out += row;
    }
    return out;
}

QByteArray Info_DIB(int width, int height, int bits, int used, const QList<Rgb>& table,
                    const QList<int>& pixels, const QList<Rgb>& colours = {})
{
    QByteArray b;
    Put32(b, 40);
    Put32(b, width);
    Put32(b, height);
    Put16(b, 1);
    Put16(b, bits);
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, used);
    Put32(b, 0);
    for (const Rgb& c : table) {
        b.append(char(c.b));
        b.append(char(c.g));
        b.append(char(c.r));
        b.append('\0');
    }
    return b + Rows(width, height, bits, pixels, colours);
}

QByteArray Core_DIB(int width, int height, int bits, const QList<Rgb>& table,
                    const QList<int>& pixels)
{
    QByteArray b;
    Put32(b, 12);
    Put16(b, width);
    Put16(b, height);
    Put16(b, 1);
    Put16(b, bits);
    for (const Rgb& c : table) {
        b.append(char(c.b));
        b.append(char(c.g));
        b.append(char(c.r));
    }
    return b + Rows(width, height, bits, pixels, {});
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_res_fixtures FOLDER\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(dir.path());

    QList<Rgb> sixteen;
    for (int i = 0; i < 16; ++i)
        sixteen.append({i * 16, 255 - i * 16, (i * 80) % 256});
    const struct
    {
        const char* name;
        QByteArray dib;
    } files[] = {
        // 8 bits with a count of three colours.
        {"ROSE", Info_DIB(5, 3, 8, 3, {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}},
                          {0, 1, 2, 0, 1, 1, 2, 0, 1, 2, 2, 0, 1, 2, 0})},
        // A core header: 2^bits entries of three bytes.
        {"101", Core_DIB(4, 2, 4, sixteen, {0, 5, 10, 15, 1, 2, 3, 4})},
        // An info header without a count: 2^bits entries.
        {"7", Info_DIB(9, 2, 1, 0, {{0, 0, 128}, {255, 255, 0}},
                       {0, 1, 0, 1, 0, 1, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 1})},
        {"TRUECOL", Info_DIB(3, 2, 24, 0, {}, {0, 1, 2, 2, 1, 0},
                             {{10, 20, 30}, {200, 100, 50}, {0, 255, 0}})},
        // Damaged: a header of unknown size; a colour table cut short.
        {"BROKEN", QByteArray("\x07\0\0\0\x01\0\0\0\x01\0\0\0\x01\0\x08\0", 16)},
        {"SHORTTAB", Info_DIB(2, 2, 8, 0, sixteen, {0, 1, 2, 3})},
    };
    for (const auto& f : files) {
        QFile out(dir.filePath(QString::fromLatin1(f.name)));
        if (!out.open(QIODevice::WriteOnly) || out.write(f.dib) != f.dib.size()) {
            std::fprintf(stderr, "cannot write %s\n", f.name);
            return 1;
        }
    }
    return 0;
}
