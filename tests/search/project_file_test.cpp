// What a project file tells of itself: real files saved by Cubase (one whole, others cut inside a
// record), then records made here for what those files do not show.
#include "search/project_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>

namespace orvasel::search {
namespace {

using Plugins = std::vector<std::string>;

std::string bytesOf(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The same bytes fed in pieces of the given size: no record may be lost or read twice where a
// piece ends.
ProjectDetails readInPieces(std::string_view bytes, std::size_t piece)
{
    ProjectReader reader;
    for (std::size_t at = 0; at < bytes.size(); at += piece)
        reader.feed(bytes.substr(at, piece));
    return reader.finish();
}

TEST(ProjectFile, RealProjectsReadToTheRightAnswerOrToUnknownInPiecesOfAnySize)
{
    const std::filesystem::path samples = ORVASEL_SAMPLES_DIR "/cubase";
    // The whole project: its renamed plugins by their real names, the mixer channels' own parts left out.
    const Plugins all = {"ArtsAcousticReverb", "Elephant", "Hive", "Lin Dither", "Omnisphere",
                         "StereoEnhancer", "StudioEQ", "Sylenth1", "TrackComp"};
    // Each file, its version label, release date, and plugins (none known for a file cut short).
    const std::tuple<const char*, const char*, const char*, std::optional<Plugins>> cases[] = {
        {"Example Project (Cubase 13).cpr", "Cubase 13.0.10", "Oct 10 2023", all},
        {"Truncated Project (Application).cpr", "?", "", std::nullopt},
        {"Truncated Project (Version).cpr", "?", "", std::nullopt},
        {"Truncated Project (Release Date).cpr", "Cubase 13.0.10", "", std::nullopt},
        {"Truncated Project (Plugin GUID).cpr", "Cubase 13.0.10", "Oct 10 2023", std::nullopt},
        {"Truncated Project (Plugin Name Tag).cpr", "Cubase 13.0.10", "Oct 10 2023", std::nullopt},
        {"Truncated Project (Plugin Name Value).cpr", "Cubase 13.0.10", "Oct 10 2023", std::nullopt},
        {"Truncated Project (Tag After Plugin Name).cpr", "Cubase 13.0.10", "Oct 10 2023", std::nullopt},
        {"Truncated Project (Original Plugin Name).cpr", "Cubase 13.0.10", "Oct 10 2023", std::nullopt},
    };
    for (const auto& [name, label, date, plugins] : cases) {
        const std::string bytes = bytesOf(samples / name);
        ASSERT_FALSE(bytes.empty()) << name;
        const ProjectDetails details = readProject(bytes);
        EXPECT_TRUE(details.isProject) << name;
        EXPECT_EQ(versionLabel(details), label) << name;
        EXPECT_EQ(details.releaseDate, date) << name;
        EXPECT_EQ(details.pluginsKnown, plugins.has_value()) << name;
        EXPECT_EQ(details.plugins, plugins.value_or(Plugins{})) << name;
        EXPECT_EQ(details.architecture, plugins ? "WIN64" : details.architecture);
        for (const std::size_t piece : {1, 13, 4093})
            EXPECT_EQ(readInPieces(bytes, piece), details) << name << " in pieces of " << piece;
    }
}

// Records as the files hold them: a name is a 4-byte big-endian length and the zero-terminated
// text; a text value is its type (8) and the same, here followed by the bytes Cubase puts after it.
std::string be32(std::uint64_t value)
{
    return {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
}
std::string name(const std::string& text)
{
    return be32(text.size() + 1) + text + '\0';
}
std::string value(const std::string& text)
{
    return std::string("\0\x08", 2) + be32(text.size() + 4) + text + std::string("\0\xEF\xBB\xBF", 4);
}
std::string plugin(const std::string& guid, const std::string& pluginName, const std::string& original = {})
{
    std::string record = name("Plugin UID") + std::string("\0\x02\0\x06\0\0\0\x01", 8) + name("GUID") + value(guid)
                         + name("Plugin Name") + value(pluginName);
    if (!original.empty())
        record += name("Original Plugin Name") + value(original);
    return record + name("Audio Input Count") + std::string(10, '\0');
}
std::string application(const std::string& program, const std::string& version, const std::string& architecture = "WIN64")
{
    std::string record = name("PAppVersion") + std::string("\0\x02\0\0\0\x52", 6) + name(program) + name(version)
                         + name("Oct 10 2023");
    if (!architecture.empty())
        record += std::string("\0\0\x01\x90", 4) + name(architecture);
    return record;
}
// A whole project: its header, which gives its length, then the body.
std::string project(const std::string& body, bool large = false)
{
    const std::string root = "NUNDROOT" + std::string(64, '\x01');
    if (large)
        return "RIF2" + be32(0) + be32(root.size() + body.size()) + root + body;
    return "RIFF" + be32(root.size() + body.size()) + root + body;
}

TEST(ProjectFile, RecordsAreReadOnlyWhereTheyAreWholeAndWithinTheFile)
{
    const std::string cubase13 = application("Cubase", "Version 13.0.10");
    const std::string filler(70'000, '\x05');  // puts a record past the start
    const std::string cutName = name("Plugin Name") + std::string("\0\x08", 2) + be32(0xFFFFFFF0) + "Omni";
    const std::string unterminated = name("Plugin Name") + std::string("\0\x08", 2) + be32(4) + "Hive";
    const std::string wrongType = name("Plugin Name") + std::string("\0\x02", 2) + be32(5) + std::string("Hive\0", 5);
    // Bytes, version label, plugins (nothing: not known).
    const std::tuple<const char*, std::string, std::string, std::optional<Plugins>> cases[] = {
        {"plugins anywhere in the file, each once, the real name of a renamed one, not the channel's parts",
         project(cubase13 + plugin("A1", "Serum") + filler + plugin("A2", "Lead", "Omnisphere") + plugin("A1", "Serum")
                 + plugin("D56B9C6CA4F946018EED73EB83A74B58", "Input Filter")),
         "Cubase 13.0.10", Plugins{"Omnisphere", "Serum"}},
        {"a large file's header", project(cubase13 + plugin("A1", "Serum"), true), "Cubase 13.0.10", Plugins{"Serum"}},
        {"no plugin records in a version that writes them: none used",
         project(application("Nuendo", "Version 4.3.0", "")), "Nuendo 4.3.0", Plugins{}},
        {"the application record at the end, a version before plugin records",
         project(filler + filler + application("Cubase SX", "Version 3.1.1", "")), "Cubase SX 3.1.1", std::nullopt},
        {"a record in the middle of a large file is no application record",
         project(filler + application("Cubase", "Version 12.0.0") + filler), "?", std::nullopt},
        // A plugin record that cannot be read leaves the plugins unknown, whichever it is.
        {"a name's length past the end", project(cubase13 + plugin("A1", "Serum") + cutName), "Cubase 13.0.10", std::nullopt},
        {"a name unterminated", project(cubase13 + unterminated), "Cubase 13.0.10", std::nullopt},
        {"a name of another type", project(cubase13 + wrongType), "Cubase 13.0.10", std::nullopt},
        {"an empty name", project(cubase13 + name("Plugin Name") + value(" ")), "Cubase 13.0.10", std::nullopt},
        {"a name with control characters", project(cubase13 + plugin("A4", "Bad\x01Name")), "Cubase 13.0.10", std::nullopt},
        {"a file cut short of its own length", project(cubase13 + plugin("A1", "Serum") + std::string(40, '\0')).substr(0, 300),
         "Cubase 13.0.10", std::nullopt},
        {"an application text longer than the file",
         project(name("PAppVersion") + std::string(6, '\0') + be32(0x7FFFFFFF) + "Cubase"), "?", std::nullopt},
        {"a name in the old code page, blanks trimmed",
         project(cubase13 + plugin("A3", " Caf\xE9 Verb ")), "Cubase 13.0.10",
         Plugins{"Caf\xC3\xA9 Verb"}},
        {"no project", "RIFX" + std::string(100, '\0') + plugin("A1", "Serum"), "?", std::nullopt},
        {"nothing", "", "?", std::nullopt},
    };
    for (const auto& [what, bytes, label, plugins] : cases) {
        const ProjectDetails details = readProject(bytes);
        EXPECT_EQ(versionLabel(details), label) << what;
        EXPECT_EQ(details.pluginsKnown, plugins.has_value()) << what;
        EXPECT_EQ(details.plugins, plugins.value_or(Plugins{})) << what;
        EXPECT_EQ(readInPieces(bytes, 7), details) << what;
    }
}

}  // namespace
}  // namespace orvasel::search
