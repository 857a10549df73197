// Any bytes, as code page 1252 and as UTF-8: code page 1252 to UTF-8 and back gives the same
// bytes; the bytes are UTF-8 exactly when the Unicode standard's table of well-formed sequences
// says so; and they convert to code page 1252 exactly when every character they hold has a byte
// there, to bytes that convert back to the same UTF-8.
#include "fuzz/check.h"
#include "storage/text.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

using namespace orvasel::text;
using orvasel::fuzz::check;

namespace {

// The characters of well-formed UTF-8, after the Unicode standard's table of well-formed byte
// sequences (lead byte, then the range of the second byte; later bytes 80-BF); nothing otherwise.
std::optional<std::vector<char32_t>> decode(std::string_view bytes)
{
    struct Form {
        unsigned char firstLead, lastLead, secondLow, secondHigh;
        int length;
    };
    constexpr Form forms[] = {{0x00, 0x7F, 0, 0, 1},       {0xC2, 0xDF, 0x80, 0xBF, 2}, {0xE0, 0xE0, 0xA0, 0xBF, 3},
                              {0xE1, 0xEC, 0x80, 0xBF, 3}, {0xED, 0xED, 0x80, 0x9F, 3}, {0xEE, 0xEF, 0x80, 0xBF, 3},
                              {0xF0, 0xF0, 0x90, 0xBF, 4}, {0xF1, 0xF3, 0x80, 0xBF, 4}, {0xF4, 0xF4, 0x80, 0x8F, 4}};
    std::vector<char32_t> characters;
    for (std::size_t at = 0; at < bytes.size();) {
        const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
        const Form* form = nullptr;
        for (const Form& f : forms)
            if (byte(at) >= f.firstLead && byte(at) <= f.lastLead)
                form = &f;
        if (!form || bytes.size() - at < std::size_t(form->length))
            return std::nullopt;
        char32_t c = form->length == 1 ? byte(at) : byte(at) & (0x7F >> form->length);
        for (int i = 1; i < form->length; ++i) {
            const unsigned char next = byte(at + std::size_t(i));
            const bool inRange = i == 1 ? next >= form->secondLow && next <= form->secondHigh : next >= 0x80 && next <= 0xBF;
            if (!inRange)
                return std::nullopt;
            c = (c << 6) | (next & 0x3F);
        }
        characters.push_back(c);
        at += std::size_t(form->length);
    }
    return characters;
}

// The 256 characters of code page 1252.
const std::set<char32_t>& codePage()
{
    static const std::set<char32_t> characters = [] {
        std::set<char32_t> all;
        for (int b = 0; b < 256; ++b)
            all.insert(decode(cp1252ToUtf8(std::string(1, char(b))))->at(0));
        return all;
    }();
    return characters;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string utf8 = cp1252ToUtf8(bytes);
    check(isUtf8(utf8), "code page 1252 gave bytes that are not UTF-8");
    check(utf8ToCp1252(utf8) == std::string(bytes), "code page 1252 to UTF-8 and back changed the bytes");

    const auto characters = decode(bytes);
    check(isUtf8(bytes) == characters.has_value(), "isUtf8 disagrees with the table of well-formed sequences");
    const auto converted = utf8ToCp1252(bytes);
    bool storable = characters.has_value();
    for (std::size_t i = 0; storable && i < characters->size(); ++i)
        storable = codePage().count((*characters)[i]) > 0;
    check(converted.has_value() == storable, "a text converts to code page 1252 though a character has no byte, "
                                             "or fails though each has one");
    check(!converted || cp1252ToUtf8(*converted) == bytes, "UTF-8 to code page 1252 and back changed the text");
    check(codePage().size() == 256, "two bytes of code page 1252 share a character");
    return 0;
}
