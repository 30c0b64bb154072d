// Retrieving a 20 MB picture (incompressible, deflated) from the archive beside where the
// picture would lie: Retrieve_Picture (loading the back end, extracting into the program's
// folder, replacing the scratch file) against `unzip -o` of the same archive in the same run.
#include "MessageBox.h"
#include "Retrieval.h"
#include "Retrieval_Fixture.h"
#include "Zip_Builder.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QFileInfo>

#include <stdexcept>

namespace {

constexpr qint64 Picture_Size = 20 * 1024 * 1024;

struct Fixture
{
    retrieval_test::Disc disc;
    retrieval_test::Program_Folder program{retrieval_test::Back_End::Real};
    QTemporaryDir unzipDest;
    Fixture()
    {
        if (!dunzip32_test::Write_Deflated_Zip(
                QFile::encodeName(disc.Native(QStringLiteral("PICTURE.ZIP"))).toStdString(),
                {{"PICTURE.JPG", dunzip32_test::Noise(size_t(Picture_Size), 11)}}))
            throw std::runtime_error("cannot write the archive");
    }
};

Fixture& Shared()
{
    static Fixture fixture;
    return fixture;
}

void BM_Retrieve_Picture(benchmark::State& state)
{
    Fixture& f = Shared();
    const QString archive = retrieval_test::Disc::Dos(QStringLiteral("PICTURE.ZIP"));
    const QString scratch = f.program.Dos() + QStringLiteral("decomprs.JPG");
    Message_Box_Script script;
    for (auto _ : state)
        Retrieve_Picture(nullptr, archive, scratch, f.program.Dos());
    if (!script.Boxes().isEmpty() ||
        QFileInfo(f.program.File(QStringLiteral("decomprs.JPG"))).size() != Picture_Size)
        state.SkipWithError("retrieval failed");
}

void BM_Unzip(benchmark::State& state)
{
    Fixture& f = Shared();
    const std::string zip =
        QFile::encodeName(f.disc.Native(QStringLiteral("PICTURE.ZIP"))).toStdString();
    const std::string dest = QFile::encodeName(f.unzipDest.path()).toStdString();
    for (auto _ : state) {
        if (!Run_Unzip(zip, dest))
            state.SkipWithError("unzip failed");
    }
}

} // namespace

BENCHMARK(BM_Retrieve_Picture)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(15);
BENCHMARK(BM_Unzip)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(15);
BENCHMARK_MAIN();
