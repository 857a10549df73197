#include "platform/file_io.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace orvasel::file_io {
namespace {

namespace fs = std::filesystem;

class FileIo : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("orvasel-file-io-" + std::to_string(std::random_device{}()));
        ASSERT_TRUE(fs::create_directory(folder_));
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string path(const std::string& name) const { return (folder_ / name).string(); }

    static void put(const std::string& path, std::string_view bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }

    // The names in the folder, so that a temporary file left behind shows.
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& entry : fs::directory_iterator(folder_)) out.push_back(entry.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }

    fs::path folder_;
};

TEST_F(FileIo, AtomicWriteCreatesAndReplacesTheWholeContent) {
    const std::string target = path("Song.cpr.info");
    ASSERT_TRUE(writeFileAtomically(target, "EOF\r\n").ok);
    EXPECT_EQ(readWholeFile(target).bytes, "EOF\r\n");

    const std::string bigger(300000, 'n');
    ASSERT_TRUE(writeFileAtomically(target, bigger).ok);
    EXPECT_EQ(readWholeFile(target).bytes, bigger);
    ASSERT_TRUE(writeFileAtomically(target, "").ok);
    const ReadResult empty = readWholeFile(target);
    EXPECT_EQ(empty.status, ReadStatus::Ok);
    EXPECT_EQ(empty.bytes, "");
    EXPECT_EQ(names(), std::vector<std::string>{"Song.cpr.info"});
}

TEST_F(FileIo, AtomicWriteTakesAnyNameTheSystemTakes) {
    const std::string longName = std::string(240, 'a') + ".cpr.info";  // 249 of the 255 allowed
    ASSERT_TRUE(writeFileAtomically(path(longName), "EOF\r\n").ok);
    EXPECT_EQ(names(), std::vector<std::string>{longName});
}

TEST_F(FileIo, FailedWriteLeavesEverythingAsItWas) {
    const std::string obstacle = path("plain file");
    put(obstacle, "keep me");
    fs::create_directory(path("Song.cpr.info"));
    put(path("Song.cpr.info") + "/inside", "inside");

    for (const std::string& target : {path("missing folder/Song.cpr.info"), obstacle + "/Song.cpr.info",
                                      path("Song.cpr.info")}) {
        const WriteResult result = writeFileAtomically(target, "new");
        EXPECT_FALSE(result.ok) << target;
        EXPECT_FALSE(result.error.empty()) << target;
    }
    EXPECT_EQ(readWholeFile(obstacle).bytes, "keep me");
    EXPECT_EQ(readWholeFile(path("Song.cpr.info") + "/inside").bytes, "inside");
    EXPECT_EQ(names(), (std::vector<std::string>{"Song.cpr.info", "plain file"}));
}

TEST_F(FileIo, ReadTellsMissingFromUnreadable) {
    put(path("plain file"), "x");
    for (const std::string& missing : {path("none.info"), path("no folder/none.info"), path("plain file/none.info")}) {
        const ReadResult result = readWholeFile(missing);
        EXPECT_EQ(result.status, ReadStatus::Missing) << missing;
        EXPECT_FALSE(result.error.empty());
    }
    const ReadResult folder = readWholeFile(folder_.string());
    EXPECT_EQ(folder.status, ReadStatus::Unreadable);
    EXPECT_FALSE(folder.error.empty());
    EXPECT_EQ(folder.bytes, "");
}

TEST_F(FileIo, CreateNewFileNeverTouchesAnExistingOne) {
    const std::string target = path("Song.cpr.info");
    ASSERT_TRUE(createNewFile(target, "EOF\r\n").ok);
    EXPECT_EQ(readWholeFile(target).bytes, "EOF\r\n");

    const WriteResult again = createNewFile(target, "other");
    EXPECT_FALSE(again.ok);
    EXPECT_FALSE(again.error.empty());
    EXPECT_EQ(readWholeFile(target).bytes, "EOF\r\n");
    EXPECT_FALSE(createNewFile(path("no folder/Song.cpr.info"), "EOF\r\n").ok);
    EXPECT_EQ(names(), std::vector<std::string>{"Song.cpr.info"});
}

#ifndef _WIN32
TEST_F(FileIo, ReplacementKeepsThePermissionBits) {
    const std::string target = path("Song.cpr.info");
    put(target, "old");
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    ASSERT_TRUE(writeFileAtomically(target, "new").ok);
    struct stat status;
    ASSERT_EQ(stat(target.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);

    const mode_t mask = umask(0);
    umask(mask);
    const std::string fresh = path("Fresh.cpr.info");
    ASSERT_TRUE(writeFileAtomically(fresh, "new").ok);
    ASSERT_EQ(stat(fresh.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0644u & ~mask);
}
#endif

}  // namespace
}  // namespace orvasel::file_io
