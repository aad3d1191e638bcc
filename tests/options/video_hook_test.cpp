#include "engine/video_hook.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "binding/library_loader.h"
#include "binding/media_api.h"
#include "binding/path_utils.h"

namespace brenvale {
namespace {

std::mutex log_mutex;
std::vector<std::string> logged_lines;

void CaptureLog(void*, int level, const char* format, va_list arguments) {
    if (level > AV_LOG_ERROR) return;
    char line[1024];
    std::vsnprintf(line, sizeof line, format, arguments);
    std::lock_guard<std::mutex> lock(log_mutex);
    logged_lines.emplace_back(line);
}

// The hook's own report functions, reached through the library the chain loaded.
template <typename Function>
Function PluginFunction(const char* path, const char* name) {
    void* handle = ::dlopen(path, RTLD_NOW | RTLD_NOLOAD);
    EXPECT_NE(handle, nullptr) << path << " is not loaded";
    Function function = handle ? reinterpret_cast<Function>(::dlsym(handle, name)) : nullptr;
    if (handle) ::dlclose(handle);
    return function;
}

class VideoHookTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Loader().LoadLibrarySet(kConverterLibraries)) << Loader().LastError();
        ff::av_log_set_callback(CaptureLog);
    }
    void TearDown() override { ff::av_log_set_callback(ff::av_log_default_callback); }

    int Add(std::vector<std::string> words) {
        std::vector<char*> args(64, nullptr);
        for (std::size_t i = 0; i < words.size(); ++i) args[i] = words[i].data();
        return chain_.add_video_hook(static_cast<int>(words.size()), args.data(), 63);
    }

    TVideoHookChain chain_;
};

TEST_F(VideoHookTest, FaultyPluginsAreRefusedWithTheirCodeAndLogLine) {
    struct Case {
        std::vector<std::string> words;
        int result;
        std::string log_line;
    };
    const std::string no_process = NO_PROCESS_HOOK;
    const std::string failing = FAILING_CONFIGURE_HOOK;
    const std::string no_configure = NO_CONFIGURE_HOOK;
    const Case cases[] = {
        {{}, -2, ""},
        {{no_process}, -2, "Failed to find Process entrypoint in " + no_process + "\n"},
        {{failing}, -22, "Failed to Configure " + failing + "\n"},
        {{failing, "x"}, -22, "Failed to Configure " + failing + "\n"},
        {{no_configure, "x"}, -2, "Failed to find Configure entrypoint in " + no_configure + "\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.words.empty() ? "no words" : c.words[0]);
        logged_lines.clear();
        EXPECT_EQ(Add(c.words), c.result);
        EXPECT_EQ(logged_lines, c.log_line.empty() ? std::vector<std::string>{}
                                                   : std::vector<std::string>{c.log_line});
    }
    EXPECT_TRUE(chain_.empty());
}

TEST_F(VideoHookTest, AMissingLibraryFailsWithTheLoadersTextOnOneLine) {
    const std::string missing = ExtractFolder(PICTURE_HOOK) + "missing_hook.so";
    EXPECT_EQ(Add({missing}), -1);
    ASSERT_EQ(logged_lines.size(), 1u);
    EXPECT_NE(logged_lines[0].find("missing_hook.so"), std::string::npos);
    EXPECT_EQ(logged_lines[0].back(), '\n');
    EXPECT_TRUE(chain_.empty());
}

TEST_F(VideoHookTest, APluginWithoutConfigureIsAcceptedWithoutArguments) {
    ASSERT_EQ(Add({NO_CONFIGURE_HOOK}), 0);
    std::uint8_t pixels[4] = {1, 2, 3, 4};
    BrenvaleHookPicture picture{{pixels, nullptr, nullptr, nullptr}, {2, 0, 0, 0}};
    chain_.run_video_hooks(&picture, AV_PIX_FMT_GRAY8, 0, 2, 2);
    EXPECT_EQ(std::vector<int>(pixels, pixels + 4), (std::vector<int>{7, 7, 7, 7}));
    chain_.release_video_hooks();  // no "Release": nothing to call
    EXPECT_TRUE(chain_.empty());
}

TEST_F(VideoHookTest, PluginsRunInTheOrderAddedEachWithItsOwnContextAndAreReleased) {
    ASSERT_EQ(Add({PICTURE_HOOK, "add", "5"}), 0);
    ASSERT_EQ(Add({PICTURE_HOOK, "mul", "2"}), 0);
    ASSERT_EQ(Add({PICTURE_HOOK}), 0);
    EXPECT_EQ(chain_.size(), 3u);

    // A 3 x 2 picture inside a line size of 4: the padding byte stays untouched.
    std::uint8_t pixels[8] = {0, 1, 2, 99, 10, 20, 30, 99};
    BrenvaleHookPicture picture{{pixels, nullptr, nullptr, nullptr}, {4, 0, 0, 0}};
    chain_.run_video_hooks(&picture, AV_PIX_FMT_GRAY8, 40000, 3, 2);
    auto expected = [](int value) { return 255 - ((value + 5) * 2 % 256); };
    EXPECT_EQ(std::vector<int>(pixels, pixels + 8),
              (std::vector<int>{expected(0), expected(1), expected(2), 99, expected(10),
                                expected(20), expected(30), 99}));

    const auto release_count = PluginFunction<int (*)()>(PICTURE_HOOK, "HookReleaseCount");
    ASSERT_NE(release_count, nullptr);
    chain_.release_video_hooks();
    EXPECT_EQ(release_count(), 3);
    EXPECT_TRUE(chain_.empty());
    chain_.release_video_hooks();
    EXPECT_EQ(release_count(), 3);
}

TEST_F(VideoHookTest, ThePluginFolderIsCurrentWhileItLoadsAndJoinsPathOnce) {
    const std::string folder = FullPath(ExtractFolder(PICTURE_HOOK));
    const std::string plugin_folder = folder.substr(0, folder.size() - 1);
    const std::string before = CurrentDirectory();
    ASSERT_NE(before, plugin_folder);
    ::setenv("PATH", "/usr/bin:/bin", 1);

    ASSERT_EQ(Add({PICTURE_HOOK}), 0);
    const auto configured_in = PluginFunction<const char* (*)()>(PICTURE_HOOK, "HookConfiguredDirectory");
    ASSERT_NE(configured_in, nullptr);
    EXPECT_EQ(std::string(configured_in()), plugin_folder);
    EXPECT_EQ(CurrentDirectory(), before);
    EXPECT_EQ(EnvironmentVariable("PATH"), plugin_folder + ":/usr/bin:/bin");

    // Refused plug-ins of the same folder restore the directory too; PATH gains nothing more.
    EXPECT_EQ(Add({NO_PROCESS_HOOK}), -2);
    EXPECT_EQ(Add({PICTURE_HOOK}), 0);
    EXPECT_EQ(CurrentDirectory(), before);
    EXPECT_EQ(EnvironmentVariable("PATH"), plugin_folder + ":/usr/bin:/bin");
}

TEST_F(VideoHookTest, ALoadedPathIsReusedWhateverItsCase) {
    ASSERT_EQ(Add({PICTURE_HOOK}), 0);
    std::string other_case = PICTURE_HOOK;
    std::transform(other_case.begin(), other_case.end(), other_case.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    ASSERT_FALSE(FileExists(other_case));
    EXPECT_EQ(Add({other_case}), 0);
    EXPECT_EQ(chain_.size(), 2u);
}

}  // namespace
}  // namespace brenvale
