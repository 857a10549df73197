#include "storage/settings_file.h"

#include <gtest/gtest.h>

namespace orvasel::settings_file {
namespace {

TEST(SettingsFile, WritesByteForByteAndReadsBackWhateverTheLineEnds) {
    const Settings twoBookmarks{"C:\\Cubase SX\\Cubasesx.exe", 1, {"D:\\Projets\\", "E:\\Archives\\2004\\"},
                                {"Projets", "Archives"}, "C:\\Lecteur\\player.exe"};
    const std::string twoBookmarksBytes = "C:\\Cubase SX\\Cubasesx.exe\r\n1\r\nD:\\Projets\\\r\nE:\\Archives\\2004\\\r\n"
                                          "SIG\r\nProjets\r\nArchives\r\nEOF\r\nC:\\Lecteur\\player.exe\r\n";
    EXPECT_EQ(serialize(Settings{}), "rien\r\n-1\r\nSIG\r\nEOF\r\n\r\n");
    EXPECT_EQ(serialize(twoBookmarks), twoBookmarksBytes);

    // Line feeds alone, and no last break.
    std::string lfOnly = twoBookmarksBytes;
    std::erase(lfOnly, '\r');
    std::vector<std::pair<std::string, Settings>> cases{
        {twoBookmarksBytes, twoBookmarks}, {lfOnly, twoBookmarks}, {lfOnly.substr(0, lfOnly.size() - 1), twoBookmarks}};
    // Markers, accents and full lines come back as they were; the index 7 lies beyond the list and stays.
    const std::string full(254, 'f');
    for (const Settings& settings : {Settings{}, Settings{"rien", 0, {"EOF", "sig", "D:\\SIG\\"}, {"SIG", "eof", "Sig "}, ""},
                                     Settings{"C:\\Programmes\\Cubasesx.exe", 7, {"D:\\Musique\\\xC9t\xE9 2004\\", full},
                                              {"Chansons d'\xE9t\xE9 \x96 \x9C""uvres", full}, full}})
        cases.emplace_back(serialize(settings), settings);
    for (const auto& [bytes, settings] : cases)
        EXPECT_TRUE(parse(bytes).fault == Fault::None && parse(bytes).settings == settings) << bytes;
    EXPECT_TRUE(fitsOneLine(full) && !fitsOneLine(full + "f") && !fitsOneLine("a\rb") && !fitsOneLine("a\nb"));
}

TEST(SettingsFile, MalformedFilesLoadWhatPrecedesTheFaultWithTheListsEvenedOut) {
    struct Malformed { std::string bytes; Fault fault; Settings kept; };
    const Malformed cases[] = {
        // A bad index spoils no other line.
        {"c\r\n2147483648\r\nD:\\\r\nSIG\r\nd\r\nEOF\r\np\r\n", Fault::IndexNotANumber, {"c", -1, {"D:\\"}, {"d"}, "p"}},
        {"c\r\n0\r\nD:\\\r\nE:\\\r\n", Fault::EndsBeforeSig, {"c", 0, {"D:\\", "E:\\"}, {"D:\\", "E:\\"}, ""}},
        {"c\r\n0\r\nD:\\\r\nE:\\\r\nSIG\r\nd\r\n", Fault::EndsBeforeEof, {"c", 0, {"D:\\", "E:\\"}, {"d", "E:\\"}, ""}},
        {"c\r\n0\r\nD:\\\r\nSIG\r\nd\r\nEOF\r\n", Fault::EndsBeforePlayer, {"c", 0, {"D:\\"}, {"d"}, ""}},
        {"c\r\n0\r\nSIG\r\nd\r\ne\r\nEOF\r\np\r\n", Fault::ListsDiffer, {"c", 0, {}, {}, "p"}},
        // A line too long ends the reading where it starts.
        {"c\r\n0\r\nD:\\\r\n" + std::string(255, 'x') + "\r\nSIG\r\nd\r\nEOF\r\np\r\n", Fault::LineTooLong,
         {"c", 0, {"D:\\"}, {"D:\\"}, ""}},
    };
    for (const Malformed& c : cases)
        EXPECT_TRUE(parse(c.bytes).fault == c.fault && parse(c.bytes).settings == c.kept) << c.bytes;
}

}  // namespace
}  // namespace orvasel::settings_file
