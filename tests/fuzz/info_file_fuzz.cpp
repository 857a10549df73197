// Any bytes as an information file: reading comes to an end without a memory fault, and a save of
// what a load put into the editor and the field, loaded again, keeps the note's lines and the
// field; from then on every save writes the same bytes.
#include "storage/info_file.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

using namespace orvasel::info_file;

namespace {

// Longest note line that a save stores and a load reads back in one piece: the line, its CR and
// its LF fill at most 999 characters of the 1000-byte line buffer. Longer lines are read in pieces
// and may join the next line, as they do in the program.
constexpr std::size_t kLongestWholeLine = 997;

// The note's lines without their line ends (LF, or CR LF); a last line without one, left by a file
// that ends before its marker, counts as a line too.
std::vector<std::string_view> noteLines(std::string_view note)
{
    std::vector<std::string_view> lines;
    while (!note.empty()) {
        const std::size_t end = note.find('\n');
        std::string_view line = note.substr(0, end);
        if (end != std::string_view::npos && line.ends_with('\r'))
            line.remove_suffix(1);
        lines.push_back(line);
        note.remove_prefix(end == std::string_view::npos ? note.size() : end + 1);
    }
    return lines;
}

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "information file: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Contents loaded = parse({reinterpret_cast<const char*>(data), size});
    const std::vector<std::string_view> lines = noteLines(loaded.note);
    for (const std::string_view line : lines)
        if (line.size() > kLongestWholeLine)
            return 0;

    const std::string saved = serialize(editorText(loaded.note), loaded.exportPath);
    const Contents reloaded = parse(saved);
    if (!reloaded.markerFound)
        fail("a saved file has no marker line");
    if (noteLines(reloaded.note) != lines)
        fail("a save and a load changed the note's lines");
    if (reloaded.exportPath != loaded.exportPath)
        fail("a save and a load changed the exported-audio path");
    if (serialize(editorText(reloaded.note), reloaded.exportPath) != saved)
        fail("a second save wrote other bytes");
    return 0;
}
