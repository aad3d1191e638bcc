#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ostream>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include "binding/library_loader.h"
#include "converter/creation_time.h"
#include "converter/hook_ranges.h"
#include "converter/input_record.h"
#include "converter/option_records.h"
#include "converter/output_record.h"
#include "converter/record_option_lines.h"
#include "engine/custom_ffmpeg.h"
#include "engine/ffmpeg_exception.h"
#include "engine/option_numbers.h"
#include "engine/option_values.h"

namespace brenvale {
namespace {

using Metadata = std::vector<std::pair<std::string, std::string>>;

class RecordTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Loader().LoadLibrarySet(kConverterLibraries)) << Loader().LastError();
        job_.prepare_job();
    }

    // As AddOutput does it before the output is created.
    void ApplyOutput(const TOutputOptions& options) {
        apply_output_target(job_, options);
        job_.apply_option_list(options.ExtOptions, 0);
        apply_output_options(job_, options);
    }

    TCustomFFmpeg job_;
};

TEST_F(RecordTest, AResetRecordOverridesOnlyTheSettingsItAlwaysApplies) {
    TOutputOptions options;
    options.AudioChannels = 5;
    reset_output_options(options);
    options.VideoCodec = "flv";
    options.ExtOptions =
        "an=1\nvn=1\nsn=1\ncopyts=1\nasync=1\nvsync=2\nalang=eng\nslang=fre\npadcolor=16777215\n"
        "ac=1\nar=22050\ns=640x480\nr=15\nvol=512\nt=3";
    ApplyOutput(options);

    EXPECT_FALSE(job_.audio_disable);
    EXPECT_FALSE(job_.video_disable);
    EXPECT_FALSE(job_.subtitle_disable);
    EXPECT_FALSE(job_.copy_ts);
    EXPECT_EQ(job_.audio_sync_method, 0);
    EXPECT_EQ(job_.video_sync_method, -1);
    EXPECT_EQ(job_.audio_language, "");
    EXPECT_EQ(job_.subtitle_language, "");
    EXPECT_EQ((std::vector{job_.pad_color_y, job_.pad_color_u, job_.pad_color_v}), (std::vector{0, 128, 128}));
    // Fields left "not set" keep what the lines did.
    EXPECT_EQ(job_.audio_channels, 1);
    EXPECT_EQ(job_.audio_sample_rate, 22050);
    EXPECT_EQ(job_.frame_width, 640);
    EXPECT_EQ(job_.frame_height, 480);
    EXPECT_EQ(job_.frame_rate.num, 15);
    EXPECT_EQ(job_.audio_volume, 512);
    EXPECT_EQ(job_.recording_time, 3000000);
    EXPECT_EQ(job_.video_codec_name, "flv");
    EXPECT_EQ(job_.rec_timestamp, 0);
    EXPECT_TRUE(job_.metadata.empty());
}

TEST_F(RecordTest, FieldsWithValuesOverrideTheLines) {
    TOutputOptions options;
    options.ExtOptions = "ac=1\nar=22050\ns=640x480\nvol=512\nvcodec=mpeg4";
    options.AudioChannels = 2;
    options.AudioSampleRate = 44100;
    options.FrameSize = "320x240";
    options.AudioVolume = 0;
    options.VideoCodec = "copy";
    options.AudioLanguage = "ger";
    options.MuxDelay = 0.25f;
    options.MuxPreload = 0.125f;
    options.StartTimeMs = 1500;
    options.StartTimeUs = 2500;
    options.RecordingTimeMs = 36000000;
    ApplyOutput(options);

    EXPECT_EQ(job_.audio_channels, 2);
    EXPECT_EQ(job_.audio_sample_rate, 44100);
    EXPECT_EQ(job_.frame_width, 320);
    EXPECT_EQ(job_.audio_volume, 0);
    EXPECT_EQ(job_.video_stream_copy, 1);
    EXPECT_EQ(job_.audio_language, "ger");
    EXPECT_FLOAT_EQ(job_.mux_max_delay, 0.25f);
    EXPECT_FLOAT_EQ(job_.mux_preload, 0.125f);
    EXPECT_EQ(job_.start_time, 2500) << "the finer start time comes last";
    EXPECT_EQ(job_.recording_time, 36000000000);
    EXPECT_EQ(job_.total_duration_ms, 36000000);
}

