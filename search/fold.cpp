#include "search/fold.h"

#include <array>

namespace orvasel::search {
namespace {

// The letters of 0x80-0xFF with accents or a capital form, each with the letter it folds to.
constexpr std::pair<unsigned char, char> kHighLetters[] = {
    {0x8A, 's'}, {0x9A, 's'},                                  // Š š
    {0x8C, '\x9C'},                                            // Œ -> œ
    {0x8E, 'z'}, {0x9E, 'z'},                                  // Ž ž
    {0x9F, 'y'}, {0xDD, 'y'}, {0xFD, 'y'}, {0xFF, 'y'},        // Ÿ Ý ý ÿ
    {0xC0, 'a'}, {0xC1, 'a'}, {0xC2, 'a'}, {0xC3, 'a'}, {0xC4, 'a'}, {0xC5, 'a'},
    {0xE0, 'a'}, {0xE1, 'a'}, {0xE2, 'a'}, {0xE3, 'a'}, {0xE4, 'a'}, {0xE5, 'a'},
    {0xC6, '\xE6'},                                            // Æ -> æ
    {0xC7, 'c'}, {0xE7, 'c'},
    {0xC8, 'e'}, {0xC9, 'e'}, {0xCA, 'e'}, {0xCB, 'e'}, {0xE8, 'e'}, {0xE9, 'e'}, {0xEA, 'e'}, {0xEB, 'e'},
    {0xCC, 'i'}, {0xCD, 'i'}, {0xCE, 'i'}, {0xCF, 'i'}, {0xEC, 'i'}, {0xED, 'i'}, {0xEE, 'i'}, {0xEF, 'i'},
    {0xD0, '\xF0'},                                            // Ð -> ð
    {0xD1, 'n'}, {0xF1, 'n'},
    {0xD2, 'o'}, {0xD3, 'o'}, {0xD4, 'o'}, {0xD5, 'o'}, {0xD6, 'o'}, {0xD8, 'o'},
    {0xF2, 'o'}, {0xF3, 'o'}, {0xF4, 'o'}, {0xF5, 'o'}, {0xF6, 'o'}, {0xF8, 'o'},
    {0xD9, 'u'}, {0xDA, 'u'}, {0xDB, 'u'}, {0xDC, 'u'}, {0xF9, 'u'}, {0xFA, 'u'}, {0xFB, 'u'}, {0xFC, 'u'},
    {0xDE, '\xFE'},                                            // Þ -> þ
};

constexpr std::array<unsigned char, 256> makeTable()
{
    std::array<unsigned char, 256> table{};
    for (int byte = 0; byte < 256; ++byte)
        table[byte] = static_cast<unsigned char>(byte >= 'A' && byte <= 'Z' ? byte - 'A' + 'a' : byte);
    for (const auto& [from, to] : kHighLetters)
        table[from] = static_cast<unsigned char>(to);
    return table;
}

constexpr std::array<unsigned char, 256> kFolded = makeTable();

}  // namespace

unsigned char foldByte(unsigned char byte)
{
    return kFolded[byte];
}

void foldInto(std::string_view cp1252, std::string& out)
{
    out.resize(cp1252.size());
    for (std::size_t i = 0; i < cp1252.size(); ++i)
        out[i] = static_cast<char>(kFolded[static_cast<unsigned char>(cp1252[i])]);
}

}  // namespace orvasel::search
