// Start-up to the category tree shown, for a catalogue of 700 entries, against a bare
// toolkit window in the same run. Time in process; peak memory in child processes of this
// same program (one start each), reported as counters in KiB.
#include "MainWindow.h"
#include "Mkdisc.h"

#include "MessageBox.h"

#include <QApplication>
#include <QDir>
#include <QMainWindow>
#include <QProcess>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

QString g_programFile;

Mkdisc::Disc_Spec Catalogue_700()
{
    Mkdisc::Disc_Spec spec = Mkdisc::Small_Disc({});
    spec.Entries.clear();
    spec.Entries.append(
        {false, {}, {"0. Collection", "0. Sammlung", "0. Collection"}, "", "", "", 1, {}});
    for (int i = 1; i < 700; ++i) {
        if (i % 20 == 1) {
            spec.Entries.append(
                {false, {}, {QStringLiteral("%1. Heading %1").arg(i)}, "", "", "", 1, {}});
            continue;
        }
        Mkdisc::Entry_Spec e;
        e.Names = {QStringLiteral("%1. Category %2").arg(i).arg((i * 7919) % 1000),
                   QStringLiteral("%1. Kategorie %1").arg(i),
                   QStringLiteral("%1. Cat\u00E9gorie %1").arg(i)};
        e.Picture_Folder = QStringLiteral("C%1").arg(i);
        e.Thumb_Folder = e.Picture_Folder + QStringLiteral("\\THB");
        e.Picture_Ext = QStringLiteral(".JPG");
        spec.Entries.append(e);
    }
    return spec;
}

void Start_Orvinta()
{
    TForm1 form({g_programFile, {}});
    form.show();
    QCoreApplication::processEvents();
    benchmark::DoNotOptimize(form.Cat_List->topLevelItemCount());
}

void Start_Bare()
{
    QMainWindow window;
    window.resize(583, 401);
    window.show();
    QCoreApplication::processEvents();
    benchmark::DoNotOptimize(window.isVisible());
}

// Runs one start in a child process of this program; returns its peak memory in KiB.
long Child_Start(const char* mode)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--child"), QString::fromLatin1(mode), g_programFile});
    child.waitForFinished(60000);
    return child.readAllStandardOutput().trimmed().toLong();
}

// A whole program start, process creation to the window shown and the process ended: what
// the user waits for.
void BM_Process_Start_To_Tree(benchmark::State& state)
{
    long peak = 0;
    for (auto _ : state)
        peak = Child_Start("orvinta");
    state.counters["peak_KiB"] = double(peak);
}

void BM_Process_Bare_Window(benchmark::State& state)
{
    long peak = 0;
    for (auto _ : state)
        peak = Child_Start("bare");
    state.counters["peak_KiB"] = double(peak);
}

// The same inside one running process: only the work of the window itself.
void BM_InProcess_Start_To_Tree(benchmark::State& state)
{
    for (auto _ : state)
        Start_Orvinta();
}

void BM_InProcess_Bare_Window(benchmark::State& state)
{
    for (auto _ : state)
        Start_Bare();
}

BENCHMARK(BM_Process_Start_To_Tree)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Process_Bare_Window)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_InProcess_Start_To_Tree)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InProcess_Bare_Window)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    QApplication app(argc, argv);
    Message_Box_Script quiet; // a failing start must not wait for a click

    if (argc == 4 && QByteArray(argv[1]) == "--child") {
        g_programFile = QString::fromLocal8Bit(argv[3]);
        if (QByteArray(argv[2]) == "orvinta")
            Start_Orvinta();
        else
            Start_Bare();
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("%ld\n", usage.ru_maxrss);
        return 0;
    }

    QTemporaryDir dir;
    Mkdisc::Disc_Spec spec = Catalogue_700();
    QString error;
    const QString programFile = Mkdisc::Write_Installation(dir.path(), spec, {}, &error);
    if (programFile.isEmpty()) {
        std::fprintf(stderr, "cannot write the benchmark disc: %s\n", qPrintable(error));
        return 1;
    }
    g_programFile = programFile;
    {
        TForm1 probe({g_programFile, {}});
        if (probe.State().Abort_Start || probe.Cat_List->topLevelItemCount() == 0) {
            std::fprintf(stderr, "the benchmark disc does not start: %s\n",
                         qPrintable(quiet.Texts().join('|')));
            return 1;
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
