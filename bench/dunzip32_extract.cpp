// Extracting a 20 MB picture-like member (incompressible, deflated) from its archive:
// the back end's entry point against `unzip -o` of the same archive in the same run.
#include "Unzip_Call.h"
#include "Zip_Builder.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace {

struct Fixture
{
    std::string folder, zip, dest;
    Fixture()
    {
        char name[] = "/tmp/dunzip32-bench-XXXXXX";
        if (::mkdtemp(name) == nullptr)
            throw std::runtime_error("no temporary folder");
        folder = name;
        zip = folder + "/PICTURE.ZIP";
        dest = folder + "/dest";
        std::filesystem::create_directory(dest);
        if (!dunzip32_test::Write_Deflated_Zip(
                zip, {{"PICTURE.JPG", dunzip32_test::Noise(20 * 1024 * 1024, 11)}}))
            throw std::runtime_error("cannot write the archive");
    }
    ~Fixture() { std::filesystem::remove_all(folder); }
};

Fixture& Shared()
{
    static Fixture fixture;
    return fixture;
}

void BM_Dunzip(benchmark::State& state)
{
    Fixture& f = Shared();
    for (auto _ : state) {
        Unzip_Record record{};
        record.recordSize = sizeof record;
        record.actionCode = DUNZIP_ACTION_EXTRACT;
        record.lpszZipFile = f.zip.c_str();
        record.lpszFileSpec = "*.*";
        record.lpszDestination = f.dest.c_str();
        record.OverWriteFlag = DUNZIP_FLAG_ON;
        record.QuietFlag = DUNZIP_FLAG_ON;
        if (dunzip(&record) != DUNZIP_OK)
            state.SkipWithError("extraction failed");
    }
}

void BM_Unzip(benchmark::State& state)
{
    Fixture& f = Shared();
    const std::string zip = f.zip;
    const std::string dest = f.dest;
    for (auto _ : state) {
        if (!Run_Unzip(zip, dest))
            state.SkipWithError("unzip failed");
    }
}

} // namespace

BENCHMARK(BM_Dunzip)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(15);
BENCHMARK(BM_Unzip)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(15);
BENCHMARK_MAIN();
