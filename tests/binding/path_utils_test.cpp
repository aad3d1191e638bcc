#include "binding/path_utils.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace brenvale {
namespace {

TEST(PathUtilsTest, SplitsFoldersNamesAndExtensions) {
    EXPECT_EQ(IncludeTrailingSlash("/a/b"), "/a/b/");
    EXPECT_EQ(IncludeTrailingSlash("/a/b/"), "/a/b/");
    EXPECT_EQ(IncludeTrailingSlash(""), "/");
    EXPECT_EQ(ExtractFolder("/a/b/c.avi"), "/a/b/");
    EXPECT_EQ(ExtractFolder("c.avi"), "");
    EXPECT_EQ(ExtractFileName("/a/b/c.avi"), "c.avi");
    EXPECT_EQ(ExtractBaseName("/a/b.x/c.tar.gz"), "c.tar");
    EXPECT_EQ(ExtractExtension("/a/b.x/c"), "");
    EXPECT_EQ(ExtractExtension("/a/.hidden"), "");
    EXPECT_EQ(ExtractExtension("movie.MP4"), ".MP4");
}

TEST(PathUtilsTest, SplitAtFirstKeepsTheRest) {
    std::string text = "name=value=more";
    EXPECT_EQ(SplitAtFirst(text, "="), "name");
    EXPECT_EQ(text, "value=more");
    std::string plain = "no delimiter";
    EXPECT_EQ(SplitAtFirst(plain, "="), "no delimiter");
    EXPECT_EQ(plain, "");
}

TEST(PathUtilsTest, FileTestsTellFilesFromFoldersAndMissingPaths) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("brenvale-paths-" + std::to_string(::getpid()));
    fs::create_directories(folder / "sub");
    std::ofstream(folder / "five.bin") << "12345";
    std::ofstream(folder / ".hidden") << "x";

    EXPECT_TRUE(FileExists((folder / "five.bin").string()));
    EXPECT_FALSE(FileExists((folder / "sub").string()));
    EXPECT_TRUE(DirectoryExists((folder / "sub").string()));
    EXPECT_EQ(FileSize((folder / "five.bin").string()), 5);
    EXPECT_EQ(FileSize((folder / "sub").string()), -1);
    EXPECT_EQ(FileSize((folder / "absent").string()), -1);
    EXPECT_EQ(ListDirectory(folder.string()), std::vector<std::string>{"five.bin"});
    EXPECT_EQ(ListDirectory(folder.string(), {.include_hidden = true, .include_directories = true}),
              (std::vector<std::string>{".hidden", "five.bin", "sub"}));
    fs::remove_all(folder);
}

}  // namespace
}  // namespace brenvale
