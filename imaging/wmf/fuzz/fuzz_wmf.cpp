// libFuzzer target: any bytes as a metafile, read and played into a small
// image (text included, through an offscreen QGuiApplication).

#include "WmfPicture.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const WmfPicture pic =
        WmfPicture::fromBytes(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    (void)pic.pixelSize();
    if (!pic.isValid())
        return 0;
    QImage img(48, 36, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    pic.play(p, QRectF(0, 0, 48, 36));
    return 0;
}
