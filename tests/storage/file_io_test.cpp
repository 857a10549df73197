#include "platform/file_io.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
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
