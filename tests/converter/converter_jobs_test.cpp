#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "binding/media_api.h"
#include "common/log_levels.h"
#include "converter_fixture.h"
#include "tests/support/test_media.h"

namespace brenvale {
namespace {

using testing::ConverterTest;
using testing::TestClipPath;
namespace clips = mediagen::clips;

using ConverterJobsTest = ConverterTest;

TEST_F(ConverterJobsTest, AddInputListsOnlyJobsWhoseInputOpened) {
    const std::string missing = OutputPath("missing.avi");
    EXPECT_EQ(converter_.AddInput(missing), -1);
    EXPECT_EQ(converter_.LastError(), missing + ": no such file or directory");

    TInputOptions bad_lines;
    bad_lines.ExtOptions = "y\nthreads=2";
    EXPECT_EQ(converter_.AddInput(TestClipPath(clips::kWavPcm), &bad_lines), -1);
    EXPECT_EQ(converter_.LastError(), "TODO: option - threads");
    EXPECT_EQ(converter_.Jobs().Count(), 0);

    EXPECT_EQ(converter_.AddInput(TestClipPath(clips::kWavPcm)), 0);
    EXPECT_EQ(converter_.AddInput(TestClipPath(clips::kMp4H264Aac)), 1);
    EXPECT_EQ(converter_.Jobs().Count(), 2);
}

TEST_F(ConverterJobsTest, TheJobsProbeDescribesTheOpenedInput) {
    TInputOptions options;
    options.FileName = TestClipPath(clips::kMp4H264Aac);
    const std::string opened = TestClipPath(clips::kWavPcm);
    const int index = converter_.AddInput(opened, &options);
    ASSERT_EQ(index, 0) << converter_.LastError();
    const TFFmpeg& job = converter_.Jobs().Item(index);
    EXPECT_EQ(job.InputOptions.FileName, options.FileName) << "a given name stays in the record";
    EXPECT_EQ(job.Probe.FormatContext(), job.input_files[0]);
    EXPECT_FALSE(job.Probe.OwnsContext());
    EXPECT_EQ(job.Probe.VideoStreamCount(), 0) << "the file passed to AddInput was opened";

    TInputOptions unnamed;
    ASSERT_EQ(converter_.AddInput(opened, &unnamed), 1);
    EXPECT_EQ(converter_.Jobs().Item(1).InputOptions.FileName, opened);
}

TEST_F(ConverterJobsTest, AddOutputWithoutARecordOpensTheOutput) {
    const int index = converter_.AddInput(TestClipPath(clips::kWavPcm));
    ASSERT_EQ(index, 0);
    ASSERT_TRUE(converter_.AddOutput(index, OutputPath("out.wav")));
    const TFFmpeg& job = converter_.Jobs().Item(index);
    EXPECT_EQ(job.output_file_count, 1);
    EXPECT_EQ(job.OutputOptions.FileName, "");
}

TEST_F(ConverterJobsTest, AFailedAddOutputKeepsTheJobListed) {
    ASSERT_EQ(converter_.AddInput(TestClipPath(clips::kMp4H264Aac)), 0);
    TOutputOptions options;
    options.FrameSize = "abc";
    EXPECT_FALSE(converter_.AddOutput(0, OutputPath("out.avi"), &options));
    EXPECT_EQ(converter_.LastError(), "Incorrect frame size");
    EXPECT_EQ(converter_.Jobs().Item(0).OutputOptions.FileName, OutputPath("out.avi"));

    EXPECT_FALSE(converter_.AddOutput(0, OutputPath("missing-folder/out.avi")));
    EXPECT_NE(converter_.LastError().find("missing-folder/out.avi"), std::string::npos) << converter_.LastError();

    EXPECT_FALSE(converter_.AddOutput(1, OutputPath("out.avi")));
    EXPECT_EQ(converter_.LastError(), "List index out of bounds (1)");
    EXPECT_EQ(converter_.Jobs().Count(), 1);
}

TEST_F(ConverterJobsTest, NewStreamLinesOfTheRecordAddStreamsAfterTheOutputWasCreated) {
    ASSERT_EQ(converter_.AddInput(TestClipPath(clips::kMp4H264Aac)), 0);
    TOutputOptions options;
    options.VideoCodec = "mpeg4";
    options.AudioCodec = "mp2";
    options.ExtOptions = "newaudio";
    ASSERT_TRUE(converter_.AddOutput(0, OutputPath("out.avi"), &options)) << converter_.LastError();
    const AVFormatContext* output = converter_.Jobs().Item(0).output_files[0];
    ASSERT_EQ(output->nb_streams, 3u);
    EXPECT_EQ(output->streams[2]->codecpar->codec_type, AVMEDIA_TYPE_AUDIO);
}

struct HookChoice {
    bool custom_hook;
    bool before_hook;
    bool custom_bound;
    bool before_bound;
    std::size_t ranges;
};
void PrintTo(const HookChoice& choice, std::ostream* out) {
    *out << "custom " << choice.custom_hook << " before " << choice.before_hook;
}

class HookChoiceTest : public ConverterTest, public ::testing::WithParamInterface<HookChoice> {};

TEST_P(HookChoiceTest, BindsOneHookOrReadsTheRanges) {
    ASSERT_EQ(converter_.AddInput(TestClipPath(clips::kMp4H264Aac)), 0);
    TOutputOptions options;
    options.VideoCodec = "mpeg4";
    options.AudioCodec = "mp2";
    options.CustomHook = GetParam().custom_hook;
    options.BeforeHook = GetParam().before_hook;
    options.VideoHookRanges = "0-500, 1000-2000";
    ASSERT_TRUE(converter_.AddOutput(0, OutputPath("out.avi"), &options)) << converter_.LastError();
    const TFFmpeg& job = converter_.Jobs().Item(0);
    EXPECT_EQ(static_cast<bool>(job.on_custom_hook), GetParam().custom_bound);
    EXPECT_EQ(static_cast<bool>(job.on_before_hook), GetParam().before_bound);
    EXPECT_EQ(job.hook_time_ranges.size(), GetParam().ranges);
}

INSTANTIATE_TEST_SUITE_P(Converter, HookChoiceTest,
                         ::testing::Values(HookChoice{true, true, true, false, 0},
                                           HookChoice{false, true, false, true, 0},
                                           HookChoice{true, false, true, false, 0},
                                           HookChoice{false, false, false, false, 2}));

TEST_F(ConverterJobsTest, DeleteJobRenumbersTheLaterJobs) {
    for (int i = 0; i < 3; ++i) ASSERT_EQ(converter_.AddInput(TestClipPath(clips::kWavPcm)), i);
    const TFFmpeg* second = &converter_.Jobs().Item(1);
    const TFFmpeg* third = &converter_.Jobs().Item(2);

    converter_.DeleteJob(0);
    ASSERT_EQ(converter_.Jobs().Count(), 2);
    EXPECT_EQ(&converter_.Jobs().Item(0), second);
    EXPECT_EQ(second->JobIndex, 0);
    EXPECT_EQ(third->JobIndex, 1);

    converter_.DeleteJob(5);
    EXPECT_EQ(converter_.Jobs().Count(), 2);
}

TEST_F(ConverterJobsTest, ClearJobsEmptiesTheListAndTheLastError) {
    ASSERT_EQ(converter_.AddInput(TestClipPath(clips::kWavPcm)), 0);
    EXPECT_EQ(converter_.AddInput(OutputPath("missing.wav")), -1);
    converter_.ClearJobs();
    EXPECT_EQ(converter_.Jobs().Count(), 0);
    EXPECT_EQ(converter_.LastError(), "");
}

TEST_F(ConverterJobsTest, ProgressIntervalNeverGoesBelowOneHundredMilliseconds) {
    for (const auto& [value, stored] : std::vector<std::pair<int, int>>{{50, 100}, {100, 100}, {101, 101}, {-5, 100}}) {
        converter_.SetProgressInterval(value);
        EXPECT_EQ(converter_.ProgressInterval(), stored) << value;
    }
}

TEST_F(ConverterJobsTest, LogLevelSetsTheLibraryLevelAndTheThreshold) {
    const std::vector<std::pair<TLogLevel, int>> levels = {
        {TLogLevel::llQuiet, -1}, {TLogLevel::llError, 0}, {TLogLevel::llAll, 3}, {TLogLevel::llInfo, 1}};
    for (const auto& [level, threshold] : levels) {
        converter_.SetLogLevel(level);
        EXPECT_EQ(LogThreshold(), threshold);
        EXPECT_EQ(ff::av_log_get_level(), LibraryLogLevel(threshold));
    }
}

}  // namespace
}  // namespace brenvale
