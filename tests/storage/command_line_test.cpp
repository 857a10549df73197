// The player's command line on Windows: any file name comes back alone and whole through the rules
// by which programs split their command line, and those rules are the system's own.
#include "platform/command_line.h"
#include "support/command_line_split.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

namespace orvasel::command_line {
namespace {

#ifdef _WIN32
std::vector<std::u16string> splitBySystem(const std::u16string& line)
{
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(reinterpret_cast<const wchar_t*>(line.c_str()), &count);
    std::vector<std::u16string> split;
    for (int i = 0; i < count; ++i)
        split.emplace_back(reinterpret_cast<const char16_t*>(arguments[i]));
    LocalFree(arguments);
    return split;
}
#endif

TEST(CommandLine, AnyArgumentComesBackAloneAndWhole)
{
    const std::u16string player = u"C:\\Program Files\\Lecteur\\lecteur.exe";
    const std::u16string_view arguments[] = {u"mix 3.wav", u"", u" ", u"\t", u"a\"b", u"\"", u"\\", u"a b\\", u"a\\\\",
                                             u"a\\\\\"b\\\\", u"\\\"", u"\"\"", u"\u00e9 \u266b\tx", u"a\nb\vc"};
    for (const std::u16string_view argument : arguments) {
        const std::u16string line = u'"' + player + u"\" " + quoted(argument);
        const std::vector<std::u16string> expected{player, std::u16string(argument)};
        EXPECT_EQ(testing::splitCommandLine(line), expected);
#ifdef _WIN32
        EXPECT_EQ(splitBySystem(line), expected);
#endif
    }
    // A name without blanks or quotes goes as it always has.
    EXPECT_EQ(quoted(u"--x\\mix.wav"), u"--x\\mix.wav");
#ifdef _WIN32
    // The rules on lines that no quoting writes: doubled and unclosed quotes, a name glued to its program.
    for (const std::u16string line : {u"p a\"\"b \"c\"\"d e\" \"\"\"f\"\"\" g\"\"\"\"", u"\"p q\"x \\\\\\\"y \"z\\\\\" \\",
                                      u" p  \"un closed\\\"", u"p\t\"\"  "})
        EXPECT_EQ(testing::splitCommandLine(line), splitBySystem(line));
#endif
}

}  // namespace
}  // namespace orvasel::command_line