// Moved into the fields, the lines the fields would override take effect after all.
TEST_F(RecordTest, LinesMovedIntoTheFieldsTakeEffect) {
    TOutputOptions options;
    options.PixelFormat = "yuv420p";
    options.AudioDriftThreshold = 0.04f;
    options.RecordingTimeMs = 36000000;
    options.ExtOptions =
        "an=1\nvn=1\nsn=1\ncopyts=0\nasync=1\nvsync=2\nalang=eng\nslang=fre\npadcolor=16777215\n"
        "pix_fmt=yuv444p\nadrift_threshold=0.2\nt=3\nab=64000";
    move_option_lines_into_fields(options);
    ApplyOutput(options);

    EXPECT_TRUE(job_.audio_disable);
    EXPECT_TRUE(job_.video_disable);
    EXPECT_TRUE(job_.subtitle_disable);
    EXPECT_TRUE(job_.copy_ts) << "its handler reads no value";
    EXPECT_EQ(job_.audio_sync_method, 1);
    EXPECT_EQ(job_.video_sync_method, 2);
    EXPECT_EQ(job_.audio_language, "eng");
    EXPECT_EQ(job_.subtitle_language, "fre");
    EXPECT_EQ(job_.pad_color_y, 255) << "white";
    EXPECT_EQ(job_.frame_pix_fmt, AV_PIX_FMT_YUV444P);
    EXPECT_FLOAT_EQ(job_.audio_drift_threshold, 0.2f);
    EXPECT_EQ(job_.recording_time, 3000000);
    EXPECT_EQ(options.AudioBitrate, -1) << "other lines stay lines";

    options.ExtOptions = "async=fast";
    EXPECT_THROW(move_option_lines_into_fields(options), ConvertError);
}

TEST_F(RecordTest, RatesBecomeGenericLibraryOptions) {
    TOutputOptions options;
    options.PacketSize = 2324;
    options.VideoBitrate = 800000;
    options.AudioBitrate = 0;  // not set
    options.GroupPictureSize = 12;
    ApplyOutput(options);
    const std::vector<std::string>& names = job_.option_context.opt_names;
    EXPECT_EQ(names, (std::vector<std::string>{"packetsize", "g", "b"}));
}

// Under the names today's muxers write: "date" for the year and "artist" for the author.
TEST_F(RecordTest, TagsBecomeMetadataPairsInTheirOrder) {
    TOutputOptions options;
    options.Info.Year = 2009;
    options.Info.Track = 0;  // not set
    options.Info.Title = "A title";
    options.Info.Genre = "Jazz";
    options.Info.Author = "Somebody";
    ApplyOutput(options);
    EXPECT_EQ(job_.metadata, (Metadata{{"date", "2009"}, {"title", "A title"}, {"artist", "Somebody"}, {"genre", "Jazz"}}));
}

struct FailingField {
    const char* what;
    void (*set)(TOutputOptions&);
    std::string message_start;
};
void PrintTo(const FailingField& field, std::ostream* out) { *out << field.what; }

class FailingFieldTest : public RecordTest, public ::testing::WithParamInterface<FailingField> {};

TEST_P(FailingFieldTest, RaisesAndKeepsTheSettingsAppliedBefore) {
    TOutputOptions options;
    options.ExtOptions = "ar=22050";
    GetParam().set(options);
    try {
        ApplyOutput(options);
        FAIL() << "no exception";
    } catch (const std::exception& error) {
        EXPECT_EQ(std::string(error.what()).rfind(GetParam().message_start, 0), 0u) << error.what();
    }
    EXPECT_EQ(job_.audio_sample_rate, 22050);
}

