#include <gtest/gtest.h>

#include <string>

#include "binding/path_utils.h"
#include "engine/custom_ffmpeg.h"
#include "engine_test_files.h"

namespace brenvale {
namespace {

using ReleaseJobTest = EngineFilesTest;

TEST_F(ReleaseJobTest, OutputsThatStayedEmptyAreDeletedAndPartialOnesStay) {
    TCustomFFmpeg engine;
    engine.prepare_job();
    AddInput(engine);
    AddOutput(engine, "empty.wav", 0);
    AddOutput(engine, "partial.wav", 4096);
    // A name outside plain ASCII may travel as "unicode:utf8:"; it must be mapped back.
    AddOutput(engine, "vid\u00e9o \u65e5\u672c.wav", 0);
    ASSERT_TRUE(FileExists(PathOf("empty.wav")));
    ASSERT_TRUE(FileExists(PathOf("vid\u00e9o \u65e5\u672c.wav")));

    engine.release_job();

    EXPECT_FALSE(FileExists(PathOf("empty.wav")));
    EXPECT_FALSE(FileExists(PathOf("vid\u00e9o \u65e5\u672c.wav")));
    EXPECT_EQ(FileSize(PathOf("partial.wav")), 4096);
    EXPECT_EQ(engine.output_file_count, 0);
    EXPECT_EQ(engine.input_file_count, 0);
    EXPECT_EQ(engine.output_files[0], nullptr);
    EXPECT_EQ(engine.input_files[0], nullptr);
}

}  // namespace
}  // namespace brenvale
