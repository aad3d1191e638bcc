#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <limits>
#include <mutex>
#include <thread>

#include "binding/library_loader.h"
#include "binding/media_api.h"
#include "common/log_levels.h"
#include "common/main_thread.h"
#include "engine/custom_ffmpeg.h"
#include "engine/preview_lock.h"
#include "engine_test_files.h"

namespace brenvale {
namespace {

void ChangeSomeSettings(TCustomFFmpeg& engine) {
    engine.frame_width = 320;
    engine.max_frames[1] = 5;
    engine.recording_time = 1000;
    engine.video_codec_name = "mpeg4";
    engine.metadata.emplace_back("title", "x");
    engine.stream_map_count = 3;
    engine.terminated = true;
    engine.total_duration_ms = 4000;
}

TEST(EngineWithoutLibrariesTest, PrepareJobLeavesTheEngineUntouched) {
    ASSERT_FALSE(Loader().AreLibrariesLoaded(kConverterLibraries));
    TCustomFFmpeg engine;
    ChangeSomeSettings(engine);
    engine.prepare_job();
    EXPECT_EQ(engine.frame_width, 320);
    EXPECT_EQ(engine.max_frames[1], 5);
    EXPECT_EQ(engine.video_codec_name, "mpeg4");
    EXPECT_EQ(engine.metadata.size(), 1u);
    EXPECT_EQ(engine.stream_map_count, 3);
    EXPECT_TRUE(engine.terminated);
    EXPECT_EQ(engine.total_duration_ms, 4000);
    EXPECT_EQ(engine.option_context.format_opts, nullptr);
    engine.release_job();
    EXPECT_EQ(engine.video_codec_name, "mpeg4");
}

using EngineSettingsTest = EngineFilesTest;

TEST_F(EngineSettingsTest, PrepareJobResetsTheJobAndCreatesTheOptionHolders) {
    TCustomFFmpeg engine;
    ChangeSomeSettings(engine);
    engine.exception_raised = true;
    engine.prepare_job();
    EXPECT_EQ(engine.frame_width, 0);
    EXPECT_EQ(engine.max_frames[1], std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(engine.recording_time, std::numeric_limits<std::int64_t>::max());
    EXPECT_TRUE(engine.video_codec_name.empty());
    EXPECT_TRUE(engine.metadata.empty());
    EXPECT_EQ(engine.stream_map_count, 0);
    EXPECT_FALSE(engine.terminated);
    EXPECT_FALSE(engine.exception_raised);
    EXPECT_EQ(engine.total_duration_ms, -1);
    for (int type = 0; type < kMediaTypeCount; ++type) {
        const AVCodecContext* holder = engine.option_context.codec_opts[static_cast<std::size_t>(type)];
        ASSERT_NE(holder, nullptr);
        EXPECT_EQ(holder->codec_type, static_cast<AVMediaType>(type));
    }
    EXPECT_NE(engine.option_context.format_opts, nullptr);
    EXPECT_NE(engine.option_context.sws_opts, nullptr);

    engine.release_job();
    EXPECT_EQ(engine.option_context.codec_opts[0], nullptr);
    EXPECT_EQ(engine.option_context.format_opts, nullptr);
    EXPECT_EQ(engine.option_context.sws_opts, nullptr);
}

TEST_F(EngineSettingsTest, ResetOptionsFreesWhatTheSettingsOwn) {
    TCustomFFmpeg engine;
    engine.intra_matrix = static_cast<std::uint16_t*>(ff::av_mallocz(64 * sizeof(std::uint16_t)));
    engine.inter_matrix = static_cast<std::uint16_t*>(ff::av_mallocz(64 * sizeof(std::uint16_t)));
    engine.vstats_filename = PathOf("vstats.log");
    engine.vstats_file = std::fopen(engine.vstats_filename.c_str(), "w");
    ASSERT_NE(engine.vstats_file, nullptr);
    engine.reset_options();  // the leak checker sees anything left behind
    EXPECT_EQ(engine.intra_matrix, nullptr);
    EXPECT_EQ(engine.inter_matrix, nullptr);
    EXPECT_EQ(engine.vstats_file, nullptr);
    EXPECT_TRUE(engine.vstats_filename.empty());
}

TEST_F(EngineSettingsTest, VerboseReachesTheLibraryAndTheProcessWideThreshold) {
    TCustomFFmpeg engine;
    engine.prepare_job();
    for (int level : {-1, 0, 2, 3, 1}) {
        engine.set_verbose(level);
        EXPECT_EQ(engine.verbose, level);
        EXPECT_EQ(ff::av_log_get_level(), LibraryLogLevel(level));
        EXPECT_EQ(LogThreshold(), level);
    }
    engine.option_context.on_debug(2);
    EXPECT_EQ(engine.verbose, 2);
}

TEST_F(EngineSettingsTest, PreviewFlagsChangeWhileAWorkerHoldsThePreviewLockAndWaitsForTheMainThread) {
    TCustomFFmpeg engine;
    std::atomic<bool> holding{false};
    std::atomic<bool> delivered{false};
    std::thread delivery([&] {
        const std::lock_guard<std::mutex> lock(PreviewLock());
        holding = true;
        RunOnMainThread([&] { delivered = true; });
    });
    while (!holding) std::this_thread::yield();
    engine.set_preview_flags(kPreviewBitmap | kPreviewWindow);
    delivery.join();
    EXPECT_TRUE(delivered);
    EXPECT_EQ(engine.preview_flags.load(), kPreviewBitmap | kPreviewWindow);
}

}  // namespace
}  // namespace brenvale