INSTANTIATE_TEST_SUITE_P(
    Records, FailingFieldTest,
    ::testing::Values(
        FailingField{"size", [](TOutputOptions& o) { o.FrameSize = "abc"; }, "Incorrect frame size"},
        FailingField{"tag", [](TOutputOptions& o) { o.VideoTag = "XVI"; }, "video tag parameter must be 4 chars"},
        FailingField{"crop", [](TOutputOptions& o) { o.CropTop = 0; },
                     "Vertical crop dimensions are outside the range of the original image."},
        FailingField{"lines", [](TOutputOptions& o) { o.ExtOptions += "\nthreads=2"; }, "TODO: option - threads"},
        FailingField{"format", [](TOutputOptions& o) { o.FileFormat = "no-such-format"; },
                     "Unknown output format: no-such-format"}));

struct TargetCase {
    int tv_standard;
    int default_tv_standard;
    AVRational input_rate;  // as an opened input leaves it
    int expected_height;
};
void PrintTo(const TargetCase& target, std::ostream* out) {
    *out << "standard " << target.tv_standard << " default " << target.default_tv_standard << " rate "
         << target.input_rate.num << "/" << target.input_rate.den;
}

class TargetTest : public RecordTest, public ::testing::WithParamInterface<TargetCase> {};

TEST_P(TargetTest, ChoosesTheNormAndLetsTheRecordOverrideThePreset) {
    job_.frame_rate = GetParam().input_rate;
    TOutputOptions options;
    options.Target = 3;
    options.TVStandard = GetParam().tv_standard;
    options.DefaultTVStandard = GetParam().default_tv_standard;
    options.VideoCodec = "mpeg4";
    ApplyOutput(options);
    EXPECT_EQ(job_.frame_width, 720);
    EXPECT_EQ(job_.frame_height, GetParam().expected_height);
    EXPECT_EQ(job_.video_codec_name, "mpeg4");
    EXPECT_EQ(job_.audio_codec_name, "ac3");
}

constexpr AVRational kUnusualRate{15, 1};  // names no norm
constexpr AVRational kNtscRate{30000, 1001};

INSTANTIATE_TEST_SUITE_P(Records, TargetTest,
                         ::testing::Values(TargetCase{0, 1, kUnusualRate, 576}, TargetCase{0, 2, kUnusualRate, 480},
                                           TargetCase{0, 1, kNtscRate, 480}, TargetCase{7, 2, kUnusualRate, 480},
                                           TargetCase{2, 1, kUnusualRate, 480}, TargetCase{1, 2, kNtscRate, 576}));

TEST_F(RecordTest, OtherTargetsApplyNoPreset) {
    for (int target : {0, 4, -1}) {
        TOutputOptions options;
        options.Target = target;
        apply_output_target(job_, options);
    }
    EXPECT_EQ(job_.frame_width, 0);
    EXPECT_EQ(job_.audio_codec_name, "");
}

TEST_F(RecordTest, TheInputRecordSetsStartAndProgramButSkipsNewStreamLines) {
    TInputOptions options;
    options.ExtOptions = "newaudio\nitsoffset=2";
    options.StartTimeMs = 1500;
    options.ProgramID = 0;
    apply_input_options(job_, options);
    EXPECT_EQ(job_.start_time, 1500000);
    EXPECT_EQ(job_.input_ts_offset, 2000000);
    EXPECT_EQ(job_.program_id, 0);

    options.StartTimeUs = 2500;
    options.ProgramID = 3;
    options.ExtOptions.clear();
    apply_input_options(job_, options);
    EXPECT_EQ(job_.start_time, 2500);
    EXPECT_EQ(job_.program_id, 3);

    options.FileFormat = "no-such-format";
    EXPECT_THROW(apply_input_options(job_, options), FFmpegException);
}

