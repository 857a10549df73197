#include "storage/settings_file.h"

#include <gtest/gtest.h>

#include <ostream>

#include "storage/text.h"

namespace orvasel::settings_file {

void PrintTo(const Settings& s, std::ostream* out) {
    *out << "{" << s.cubasePath << " | " << s.currentIndex << " | folders:";
    for (const auto& folder : s.folders) *out << " [" << folder << "]";
    *out << " | names:";
    for (const auto& name : s.names) *out << " [" << name << "]";
    *out << " | " << s.playerPath << "}";
}

namespace {

const Settings kTwoBookmarks{"C:\\Program Files\\Steinberg\\Cubase SX\\Cubasesx.exe", 1,
                             {"D:\\Projets\\", "E:\\Archives\\2004\\"}, {"Projets", "Archives"},
                             "C:\\Lecteur\\player.exe"};
const std::string kTwoBookmarksBytes =
    "C:\\Program Files\\Steinberg\\Cubase SX\\Cubasesx.exe\r\n1\r\nD:\\Projets\\\r\nE:\\Archives\\2004\\\r\n"
    "SIG\r\nProjets\r\nArchives\r\nEOF\r\nC:\\Lecteur\\player.exe\r\n";

TEST(SettingsFile, InitialFileRoundTripsByteForByte) {
    const std::string initial = "rien\r\n-1\r\nSIG\r\nEOF\r\n\r\n";
    EXPECT_EQ(serialize(Settings{}), initial);
    const Loaded loaded = parse(initial);
    EXPECT_EQ(loaded.fault, Fault::None);
    EXPECT_EQ(loaded.settings, Settings{});
}

TEST(SettingsFile, TwoBookmarksWithTheSecondCurrent) {
    EXPECT_EQ(serialize(kTwoBookmarks), kTwoBookmarksBytes);
    const Loaded loaded = parse(kTwoBookmarksBytes);
    EXPECT_EQ(loaded.fault, Fault::None);
    EXPECT_EQ(loaded.settings, kTwoBookmarks);
}

TEST(SettingsFile, LineEndsOfEveryKindReadTheSame) {
    std::string lfOnly = kTwoBookmarksBytes;
    std::erase(lfOnly, '\r');
    EXPECT_EQ(parse(lfOnly).settings, kTwoBookmarks);
    std::string crCrLf;  // as a text stream writes lines that already end with CR LF
    for (const char c : lfOnly) crCrLf += c == '\n' ? std::string("\r\r\n") : std::string(1, c);
    EXPECT_EQ(parse(crCrLf).settings, kTwoBookmarks);
    const Loaded noFinalBreak = parse(kTwoBookmarksBytes.substr(0, kTwoBookmarksBytes.size() - 2));
    EXPECT_EQ(noFinalBreak.fault, Fault::None);
    EXPECT_EQ(noFinalBreak.settings, kTwoBookmarks);
}

TEST(SettingsFile, MarkersCountOnlyInTheirOwnSection) {
    const Settings tricky{"rien", 0, {"EOF", "sig", "D:\\SIG\\"}, {"SIG", "eof", "Sig "}, ""};
    const Loaded loaded = parse(serialize(tricky));
    EXPECT_EQ(loaded.fault, Fault::None);
    EXPECT_EQ(loaded.settings, tricky);
}

TEST(SettingsFile, AccentedTextAndFullLinesComeBackByteForByte) {
    const Settings accented{*text::utf8ToCp1252("C:\\Programmes\\Cubase SX\\Cubasesx.exe"), 7,
                            {*text::utf8ToCp1252("D:\\Musique\\Été 2004\\"), std::string(254, 'f')},
                            {*text::utf8ToCp1252("Chansons d'été – œuvres"), std::string(254, 'n')},
                            std::string(254, 'p')};
    const std::string bytes = serialize(accented);
    const Loaded loaded = parse(bytes);
    EXPECT_EQ(loaded.fault, Fault::None);
    EXPECT_EQ(loaded.settings, accented);  // the index 7 lies beyond the list and stays as it is
    EXPECT_EQ(serialize(loaded.settings), bytes);
}

struct Malformed {
    std::string bytes;
    Fault fault;
    Settings kept;
};

TEST(SettingsFile, MalformedFilesLoadWhatPrecedesTheFault) {
    const std::string tooLong(255, 'x');
    const Malformed cases[] = {
        {"", Fault::IndexNotANumber, {}},
        {"C:\\c.exe", Fault::IndexNotANumber, {"C:\\c.exe", -1, {}, {}, ""}},
        {"c\r\n\r\nD:\\\r\nSIG\r\nd\r\nEOF\r\np\r\n", Fault::IndexNotANumber, {"c", -1, {"D:\\"}, {"d"}, "p"}},
        {"c\r\nabc\r\nSIG\r\nEOF\r\np\r\n", Fault::IndexNotANumber, {"c", -1, {}, {}, "p"}},
        {"c\r\n12x\r\nSIG\r\nEOF\r\np\r\n", Fault::IndexNotANumber, {"c", -1, {}, {}, "p"}},
        {"c\r\n 1\r\nSIG\r\nEOF\r\np\r\n", Fault::IndexNotANumber, {"c", -1, {}, {}, "p"}},
        {"c\r\n2147483648\r\nSIG\r\nEOF\r\np\r\n", Fault::IndexNotANumber, {"c", -1, {}, {}, "p"}},
        {"c\r\n-2147483648\r\nSIG\r\nEOF\r\np\r\n", Fault::None, {"c", -2147483647 - 1, {}, {}, "p"}},
        {"c\r\n-\r\nD:\\", Fault::IndexNotANumber, {"c", -1, {"D:\\"}, {"D:\\"}, ""}},
        {"c\r\n0\r\nD:\\\r\nE:\\\r\n", Fault::EndsBeforeSig, {"c", 0, {"D:\\", "E:\\"}, {"D:\\", "E:\\"}, ""}},
        {"c\r\n0\r\nD:\\\r\nE:\\\r\nSIG\r\nd\r\n", Fault::EndsBeforeEof,
         {"c", 0, {"D:\\", "E:\\"}, {"d", "E:\\"}, ""}},
        {"c\r\n0\r\nD:\\\r\nSIG\r\nd\r\nEOF\r\n", Fault::EndsBeforePlayer, {"c", 0, {"D:\\"}, {"d"}, ""}},
        {"c\r\n0\r\nD:\\\r\nSIG\r\nd\r\nEOF", Fault::EndsBeforePlayer, {"c", 0, {"D:\\"}, {"d"}, ""}},
        {"c\r\n0\r\nSIG\r\nd\r\ne\r\nEOF\r\np\r\n", Fault::ListsDiffer, {"c", 0, {}, {}, "p"}},
        {"c\r\n0\r\nD:\\\r\nE:\\\r\nSIG\r\nd\r\nEOF\r\np\r\n", Fault::ListsDiffer,
         {"c", 0, {"D:\\", "E:\\"}, {"d", "E:\\"}, "p"}},
        {"c\r\n0\r\nD:\\\r\n" + tooLong + "\r\nSIG\r\nd\r\nEOF\r\np\r\n", Fault::LineTooLong,
         {"c", 0, {"D:\\"}, {"D:\\"}, ""}},
        {"c\r\n0\r\nSIG\r\nEOF\r\n" + tooLong, Fault::LineTooLong, {"c", 0, {}, {}, ""}},
        {tooLong + "\r\n0\r\n", Fault::LineTooLong, {}},
    };
    for (const Malformed& c : cases) {
        const Loaded loaded = parse(c.bytes);
        EXPECT_EQ(loaded.fault, c.fault) << c.bytes;
        EXPECT_EQ(loaded.settings, c.kept) << c.bytes;
    }
}

TEST(SettingsFile, FitsOneLine) {
    EXPECT_TRUE(fitsOneLine(""));
    EXPECT_TRUE(fitsOneLine(std::string(254, 'a')));
    EXPECT_FALSE(fitsOneLine(std::string(255, 'a')));
    EXPECT_FALSE(fitsOneLine("a\rb"));
    EXPECT_FALSE(fitsOneLine("a\nb"));
}

}  // namespace
}  // namespace orvasel::settings_file
