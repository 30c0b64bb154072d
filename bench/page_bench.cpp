// The thumbnail page: filling a page of 100 cells from a category of 2,000 thumbnails
// against reading the same 100 files' bytes, and a one-row scroll against a full fill.
#include "CategoryTree.h"
#include "MainWindow.h"
#include "Mkdisc.h"
#include "PageDisplay.h"
#include "ThumbPage.h"

#include "DosPath.h"
#include "MessageBox.h"
#include "System.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <benchmark/benchmark.h>
#include <utime.h>

namespace {

TForm1* g_form = nullptr;
int g_entry = -1;

void BM_Page_Fill(benchmark::State& state)
{
    for (auto _ : state)
        g_form->Show_Category(g_entry, false, true);
    state.counters["cells"] = g_form->Geometry().Cells();
}

// The first showing of the category: its folder is listed afresh (a changed folder time
// makes the listing of the last showing stale).
void BM_Page_Fill_First_Show(benchmark::State& state)
{
    const QString folder =
        Platform::Native_Path(g_form->State().Catalogue.at(g_entry).Thumb_Folder);
    const QByteArray path = QFile::encodeName(folder);
    time_t stamp = time(nullptr) - 1000000; // past times: the listing may be kept
    for (auto _ : state) {
        state.PauseTiming();
        const utimbuf times{stamp, ++stamp};
        if (utime(path.constData(), &times) != 0)
            state.SkipWithError("cannot change the folder's time");
        state.ResumeTiming();
        g_form->Show_Category(g_entry, false, true);
    }
}

void BM_Read_Page_Files(benchmark::State& state)
{
    const int cells = g_form->Geometry().Cells();
    for (auto _ : state) {
        qint64 bytes = 0;
        for (int i = 0; i < cells; ++i) {
            QFile f(Platform::Native_Path(g_form->State().Thumb_List.at(i)));
            if (f.open(QIODevice::ReadOnly))
                bytes += f.readAll().size();
        }
        benchmark::DoNotOptimize(bytes);
    }
}

void BM_One_Row_Scroll(benchmark::State& state)
{
    g_form->Show_Category(g_entry, false, true);
    int position = 0;
    for (auto _ : state) {
        position = position == 0 ? 1 : 0;
        g_form->THB_Scroll->setValue(position);
    }
}

// Parts of a fill, to see where its time goes.
void BM_Part_List(benchmark::State& state)
{
    const QString folder = g_form->State().Catalogue.at(g_entry).Thumb_Folder;
    for (auto _ : state)
        benchmark::DoNotOptimize(List_Thumbnails(folder).size());
}

// The listing of a folder whose times changed since it was listed last.
void BM_Part_List_Changed_Folder(benchmark::State& state)
{
    const QString folder = g_form->State().Catalogue.at(g_entry).Thumb_Folder;
    const QByteArray path = QFile::encodeName(Platform::Native_Path(folder));
    time_t stamp = time(nullptr) - 1000000; // past times: the listing may be kept
    for (auto _ : state) {
        state.PauseTiming();
        const utimbuf times{stamp, ++stamp};
        if (utime(path.constData(), &times) != 0)
            state.SkipWithError("cannot change the folder's time");
        state.ResumeTiming();
        benchmark::DoNotOptimize(List_Thumbnails(folder).size());
    }
}

void BM_Part_List_Files(benchmark::State& state)
{
    const QString folder =
        Platform::Native_Path(g_form->State().Catalogue.at(g_entry).Thumb_Folder);
    for (auto _ : state)
        benchmark::DoNotOptimize(Platform::List_Files(folder, QStringLiteral(".BMP")).size());
}

void BM_Part_Load(benchmark::State& state)
{
    Thumb_Cells cells;
    cells.Reset(100);
    for (auto _ : state)
        cells.Load_All(g_form->State().Thumb_List, 0);
}

void BM_Part_Draw(benchmark::State& state)
{
    for (auto _ : state)
        g_form->Draw_Page();
}

BENCHMARK(BM_Part_List)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Part_List_Files)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Part_List_Changed_Folder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Part_Load)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Part_Draw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Page_Fill)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Page_Fill_First_Show)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Read_Page_Files)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_One_Row_Scroll)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    QApplication app(argc, argv);
    Message_Box_Script quiet;

    QTemporaryDir dir;
    Mkdisc::Disc_Spec spec = Mkdisc::Small_Disc({2000});
    spec.Picture_Size = QSize(100, 75);
    QString error;
    const QString programFile = Mkdisc::Write_Installation(dir.path(), spec, {}, &error);
    if (programFile.isEmpty()) {
        std::fprintf(stderr, "cannot write the benchmark disc: %s\n", qPrintable(error));
        return 1;
    }
    TForm1 form({programFile, {}});
    g_form = &form;
    form.show();
    form.Thumbnail_View(); // the page alone: 10 x 10 cells in this window
    form.resize(1133, 941);
    QCoreApplication::processEvents();
    g_entry = Node_Entry(form.Cat_List->currentItem());
    form.Show_Category(g_entry, false, true);
    if (form.Geometry().Cells() != 100 || form.State().Thumb_List.size() != 2000) {
        std::fprintf(stderr, "unexpected page: %d cells, %d thumbnails\n", form.Geometry().Cells(),
                     int(form.State().Thumb_List.size()));
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
