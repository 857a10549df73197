#include "storage/text.h"

#include <gtest/gtest.h>

#include <vector>

namespace orvasel::text {
namespace {

TEST(CodePage1252, EveryByteHasItsWindowsCharacterAndNothingElseConverts) {
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(byte)), byte) << "byte " << b;
    }
    // The five bytes that Windows leaves undefined keep the control character of their own value.
    EXPECT_EQ(cp1252ToUtf8("\x80\x81\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8D\x8E\x8F"
                           "\x90\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9D\x9E\x9F"),
              "€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008DŽ\u008F\u0090‘’“”•–—˜™š›œ\u009DžŸ");
    EXPECT_EQ(cp1252ToUtf8("No\xEBl \xE0 l'\xE9t\xE9"), "Noël à l'été");
    // The byte 0x80 is the euro sign, not the control U+0080; the rest is out of reach or not UTF-8.
    for (const std::string_view text : {"\u0080", "\u0100", "中", "\U0001F3B5", "\x80", "\xC3", "\xC0\xAF",
                                        "\xE2\x82", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xFF"})
        EXPECT_EQ(utf8ToCp1252(text), std::nullopt) << text;
}

TEST(LineReader, TurnsCrLfIntoLfAndCutsPiecesCountedAfterTheTranslation) {
    struct Case { std::string_view bytes; std::size_t bufferSize; std::vector<std::string> lines; };
    const Case cases[] = {
        {"one\r\ntwo\r\r\nthree\rfour\nfive\r", 100, {"one\n", "two\r\n", "three\rfour\n", "five\r"}},
        {"abc\r\nd", 5, {"abc\n", "d"}},  // four characters fit a buffer of five: CR LF counts as LF
        {"abcd\r\ne", 5, {"abcd", "\n", "e"}},  // the pair is never split
        {"abcdefghij\n", 5, {"abcd", "efgh", "ij\n"}},
        {"ab\r\r\n", 4, {"ab\r", "\n"}},
    };
    for (const Case& c : cases) {
        LineReader reader(c.bytes, c.bufferSize);
        std::vector<std::string> lines;
        while (auto line = reader.next()) lines.push_back(*line);
        EXPECT_EQ(lines, c.lines) << testing::PrintToString(c.bytes) << " in " << c.bufferSize;
    }
}

}  // namespace
}  // namespace orvasel::text
