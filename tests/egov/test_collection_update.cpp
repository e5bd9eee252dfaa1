// Importing into a user's collection file: written beside the target and
// renamed over it only when complete; a bad file or a cancel leaves the
// target (and the source) byte for byte as it was, with no file left over.
#include "egov/collection_update.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace tavrel::egov;
using tavrel::testing::readFile;
using tavrel::testing::TempDir;
using tavrel::testing::writeFile;
namespace fs = std::filesystem;

namespace {

const std::string kSample = std::string(TAVREL_BINARY_DIR) + "/bin/TL2008.orl";
const std::string kBarrierFree = std::string(TAVREL_SOURCE_DIR) + "/data/egov/418AC0000000091.xml";

class CollectionUpdateTest : public ::testing::Test {
protected:
    CollectionUpdateTest() {
        fs::create_directories(dir.path() / "bundled");
        fs::copy_file(kSample, source());
        sourceBytes = readFile(source());
    }
    std::string source() const { return dir.file("bundled/TL2008.orl"); }
    std::string target() const { return dir.file("user/TL2008.orl"); }
    CollectionUpdate update(std::vector<std::string> files) const {
        return CollectionUpdate{std::move(files), source(), target(), "2026-01-01T00:00:00Z", {}, {}, {}, {}};
    }

    TempDir dir;
    std::string sourceBytes;
};

TEST_F(CollectionUpdateTest, WritesTheTargetFromTheSourceAndLeavesTheSourceAlone) {
    CollectionUpdate u = update({kBarrierFree});
    std::vector<int> steps;
    u.progress = [&](int done, int total) {
        EXPECT_EQ(total, 4);
        steps.push_back(done);
    };
    const CollectionUpdateResult r = updateCollection(u);
    EXPECT_FALSE(r.cancelled);
    ASSERT_EQ(r.laws.size(), 1u);
    EXPECT_EQ(r.laws[0].idHN, "05A");
    EXPECT_TRUE(r.laws[0].replaced);
    EXPECT_EQ(steps, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_TRUE(fs::exists(target()));
    EXPECT_NE(readFile(target()), sourceBytes);
    EXPECT_EQ(readFile(source()), sourceBytes);
    EXPECT_FALSE(fs::exists(stagingPath(target())));
}

TEST_F(CollectionUpdateTest, CancelBeforeTheRenameKeepsTheOldTarget) {
    fs::create_directories(dir.path() / "user");
    writeFile(target(), "old collection");
    // After the file is read, and after the collection is written (before the rename).
    for (const int cancelAt : {1, 3}) {
        CollectionUpdate u = update({kBarrierFree});
        int asked = 0;
        u.cancelled = [&]() { return ++asked == cancelAt; };
        const CollectionUpdateResult r = updateCollection(u);
        EXPECT_TRUE(r.cancelled) << cancelAt;
        EXPECT_TRUE(r.laws.empty()) << cancelAt;
        EXPECT_EQ(readFile(target()), "old collection") << cancelAt;
        EXPECT_FALSE(fs::exists(stagingPath(target()))) << cancelAt;
    }
}

TEST_F(CollectionUpdateTest, ABadFileThrowsWithItsNameAndChangesNothing) {
    fs::create_directories(dir.path() / "user");
    writeFile(target(), "old collection");
    const std::string bad = dir.file("bad.xml");
    writeFile(bad, "<?xml version=\"1.0\"?>\n<Law>\n<LawBody>\n<LawTitle>試験");
    try {
        updateCollection(update({kBarrierFree, bad}));
        FAIL() << "a bad file was accepted";
    } catch (const ImportError& e) {
        EXPECT_NE(std::string(e.what()).find("bad.xml:4"), std::string::npos) << e.what();
    }
    EXPECT_EQ(readFile(target()), "old collection");
    EXPECT_EQ(readFile(source()), sourceBytes);
    EXPECT_FALSE(fs::exists(stagingPath(target())));
}

}  // namespace
