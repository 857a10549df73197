#include "storage/text.h"

#include <array>
#include <cstdint>

namespace orvasel::text {

namespace {

// Characters of the bytes 0x80 to 0x9F. The five bytes that code page 1252 leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) keep the C1 control of their own value, so every byte has a
// character and back. Every other byte is the character of the same value.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

char32_t characterOf(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F ? kHighControls[byte - 0x80] : char32_t{byte};
}

std::optional<unsigned char> byteOf(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<unsigned char>(c);
    for (std::size_t i = 0; i < kHighControls.size(); ++i)
        if (kHighControls[i] == c) return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {  // code page 1252 needs no more than three bytes
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decodes the character starting at pos and moves pos past it; nothing for a malformed
// sequence (a stray continuation byte, a cut sequence, an overlong form, a surrogate,
// a value beyond U+10FFFF).
std::optional<char32_t> nextUtf8(std::string_view s, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(s[pos]);
    std::size_t length;
    char32_t c;
    char32_t smallest;
    if (lead < 0x80) {
        ++pos;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, c = lead & 0x1F, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, c = lead & 0x0F, smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, c = lead & 0x07, smallest = 0x10000;
    } else {
        return std::nullopt;
    }
    if (s.size() - pos < length) return std::nullopt;
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(s[pos + i]);
        if ((next & 0xC0) != 0x80) return std::nullopt;
        c = (c << 6) | (next & 0x3F);
    }
    if (c < smallest || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
    pos += length;
    return c;
}

}  // namespace

std::string cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char b : bytes) appendUtf8(out, characterOf(static_cast<unsigned char>(b)));
    return out;
}

std::optional<std::string> utf8ToCp1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const auto c = nextUtf8(utf8, pos);
        if (!c) return std::nullopt;
        const auto byte = byteOf(*c);
        if (!byte) return std::nullopt;
        out += static_cast<char>(*byte);
    }
    return out;
}

bool isUtf8(std::string_view bytes) {
    std::size_t pos = 0;
    while (pos < bytes.size())
        if (!nextUtf8(bytes, pos)) return false;
    return true;
}

std::string toTextMode(std::string_view written) {
    std::string out;
    out.reserve(written.size() + written.size() / 16);
    for (const char c : written) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

LineReader::LineReader(std::string_view bytes, std::size_t bufferSize)
    : bytes_(bytes), capacity_(bufferSize > 1 ? bufferSize - 1 : 1) {}

bool LineReader::atEnd() const { return pos_ >= bytes_.size(); }

std::optional<std::string> LineReader::next() {
    if (atEnd()) return std::nullopt;
    // A CR LF pair reads back as its LF alone, so a line may take one stored byte more than
    // the buffer holds; the pair is never split between two pieces.
    const std::string_view window = bytes_.substr(pos_, capacity_ + 1);
    const std::size_t lf = window.find('\n');
    if (lf != std::string_view::npos) {
        const std::size_t pair = lf > 0 && window[lf - 1] == '\r' ? 1 : 0;
        if (lf + 1 - pair <= capacity_) {
            pos_ += lf + 1;
            std::string line(window.substr(0, lf - pair));
            line += '\n';
            return line;
        }
    }
    // No line end within reach: a full piece, or the last line of bytes without a final LF.
    const std::string_view piece = window.substr(0, capacity_);
    pos_ += piece.size();
    return std::string(piece);
}

}  // namespace orvasel::text
