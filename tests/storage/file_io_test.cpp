#include "platform/file_io.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <optional>
#include <tuple>
#include <random>
#include <utility>

namespace orvasel::file_io {
namespace {

namespace fs = std::filesystem;

TEST(FileIo, AtomicWriteReplacesTheWholeContentAndAFailureLeavesEverythingAsItWas) {
    const fs::path root = fs::temp_directory_path() / ("orvasel-file-io-" + std::to_string(std::random_device{}()));
    ASSERT_TRUE(fs::create_directory(root));
    // A temporary file left behind shows in the count.
    const auto entries = [&] { return std::distance(fs::directory_iterator(root), fs::directory_iterator()); };
    const std::string target = (root / (std::string(240, 'a') + ".cpr.info")).string();  // 249 of the 255 allowed
    for (const std::string& bytes : {std::string("EOF\r\n"), std::string(300000, 'n'), std::string()}) {
        ASSERT_TRUE(writeFileAtomically(target, bytes).ok);
        const ReadResult read = readWholeFile(target);
        EXPECT_TRUE(read.status == ReadStatus::Ok && read.bytes == bytes && entries() == 1) << read.bytes.size();
    }
    // A note deepNote below the 260 characters Windows takes as they are: created, replaced, read.
    const fs::path deep = root / std::string(150, 'd') / std::string(150, 'e');
    fs::create_directories(deep);
    const std::string deepNote = (deep / "Song.cpr.info").string();
    ASSERT_GT(deepNote.size(), 320u);
    EXPECT_TRUE(createNewFile(deepNote, "EOF\r\n").ok && writeFileAtomically(deepNote, "new").ok);
    EXPECT_EQ(readWholeFile(deepNote).bytes, "new");
    // The runtime's own folder functions stop at 260 characters: the path is shortened for them.
    fs::rename(root / std::string(150, 'd'), root / "d");
    EXPECT_EQ(std::distance(fs::directory_iterator(root / "d" / std::string(150, 'e')), fs::directory_iterator()), 1);
    fs::remove_all(root / "d");
#ifndef _WIN32
    const fs::perms bits = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(target, bits);
    fs::create_symlink(target, root / "link.info");  // saved through a link, the file behind it changes
    ASSERT_TRUE(writeFileAtomically((root / "link.info").string(), "via link").ok);
    EXPECT_TRUE(fs::is_symlink(root / "link.info") && readWholeFile(target).bytes == "via link");
    EXPECT_EQ(fs::status(target).permissions(), bits);
    fs::remove(root / "link.info");
#endif
    const std::string plain = (root / "plain file").string(), folder = (root / "Song.cpr.info").string();
    ASSERT_TRUE(createNewFile(plain, "keep me").ok);
    fs::create_directories(folder + "/inside");
    for (const std::string& path : {(root / "missing folder" / "Song.cpr.info").string(), plain + "/Song.cpr.info", folder}) {
        const WriteResult result = writeFileAtomically(path, "new");
        EXPECT_TRUE(!result.ok && !result.error.empty()) << path;
    }
    EXPECT_EQ(readWholeFile((root / "missing folder" / "Song.cpr.info").string()).status, ReadStatus::Missing);
    EXPECT_FALSE(createNewFile(plain, "new").ok);
    const ReadResult unreadable = readWholeFile(folder);
    EXPECT_TRUE(unreadable.status == ReadStatus::Unreadable && !unreadable.error.empty());
    EXPECT_TRUE(readWholeFile(plain).bytes == "keep me" && fs::exists(folder + "/inside") && entries() == 3);
    fs::remove_all(root);
}

TEST(FileIo, ANoteIsReplacedOnlyWhenItStillHoldsWhatWasReadAndOnlyWhenItIsAnOrdinaryFileOfItsOwn) {
    const fs::path root = fs::temp_directory_path() / ("orvasel-replace-" + std::to_string(std::random_device{}()));
    ASSERT_TRUE(fs::create_directory(root));
    const auto entries = [&] { return std::distance(fs::directory_iterator(root), fs::directory_iterator()); };
    const std::string note = (root / "Song.cpr.info").string();
    using Outcome = ReplaceResult::Outcome;
    // Expected, found on disk, outcome.
    const std::tuple<std::optional<std::string>, std::optional<std::string>, Outcome> cases[] = {
        {"v1", "v1", Outcome::Written},
        {"v1", "v2 arrived", Outcome::Changed},
        {"v1", std::nullopt, Outcome::Changed},   // deleted meanwhile
        {std::nullopt, "created", Outcome::Changed},
        {std::nullopt, std::nullopt, Outcome::Written},
    };
    for (const auto& [expected, found, outcome] : cases) {
        fs::remove(note);
        if (found) {
            ASSERT_TRUE(createNewFile(note, *found).ok);
        }
        EXPECT_EQ(replaceIfUnchanged(note, "mine", expected).outcome, outcome);
        const std::optional<std::string> now =
            fs::exists(note) ? std::optional(readWholeFile(note).bytes) : std::nullopt;
        EXPECT_EQ(now, outcome == Outcome::Written ? std::optional<std::string>("mine") : found);
        EXPECT_EQ(entries(), now ? 1 : 0);  // no temporary file left behind
    }

    // Marked read-only by its owner, or a folder under its name: left alone, and told why in French.
    fs::permissions(note, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    for (const auto& written : {writeFileAtomically(note, "new"), WriteResult{false, replaceIfUnchanged(note, "new", "mine").error}})
        EXPECT_TRUE(!written.ok && written.error == "le fichier est en lecture seule") << written.error;
    fs::permissions(note, fs::perms::owner_write, fs::perm_options::add);
    const std::string folder = (root / "Dossier.cpr.info").string();
    fs::create_directory(folder);
    EXPECT_EQ(writeFileAtomically(folder, "new").error, "un dossier porte ce nom");
    EXPECT_EQ(readWholeFile(folder).error, "un dossier porte ce nom");
#ifdef _WIN32
    // A serial port on every Windows before 11, whatever the folder and the extension.
    for (const char* device : {"COM1.cpr.info", "nul.cpr.info", "Lpt9.txt"}) {
        const ReadResult read = readWholeFile((root / device).string());
        EXPECT_TRUE(read.status == ReadStatus::Unreadable && read.error == "ce nom désigne un périphérique de Windows") << device;
        EXPECT_FALSE(createNewFile((root / device).string(), "EOF\r\n").ok) << device;
    }
#else
    // A link under the note's name is never read or written through, nor followed by a creation;
    // the settings file's own link keeps its meaning (the file behind it is saved).
    const fs::path outside = root / "outside";
    ASSERT_TRUE(createNewFile(outside.string(), "private").ok);
    const std::string linked = (root / "Lien.cpr.info").string();
    fs::create_symlink(outside, linked);
    const ReadResult read = readWholeFile(linked);
    EXPECT_TRUE(read.status == ReadStatus::Unreadable && read.bytes.empty() && read.error.starts_with("c'est un lien"));
    EXPECT_FALSE(replaceIfUnchanged(linked, "x", "private").outcome == Outcome::Written);
    EXPECT_FALSE(writeFileAtomically(linked, "x", Links::Refuse).ok || createNewFile(linked, "x").ok);
    fs::create_symlink(root / "nowhere", root / "Vide.cpr.info");
    EXPECT_FALSE(createNewFile((root / "Vide.cpr.info").string(), "x").ok || fs::exists(root / "nowhere"));
    EXPECT_EQ(readWholeFile(outside.string()).bytes, "private");
#endif
    fs::remove_all(root);
}

TEST(FileIo, LongPathsGoInTheExtendedFormCleanedAsWindowsWouldClean)
{
    const std::string name(250, 'n');
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\Musique\\Song.cpr.info", "C:\\Musique\\Song.cpr.info"},  // short: as it is
        {"C:\\\\" + name, "\\\\?\\C:\\" + name},                  // the doubled root of a listing
        {"d:/A/./B//" + name + "/../C\\", "\\\\?\\d:\\A\\B\\C\\"},   // '/', ".", "..", the final separator
        {"C:\\..\\..\\" + name, "\\\\?\\C:\\" + name},               // ".." never climbs above the root
        {"\\\\serveur\\partage\\..\\" + name, "\\\\?\\UNC\\serveur\\partage\\" + name},
        {"//serveur/partage/" + name, "\\\\?\\UNC\\serveur\\partage\\" + name},
        {"\\\\?\\C:\\" + name, "\\\\?\\C:\\" + name},            // extended or device forms stay
        {"\\\\.\\pipe\\" + name, "\\\\.\\pipe\\" + name},
        {"Musique\\" + name, "Musique\\" + name},                    // relative, drive-relative, rooted:
        {"C:" + name, "C:" + name},                                 // the system finds where they are
        {"\\" + name, "\\" + name},
    };
    for (const auto& [path, expected] : cases)
        EXPECT_EQ(extendedLengthPath(path), expected) << path;
    // Counted as Windows counts: 240 letters "é" are 480 bytes but 240 units, short enough.
    std::string accented = "C:\\";
    for (int i = 0; i < 240; ++i)
        accented += "\xC3\xA9";
    EXPECT_EQ(extendedLengthPath(accented), accented);
    EXPECT_EQ(extendedLengthPath(accented + "\\Song.cpr.info").substr(0, 4), "\\\\?\\");
}

}  // namespace
}  // namespace orvasel::file_io
