// Real jobs through the video filter chain: the encoder's size with and without padding, the
// refusals of crop and of padding with resizing filters, held pictures, the filtered pixel shape.
#include <ostream>

#include "binding/unicode_io.h"
#include "binding/unicode_names.h"
#include "engine/custom_ffmpeg.h"
#include "tests/support/test_media.h"
#include "tests/transcode/transcode_job.h"
#include "tools/clip_catalogue.h"

namespace brenvale::testing {
namespace {

// The 320x240 clip: 50 pictures, its AVI showing the first for two frames (the muxer moved the
// pictures after it behind the sound's start); the output keeps every picture at its time.
constexpr int kClipTimeFrames = 51;

struct FilterCase {
    const char* name;
    OptionList options;
    const char* filters_set_late;  // replaces the filter text after the output opened (empty: none)
    int crop_top_set_late;
    int width;  // expected output size; 0 when the job must fail
    int height;
    const char* failure;
};

std::ostream& operator<<(std::ostream& out, const FilterCase& entry) { return out << entry.name; }

class FilterChainTest : public TranscodeTest, public ::testing::WithParamInterface<FilterCase> {};

TEST_P(FilterChainTest, EncoderSizeFollowsTheChain) {
    const FilterCase& c = GetParam();
    OptionList options = {{"vcodec", "mpeg4"}, {"an", "1"}};
    options.insert(options.end(), c.options.begin(), c.options.end());
    JobSpec setup = Convert(TestClipPath(mediagen::clips::kAviMpeg4Mp3), PathOf("out.avi"), options);
    // The output open refuses these combinations itself: set them behind its back to reach the chain.
    setup.before_start = [&c](TCustomFFmpeg& engine) {
        if (*c.filters_set_late) engine.video_filters = c.filters_set_late;
        if (c.crop_top_set_late) engine.crop_top = c.crop_top_set_late;
    };
    const JobOutcome outcome = RunJob(setup);
    ASSERT_TRUE(outcome.opened) << outcome.exception_message;
    if (c.width == 0) {
        EXPECT_EQ(outcome.exception_message, c.failure);
        return;
    }
    ASSERT_TRUE(outcome.finished) << outcome.exception_message;
    const auto video = ReadMedia(PathOf("out.avi")).StreamsOf(AVMEDIA_TYPE_VIDEO);
    ASSERT_EQ(video.size(), 1u);
    EXPECT_EQ(video[0].width, c.width);
    EXPECT_EQ(video[0].height, c.height);
    EXPECT_EQ(video[0].frames, kClipTimeFrames);
}

const char kPadRefused[] =
    "Error opening filters: Cannot enable pad options and the filters which resize frame at the same time. "
    "(crop, rotate, scale, transpose, etc.)";

INSTANTIATE_TEST_SUITE_P(
    Sizes, FilterChainTest,
    ::testing::Values(
        FilterCase{"ScaleStepComesFirst", {{"s", "160x120"}, {"vfilters", "null"}}, "", 0, 160, 120, ""},
        FilterCase{"ScaleStepTargetsTheAreaInsideThePadding",
                   {{"s", "160x100"}, {"padtop", "10"}, {"padbottom", "10"}, {"vfilters", "null"}},
                   "", 0, 160, 120, ""},
        FilterCase{"HalvingFilterHalvesTheEncoder", {{"vfilters", "scale=iw/2:ih/2"}}, "", 0, 160, 120, ""},
        FilterCase{"ResizingFilterWithPaddingIsRefused",
                   {{"s", "320x200"}, {"padtop", "20"}, {"padbottom", "20"}, {"vfilters", "null"}},
                   "transpose", 0, 0, 0, kPadRefused},
        FilterCase{"FiltersEndingAtTheFrameSizeMayBePadded",
                   {{"s", "320x200"}, {"padtop", "20"}, {"padbottom", "20"}, {"vfilters", "null"}},
                   "transpose,transpose", 0, 320, 240, ""},
        FilterCase{"CropIsRefused", {{"vfilters", "null"}}, "", 8, 0, 0,
                   "Error opening filters: Cannot enable crop options and filters at the same time."},
        FilterCase{"UnknownFilterFailsWithoutText", {{"vfilters", "no_such_filter"}}, "", 0, 0, 0,
                   "Error opening filters!"},
        FilterCase{"PicturesHeldToTheEndAreEncoded", {{"vfilters", "reverse"}}, "", 0, 320, 240, ""}),
    [](const auto& info) { return std::string(info.param.name); });

AVRational FirstVideoSampleAspectRatio(const std::string& path) {
    AVFormatContext* input = nullptr;
    AVRational aspect{0, 1};
    if (OpenLibraryInput(&input, ToLibraryName(path), nullptr, nullptr) < 0) return aspect;
    if (ff::avformat_find_stream_info(input, nullptr) >= 0) {
        for (unsigned i = 0; i < input->nb_streams; ++i) {
            if (input->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
                aspect = input->streams[i]->codecpar->sample_aspect_ratio;
                break;
            }
        }
    }
    CloseLibraryInput(&input);
    return aspect;
}

TEST_F(TranscodeTest, EncoderTakesThePixelShapeOfTheFilteredPictures) {
    const std::string output = PathOf("out.mp4");
    const JobOutcome outcome = RunJob(Convert(TestClipPath(mediagen::clips::kAviMpeg4Mp3), output,
                                              {{"vcodec", "mpeg4"}, {"an", "1"}, {"vfilters", "setsar=2/1"}}));
    ASSERT_TRUE(outcome.finished) << outcome.exception_message;
    const AVRational aspect = FirstVideoSampleAspectRatio(output);
    EXPECT_EQ(aspect.num, 2);
    EXPECT_EQ(aspect.den, 1);
}

}  // namespace
}  // namespace brenvale::testing
