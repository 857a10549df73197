#pragma once
// A program's command line on Windows, where the started program splits one text into its
// arguments itself (CommandLineToArgvW, and the C runtimes' start-up code by the same rules).
// Qt-free, so that its fuzz target runs anywhere.
#include <string>
#include <string_view>

namespace orvasel::command_line {

// The argument as a command line carries it: the program reads back exactly this one argument,
// whatever spaces, tabs, quotes and backslashes it holds. A text holding none of them (and not
// empty) goes as it stands. The text holds no zero character: a command line ends there.
std::u16string quoted(std::u16string_view argument);

}  // namespace orvasel::command_line
