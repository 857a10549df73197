// Any bytes as a settings file: reading comes to an end without a memory fault, keeps the two
// bookmark lists parallel, and what it keeps comes back unchanged through a save and a load.
#include "storage/settings_file.h"

#include <cstdint>
#include <cstdlib>
#include <cstdio>

using namespace orvasel::settings_file;

namespace {

// What a save writes so that a load reads it back the same: the program refuses to save any
// other value (a value over one line, a folder "SIG", a name "EOF").
bool storable(const Settings& settings)
{
    if (!fitsOneLine(settings.cubasePath) || !fitsOneLine(settings.playerPath))
        return false;
    for (const std::string& folder : settings.folders)
        if (!fitsOneLine(folder) || folder == "SIG")
            return false;
    for (const std::string& name : settings.names)
        if (!fitsOneLine(name) || name == "EOF")
            return false;
    return true;
}

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "settings file: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Loaded loaded = parse({reinterpret_cast<const char*>(data), size});
    const Settings& settings = loaded.settings;
    if (settings.folders.size() != settings.names.size())
        fail("the bookmark folders and names are not parallel");
    if (!storable(settings))
        return 0;

    const std::string saved = serialize(settings);
    const Loaded again = parse(saved);
    if (again.fault != Fault::None)
        fail("a saved file does not load without a fault");
    if (!(again.settings == settings))
        fail("a save and a load changed the settings");
    if (serialize(again.settings) != saved)
        fail("a second save wrote other bytes");
    return 0;
}
