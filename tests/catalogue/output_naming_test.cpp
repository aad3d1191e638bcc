#include "app/catalogue/output_naming.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace brenvale {
namespace {

namespace fs = std::filesystem;

class OutputNamingTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("brenvale-naming-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string Path(const std::string& name) const { return (folder_ / name).string(); }
    void Touch(const std::string& name) const { std::ofstream(Path(name)) << "x"; }

    fs::path folder_;
};

TEST_F(OutputNamingTest, TakenNamesGetTheFirstFreeNumber) {
    EXPECT_EQ(UniqueOutputName(Path("clip.mp4"), ".flv"), Path("clip.flv"));
    Touch("clip.flv");
    Touch("clip-1.flv");
    EXPECT_EQ(UniqueOutputName(Path("clip.mp4"), ".flv"), Path("clip-2.flv"));
    Touch("clip-3.flv");
    EXPECT_EQ(UniqueOutputName(Path("clip.mp4"), ".flv"), Path("clip-2.flv")) << "gaps are filled first";
}

TEST_F(OutputNamingTest, OverwriteReplacesExistingOutputsButNeverTheSource) {
    Touch("clip.flv");
    Touch("clip-1.flv");
    const std::string source = Path("clip.mp4");
    EXPECT_EQ(OutputPathFor(source, folder_.string(), ".flv", true), Path("clip.flv"));
    EXPECT_EQ(OutputPathFor(source, folder_.string(), ".flv", false), Path("clip-2.flv"));
    EXPECT_EQ(OutputPathFor(Path("clip.flv"), folder_.string(), ".flv", true), Path("clip-2.flv"))
        << "converting clip.flv to FLV in its own folder must not write over it";
}

TEST_F(OutputNamingTest, TheSourceNameGoesIntoTheOutputFolder) {
    fs::create_directories(folder_ / "out");
    const std::string out = Path("out");
    EXPECT_EQ(OutputPathFor("  /media/holiday.avi ", out, ".mp4", false), out + "/holiday.mp4");
    EXPECT_EQ(OutputPathFor("/media/holiday.avi", out + "/", ".mp4", false), out + "/holiday.mp4");
    EXPECT_EQ(OutputPathFor("/media/noextension", out, ".mp3", false), out + "/noextension.mp3");
    EXPECT_EQ(OutputPathFor("/media/two.dots.mov", out, ".mpg", false), out + "/two.dots.mpg");
    EXPECT_EQ(OutputPathFor("/media/.hidden", out, ".flv", false), out + "/.hidden.flv");
}

TEST_F(OutputNamingTest, FoldersAndDanglingLinksCountAsTaken) {
    fs::create_directories(folder_ / "clip.flv");
    fs::create_symlink(folder_ / "missing-target", folder_ / "clip-1.flv");
    EXPECT_EQ(UniqueOutputName(Path("clip.mp4"), ".flv"), Path("clip-2.flv"));
}

TEST_F(OutputNamingTest, ACustomTestAddsNamesTakenInThisRun) {
    const auto taken = [&](const std::string& path) { return PathTaken(path) || path == Path("clip.flv"); };
    EXPECT_EQ(UniqueOutputName(Path("clip.avi"), ".flv", taken), Path("clip-1.flv"));
}

}  // namespace
}  // namespace brenvale
