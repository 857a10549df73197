#pragma once
// Text as the files hold it: single bytes of code page 1252, lines ended by CR LF on disk.
#include <optional>
#include <string>
#include <string_view>

namespace orvasel::text {

// Code page 1252 bytes -> UTF-8. Every byte maps to a character (the five bytes that
// code page 1252 leaves undefined map to the C1 control of the same value, as Windows does).
std::string cp1252ToUtf8(std::string_view bytes);

// UTF-8 -> code page 1252 bytes, or nothing when a character has no place in code page 1252
// (or the input is not valid UTF-8). Nothing is ever replaced by a look-alike.
std::optional<std::string> utf8ToCp1252(std::string_view utf8);

// Whether the bytes are well-formed UTF-8 (no overlong form, no surrogate, nothing past U+10FFFF).
bool isUtf8(std::string_view bytes);

// Writing in text mode: every LF becomes CR LF; every other byte, a lone CR included, stays.
std::string toTextMode(std::string_view written);

// Reading in text mode with a bounded line buffer, like fgets on a text stream: a stored CR LF
// reads back as LF, any other CR is delivered as it stands; a line is returned with its LF and
// holds at most bufferSize - 1 characters, a longer one arrives in pieces. The last line of a
// file without a final LF is returned as it stands. A bufferSize below 2 counts as 2, so that
// every call moves on.
class LineReader {
public:
    LineReader(std::string_view bytes, std::size_t bufferSize);
    std::optional<std::string> next();  // nothing at the end of the bytes
    bool atEnd() const;
    std::size_t consumed() const { return pos_; }  // the bytes read so far

private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
    std::size_t capacity_;
};

}  // namespace orvasel::text
