// Damaged inputs never bring the process down, and a failed write never ends as success.
#include <filesystem>
#include <fstream>
#include <random>

#include "tests/support/bad_inputs.h"
#include "tests/support/test_media.h"
#include "tests/transcode/transcode_job.h"
#include "tools/clip_catalogue.h"

namespace brenvale::testing {
namespace {

namespace fs = std::filesystem;

const OptionList kMp4Options = {{"vcodec", "mpeg4"}, {"acodec", "aac"}};

void Scramble(const std::string& path, std::uintmax_t offset, std::size_t bytes) {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(static_cast<std::streamoff>(offset));
    std::mt19937 random(7);
    for (std::size_t i = 0; i < bytes; ++i) file.put(static_cast<char>(random()));
}

TEST_F(TranscodeTest, TruncatedInputConvertsWhatIsThere) {
    const std::string output = PathOf("out.mp4");
    const JobOutcome outcome = RunJob(Convert(TestClipPath(mediagen::clips::kTruncated), output, kMp4Options));
    ASSERT_TRUE(outcome.opened) << outcome.exception_message;
    EXPECT_TRUE(outcome.finished) << outcome.exception_message;
    const auto video = ReadMedia(output).StreamsOf(AVMEDIA_TYPE_VIDEO);
    ASSERT_EQ(video.size(), 1u);
    EXPECT_GT(video[0].frames, 0);
    EXPECT_EQ(video[0].decode_errors, 0);
}

TEST_F(TranscodeTest, CorruptedInputSkipsWhatCannotBeDecoded) {
    for (const char* clip : {mediagen::clips::kAviMpeg4Mp3, mediagen::clips::kMp4H264Aac}) {
        const std::string damaged = PathOf("damaged");
        fs::copy_file(TestClipPath(clip), damaged, fs::copy_options::overwrite_existing);
        const std::uintmax_t size = fs::file_size(damaged);
        for (int part = 1; part < 4; ++part) Scramble(damaged, size * part / 4, 2000);
        const std::string output = PathOf("out.mp4");
        const JobOutcome outcome = RunJob(Convert(damaged, output, kMp4Options));
        if (!outcome.opened) continue;
        EXPECT_TRUE(outcome.finished) << clip << ": " << outcome.exception_message;
        EXPECT_TRUE(ReadMedia(output).Opened()) << clip;
    }
}

TEST_F(TranscodeTest, WriteFailureEndsTheJobWithAnError) {
    const std::string full = testing::FullDevice(PathOf(""));
    if (full.empty()) GTEST_SKIP() << "no device here refuses writes as a full disk";
    const JobOutcome outcome = RunJob(Convert(TestClipPath(mediagen::clips::kMp4H264Aac), full,
                                              {{"f", "flv"}, {"vcodec", "flv"}, {"acodec", "libmp3lame"}}));
    ASSERT_TRUE(outcome.opened) << outcome.exception_message;
    EXPECT_TRUE(outcome.exception_raised);
    EXPECT_FALSE(outcome.finished);
    EXPECT_FALSE(outcome.exception_message.empty());
}

// The second pass hands the encoder the first pass's statistics; an encoder that refuses them
// fails the job, and the statistics buffer must still be freed (the leak checker of the test
// run watches this).
TEST_F(TranscodeTest, SecondPassWithUnusableStatisticsFailsTheJob) {
    std::ofstream(PathOf("stats-0.log")) << "not the statistics of a first pass\n";
    const JobOutcome outcome =
        RunJob(Convert(TestClipPath(mediagen::clips::kAviMpeg4Mp3), PathOf("out.avi"),
                       {{"vcodec", "mpeg4"}, {"an", "1"}, {"pass", "2"}, {"passlogfile", PathOf("stats")}}));
    ASSERT_TRUE(outcome.opened) << outcome.exception_message;
    EXPECT_TRUE(outcome.exception_raised);
    EXPECT_FALSE(outcome.finished);
}

}  // namespace
}  // namespace brenvale::testing
