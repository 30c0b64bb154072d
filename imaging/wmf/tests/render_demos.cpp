// Renders the demo clip-art metafiles (and any WMF files named on the command
// line) to PNG files, and with --pdf to PDF files too (vector output, as a
// printer gets it), to look at the player's output by eye:
//   wmf_render_demos OUTDIR [FILE.wmf ...] [--scale F] [--pdf]

#include "WmfPicture.h"
#include "WmfWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <cstdio>

namespace {

bool writePdf(const WmfPicture& pic, const QString& out)
{
    const QSize size = pic.pixelSize();
    QPdfWriter pdf(out);
    pdf.setPageSize(QPageSize(QSizeF(size) * 72.0 / 96.0, QPageSize::Point));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter p(&pdf);
    pic.play(p, QRectF(QPointF(0, 0), QSizeF(pdf.width(), pdf.height())));
    std::printf("%s\n", qPrintable(out));
    return p.end();
}

bool render(const WmfPicture& pic, double scale, const QString& out)
{
    if (!pic.isValid()) {
        std::fprintf(stderr, "%s\n", qPrintable(pic.errorText()));
        return false;
    }
    const QSize size = pic.pixelSize() * scale;
    QImage img(size.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    pic.play(p, QRectF(QPointF(0, 0), QSizeF(size)));
    p.end();
    std::printf("%s %dx%d\n", qPrintable(out), size.width(), size.height());
    return img.save(out);
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool pdf = args.removeAll("--pdf") > 0;
    double scale = 1;
    if (const qsizetype i = args.indexOf("--scale"); i >= 0 && i + 1 < args.size()) {
        scale = args[i + 1].toDouble();
        args.remove(i, 2);
    }
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: wmf_render_demos OUTDIR [FILE.wmf ...] [--scale F]\n");
        return 2;
    }
    const QDir dir(args.takeFirst());
    QDir().mkpath(dir.path());
    bool ok = true;
    if (args.isEmpty()) {
        const char* names[] = {"flower", "house", "landscape", "chart"};
        const char* captions[] = {"Spring Flower", "Home Sweet Home", "Evening Lake", "Sales 1996"};
        for (int i = 0; i < Demo_Metafile_Count(); ++i) {
            const QByteArray bytes = Demo_Metafile(i, captions[i]);
            QFile f(dir.filePath(QString("%1.wmf").arg(names[i])));
            if (f.open(QIODevice::WriteOnly))
                f.write(bytes);
            ok &= render(WmfPicture::fromBytes(bytes), scale,
                         dir.filePath(QString("%1.png").arg(names[i])));
            if (pdf)
                ok &= writePdf(WmfPicture::fromBytes(bytes),
                               dir.filePath(QString("%1.pdf").arg(names[i])));
        }
    }
    for (const QString& file : args) {
        const WmfPicture pic = WmfPicture::fromFile(file);
        const QString base = dir.filePath(QFileInfo(file).completeBaseName());
        ok &= render(pic, scale, base + ".png");
        if (pdf && pic.isValid())
            ok &= writePdf(pic, base + ".pdf");
    }
    return ok ? 0 : 1;
}
