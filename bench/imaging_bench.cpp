// A 6000 x 4000 JPEG of quality 90 through the picture control, beside bare libjpeg-turbo:
//   fitted: the control (554 x 328, StretchRatio, DecodeTarget 554 x 328) loads the file and
//           paints it fitted, against a bare decode at 1/8 scale;
//   full:   the control loads the file at full size, against a bare full-size decode (and the
//           back end's reader alone, which decodes into four bytes a pixel).
// Peak memory: how far the process's resident size rises above where it stood for the fitted
// load (load and paint), and for the same picture loaded at full size and painted unscaled.
#include "BenchSupport.h"
#include "DosPath.h"
#include "TMultiP.h"

#include "sky32v3c.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QRandomGenerator>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <vector>
// jpeglib.h needs FILE and size_t declared first.

namespace {

const QSize Viewer(554, 328);

// A photograph-like picture: soft colour fields, shapes with edges, fine grain.
QString Write_Picture(const QString& name, QSize size)
{
    const QString path = QDir::temp().filePath(name);
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QRadialGradient glow(size.width() * 0.3, size.height() * 0.4, size.width() * 0.8);
    glow.setColorAt(0, QColor(250, 220, 160));
    glow.setColorAt(0.6, QColor(70, 130, 190));
    glow.setColorAt(1, QColor(20, 60, 40));
    painter.fillRect(image.rect(), glow);
    QRandomGenerator random(554328);
    for (int i = 0; i < 3000; ++i) {
        QColor c = QColor::fromHsv(random.bounded(360), 60 + random.bounded(180), 255);
        c.setAlpha(160);
        painter.setBrush(c);
        painter.setPen(QPen(c.darker(150), 2));
        const int x = random.bounded(size.width()), y = random.bounded(size.height());
        const int r = 10 + random.bounded(size.width() / 30 + 1);
        painter.drawEllipse(QPoint(x, y), r, r * 2 / 3);
    }
    painter.end();
    for (int y = 0; y < image.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int n = int(random.bounded(12)) - 6;
            row[x] =
                qRgb(std::clamp(qRed(row[x]) + n, 0, 255), std::clamp(qGreen(row[x]) + n, 0, 255),
                     std::clamp(qBlue(row[x]) + n, 0, 255));
        }
    }
    if (Sky_Write_JPEG(QFile::encodeName(path), 90, 0, 24, &image, nullptr) != SKY_OK)
        std::abort();
    return path;
}

const QString& Big_Picture()
{
    static const QString path =
        Write_Picture(QStringLiteral("bench_imaging_6000x4000.jpg"), QSize(6000, 4000));
    return path;
}

QString Dos(const QString& native)
{
    return Platform::Dos_Path(native);
}

void BM_Control_Fitted_554x328(benchmark::State& state)
{
    const QString path = Dos(Big_Picture());
    TPMultiImage image;
    image.resize(Viewer);
    image.Set_StretchRatio(true);
    image.Set_DecodeTarget(Viewer);
    QImage screen(Viewer, QImage::Format_RGB32);
    for (auto _ : state) {
        image.Set_ImageName(path);
        image.render(&screen);
        if (image.Picture().Width() != 750)
            state.SkipWithError("not decoded at 1/8");
        benchmark::DoNotOptimize(screen.constBits());
    }
}

void BM_Bare_Eighth(benchmark::State& state)
{
    const QByteArray file = QFile::encodeName(Big_Picture());
    std::vector<unsigned char> buffer;
    for (auto _ : state)
        benchmark::DoNotOptimize(Bare_Jpeg_Decode(file, 8, buffer, JCS_RGB, true));
}

void BM_Control_Full(benchmark::State& state)
{
    const QString path = Dos(Big_Picture());
    TPMultiImage image;
    for (auto _ : state) {
        image.Set_Picture(TPicture()); // the previous picture's memory goes first
        image.Set_ImageName(path);
        if (image.Picture().Width() != 6000)
            state.SkipWithError("full load failed");
        benchmark::DoNotOptimize(image.Picture().Bitmap().constBits());
    }
}

// The back end's reader alone, for what the control adds to it.
void BM_Back_End_Full(benchmark::State& state)
{
    const QByteArray file = QFile::encodeName(Big_Picture());
    for (auto _ : state) {
        QImage image;
        if (Sky_Read_JPEG(file, 24, 1, 1, &image, nullptr) != SKY_OK)
            state.SkipWithError("full read failed");
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_Bare_Full(benchmark::State& state)
{
    const QByteArray file = QFile::encodeName(Big_Picture());
    std::vector<unsigned char> buffer;
    for (auto _ : state)
        benchmark::DoNotOptimize(Bare_Jpeg_Decode(file, 1, buffer, JCS_RGB, true));
}

// The process's resident size and its peak since the last reset, in KiB (Linux).
qint64 Status_KiB(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// Sets the peak back to the current resident size.
bool Reset_Peak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

// What a load needs at its peak beyond what the process held before, in MiB.
double Peak_Of_Load(bool fitted)
{
    const QString path = Dos(Big_Picture());
    TPMultiImage image;
    image.resize(Viewer);
    image.Set_StretchRatio(true);
    if (fitted)
        image.Set_DecodeTarget(Viewer);
    QImage screen(Viewer, QImage::Format_RGB32);
    screen.fill(0);
    if (!Reset_Peak())
        return -1;
    const qint64 before = Status_KiB("VmRSS:");
    image.Set_ImageName(path);
    image.render(&screen);
    const qint64 peak = Status_KiB("VmHWM:");
    return before < 0 || peak < 0 ? -1 : double(peak - before) / 1024;
}

void BM_Peak_Memory(benchmark::State& state)
{
    double fitted = 0, full = 0;
    for (auto _ : state) {
        fitted = Peak_Of_Load(true);
        full = Peak_Of_Load(false);
        if (fitted < 0 || full < 0)
            state.SkipWithError("no /proc/self/clear_refs here");
    }
    state.counters["fitted_load_peak_MiB"] = fitted;
    state.counters["full_size_load_peak_MiB"] = full;
}

} // namespace

BENCHMARK(BM_Control_Fitted_554x328)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly();
BENCHMARK(BM_Bare_Eighth)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly();
BENCHMARK(BM_Control_Full)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly();
BENCHMARK(BM_Back_End_Full)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly();
BENCHMARK(BM_Bare_Full)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly();
BENCHMARK(BM_Peak_Memory)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
