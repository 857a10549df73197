#include "platform/command_line.h"

namespace orvasel::command_line {

std::u16string quoted(std::u16string_view argument)
{
    if (!argument.empty() && argument.find_first_of(u" \t\n\v\"") == std::u16string_view::npos)
        return std::u16string(argument);
    // Backslashes are read as they stand except before a quote, where two make one and an odd
    // one makes the quote part of the text. A quote inside is always escaped, never doubled:
    // parsers differ on what a doubled quote means.
    std::u16string out = u"\"";
    std::size_t backslashes = 0;
    for (const char16_t c : argument) {
        if (c == u'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == u'"' ? 2 * backslashes + 1 : backslashes, u'\\');
        backslashes = 0;
        out += c;
    }
    // The closing quote follows: the backslashes before it are doubled.
    out.append(2 * backslashes, u'\\');
    out += u'"';
    return out;
}

}  // namespace orvasel::command_line
