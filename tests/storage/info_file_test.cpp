#include "storage/info_file.h"

#include <gtest/gtest.h>

#include "storage/text.h"

namespace orvasel::info_file {
namespace {

// A save of what a load put into the editor and the field.
std::string saveAfterLoad(std::string_view bytes) {
    const Contents loaded = parse(bytes);
    return serialize(editorText(loaded.note), loaded.exportPath);
}

TEST(InfoFile, StoresEditorLinesAsCrCrLfThenTheMarkerAndTheField) {
    EXPECT_EQ(serialize("Mix 3\r\nTempo 120", "C:\\Audio\\mix3.wav"),
              "Mix 3\r\r\nTempo 120\r\nEOF\r\nC:\\Audio\\mix3.wav\r\n");
    EXPECT_EQ(serialize("", ""), "\r\nEOF\r\n\r\n");
    EXPECT_EQ(markerOnly(), "EOF\r\n");
}

TEST(InfoFile, ReadsBackNoteLinesMarkerAndField) {
    const Contents mix = parse("Mix 3\r\r\nTempo 120\r\nEOF\r\nC:\\Audio\\mix3.wav\r\nleft over\r\n");
    EXPECT_EQ(mix.note, "Mix 3\r\nTempo 120\n");
    EXPECT_EQ(mix.exportPath, "C:\\Audio\\mix3.wav");
    EXPECT_TRUE(mix.markerFound);
    EXPECT_EQ(editorText(mix.note), "Mix 3\r\nTempo 120\r\n");

    for (const std::string_view emptyOne : {std::string_view("\r\nEOF\r\n\r\n"), std::string_view("EOF\r\n")}) {
        const Contents empty = parse(emptyOne);
        EXPECT_EQ(empty.note, "");
        EXPECT_EQ(empty.exportPath, "");
        EXPECT_TRUE(empty.markerFound);
    }
}

TEST(InfoFile, FieldLineRules) {
    EXPECT_EQ(parse("n\r\nEOF\r\nEOcean.wav\r\n").exportPath, "");
    EXPECT_EQ(parse("n\r\nEOF\r\n").exportPath, "");
    EXPECT_EQ(parse("n\r\nEOF\r\nC\r\n").exportPath, "C");
    EXPECT_EQ(parse("n\r\nEOF\r\nC:\\a.wav").exportPath, "C:\\a.wav");  // no line end at all
}

TEST(InfoFile, MarkerIsTheExactLineOnly) {
    const Contents noEnd = parse("note\r\nEOF");
    EXPECT_FALSE(noEnd.markerFound);
    EXPECT_EQ(noEnd.note, "note\nEOF\n");
    EXPECT_EQ(parse(saveAfterLoad("note\r\nEOF")).note, "note\r\nEOF\r\n");  // kept through a save
    EXPECT_EQ(noEnd.exportPath, "");

    // A note line "EOF" followed by an editor line break is stored with CR CR LF: no marker.
    const Contents inside = parse(serialize("EOF\r\neof\r\nsuite", "x.wav"));
    EXPECT_EQ(inside.note, "EOF\r\neof\r\nsuite\n");
    EXPECT_EQ(inside.exportPath, "x.wav");

    // As the last line it meets the LF that opens the marker: the note ends before it and the
    // real marker is taken for the field line.
    const Contents last = parse(serialize("Mix\r\nEOF", "C:\\Audio\\mix.wav"));
    EXPECT_TRUE(last.markerFound);
    EXPECT_EQ(last.note, "Mix\r\n");
    EXPECT_EQ(last.exportPath, "");
}

TEST(InfoFile, FileWithoutMarkerIsAllNote) {
    const Contents contents = parse("first\r\n\r\nsecond\r\nEOF \r\n");
    EXPECT_FALSE(contents.markerFound);
    EXPECT_EQ(contents.note, "first\nsecond\nEOF \n");
    EXPECT_EQ(contents.exportPath, "");
}

TEST(InfoFile, LinesArriveInPiecesOf999Characters) {
    const std::string long999(999, 'x');
    const std::string long998(998, 'y');
    // The LF of a 999-character line is a piece of its own, dropped as a bare line end.
    EXPECT_EQ(parse(long999 + "\r\nnext\r\nEOF\r\n\r\n").note, long999 + "next\n");
    // CR LF turns into LF before counting, so 998 characters and their line end fit one piece.
    EXPECT_EQ(parse(long998 + "\r\nnext\r\nEOF\r\n\r\n").note, long998 + "\nnext\n");
    // Every piece counts as a line of its own: a piece "EOF\n" is a marker.
    const Contents split = parse(long999 + "EOF\r\npath\r\n");
    EXPECT_TRUE(split.markerFound);
    EXPECT_EQ(split.note, long999);
    EXPECT_EQ(split.exportPath, "path");
}

TEST(InfoFile, BlankAndAccentedLinesSurviveASaveAndReload) {
    const std::string editor = *text::utf8ToCp1252("Été à Noël\r\n\r\n\r\nCœur – 5 €");
    const std::string field = *text::utf8ToCp1252("D:\\Mixages\\prise été.wav");
    const Contents loaded = parse(serialize(editor, field));
    EXPECT_EQ(editorText(loaded.note), editor + "\r\n");
    EXPECT_EQ(text::cp1252ToUtf8(loaded.exportPath), "D:\\Mixages\\prise été.wav");
}

TEST(InfoFile, SaveAndReloadReachesAFixedPointAfterOneCycle) {
    for (const std::string& editor : {std::string("Mix 3\r\nTempo 120"), std::string(""),
                                      std::string("a\r\n\r\nb\r\n"), std::string("Mix\r\nEOF"),
                                      std::string(2500, 'z') + "\r\nfin", std::string("\r\r\n\r")}) {
        const std::string first = saveAfterLoad(serialize(editor, "C:\\Audio\\mix.wav"));
        EXPECT_EQ(saveAfterLoad(first), first) << editor;
    }
}

TEST(InfoFile, EveryCutOfAFileLoadsAndFindsTheMarkerOnlyWhenWhole) {
    const std::string bytes = serialize("Mix 3\r\nTempo 120", "C:\\Audio\\mix3.wav");
    const std::size_t markerEnd = bytes.find("EOF\r\n") + 5;
    for (std::size_t size = 0; size <= bytes.size(); ++size)
        EXPECT_EQ(parse(std::string_view(bytes).substr(0, size)).markerFound, size >= markerEnd) << size;
}

TEST(InfoFile, EditorTextHoldsEveryLineEndAsCrLf) {
    EXPECT_EQ(editorText("a\nb\r\nc"), "a\r\nb\r\nc");
    EXPECT_EQ(editorText("\n\r\n"), "\r\n\r\n");
}

}  // namespace
}  // namespace orvasel::info_file
