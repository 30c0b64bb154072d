// Result texts, the memory limit, file access and the common reader path.
#include "sky_common.h"

#include <QSaveFile>
#include <atomic>
#include <cstring>

namespace {

constexpr int64_t kDefaultMemoryLimit = int64_t(512) * 1024 * 1024;
constexpr int64_t kMaxDimension = 1 << 20;
std::atomic<int64_t> memoryLimit{kDefaultMemoryLimit};

} // namespace

QString Sky_Error_Text(uint16_t code)
{
    switch (int16_t(code)) {
    case SKY_ERR_OPEN:
        return QStringLiteral("The picture file cannot be opened.");
    case SKY_ERR_FORMAT:
        return QStringLiteral("The file is not a picture of the expected format.");
    case SKY_ERR_TRUNCATED:
        return QStringLiteral("The picture file is incomplete: it ends before the picture does.");
    case SKY_ERR_CORRUPT:
        return QStringLiteral("The picture file is damaged.");
    case SKY_ERR_UNSUPPORTED:
        return QStringLiteral("This kind of picture file is not supported.");
    case SKY_ERR_TOO_LARGE:
        return QStringLiteral("The picture is too large to be opened within the memory limit.");
    case SKY_ERR_NO_MEMORY:
        return QStringLiteral("There is not enough memory for the picture.");
    case SKY_ERR_CREATE:
        return QStringLiteral("The picture file cannot be created.");
    case SKY_ERR_WRITE:
        return QStringLiteral("The picture file cannot be written.");
    case SKY_ERR_BITS:
        return QStringLiteral("The colour depth asked for is not supported.");
    case SKY_ERR_NO_PICTURE:
        return QStringLiteral("There is no picture to write.");
    case SKY_ERR_COMPRESSION:
        return QStringLiteral("The TIFF compression asked for is not supported.");
    case SKY_ERR_ENCODER:
        return QStringLiteral("The picture could not be encoded.");
    case SKY_ERR_FORMAT_LIMIT:
        return QStringLiteral("The picture is too large for this file format.");
    case SKY_ERR_ARGUMENT:
        return QStringLiteral("The imaging library was called without a place for its result.");
    default:
        break;
    }
    if (int16_t(code) >= 1)
        return QString();
    return QStringLiteral("Unknown imaging error %1.").arg(int16_t(code));
}

void Sky_Set_Memory_Limit(int64_t bytes)
{
    memoryLimit.store(bytes < 1 ? kDefaultMemoryLimit : bytes);
}

int64_t Sky_Memory_Limit()
{
    return memoryLimit.load();
}

