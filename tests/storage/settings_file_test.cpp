#include "storage/settings_file.h"

#include <gtest/gtest.h>

#include "storage/text.h"

namespace orvasel::settings_file {
namespace {

TEST(SettingsFile, WritesByteForByteAndReadsBackWhateverTheLineEnds) {
    const Settings twoBookmarks{"C:\\Program Files\\Steinberg\\Cubase SX\\Cubasesx.exe", 1,
                                {"D:\\Projets\\", "E:\\Archives\\2004\\"}, {"Projets", "Archives"},
                                "C:\\Lecteur\\player.exe"};
    const std::string twoBookmarksBytes =
        "C:\\Program Files\\Steinberg\\Cubase SX\\Cubasesx.exe\r\n1\r\nD:\\Projets\\\r\nE:\\Archives\\2004\\\r\n"
        "SIG\r\nProjets\r\nArchives\r\nEOF\r\nC:\\Lecteur\\player.exe\r\n";
    EXPECT_EQ(serialize(Settings{}), "rien\r\n-1\r\nSIG\r\nEOF\r\n\r\n");
    EXPECT_EQ(serialize(twoBookmarks), twoBookmarksBytes);

    // Line feeds alone, CR CR LF as a text stream writes lines that already end with CR LF, no last break.
    std::string lfOnly = twoBookmarksBytes;
    std::erase(lfOnly, '\r');
    std::string crCrLf;
    for (const char c : lfOnly) crCrLf += c == '\n' ? std::string("\r\r\n") : std::string(1, c);
    std::vector<std::pair<std::string, Settings>> cases{
        {twoBookmarksBytes, twoBookmarks}, {lfOnly, twoBookmarks}, {crCrLf, twoBookmarks},
        {lfOnly.substr(0, lfOnly.size() - 1), twoBookmarks}};
    // Markers, accents and full lines come back as they were; the index 7 lies beyond the list and stays.
    const std::string full(254, 'f');
    for (const Settings& settings :
         {Settings{}, Settings{"rien", 0, {"EOF", "sig", "D:\\SIG\\"}, {"SIG", "eof", "Sig "}, ""},
          Settings{*text::utf8ToCp1252("C:\\Programmes\\Cubase SX\\Cubasesx.exe"), 7,
                   {*text::utf8ToCp1252("D:\\Musique\\Été 2004\\"), full},
                   {*text::utf8ToCp1252("Chansons d'été – œuvres"), full}, full}})
        cases.emplace_back(serialize(settings), settings);
    for (const auto& [bytes, settings] : cases) {
        const Loaded loaded = parse(bytes);
        EXPECT_EQ(loaded.fault, Fault::None) << bytes;
        EXPECT_EQ(loaded.settings, settings) << bytes;
    }
}

TEST(SettingsFile, MalformedFilesLoadWhatPrecedesTheFaultWithTheListsEvenedOut) {
    struct Malformed { std::string bytes; Fault fault; Settings kept; };
    const std::string tooLong(255, 'x');
    const Malformed cases[] = {
        // A bad index spoils no other line.
        {"c\r\n\r\nD:\\\r\nSIG\r\nd\r\nEOF\r\np\r\n", Fault::IndexNotANumber, {"c", -1, {"D:\\"}, {"d"}, "p"}},
        {"c\r\n12x\r\nSIG\r\nEOF\r\np\r\n", Fault::IndexNotANumber, {"c", -1, {}, {}, "p"}},
        {"c\r\n2147483648\r\nSIG\r\nEOF\r\np\r\n", Fault::IndexNotANumber, {"c", -1, {}, {}, "p"}},
        {"c\r\n-2147483648\r\nSIG\r\nEOF\r\np\r\n", Fault::None, {"c", -2147483647 - 1, {}, {}, "p"}},
        {"c\r\n0\r\nD:\\\r\nE:\\\r\n", Fault::EndsBeforeSig, {"c", 0, {"D:\\", "E:\\"}, {"D:\\", "E:\\"}, ""}},
        {"c\r\n0\r\nD:\\\r\nE:\\\r\nSIG\r\nd\r\n", Fault::EndsBeforeEof, {"c", 0, {"D:\\", "E:\\"}, {"d", "E:\\"}, ""}},
        {"c\r\n0\r\nD:\\\r\nSIG\r\nd\r\nEOF\r\n", Fault::EndsBeforePlayer, {"c", 0, {"D:\\"}, {"d"}, ""}},
        {"c\r\n0\r\nSIG\r\nd\r\ne\r\nEOF\r\np\r\n", Fault::ListsDiffer, {"c", 0, {}, {}, "p"}},
        {"c\r\n0\r\nD:\\\r\nE:\\\r\nSIG\r\nd\r\nEOF\r\np\r\n", Fault::ListsDiffer,
         {"c", 0, {"D:\\", "E:\\"}, {"d", "E:\\"}, "p"}},
        // A line too long ends the reading where it starts.
        {"c\r\n0\r\nD:\\\r\n" + tooLong + "\r\nSIG\r\nd\r\nEOF\r\np\r\n", Fault::LineTooLong,
         {"c", 0, {"D:\\"}, {"D:\\"}, ""}},
    };
    for (const Malformed& c : cases) {
        const Loaded loaded = parse(c.bytes);
        EXPECT_EQ(loaded.fault, c.fault) << c.bytes;
        EXPECT_EQ(loaded.settings, c.kept) << c.bytes;
    }
}

TEST(SettingsFile, FitsOneLineUpTo254CharactersWithoutALineBreak) {
    EXPECT_TRUE(fitsOneLine(std::string(254, 'a')));
    EXPECT_FALSE(fitsOneLine(std::string(255, 'a')) || fitsOneLine("a\rb") || fitsOneLine("a\nb"));
}

}  // namespace
}  // namespace orvasel::settings_file
