// GIF through giflib: the first picture of a file, composed on its logical screen, decoded line
// by line into the QImage; writing one picture with its colour table and transparent colour.
#include "sky_common.h"

#include <algorithm>
#include <cstring>
#include <gif_lib.h>

namespace sky {
namespace {

struct Source
{
    Bytes in;
    size_t pos = 0;
    bool shortRead = false;
};

int readBytes(GifFileType* gif, GifByteType* buffer, int length)
{
    auto* src = static_cast<Source*>(gif->UserData);
    const size_t n = std::min(size_t(std::max(length, 0)), src->in.size - src->pos);
    if (n < size_t(length))
        src->shortRead = true;
    std::memcpy(buffer, src->in.data + src->pos, n);
    src->pos += n;
    return int(n);
}

Code giflibFailure(int error, const Source& src)
{
    if (src.shortRead || error == D_GIF_ERR_READ_FAILED || error == D_GIF_ERR_EOF_TOO_SOON)
        return SKY_ERR_TRUNCATED;
    switch (error) {
    case D_GIF_ERR_NOT_GIF_FILE:
        return SKY_ERR_FORMAT;
    case D_GIF_ERR_NOT_ENOUGH_MEM:
        return SKY_ERR_NO_MEMORY;
    default:
        return SKY_ERR_CORRUPT;
    }
}

struct GifCloser
{
    GifFileType* gif;
    ~GifCloser()
    {
        if (gif) {
            int error = 0;
            DGifCloseFile(gif, &error);
        }
    }
};

QList<QRgb> tableOf(const ColorMapObject* map, int transparent)
{
    QList<QRgb> table;
    if (map && map->Colors && map->ColorCount > 0) {
        const int count = std::min(map->ColorCount, 256);
        for (int i = 0; i < count; ++i)
            table.append(qRgb(map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue));
    } else {
        for (int i = 0; i < 256; ++i)
            table.append(qRgb(i, i, i));
    }
    if (transparent >= 0 && transparent < table.size())
        table[transparent] &= 0x00ffffffu;
    return table;
}

// Reads records up to the first image descriptor and its pixels (unless infoOnly).
Code readFirstImage(Bytes in, QImage* out, PictureInfo* info)
{
    Source src{in};
    int error = 0;
    GifFileType* gif = DGifOpen(&src, readBytes, &error);
    if (!gif)
        return giflibFailure(error, src);
    GifCloser closer{gif};
    int transparent = -1;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR)
            return giflibFailure(gif->Error, src);
        if (type == TERMINATE_RECORD_TYPE)
            return SKY_ERR_CORRUPT; // no picture in the file
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* ext = nullptr;
            if (DGifGetExtension(gif, &code, &ext) == GIF_ERROR)
                return giflibFailure(gif->Error, src);
            if (code == GRAPHICS_EXT_FUNC_CODE && ext && ext[0] >= 4)
                transparent = (ext[1] & 1) ? ext[4] : -1;
            while (ext) {
                if (DGifGetExtensionNext(gif, &ext) == GIF_ERROR)
                    return giflibFailure(gif->Error, src);
            }
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE)
            return SKY_ERR_CORRUPT;
        if (DGifGetImageDesc(gif) == GIF_ERROR)
            return giflibFailure(gif->Error, src);
        break;
    }
    const GifImageDesc& desc = gif->Image;
    const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    // The canvas is the logical screen, grown when the picture lies outside it.
    const int64_t width = std::max<int64_t>(gif->SWidth, int64_t(desc.Left) + desc.Width);
    const int64_t height = std::max<int64_t>(gif->SHeight, int64_t(desc.Top) + desc.Height);
    if (desc.Width <= 0 || desc.Height <= 0)
        return SKY_ERR_CORRUPT;
    if (info) {
        info->format = "GIF";
        info->width = width;
        info->height = height;
        info->bitsPerPixel = map ? map->BitsPerPixel : 8;
        info->paletteEntries = map ? map->ColorCount : 0;
        info->description = QByteArray(reinterpret_cast<const char*>(in.data), 6);
        if (desc.Interlace)
            info->description += ", interlaced";
        return SKY_OK;
    }
    if (Code code = checkPictureSize(width, height, 8); code < 1)
        return code;
    if (Code code = allocImage(*out, int(width), int(height), QImage::Format_Indexed8); code < 1)
        return code;
    const QList<QRgb> table = tableOf(map, transparent);
    out->setColorTable(table);
    int background = transparent >= 0 ? transparent : gif->SBackGroundColor;
    if (background >= table.size())
        background = 0;
    out->fill(uint(background));
    auto readRow = [&](int row) -> bool {
        return DGifGetLine(gif, out->scanLine(desc.Top + row) + desc.Left, desc.Width) != GIF_ERROR;
    };
    if (desc.Interlace) {
        static const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (int row = start[pass]; row < desc.Height; row += step[pass])
                if (!readRow(row)) {
                    *out = QImage();
                    return giflibFailure(gif->Error, src);
                }
    } else {
        for (int row = 0; row < desc.Height; ++row)
            if (!readRow(row)) {
                *out = QImage();
                return giflibFailure(gif->Error, src);
            }
    }
    // A two-colour file is a one-bit picture.
    if (table.size() <= 2)
        *out = reduceDepth(*out, 1, false, nullptr);
    return SKY_OK;
}

