// Retrieving a 20 MB picture (incompressible, deflated) from the archive beside where the
// picture would lie: Retrieve_Picture (loading the back end, extracting into the program's
// folder, replacing the scratch file) against `unzip -o` of the same archive in the same run.
#include "MessageBox.h"
#include "Retrieval.h"
#include "Retrieval_Fixture.h"
#include "Zip_Builder.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QFileInfo>

#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>

extern char** environ;

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
    std::vector<std::string> args{
        "unzip", "-o",
        "-qq",   QFile::encodeName(f.disc.Native(QStringLiteral("PICTURE.ZIP"))).toStdString(),
        "-d",    QFile::encodeName(f.unzipDest.path()).toStdString()};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    for (auto _ : state) {
        pid_t pid = 0;
        int status = 0;
        if (::posix_spawnp(&pid, "unzip", nullptr, nullptr, argv.data(), environ) != 0 ||
            ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
            state.SkipWithError("unzip failed");
    }
}

} // namespace

BENCHMARK(BM_Retrieve_Picture)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(15);
BENCHMARK(BM_Unzip)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(15);
BENCHMARK_MAIN();
