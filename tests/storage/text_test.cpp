#include "storage/text.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace orvasel::text {
namespace {

std::vector<std::string> allLines(std::string_view bytes, std::size_t bufferSize) {
    LineReader reader(bytes, bufferSize);
    std::vector<std::string> lines;
    while (auto line = reader.next()) lines.push_back(*line);
    EXPECT_TRUE(reader.atEnd());
    return lines;
}

TEST(CodePage1252, EveryByteHasACharacterAndComesBack) {
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(byte)), byte) << "byte " << b;
    }
}

TEST(CodePage1252, MapsTheWindowsCharactersOfTheHighControlRange) {
    EXPECT_EQ(cp1252ToUtf8("\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8E"
                           "\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9E\x9F"),
              "€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ");
    EXPECT_EQ(cp1252ToUtf8("\x81\x8D\x8F\x90\x9D"), "\u0081\u008D\u008F\u0090\u009D");
    EXPECT_EQ(cp1252ToUtf8("No\xEBl \xE0 l'\xE9t\xE9"), "Noël à l'été");
    EXPECT_EQ(utf8ToCp1252("Œuvre – 12 € «prise»"), "\x8Cuvre \x96 12 \x80 \xABprise\xBB");
}

TEST(CodePage1252, RefusesWhatItCannotHoldAndMalformedUtf8) {
    for (const std::string_view text : {
             "\u0080",          // the byte 0x80 is the euro sign, not this control
             "\u0100", "中", "\U0001F3B5", "tempo \u2248 120",
             "\x80", "\xC3", "\xC0\xAF", "\xE2\x82", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xFF"}) {
        EXPECT_EQ(utf8ToCp1252(text), std::nullopt) << text;
    }
}

TEST(TextMode, WritesEveryLineFeedAsCrLfAndKeepsOtherBytes) {
    EXPECT_EQ(toTextMode("a\nb\r\nc\r"), "a\r\nb\r\r\nc\r");
    EXPECT_EQ(toTextMode(""), "");
}

TEST(LineReader, TurnsCrLfIntoLfAndDeliversEveryOtherCr) {
    EXPECT_EQ(allLines("one\r\ntwo\r\r\nthree\rfour\nfive\r", 100),
              (std::vector<std::string>{"one\n", "two\r\n", "three\rfour\n", "five\r"}));
    EXPECT_EQ(allLines("", 100), std::vector<std::string>{});
    EXPECT_EQ(allLines("\r\n\r\n", 100), (std::vector<std::string>{"\n", "\n"}));
}

TEST(LineReader, CutsLongLinesIntoPiecesCountedAfterTheTranslation) {
    // Four characters fit a buffer of five; the CR LF pair counts as its single LF.
    EXPECT_EQ(allLines("abc\r\nd", 5), (std::vector<std::string>{"abc\n", "d"}));
    EXPECT_EQ(allLines("abcd\r\ne", 5), (std::vector<std::string>{"abcd", "\n", "e"}));
    EXPECT_EQ(allLines("abcdefghij\n", 5), (std::vector<std::string>{"abcd", "efgh", "ij\n"}));
    EXPECT_EQ(allLines("ab\r\r\n", 4), (std::vector<std::string>{"ab\r", "\n"}));
}

// The same reading done the slow way: translate the whole stream, then cut it like fgets.
TEST(LineReader, AgreesWithTranslatingFirstAndCuttingAfter) {
    std::mt19937 random(1252);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes;
        for (std::size_t n = random() % 12; n > 0; --n) bytes += "a\r\n"[random() % 3];
        const std::size_t bufferSize = 2 + random() % 5;

        std::string translated;
        for (std::size_t i = 0; i < bytes.size(); ++i)
            if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')) translated += bytes[i];
        std::vector<std::string> expected;
        for (std::size_t start = 0; start < translated.size();) {
            std::size_t end = start;
            while (end < translated.size() && end - start < bufferSize - 1 && translated[end++] != '\n') {}
            expected.push_back(translated.substr(start, end - start));
            start = end;
        }
        EXPECT_EQ(allLines(bytes, bufferSize), expected) << bufferSize << " " << testing::PrintToString(bytes);
    }
}

}  // namespace
}  // namespace orvasel::text
