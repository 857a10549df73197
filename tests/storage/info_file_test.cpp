#include "storage/info_file.h"

#include <gtest/gtest.h>

#include <tuple>

namespace orvasel::info_file {
namespace {

TEST(InfoFile, StoresEditorLinesAsCrCrLfThenTheMarkerAndTheFieldAndReadsThemBackStably) {
    EXPECT_EQ(serialize("Mix 3\r\nTempo 120", "C:\\Audio\\mix3.wav"),
              "Mix 3\r\r\nTempo 120\r\nEOF\r\nC:\\Audio\\mix3.wav\r\n");
    EXPECT_EQ(markerOnly(), "EOF\r\n");
    EXPECT_EQ(editorText("\na\nb\r\nc"), "\r\na\r\nb\r\nc");

    // The note ends at the exact marker line; the field is the line after it.
    struct Case { std::string bytes; std::string note; std::string exportPath; bool markerFound; };
    const std::string x999(999, 'x');
    const Case cases[] = {
        {"Mix 3\r\r\n\r\nTempo 120\r\nEOF\r\nC:\\Audio\\mix3.wav\r\nleft over\r\n", "Mix 3\r\nTempo 120\n",
         "C:\\Audio\\mix3.wav", true},
        {"n\r\nEOF\r\nEOcean.wav\r\n", "n\n", "", true},
        // A cut file: its last line gets back its line end, so that a save keeps it apart from the marker.
        {"note\r\nEOF", "note\nEOF\n", "", false},
        // A note line "EOF" followed by an editor line break is stored with CR CR LF: no marker.
        {serialize("EOF\r\nsuite", "x.wav"), "EOF\r\nsuite\n", "x.wav", true},
        // As the last line it is given a line break, or it would meet the LF that opens the marker
        // and pass for it; inside the note, and alone, it stays a line of the note.
        {serialize("Mix\r\nEOF", "C:\\Audio\\mix.wav"), "Mix\r\nEOF\r\n", "C:\\Audio\\mix.wav", true},
        {serialize("EOF", "x.wav"), "EOF\r\n", "x.wav", true},
        // So is a long last line whose last piece would be "EOF"; one that only ends with it is not.
        {serialize("n\r\n" + x999 + "EOF", "x.wav"), "n\r\n" + x999 + "EOF\r\n", "x.wav", true},
        {serialize(x999 + "xEOF", "x.wav"), x999 + "xEOF\n", "x.wav", true},
        // Written so by earlier versions, it still reads as it did.
        {"Mix\r\r\nEOF\r\nEOF\r\nC:\\mix.wav\r\n", "Mix\r\n", "", true},
        // Lines arrive in pieces of 999 characters, CR LF counted as LF; every piece counts as a line.
        {x999 + "\r\nnext\r\nEOF\r\n\r\n", x999 + "next\n", "", true},
        {x999 + "EOF\r\npath\r\n", x999, "path", true},
    };
    const auto saveAfterLoad = [](std::string_view bytes) {
        const Contents loaded = parse(bytes);
        return serialize(editorText(loaded.note), loaded.exportPath);
    };
    for (const Case& c : cases) {
        const Contents contents = parse(c.bytes);
        EXPECT_EQ(std::tie(contents.note, contents.exportPath, contents.markerFound),
                  std::tie(c.note, c.exportPath, c.markerFound)) << c.bytes;
        // After one cycle, a save of what a load put into the editor and the field changes nothing.
        const std::string first = saveAfterLoad(c.bytes);
        EXPECT_EQ(saveAfterLoad(first), first) << c.bytes;
    }
}

}  // namespace
}  // namespace orvasel::info_file