int writeBytes(GifFileType* gif, const GifByteType* data, int length)
{
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

Code encodeGif(const QImage& image, int cls, const QList<QRgb>* palette, QByteArray& out)
{
    if (image.width() > 65535 || image.height() > 65535)
        return SKY_ERR_FORMAT_LIMIT;
    const QImage source = indexedForWrite(image, std::min(cls, 8), palette);
    const QList<QRgb> table = source.colorTable();
    int mapSize = 2, mapBits = 1;
    while (mapSize < table.size()) {
        mapSize *= 2;
        ++mapBits;
    }
    std::vector<GifColorType> colours(size_t(mapSize), GifColorType{0, 0, 0});
    int transparent = -1;
    for (qsizetype i = 0; i < table.size(); ++i) {
        colours[size_t(i)] =
            GifColorType{GifByteType(qRed(table[i])), GifByteType(qGreen(table[i])),
                         GifByteType(qBlue(table[i]))};
        if (transparent < 0 && qAlpha(table[i]) == 0)
            transparent = int(i);
    }
    ColorMapObject* map = GifMakeMapObject(mapSize, colours.data());
    if (!map)
        return SKY_ERR_NO_MEMORY;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, writeBytes, &error);
    if (!gif) {
        GifFreeMapObject(map);
        return SKY_ERR_ENCODER;
    }
    bool ok = true;
    if (transparent >= 0) {
        EGifSetGifVersion(gif, true);
    }
    ok = EGifPutScreenDesc(gif, source.width(), source.height(), mapBits, 0, map) != GIF_ERROR;
    if (ok && transparent >= 0) {
        GraphicsControlBlock gcb{};
        gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
        gcb.DelayTime = 0;
        gcb.TransparentColor = transparent;
        GifByteType ext[4];
        const size_t len = EGifGCBToExtension(&gcb, ext);
        ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(len), ext) != GIF_ERROR;
    }
    ok = ok &&
         EGifPutImageDesc(gif, 0, 0, source.width(), source.height(), false, nullptr) != GIF_ERROR;
    for (int y = 0; ok && y < source.height(); ++y)
        ok = EGifPutLine(gif, const_cast<GifPixelType*>(source.constScanLine(y)), source.width()) !=
             GIF_ERROR;
    const bool closed = EGifCloseFile(gif, &error) != GIF_ERROR;
    GifFreeMapObject(map);
    return ok && closed ? SKY_OK : SKY_ERR_ENCODER;
}

} // namespace

Code decodeGif(Bytes in, QImage& out)
{
    return readFirstImage(in, &out, nullptr);
}

Code infoGif(Bytes in, PictureInfo& info)
{
    return readFirstImage(in, nullptr, &info);
}

} // namespace sky

int16_t Sky_Read_GIF(const char* fileName, int16_t bits, int16_t dither, Sky_Bitmap bitmap,
                     Sky_Palette palette, uint32_t, uint32_t)
{
    return sky::runReader(fileName, bits, dither, bitmap, palette, sky::decodeGif);
}

int16_t Sky_Write_GIF(const char* fileName, int16_t bits, const QImage* bitmap,
                      const QList<QRgb>* palette, uint32_t, uint32_t)
{
    return sky::runWriter(fileName, bits, bitmap,
                          [&](const QImage& image, int cls, QByteArray& data) {
                              return sky::encodeGif(image, cls, palette, data);
                          });
}