namespace sky {

Code InputFile::open(const char* fileName)
{
    if (!fileName || !*fileName)
        return SKY_ERR_OPEN;
    file_.setFileName(QFile::decodeName(fileName));
    if (!file_.open(QIODevice::ReadOnly))
        return SKY_ERR_OPEN;
    const qint64 size = file_.size();
    if (size <= 0) {
        data_ = nullptr;
        size_ = 0;
        return SKY_OK;
    }
    if (uchar* mapped = file_.map(0, size)) {
        data_ = mapped;
        size_ = size_t(size);
        return SKY_OK;
    }
    copy_ = file_.readAll();
    if (copy_.size() != size)
        return SKY_ERR_OPEN;
    data_ = reinterpret_cast<const uchar*>(copy_.constData());
    size_ = size_t(copy_.size());
    return SKY_OK;
}

Code saveFile(const char* fileName, const QByteArray& data)
{
    if (!fileName || !*fileName)
        return SKY_ERR_CREATE;
    QSaveFile file(QFile::decodeName(fileName));
    if (!file.open(QIODevice::WriteOnly))
        return SKY_ERR_CREATE;
    if (file.write(data) != data.size()) {
        file.cancelWriting();
        return SKY_ERR_WRITE;
    }
    return file.commit() ? SKY_OK : SKY_ERR_WRITE;
}

Code checkPictureSize(int64_t width, int64_t height, int bitsPerPixel)
{
    if (width <= 0 || height <= 0)
        return SKY_ERR_CORRUPT;
    if (width > kMaxDimension || height > kMaxDimension)
        return SKY_ERR_TOO_LARGE;
    const int64_t stride = (width * bitsPerPixel + 31) / 32 * 4;
    return stride * height > memoryLimit.load() ? SKY_ERR_TOO_LARGE : SKY_OK;
}

Code allocImage(QImage& image, int width, int height, QImage::Format format)
{
    image = QImage(width, height, format);
    return image.isNull() ? SKY_ERR_NO_MEMORY : SKY_OK;
}

Code finishRead(QImage&& decoded, int bits, bool dither, QImage* bitmap, QList<QRgb>* palette)
{
    clampIndices(decoded);
    QImage result = reduceDepth(decoded, depthClass(bits), dither, nullptr);
    decoded = QImage();
    if (result.isNull())
        return SKY_ERR_NO_MEMORY;
    if (palette)
        *palette = result.colorTable();
    *bitmap = std::move(result);
    return SKY_OK;
}

Code prepareRead(QImage* bitmap, QList<QRgb>* palette, int bits)
{
    if (!bitmap)
        return SKY_ERR_ARGUMENT;
    *bitmap = QImage();
    if (palette)
        palette->clear();
    return depthClass(bits) < 0 ? SKY_ERR_BITS : SKY_OK;
}

} // namespace sky

namespace {

void copyName(char* target, size_t capacity, const QByteArray& text)
{
    if (!target)
        return;
    const size_t n = std::min(capacity - 1, size_t(text.size()));
    std::memcpy(target, text.constData(), n);
    target[n] = 0;
}

int16_t clamp16(int64_t v)
{
    return int16_t(std::clamp<int64_t>(v, 0, 32767));
}

} // namespace

int16_t Sky_Picture_Info(const char* fileName, char* formatName, int16_t* width, int16_t* height,
                         int16_t* bitsPerPixel, int16_t* paletteEntries, int16_t* dotsPerInch,
                         char* secondName, int32_t)
{
    using namespace sky;
    return guarded([&]() -> Code {
        InputFile file;
        if (Code code = file.open(fileName); code < 1)
            return code;
        const Bytes in = file.bytes();
        const uchar* d = in.data;
        const size_t n = in.size;
        PictureInfo info;
        Code code = SKY_ERR_FORMAT;
        if (n >= 3 && d[0] == 0xFF && d[1] == 0xD8 && d[2] == 0xFF)
            code = infoJpeg(in, info);
        else if (n >= 8 && std::memcmp(d, "\x89PNG\r\n\x1a\n", 8) == 0)
            code = infoPng(in, info);
        else if (n >= 4 && std::memcmp(d, "GIF8", 4) == 0)
            code = infoGif(in, info);
        else if (n >= 4 && (std::memcmp(d, "II*\0", 4) == 0 || std::memcmp(d, "MM\0*", 4) == 0))
            code = infoTiff(in, info);
        else if (n >= 2 && d[0] == 'B' && d[1] == 'M')
            code = infoBmp(in, info);
        else if (n >= 1 && d[0] == 0x0A)
            code = infoPcx(in, info);
        else if (n == 0)
            code = SKY_ERR_TRUNCATED;
        if (code < 1)
            return code;
        copyName(formatName, 6, QByteArray(info.format));
        copyName(secondName, 26, info.description);
        if (width)
            *width = clamp16(info.width);
        if (height)
            *height = clamp16(info.height);
        if (bitsPerPixel)
            *bitsPerPixel = clamp16(info.bitsPerPixel);
        if (paletteEntries)
            *paletteEntries = clamp16(info.paletteEntries);
        if (dotsPerInch)
            *dotsPerInch = clamp16(info.dotsPerInch);
        return SKY_OK;
    });
}
