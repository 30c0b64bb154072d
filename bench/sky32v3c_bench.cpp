// A 6000 x 4000 JPEG of quality 90, written by the back end from a drawn picture, decoded
// through the back end's readers and through bare libjpeg-turbo:
//   scaled: the back end's scaled entry asked to cover 554 x 328 (it picks 1/8) against a bare
//           decode at 1/8;
//   full:   the back end's JPEG reader against a bare full-size decode.
#include "BenchSupport.h"
#include "sky32v3c.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRandomGenerator>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <vector>
// jpeglib.h needs FILE and size_t declared first.

namespace {

const QByteArray& pictureFile()
{
    static const QByteArray file = [] {
        const QString path = QDir::temp().filePath("bench_sky32v3c_6000x4000.jpg");
        QImage image(6000, 4000, QImage::Format_RGB32);
        QPainter painter(&image);
        QLinearGradient sky(0, 0, 6000, 4000);
        sky.setColorAt(0, QColor(40, 90, 200));
        sky.setColorAt(0.5, QColor(240, 200, 120));
        sky.setColorAt(1, QColor(30, 120, 40));
        painter.fillRect(image.rect(), sky);
        QRandomGenerator random(6000);
        for (int i = 0; i < 4000; ++i) {
            painter.setBrush(QColor::fromRgb(random.generate() | 0xff000000u));
            painter.setPen(QPen(QColor::fromRgb(random.generate() | 0xff000000u), 3));
            const int x = random.bounded(6000), y = random.bounded(4000);
            const int w = 20 + random.bounded(300), h = 20 + random.bounded(300);
            if (i % 2)
                painter.drawEllipse(x, y, w, h);
            else
                painter.drawRect(x, y, w, h);
        }
        painter.end();
        // Fine grain, as in a photograph.
        for (int y = 0; y < image.height(); ++y) {
            QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const int n = int(random.bounded(16)) - 8;
                row[x] = qRgb(std::clamp(qRed(row[x]) + n, 0, 255),
                              std::clamp(qGreen(row[x]) + n, 0, 255),
                              std::clamp(qBlue(row[x]) + n, 0, 255));
            }
        }
        const QByteArray name = QFile::encodeName(path);
        if (Sky_Write_JPEG(name, 90, 0, 24, &image, nullptr) != SKY_OK)
            std::abort();
        return name;
    }();
    return file;
}

void BM_Sky_Scaled_554x328(benchmark::State& state)
{
    const QByteArray& file = pictureFile();
    for (auto _ : state) {
        QImage image;
        int16_t scale = 0;
        if (Sky_Read_JPEG_Scaled(file, 24, 0, 554, 328, &image, nullptr, &scale) != SKY_OK ||
            scale != 8)
            state.SkipWithError("scaled read failed");
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_Bare_Eighth(benchmark::State& state)
{
    const QByteArray& file = pictureFile();
    std::vector<unsigned char> buffer;
    for (auto _ : state)
        benchmark::DoNotOptimize(Bare_Jpeg_Decode(file, 8, buffer));
}

void BM_Sky_Full(benchmark::State& state)
{
    const QByteArray& file = pictureFile();
    for (auto _ : state) {
        QImage image;
        if (Sky_Read_JPEG(file, 24, 1, 0, &image, nullptr) != SKY_OK)
            state.SkipWithError("full read failed");
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_Bare_Full(benchmark::State& state)
{
    const QByteArray& file = pictureFile();
    std::vector<unsigned char> buffer;
    for (auto _ : state) {
        buffer.clear();
        buffer.shrink_to_fit(); // a fresh buffer each time, as a reader allocates its picture
        benchmark::DoNotOptimize(Bare_Jpeg_Decode(file, 1, buffer));
    }
}

// The same bare decode into four bytes a pixel, the layout of the back end's pictures: shows how
// much of the difference is the wider output rather than the back end itself.
void BM_Bare_Full_Bgrx(benchmark::State& state)
{
    const QByteArray& file = pictureFile();
    std::vector<unsigned char> buffer;
    for (auto _ : state) {
        buffer.clear();
        buffer.shrink_to_fit();
        benchmark::DoNotOptimize(Bare_Jpeg_Decode(file, 1, buffer, JCS_EXT_BGRX));
    }
}

} // namespace

BENCHMARK(BM_Sky_Scaled_554x328)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly();
BENCHMARK(BM_Bare_Eighth)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly();
BENCHMARK(BM_Sky_Full)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly();
BENCHMARK(BM_Bare_Full)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly();
BENCHMARK(BM_Bare_Full_Bgrx)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly();
BENCHMARK_MAIN();
