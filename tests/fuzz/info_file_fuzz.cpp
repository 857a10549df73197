// Any bytes as an information file: reading comes to an end without a memory fault, and a save of
// what a load put into the editor and the field, loaded again, keeps the note's characters and the
// field (and its lines, where none is long enough to be read in pieces); from then on every save
// reads back the same, and writes the same bytes where no line is read in pieces.
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
// its LF fill at most 999 characters of the 1000-byte line buffer. A longer line is read in
// pieces; when its last piece is its line end alone, that piece is dropped as an empty line would
// be, and the line joins the next one.
constexpr std::size_t kLongestWholeLine = 997;

// The note's characters without its line ends.
std::string withoutLineEnds(std::string_view note)
{
    std::string kept;
    for (const char c : note)
        if (c != '\r' && c != '\n')
            kept += c;
    return kept;
}

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
    bool pieces = false;
    for (const std::string_view line : lines)
        pieces = pieces || line.size() > kLongestWholeLine;

    const std::string saved = serialize(editorText(loaded.note), loaded.exportPath);
    const Contents reloaded = parse(saved);
    if (!reloaded.markerFound)
        fail("a saved file has no marker line");
    if (!pieces && noteLines(reloaded.note) != lines)
        fail("a save and a load changed the note's lines");
    if (withoutLineEnds(reloaded.note) != withoutLineEnds(loaded.note))
        fail("a save and a load changed the note's characters");
    if (reloaded.exportPath != loaded.exportPath)
        fail("a save and a load changed the exported-audio path");
    const std::string savedAgain = serialize(editorText(reloaded.note), reloaded.exportPath);
    if (!pieces && savedAgain != saved)
        fail("a second save wrote other bytes");
    // A line end lost between pieces changes the bytes of the second save once; what it reads
    // back as no longer changes.
    const Contents again = parse(savedAgain);
    if (again.note != reloaded.note || again.exportPath != reloaded.exportPath)
        fail("a second save and a load changed the note or the path");
    return 0;
}
