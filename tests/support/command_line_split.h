#pragma once
// How a Windows program splits its command line into its arguments, as CommandLineToArgvW does:
// the program's name first, by rules of its own, then the arguments. Written from the documented
// rules; the Windows test run checks it against the system's own function.
#include <string>
#include <string_view>
#include <vector>

namespace orvasel::testing {

inline std::vector<std::u16string> splitCommandLine(std::u16string_view line)
{
    std::size_t at = 0;
    const auto blankAt = [&](std::size_t i) { return i < line.size() && (line[i] == u' ' || line[i] == u'\t'); };
    std::vector<std::u16string> arguments(1);
    // The program's name: up to the next quote when it starts with one, else up to a blank; no escapes.
    if (!line.empty() && line[0] == u'"') {
        const std::size_t close = line.find(u'"', 1);
        arguments[0] = line.substr(1, close == std::u16string_view::npos ? close : close - 1);
        at = close == std::u16string_view::npos ? line.size() : close + 1;
    } else {
        while (at < line.size() && !blankAt(at))
            arguments[0] += line[at++];
    }
    for (;;) {
        while (blankAt(at))
            ++at;
        if (at >= line.size())
            return arguments;
        std::u16string& argument = arguments.emplace_back();
        int quotes = 0;  // 1 inside a quoted part
        std::size_t backslashes = 0;
        while (at < line.size() && (quotes != 0 || !blankAt(at))) {
            const char16_t c = line[at++];
            if (c != u'"') {
                argument += c;
                backslashes = c == u'\\' ? backslashes + 1 : 0;
                continue;
            }
            // Before a quote each pair of backslashes makes one; an odd one makes the quote a letter.
            argument.resize(argument.size() - (backslashes + 1) / 2);
            if (backslashes % 2)
                argument += u'"';
            else
                ++quotes;
            backslashes = 0;
            // In a run of quotes, every third one counted from the opening quote is a letter.
            for (; at < line.size() && line[at] == u'"'; ++at)
                if (++quotes == 3) {
                    argument += u'"';
                    quotes = 0;
                }
            if (quotes == 2)
                quotes = 0;
        }
    }
}

}  // namespace orvasel::testing
