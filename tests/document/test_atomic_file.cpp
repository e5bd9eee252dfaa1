#include "document/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace {

using tavrel::setAtomicWriteHook;
using tavrel::writeFileAtomically;
using tavrel::testing::readFile;
using tavrel::testing::TempDir;
using tavrel::testing::writeFile;

size_t entryCount(const std::filesystem::path& folder) {
    size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder)) ++n;
    return n;
}

struct AtomicFileTest : ::testing::Test {
    ~AtomicFileTest() override { setAtomicWriteHook({}); }
    TempDir dir;
};

TEST_F(AtomicFileTest, CreatesAndReplacesWithExactBytesAndNoLeftovers) {
    const std::string path = dir.file("tavrel08.ppj");
    const std::string first("VERSION 8.08\r\n\0\xff", 16);
    ASSERT_TRUE(writeFileAtomically(path, first));
    EXPECT_EQ(readFile(path), first);

    ::chmod(path.c_str(), 0640);
    std::string error = "stale";
    ASSERT_TRUE(writeFileAtomically(path, "second", &error));
    EXPECT_EQ(readFile(path), "second");
    EXPECT_TRUE(error.empty());
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u) << "a replaced file keeps its permissions";

    ASSERT_TRUE(writeFileAtomically(path, ""));
    EXPECT_EQ(readFile(path), "");
    EXPECT_EQ(entryCount(dir.path()), 1u);
}

TEST_F(AtomicFileTest, FailureBeforeTheRenameKeepsTheOldFile) {
    const std::string path = dir.file("tavrel08.bmk");
    writeFile(path, "old contents\r\n");
    std::string seenTemporary, seenBytes;
    setAtomicWriteHook([&](const std::string& temporary) {
        seenTemporary = temporary;
        seenBytes = readFile(temporary);
        return false;
    });
    std::string error;
    EXPECT_FALSE(writeFileAtomically(path, "new contents\r\n", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(readFile(path), "old contents\r\n");
    // The new text was complete and in the same folder (so the rename cannot
    // cross file systems), and it is gone again.
    EXPECT_EQ(seenBytes, "new contents\r\n");
    EXPECT_EQ(std::filesystem::path(seenTemporary).parent_path(), dir.path());
    EXPECT_EQ(entryCount(dir.path()), 1u);
}

TEST_F(AtomicFileTest, UnwritableTargetsFailWithoutSideEffects) {
    EXPECT_FALSE(writeFileAtomically(dir.file("missing/tavrel08.ppj"), "x"));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing"));

    std::filesystem::create_directory(dir.path() / "tavrel08.ppj");
    EXPECT_FALSE(writeFileAtomically(dir.file("tavrel08.ppj"), "x"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "tavrel08.ppj"));
    EXPECT_FALSE(writeFileAtomically(dir.folder(), "x"));
    EXPECT_EQ(entryCount(dir.path()), 1u);
}

TEST_F(AtomicFileTest, ReadOnlyFolderKeepsTheOldFile) {
    if (::geteuid() == 0) GTEST_SKIP() << "the super-user may write into read-only folders";
    const std::string path = dir.file("tavrel08.ppj");
    writeFile(path, "old");
    ::chmod(dir.path().c_str(), 0555);
    EXPECT_FALSE(writeFileAtomically(path, "new"));
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(readFile(path), "old");
    EXPECT_EQ(entryCount(dir.path()), 1u);
}

}  // namespace
