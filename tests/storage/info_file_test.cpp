#include "storage/info_file.h"

#include <gtest/gtest.h>

namespace orvasel::info_file {
namespace {

TEST(InfoFile, StoresEditorLinesAsCrCrLfThenTheMarkerAndTheField) {
    EXPECT_EQ(serialize("Mix 3\r\nTempo 120", "C:\\Audio\\mix3.wav"),
              "Mix 3\r\r\nTempo 120\r\nEOF\r\nC:\\Audio\\mix3.wav\r\n");
    EXPECT_EQ(serialize("", ""), "\r\nEOF\r\n\r\n");
    EXPECT_EQ(markerOnly(), "EOF\r\n");
    EXPECT_EQ(editorText("\na\nb\r\nc"), "\r\na\r\nb\r\nc");
}

TEST(InfoFile, ReadsTheNoteUpToTheExactMarkerLineThenTheField) {
    struct Case { std::string bytes; std::string note; std::string exportPath; bool markerFound; };
    const std::string x999(999, 'x');
    const std::string y998(998, 'y');
    const Case cases[] = {
        {"Mix 3\r\r\nTempo 120\r\nEOF\r\nC:\\Audio\\mix3.wav\r\nleft over\r\n", "Mix 3\r\nTempo 120\n",
         "C:\\Audio\\mix3.wav", true},
        {"EOF\r\n", "", "", true},
        {"n\r\nEOF\r\nEOcean.wav\r\n", "n\n", "", true},
        {"n\r\nEOF\r\nC:\\a.wav", "n\n", "C:\\a.wav", true},
        // A cut file: its last line gets back its line end, so that a save keeps it apart from the marker.
        {"note\r\nEOF", "note\nEOF\n", "", false},
        {"first\r\n\r\nsecond\r\nEOF \r\n", "first\nsecond\nEOF \n", "", false},
        // A note line "EOF" followed by an editor line break is stored with CR CR LF: no marker.
        {serialize("EOF\r\neof\r\nsuite", "x.wav"), "EOF\r\neof\r\nsuite\n", "x.wav", true},
        // As the last line it meets the LF that opens the marker: the real marker is taken for the field.
        {serialize("Mix\r\nEOF", "C:\\Audio\\mix.wav"), "Mix\r\n", "", true},
        // Lines arrive in pieces of 999 characters, CR LF counted as LF; every piece counts as a line.
        {x999 + "\r\nnext\r\nEOF\r\n\r\n", x999 + "next\n", "", true},
        {y998 + "\r\nnext\r\nEOF\r\n\r\n", y998 + "\nnext\n", "", true},
        {x999 + "EOF\r\npath\r\n", x999, "path", true},
    };
    for (const Case& c : cases) {
        const Contents contents = parse(c.bytes);
        EXPECT_EQ(contents.note, c.note) << c.bytes;
        EXPECT_EQ(contents.exportPath, c.exportPath) << c.bytes;
        EXPECT_EQ(contents.markerFound, c.markerFound) << c.bytes;
    }
}

// A save of what a load put into the editor and the field is stable after one cycle; a cut file
// loads, and finds the marker only when whole.
TEST(InfoFile, SaveAfterLoadIsStableAndACutFileFindsNoMarker) {
    const auto saveAfterLoad = [](std::string_view bytes) {
        const Contents loaded = parse(bytes);
        return serialize(editorText(loaded.note), loaded.exportPath);
    };
    for (const std::string& bytes : {serialize("Mix 3\r\nTempo 120", "C:\\Audio\\mix.wav"), serialize("", ""),
                                     serialize("a\r\n\r\nb\r\n", ""), serialize("Mix\r\nEOF", "C:\\Audio\\mix.wav"),
                                     serialize(std::string(2500, 'z') + "\r\nfin", ""),
                                     serialize("\r\r\n\r", ""), std::string("note\r\nEOF")}) {
        const std::string first = saveAfterLoad(bytes);
        EXPECT_EQ(saveAfterLoad(first), first) << bytes;
    }
    const std::string bytes = serialize("Mix 3\r\nTempo 120", "C:\\Audio\\mix3.wav");
    for (std::size_t size = 0; size <= bytes.size(); ++size)
        EXPECT_EQ(parse(std::string_view(bytes).substr(0, size)).markerFound, size >= bytes.find("EOF\r\n") + 5) << size;
}

}  // namespace
}  // namespace orvasel::info_file
