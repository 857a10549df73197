// Reading and saving an information file whose note holds 1 MiB of text.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

#include "platform/file_io.h"
#include "storage/info_file.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kNoteSize = 1 << 20;
const char* const kExportPath = "D:\\Mixages\\Chanson finale.wav";

// Editor text of lines of 60 to 120 characters, with accented letters and a blank line now and then.
std::string bigNote() {
    std::mt19937 random(2004);
    const std::string words[] = {"tempo", "reverbe", "\xE9galiseur", "prise", "voix", "m\xE9lodie", "basse", "120"};
    std::string note;
    while (note.size() < kNoteSize) {
        std::string line;
        const std::size_t length = 60 + random() % 61;
        while (line.size() < length) line += words[random() % 8] + " ";
        note += line + (random() % 10 == 0 ? "\r\n\r\n" : "\r\n");
    }
    note.resize(kNoteSize);
    return note;
}

void BM_ReadInfoFile(benchmark::State& state) {
    const std::string bytes = orvasel::info_file::serialize(bigNote(), kExportPath);
    for (auto _ : state) benchmark::DoNotOptimize(orvasel::info_file::parse(bytes));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ReadInfoFile)->Unit(benchmark::kMillisecond);

void BM_WriteInfoFile(benchmark::State& state) {
    const std::string note = bigNote();
    const fs::path folder = fs::temp_directory_path() / ("orvasel-bench-" + std::to_string(std::random_device{}()));
    fs::create_directory(folder);
    const std::string target = (folder / "Chanson.cpr.info").string();
    for (auto _ : state) {
        const auto result = orvasel::file_io::writeFileAtomically(target, orvasel::info_file::serialize(note, kExportPath));
        if (!result.ok) {
            state.SkipWithError(result.error.c_str());
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kNoteSize));
    fs::remove_all(folder);
}
BENCHMARK(BM_WriteInfoFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// A save of a 1 KiB note, and what it adds to find out first whether someone else changed the
// file since it was loaded: reading it again and comparing it with what was loaded.
const std::string kSmallNote = orvasel::info_file::serialize(bigNote().substr(0, 1024), kExportPath);

void BM_SaveSmallNote(benchmark::State& state) {
    const fs::path folder = fs::temp_directory_path() / ("orvasel-bench-" + std::to_string(std::random_device{}()));
    fs::create_directory(folder);
    const std::string target = (folder / "Chanson.cpr.info").string();
    for (auto _ : state)
        if (!orvasel::file_io::writeFileAtomically(target, kSmallNote).ok) state.SkipWithError("the save failed");
    fs::remove_all(folder);
}
BENCHMARK(BM_SaveSmallNote)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_CompareBeforeSavingSmallNote(benchmark::State& state) {
    const fs::path folder = fs::temp_directory_path() / ("orvasel-bench-" + std::to_string(std::random_device{}()));
    fs::create_directory(folder);
    const std::string target = (folder / "Chanson.cpr.info").string();
    orvasel::file_io::writeFileAtomically(target, kSmallNote);
    for (auto _ : state) {
        const auto onDisk = orvasel::file_io::readWholeFile(target);
        if (onDisk.bytes != kSmallNote) state.SkipWithError("the note changed");
    }
    fs::remove_all(folder);
}
BENCHMARK(BM_CompareBeforeSavingSmallNote)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
