#include "binding/library_loader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "binding/media_api.h"
#include "binding/path_utils.h"
#include "binding/sdl_api.h"

namespace brenvale {
namespace {

namespace fs = std::filesystem;

// Each test runs in its own process (ctest), so the loader starts unloaded.
class LibraryLoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("brenvale-loader-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override {
        Loader().UnloadLibrarySet(kConverterLibraries | kPlayerLibraries);
        Loader().SetLibraryFolder("");
        fs::remove_all(folder_);
    }

    // A "Common Files" folder holding links to the installed libraries.
    void LinkSystemLibraries() {
        const fs::path system_dir = fs::path("/usr/lib") / SYSTEM_LIBRARY_DIR;
        for (LibraryId id : {LibraryId::AvUtil, LibraryId::SwResample, LibraryId::SwScale,
                             LibraryId::AvCodec, LibraryId::AvFormat, LibraryId::AvFilter,
                             LibraryId::Sdl}) {
            const std::string name = Loader().FileName(id);
            fs::create_symlink(system_dir / name, folder_ / name);
        }
    }

    fs::path folder_;
};

TEST_F(LibraryLoaderTest, FileNamesFollowTheHeadersMajorVersions) {
    EXPECT_EQ(Loader().FileName(LibraryId::AvCodec), "libavcodec.so.59");
    EXPECT_EQ(Loader().FileName(LibraryId::AvFormat), "libavformat.so.59");
    EXPECT_EQ(Loader().FileName(LibraryId::AvUtil), "libavutil.so.57");
    EXPECT_EQ(Loader().FileName(LibraryId::SwScale), "libswscale.so.6");
    EXPECT_EQ(Loader().FileName(LibraryId::SwResample), "libswresample.so.4");
    EXPECT_EQ(Loader().FileName(LibraryId::AvFilter), "libavfilter.so.8");
    EXPECT_EQ(Loader().FileName(LibraryId::Sdl), "libSDL2-2.0.so.0");
}

TEST_F(LibraryLoaderTest, EmptyFolderFallsBackToTheSystemSearchAndBindsEverySlot) {
    Loader().SetLibraryFolder(folder_.string());
    ASSERT_TRUE(Loader().LoadLibrarySet(kConverterLibraries)) << Loader().LastError();
    EXPECT_TRUE(Loader().AreLibrariesLoaded(kConverterLibraries));
    EXPECT_FALSE(Loader().AreLibrariesLoaded(kPlayerLibraries));
    EXPECT_NE(ff::avcodec_open2, nullptr);
    EXPECT_NE(ff::swr_convert, nullptr);
    EXPECT_NE(ff::avfilter_graph_alloc, nullptr);
    EXPECT_EQ(sdl::SDL_Init, nullptr);
    EXPECT_EQ(ff::avcodec_version() >> 16, static_cast<unsigned>(LIBAVCODEC_VERSION_MAJOR));
    EXPECT_FALSE(Loader().LoadedPath(LibraryId::AvCodec).starts_with(folder_.string()));
}

TEST_F(LibraryLoaderTest, MissingLibraryFailsNamingThePathTriedAndUnloadsTheSet) {
    Loader().SetLibraryFolder(folder_.string());
    Loader().SetExplicitFileName(LibraryId::Sdl, "libSDL-absent.so.0");
    EXPECT_FALSE(Loader().LoadLibrarySet(kPlayerLibraries));
    const std::string expected_start =
        "Load library " + IncludeTrailingSlash(folder_.string()) + "libSDL-absent.so.0 error: ";
    EXPECT_TRUE(Loader().LastError().starts_with(expected_start)) << Loader().LastError();
    EXPECT_NE(Loader().LastError().find("libSDL-absent.so.0"), std::string::npos);
    for (LibraryId id : {LibraryId::AvCodec, LibraryId::AvFormat, LibraryId::AvUtil,
                         LibraryId::SwScale, LibraryId::SwResample}) {
        EXPECT_FALSE(Loader().IsLibraryLoaded(id)) << static_cast<int>(id);
    }
    EXPECT_EQ(ff::av_malloc, nullptr);
    Loader().SetExplicitFileName(LibraryId::Sdl, "");
}

TEST_F(LibraryLoaderTest, FolderLibrariesLoadFromThereAndLeaveTheCurrentDirectory) {
    LinkSystemLibraries();
    const std::string directory_before = CurrentDirectory();
    const std::string path_before = EnvironmentVariable("PATH");
    Loader().SetLibraryFolder(folder_.string());

    ASSERT_TRUE(Loader().LoadLibrarySet(kConverterLibraries)) << Loader().LastError();
    ASSERT_TRUE(Loader().LoadLibrarySet(kPlayerLibraries)) << Loader().LastError();

    EXPECT_EQ(CurrentDirectory(), directory_before);
    for (LibraryId id : {LibraryId::AvUtil, LibraryId::AvCodec, LibraryId::Sdl}) {
        EXPECT_EQ(Loader().LoadedPath(id), (folder_ / Loader().FileName(id)).string());
    }
    EXPECT_EQ(EnvironmentVariable("PATH"), folder_.string() + ":" + path_before);
    ::setenv("PATH", path_before.c_str(), 1);
}

TEST_F(LibraryLoaderTest, PathGetsTheFolderOnlyOnceWhateverItsLetterCase) {
    LinkSystemLibraries();
    std::string upper = folder_.string();
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::string path_before = EnvironmentVariable("PATH");
    ::setenv("PATH", (upper + ":" + path_before).c_str(), 1);
    Loader().SetLibraryFolder(folder_.string());
    ASSERT_TRUE(Loader().LoadLibrarySet(kConverterLibraries)) << Loader().LastError();
    EXPECT_EQ(EnvironmentVariable("PATH"), upper + ":" + path_before);
    ::setenv("PATH", path_before.c_str(), 1);
}

TEST_F(LibraryLoaderTest, LibraryLackingAFunctionFailsNamingTheFunctionAndTheFile) {
    fs::copy_file(FAKE_SWSCALE_PATH, folder_ / "libswscale.so.6");
    Loader().SetLibraryFolder(folder_.string());
    EXPECT_FALSE(Loader().LoadLibrarySet(kConverterLibraries));
    EXPECT_TRUE(Loader().LastError().starts_with("Load function sws_getContext@libswscale.so.6 error: "))
        << Loader().LastError();
    EXPECT_FALSE(Loader().IsLibraryLoaded(LibraryId::SwScale));
    EXPECT_FALSE(Loader().AreLibrariesLoaded(kConverterLibraries));
    EXPECT_EQ(ff::swscale_version, nullptr);
    EXPECT_EQ(ff::av_malloc, nullptr);
}

TEST_F(LibraryLoaderTest, FailedSetKeepsTheLibrariesAnotherLoadedSetUses) {
    ASSERT_TRUE(Loader().LoadLibrarySet(kConverterLibraries)) << Loader().LastError();
    Loader().SetExplicitFileName(LibraryId::Sdl, "libSDL-absent.so.0");
    EXPECT_FALSE(Loader().LoadLibrarySet(kPlayerLibraries));
    Loader().SetExplicitFileName(LibraryId::Sdl, "");
    EXPECT_TRUE(Loader().AreLibrariesLoaded(kConverterLibraries));
    EXPECT_NE(ff::avformat_open_input, nullptr);
}

TEST_F(LibraryLoaderTest, UnloadingASetClearsItsSlotsButKeepsSharedLibraries) {
    ASSERT_TRUE(Loader().LoadLibrarySet(kConverterLibraries));
    ASSERT_TRUE(Loader().LoadLibrarySet(kPlayerLibraries));
    Loader().UnloadLibrarySet(kPlayerLibraries);
    EXPECT_FALSE(Loader().IsLibraryLoaded(LibraryId::Sdl));
    EXPECT_EQ(sdl::SDL_Init, nullptr);
    EXPECT_TRUE(Loader().AreLibrariesLoaded(kConverterLibraries));

    Loader().UnloadLibrarySet(kConverterLibraries);
    EXPECT_FALSE(Loader().IsLibraryLoaded(LibraryId::AvCodec));
    EXPECT_EQ(ff::avcodec_open2, nullptr);
    EXPECT_EQ(ff::sws_scale, nullptr);

    ASSERT_TRUE(Loader().LoadLibrarySet(kConverterLibraries)) << Loader().LastError();
    EXPECT_NE(ff::avcodec_open2, nullptr);
}

TEST_F(LibraryLoaderTest, EmptySetIsNeverLoaded) { EXPECT_FALSE(Loader().AreLibrariesLoaded(0)); }

}  // namespace
}  // namespace brenvale
