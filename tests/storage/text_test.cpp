#include "storage/text.h"

#include <gtest/gtest.h>

namespace orvasel::text {
namespace {

TEST(CodePage1252, EveryByteHasItsWindowsCharacterAndNothingElseConverts) {
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(byte)), byte) << "byte " << b;
    }
    // The five bytes that Windows leaves undefined keep the control character of their own value.
    EXPECT_EQ(cp1252ToUtf8("\x80\x81\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8D\x8E\x8F"
                           "\x90\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9D\x9E\x9F No\xEBl \xE0 l'\xE9t\xE9"),
              "€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008DŽ\u008F\u0090‘’“”•–—˜™š›œ\u009DžŸ Noël à l'été");
    // U+0080 is no character of the code page (0x80 is the euro); the rest is out of reach or not UTF-8.
    for (const std::string_view text : {"\u0080", "中", "\U0001F3B5", "\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xFF"})
        EXPECT_EQ(utf8ToCp1252(text), std::nullopt) << text;
}

}  // namespace
}  // namespace orvasel::text
