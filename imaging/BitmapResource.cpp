#include "BitmapResource.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QtEndian>

namespace {

const QString Resource_Folder = QStringLiteral(":/RT_BITMAP");

quint32 U32(const QByteArray& b, qsizetype at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}
quint16 U16(const QByteArray& b, qsizetype at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}

bool Fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

QString Bitmap_Resource_Path(const QString& baseName)
{
    if (baseName.isEmpty())
        return {};
    bool numeric = true;
    for (QChar c : baseName)
        numeric = numeric && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    QString wanted = baseName.toUpper();
    if (numeric) {
        // Resource identifiers are 16-bit numbers.
        bool ok = false;
        const uint id = baseName.toUInt(&ok);
        if (!ok || id > 0xFFFF)
            return {};
        wanted = QString::number(id);
    }
    const QDir folder(Resource_Folder);
    for (const QString& entry : folder.entryList(QDir::Files, QDir::Name)) {
        bool match = false;
        if (numeric) {
            bool ok = false;
            const uint id = entry.toUInt(&ok);
            match = ok && QString::number(id) == wanted;
        } else {
            match = entry.toUpper() == wanted;
        }
        if (match)
            return folder.filePath(entry);
    }
    return {};
}

bool Decode_Packed_DIB(const QByteArray& dib, Bitmap_Resource& out, QString* error)
{
    out = Bitmap_Resource();
    if (dib.size() < 12)
        return Fail(error, QStringLiteral("the bitmap header is cut short"));
    const quint32 headerSize = U32(dib, 0);
    qsizetype tableEntries = 0;
    qsizetype entrySize = 4;
    qsizetype masks = 0;
    int bits = 0;
    if (headerSize == 12) {
        bits = U16(dib, 10);
        entrySize = 3;
        tableEntries = bits <= 8 ? qsizetype(1) << bits : 0;
    } else if (headerSize >= 40 && headerSize <= 124 && dib.size() >= 40 &&
               qsizetype(headerSize) <= dib.size()) {
        bits = U16(dib, 14);
        const quint32 compression = U32(dib, 16);
        const quint32 used = U32(dib, 32);
        if (used > 256 && bits <= 8)
            return Fail(error, QStringLiteral("the colour table is too long"));
        tableEntries = used != 0 ? qsizetype(used) : bits <= 8 ? qsizetype(1) << bits : 0;
        // Colour masks follow a plain info header for bit-field pictures.
        if (headerSize == 40 && (compression == 3 || compression == 6))
            masks = compression == 3 ? 12 : 16;
    } else {
        return Fail(error, QStringLiteral("the bitmap header has an unknown size"));
    }
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return Fail(error, QStringLiteral("the bitmap has an unknown depth"));
    const qsizetype bitsOffset = qsizetype(headerSize) + masks + tableEntries * entrySize;
    if (bitsOffset > dib.size())
        return Fail(error, QStringLiteral("the colour table is cut short"));

    // The same bytes as a BMP file: a file header in front of the packed DIB.
    QByteArray file(14, '\0');
    file[0] = 'B';
    file[1] = 'M';
    qToLittleEndian<quint32>(quint32(14 + dib.size()), file.data() + 2);
    qToLittleEndian<quint32>(quint32(14 + bitsOffset), file.data() + 10);
    file += dib;
    QBuffer buffer(&file);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "BMP");
    QImage image = reader.read();
    if (image.isNull())
        return Fail(error, reader.errorString());
    out.Bitmap = image;
    out.Palette = image.colorTable();
    out.DIB_Size = int(dib.size());
    return true;
}

bool Load_Bitmap_Resource(const QString& baseName, Bitmap_Resource& out, QString* error)
{
    out = Bitmap_Resource();
    const QString path = Bitmap_Resource_Path(baseName);
    if (path.isEmpty())
        return Fail(error, QStringLiteral("no bitmap resource %1").arg(baseName));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Fail(error, file.errorString());
    return Decode_Packed_DIB(file.readAll(), out, error);
}