struct HookRangesCase {
    std::string text;
    std::vector<std::pair<std::int64_t, std::int64_t>> ranges;  // microseconds
};
void PrintTo(const HookRangesCase& ranges, std::ostream* out) { *out << "\"" << ranges.text << "\""; }

class HookRangesTest : public RecordTest, public ::testing::WithParamInterface<HookRangesCase> {};

TEST_P(HookRangesTest, KeepsTheValidRangesSortedByEnd) {
    job_.hook_range_index = 5;
    parse_hook_ranges(job_, GetParam().text);
    std::vector<std::pair<std::int64_t, std::int64_t>> ranges;
    for (const auto& range : job_.hook_time_ranges) ranges.emplace_back(range.start_us, range.end_us);
    EXPECT_EQ(ranges, GetParam().ranges);
    EXPECT_EQ(job_.hook_range_index, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Records, HookRangesTest,
    ::testing::Values(HookRangesCase{"1000-5000, 0-500, 7000", {{0, 500000}, {1000000, 5000000}}},
                      HookRangesCase{"  ", {}},
                      HookRangesCase{"3000-2000,2000-2000,", {{2000000, 2000000}}},
                      // An unreadable start counts as -1 ms.
                      HookRangesCase{"x-5, -100", {{-1000, 5000}, {-1000, 100000}}},
                      HookRangesCase{" 0x10 - $20 ", {{16000, 32000}}},
                      HookRangesCase{"9223372036854775807-9223372036854775807", {}}));

// Days since 1899-12-30 of a local date and time.
TDateTime LocalDateTime(std::chrono::year_month_day date, int hours, int minutes) {
    using namespace std::chrono;
    const days since_base = sys_days{date} - sys_days{year{1899} / December / 30};
    return since_base.count() + (hours * 60 + minutes) / 1440.0;
}

class CreationTimeTest : public RecordTest {
protected:
    void SetUp() override {
        RecordTest::SetUp();
        const char* zone = std::getenv("TZ");
        saved_zone_ = zone ? std::optional<std::string>(zone) : std::nullopt;
        ::setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
        ::tzset();
    }
    void TearDown() override {
        if (saved_zone_) {
            ::setenv("TZ", saved_zone_->c_str(), 1);
        } else {
            ::unsetenv("TZ");
        }
        ::tzset();
    }

    std::optional<std::string> saved_zone_;
};

TEST_F(CreationTimeTest, ALocalTimeBecomesUtcSecondsWithTheDaylightSavingOfItsDate) {
    using namespace std::chrono;
    TOutputOptions options;
    options.Info.TimeStamp = LocalDateTime(year{2009} / July / 1, 12, 0);
    ApplyOutput(options);
    EXPECT_EQ(job_.rec_timestamp, sys_seconds{sys_days{year{2009} / July / 1} + 10h}.time_since_epoch().count());

    options.Info.TimeStamp = LocalDateTime(year{2009} / January / 15, 12, 0);
    ApplyOutput(options);
    EXPECT_EQ(job_.rec_timestamp, sys_seconds{sys_days{year{2009} / January / 15} + 11h}.time_since_epoch().count());
}

TEST_F(CreationTimeTest, ZeroMeansNowAndNegativeLeavesTheOptionsValue) {
    TOutputOptions options;
    options.ExtOptions = "timestamp=2001-02-03 04:05:06";
    ApplyOutput(options);
    const std::int64_t from_option = job_.rec_timestamp;
    EXPECT_GT(from_option, 0);

    options.ExtOptions.clear();
    options.Info.TimeStamp = 0;
    ApplyOutput(options);
    EXPECT_NEAR(static_cast<double>(job_.rec_timestamp), static_cast<double>(std::time(nullptr)), 2.0);
}

}  // namespace
}  // namespace brenvale
