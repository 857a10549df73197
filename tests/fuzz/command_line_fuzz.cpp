// Any text as the file name given to the player on Windows (the bytes taken as UTF-16 units, as a
// command line holds them): after the program's name, quoted or not, and split again by the rules
// programs split their command line by, it is exactly one argument, the name itself; a name that
// needs no quotes goes unchanged.
#include "fuzz/check.h"
#include "platform/command_line.h"
#include "support/command_line_split.h"

#include <cstdint>
#include <cstring>

using namespace orvasel;
using fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::u16string name(size / 2, u'\0');
    std::memcpy(name.data(), data, name.size() * sizeof(char16_t));
    // A command line ends at a zero unit.
    if (name.find(u'\0') != std::u16string::npos)
        return 0;
    const std::u16string argument = command_line::quoted(name);
    for (const std::u16string_view program : {u"\"C:\\Program Files\\Lecteur\\lecteur.exe\"", u"C:\\Lecteur\\lecteur.exe"}) {
        const auto split = testing::splitCommandLine(std::u16string(program) + u' ' + argument);
        check(split.size() == 2, "the name did not come back as exactly one argument");
        check(split[1] == name, "the argument is not the name given");
    }
    const bool plain = !name.empty() && name.find_first_of(u" \t\n\v\"") == std::u16string::npos;
    check(!plain || argument == name, "a name that needs no quotes was changed");
    return 0;
}
