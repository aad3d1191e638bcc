#include <gtest/gtest.h>

#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "engine/ffmpeg_exception.h"
#include "engine/option_numbers.h"
#include "engine/option_values.h"
#include "engine_fixture.h"

namespace brenvale::testing {
namespace {

using Options = std::vector<std::pair<std::string, std::string>>;

std::string Numbers(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i) text += (i > 1 ? "," : "") + std::to_string(i);
    return text;
}

struct SettingCase {
    Options options;  // applied in order; the last one is the option under test
    std::function<void(const TCustomFFmpeg&)> check;
};

class OptionTableTest : public EngineTest {};

TEST_F(OptionTableTest, OptionsSetTheirPendingSettings) {
    const SettingCase cases[] = {
        {{{"vn", ""}}, [](auto& e) { EXPECT_TRUE(e.video_disable); }},
        {{{"vn", "0"}}, [](auto& e) { EXPECT_FALSE(e.video_disable); }},
        {{{"an", "1"}, {"sn", "no"}}, [](auto& e) { EXPECT_TRUE(e.audio_disable && e.subtitle_disable); }},
        {{{"copyts", "0"}, {"xerror", "0"}}, [](auto& e) { EXPECT_TRUE(e.copy_ts && e.exit_on_error); }},
        {{{"ar", "22050"}, {"ar", "0"}, {"ac", "1"}, {"ac", "-1"}},
         [](auto& e) { EXPECT_EQ(e.audio_sample_rate, 22050); EXPECT_EQ(e.audio_channels, 1); }},
        {{{"programid", "$10"}, {"vol", "0x200"}},
         [](auto& e) { EXPECT_EQ(e.program_id, 16); EXPECT_EQ(e.audio_volume, 512); }},
        {{{"fs", "5000000000"}, {"muxdelay", "1.5"}, {"muxpreload", "0.25"}}, [](auto& e) {
             EXPECT_EQ(e.limit_filesize, 5000000000LL);
             EXPECT_FLOAT_EQ(e.mux_max_delay, 1.5f);
             EXPECT_FLOAT_EQ(e.mux_preload, 0.25f);
         }},
        {{{"vframes", "100"}, {"aframes", "200"}, {"dframes", "3"}}, [](auto& e) {
             EXPECT_EQ(e.max_frames[0], 100);
             EXPECT_EQ(e.max_frames[1], 200);
             EXPECT_EQ(e.max_frames[2], 3);
             EXPECT_EQ(e.max_frames[3], 2147483647);
         }},
        {{{"vcodec", "mpeg4"}, {"vcodec", ""}}, [](auto& e) {
             EXPECT_EQ(e.video_codec_name, "mpeg4");
             EXPECT_EQ(e.video_stream_copy, 0);
         }},
        {{{"acodec", "mp2"}, {"acodec", "copy"}, {"scodec", "copy"}}, [](auto& e) {
             EXPECT_EQ(e.audio_codec_name, "");
             EXPECT_EQ(e.audio_stream_copy, 1);
             EXPECT_EQ(e.subtitle_stream_copy, 1);
         }},
        {{{"s", "320x240"}, {"r", "30000/1001"}}, [](auto& e) {
             EXPECT_EQ(e.frame_width, 320);
             EXPECT_EQ(e.frame_height, 240);
             EXPECT_EQ(e.frame_rate.num, 30000);
             EXPECT_EQ(e.frame_rate.den, 1001);
         }},
        {{{"s", "pal"}, {"r", "pal"}, {"s", ""}, {"r", ""}}, [](auto& e) {
             EXPECT_EQ(e.frame_width, 720);
             EXPECT_EQ(e.frame_height, 576);
             EXPECT_EQ(e.frame_rate.num, 25);
         }},
        {{{"t", "1:00:00.5"}}, [](auto& e) {
             EXPECT_EQ(e.recording_time, 3600500000LL);
             EXPECT_EQ(e.total_duration_ms, 3600500);
         }},
        {{{"t", "0"}, {"t", "-5"}}, [](auto& e) {
             EXPECT_EQ(e.recording_time, INT64_MAX);
             EXPECT_EQ(e.total_duration_ms, -1);
         }},
        {{{"t", "1000:00:00"}}, [](auto& e) {
             EXPECT_EQ(e.recording_time, 3600000000000LL);
             EXPECT_EQ(e.total_duration_ms, 2147483647);
         }},
        {{{"ss", "1.5"}, {"itsoffset", "-2"}}, [](auto& e) {
             EXPECT_EQ(e.start_time, 1500000);
             EXPECT_EQ(e.input_ts_offset, -2000000);
         }},
        {{{"timestamp", "1970-01-02T00:00:01.6Z"}}, [](auto& e) { EXPECT_EQ(e.rec_timestamp, 86402); }},
        {{{"itsscale", "3:1.5"}, {"itsscale", "0x13:2"}}, [](auto& e) {
             EXPECT_DOUBLE_EQ(e.input_ts_scales[0][3], 1.5);
             EXPECT_DOUBLE_EQ(e.input_ts_scales[0][19], 2.0);
         }},
        {{{"map", "0.1"}, {"map", "0:1:1:0"}, {"map_meta_data", "1:0"}}, [](auto& e) {
             ASSERT_EQ(e.stream_map_count, 2);
             EXPECT_EQ(e.stream_maps[0].sync_stream_index, 1);
             EXPECT_EQ(e.stream_maps[1].sync_file_index, 1);
             EXPECT_EQ(e.stream_maps[1].sync_stream_index, 0);
             ASSERT_EQ(e.metadata_map_count, 1);
             EXPECT_EQ(e.metadata_maps[0].out_file, 1);
         }},
        {{{"metadata", "title=a=b"}, {"metadata", "author="}}, [](auto& e) {
             ASSERT_EQ(e.metadata.size(), 2u);
             EXPECT_EQ(e.metadata[0], (std::pair<std::string, std::string>{"title", "a=b"}));
             EXPECT_EQ(e.metadata[1], (std::pair<std::string, std::string>{"author", ""}));
         }},
        {{{"target", "pal-vcd"}}, [](auto& e) {
             EXPECT_EQ(e.frame_width, 352);
             EXPECT_EQ(e.frame_height, 288);
             EXPECT_EQ(e.frame_rate.num, 25);
         }},
        {{{"target", "ntsc-dvd"}}, [](auto& e) {
             EXPECT_EQ(e.frame_height, 480);
             EXPECT_EQ(e.frame_rate.num, 30000);
         }},
        {{{"r", "25"}, {"target", " vcd "}}, [](auto& e) { EXPECT_EQ(e.frame_height, 288); }},
        {{{"aspect", "16:9"}}, [](auto& e) { EXPECT_FLOAT_EQ(e.frame_aspect_ratio, 1.7777778f); }},
        {{{"aspect", "-1.5"}}, [](auto& e) { EXPECT_FLOAT_EQ(e.frame_aspect_ratio, -1.5f); }},
        {{{"padcolor", "255"}}, [](auto& e) {
             EXPECT_EQ(e.pad_color_y, 76);
             EXPECT_EQ(e.pad_color_u, 85);
             EXPECT_EQ(e.pad_color_v, 255);
         }},
        {{{"padtop", "4"}, {"padtop", "-2"}, {"padright", "0"}}, [](auto& e) {
             EXPECT_EQ(e.pad_top, 4);
             EXPECT_EQ(e.pad_right, 0);
         }},
        {{{"s", "640x480"}, {"croptop", "10"}, {"cropbottom", "-2"}, {"cropleft", "0"}, {"cropright", "8"}},
         [](auto& e) {
             EXPECT_EQ(e.crop_top, 10);
             EXPECT_EQ(e.crop_bottom, 0);
             EXPECT_EQ(e.crop_right, 8);
             EXPECT_EQ(e.frame_height, 470);
             EXPECT_EQ(e.frame_width, 632);
         }},
        {{{"qscale", "255"}, {"pass", "2"}, {"passlogfile", "stats"}}, [](auto& e) {
             EXPECT_FLOAT_EQ(e.video_qscale, 255.0f);
             EXPECT_EQ(e.pass, 2);
             EXPECT_EQ(e.pass_logfile_prefix, "stats");
         }},
        {{{"vtag", "XVID"}, {"atag", "mp4a"}}, [](auto& e) {
             EXPECT_EQ(e.video_codec_tag, 0x44495658u);
             EXPECT_EQ(e.audio_codec_tag, 0x6134706Du);
         }},
        {{{"pix_fmt", "yuv420p"}, {"sample_fmt", "s16"}}, [](auto& e) {
             EXPECT_EQ(e.frame_pix_fmt, AV_PIX_FMT_YUV420P);
             EXPECT_EQ(e.audio_sample_fmt, AV_SAMPLE_FMT_S16);
         }},
        {{{"pix_fmt", "no-such-format"}}, [](auto& e) { EXPECT_EQ(e.frame_pix_fmt, -1); }},
        {{{"f", "mpegts"}}, [](auto& e) {
             EXPECT_NE(e.input_format, nullptr);
             EXPECT_NE(e.output_format, nullptr);
         }},
        {{{"vfilters", "hflip"}, {"vfilters", ""}, {"rc_override", "0,10,2"}}, [](auto& e) {
             EXPECT_EQ(e.video_filters, "hflip");
             EXPECT_EQ(e.rc_override, "0,10,2");
         }},
        {{{"intra_matrix", Numbers(70)}, {"inter_matrix", Numbers(64)}}, [](auto& e) {
             ASSERT_NE(e.intra_matrix, nullptr);
             ASSERT_NE(e.inter_matrix, nullptr);
             EXPECT_EQ(e.intra_matrix[0], 1);
             EXPECT_EQ(e.intra_matrix[63], 64);
             EXPECT_EQ(e.inter_matrix[63], 64);
         }},
        {{{"vstats", ""}}, [](auto& e) {
             EXPECT_TRUE(std::regex_match(e.vstats_filename, std::regex("/.*/vstats_[0-2][0-9][0-5][0-9][0-6][0-9]\\.log")))
                 << e.vstats_filename;
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options.back().first + "=" + c.options.back().second);
        engine_.prepare_job();
        Apply(c.options);
        c.check(engine_);
    }
}

struct FailureCase {
    Options setup;
    std::string name;
    std::string value;
    std::string message;
};

TEST_F(OptionTableTest, BadValuesRaiseTheirMessages) {
    const std::string vertical =
        "Vertical crop dimensions are outside the range of the original image.\nRemember to crop first and scale second.";
    const std::string horizontal =
        "Horizontal crop dimensions are outside the range of the original image.\nRemember to crop first and scale second.";
    const std::string too_many_words = [] {
        std::string words = PICTURE_HOOK;
        for (int i = 0; i < 64; ++i) words += " a";
        return words;
    }();
    const FailureCase cases[] = {
        {{}, "threads", "2", "TODO: option - threads"},
        {{}, "f", "no-such-format", "Unknown input or output format: no-such-format"},
        {{}, "metadata", "title", "Missing ="},
        {{}, "itsscale", "20:1", "stream index over MAX_STREAMS(20)"},
        {{}, "itsscale", "-1:1", "stream index over MAX_STREAMS(20)"},
        {{}, "t", "abc", "Invalid duration specification for t: abc"},
        {{}, "ss", "", "Invalid duration specification for ss: "},
        {{}, "itsoffset", "1:xx", "Invalid duration specification for itsoffset: 1:xx"},
        {{}, "timestamp", "abc", "Invalid date specification for timestamp: abc"},
        {{}, "r", "abc", "Incorrect frame rate"},
        {{}, "r", "-25", "Incorrect frame rate"},
        {{}, "s", "abc", "Incorrect frame size"},
        {{}, "s", "321x240", "Frame size must be a multiple of 2"},
        {{}, "s", "320x241", "Frame size must be a multiple of 2"},
        {{}, "aspect", "4:0", "Incorrect aspect ratio specification."},
        {{}, "aspect", "abc", "Incorrect aspect ratio specification."},
        {{}, "aspect", "1.5:1", "Incorrect aspect ratio specification."},
        {{}, "croptop", "3", "Top crop size must be a multiple of 2"},
        {{}, "cropbottom", "1", "Bottom crop size must be a multiple of 2"},
        {{}, "cropleft", "5", "Left crop size must be a multiple of 2"},
        {{}, "cropright", "7", "Right crop size must be a multiple of 2"},
        {{{"s", "640x480"}}, "croptop", "480", vertical},
        {{}, "croptop", "0", vertical},
        {{{"s", "640x480"}, {"cropbottom", "240"}}, "croptop", "240", vertical},
        {{{"s", "640x480"}}, "cropleft", "640", horizontal},
        {{}, "cropright", "0", horizontal},
        {{}, "padtop", "1", "Top pad size must be a multiple of 2"},
        {{}, "padbottom", "3", "Bottom pad size must be a multiple of 2"},
        {{}, "padleft", "5", "Left pad size must be a multiple of 2"},
        {{}, "padright", "7", "Right pad size must be a multiple of 2"},
        {{}, "qscale", "0", "qscale must be > 0.0 and <= 255"},
        {{}, "qscale", "255.5", "qscale must be > 0.0 and <= 255"},
        {{}, "qscale", "-1", "qscale must be > 0.0 and <= 255"},
        {{}, "pass", "3", "pass number can be only 1 or 2"},
        {{}, "pass", "0", "pass number can be only 1 or 2"},
        {{}, "vhook", "/no/such/hook.so", "Failed to add video hook function: /no/such/hook.so"},
        {{}, "vhook", "", "Failed to add video hook function: "},
        {{}, "vhook", too_many_words, "Failed to add video hook function: " + too_many_words},
        {{}, "intra_matrix", Numbers(63), "Syntax error in matrix \"" + Numbers(63) + "\" at coeff 62"},
        {{}, "inter_matrix", "1", "Syntax error in matrix \"1\" at coeff 0"},
        {{}, "target", "vcd", "frame_rate is invalid."},
        {{}, "target", "pal-film", "Unknown target type"},
        {{}, "newvideo", "", "At least one output file must be specified"},
        {{}, "newaudio", "1", "At least one output file must be specified"},
        {{}, "newsubtitle", "", "At least one output file must be specified"},
        {{}, "vbsf", "no_such_filter", "Unknown bitstream filter no_such_filter"},
        {{}, "absf", "no_such_filter=x ", "Unknown bitstream filter no_such_filter=x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name + "=" + c.value);
        engine_.prepare_job();
        Apply(c.setup);
        try {
            engine_.apply_option(c.name, c.value);
            ADD_FAILURE() << "accepted";
        } catch (const FFmpegException& error) {
            EXPECT_EQ(std::string(error.what()), c.message);
        }
    }
}

TEST_F(OptionTableTest, NumbersThatDoNotParseRaiseConversionErrorsAndTagsRaiseAssertions) {
    const std::pair<std::string, std::string> conversions[] = {
        {"ar", "abc"}, {"vol", "1.5"}, {"croptop", "ten"}, {"padcolor", "#fff"}, {"fs", "1e9"}, {"pass", ""}};
    for (const auto& [name, value] : conversions) {
        SCOPED_TRACE(name);
        try {
            engine_.apply_option(name, value);
            ADD_FAILURE() << "accepted";
        } catch (const ConvertError& error) {
            EXPECT_EQ(std::string(error.what()), "'" + value + "' is not a valid integer value");
        }
    }
    try {
        engine_.apply_option("muxdelay", "x");
        ADD_FAILURE() << "accepted";
    } catch (const ConvertError& error) {
        EXPECT_EQ(std::string(error.what()), "'x' is not a valid floating point value");
    }
    EXPECT_THROW(engine_.apply_option("qscale", "abc"), ConvertError);
    for (const auto& [name, prefix] : {std::pair<std::string, std::string>{"vtag", "video tag parameter must be 4 chars"},
                                       {"atag", "audio tag parameter must be 4 chars"}}) {
        try {
            engine_.apply_option(name, "XVI");
            ADD_FAILURE() << name << " accepted";
        } catch (const AssertionError& error) {
            EXPECT_TRUE(std::string(error.what()).starts_with(prefix)) << error.what();
        }
    }
}

TEST_F(OptionTableTest, AFailedOptionKeepsThePreviousSetting) {
    Apply({{"s", "320x240"}, {"f", "avi"}, {"intra_matrix", Numbers(64)}, {"aspect", "4:3"}, {"r", "25"}});
    const AVOutputFormat* output_format = engine_.output_format;
    EXPECT_ANY_THROW(engine_.apply_option("s", "321x240"));
    EXPECT_ANY_THROW(engine_.apply_option("f", "no-such-format"));
    EXPECT_ANY_THROW(engine_.apply_option("intra_matrix", "9,9"));
    EXPECT_ANY_THROW(engine_.apply_option("aspect", "4:0"));
    EXPECT_ANY_THROW(engine_.apply_option("r", "x"));
    EXPECT_EQ(engine_.frame_width, 320);
    EXPECT_EQ(engine_.output_format, output_format);
    EXPECT_EQ(engine_.intra_matrix[1], 2);
    EXPECT_FLOAT_EQ(engine_.frame_aspect_ratio, 4.0f / 3.0f);
    EXPECT_EQ(engine_.frame_rate.num, 25);
}

TEST_F(OptionTableTest, IgnoredOptionsOnlyLogAndThreadsIsRefused) {
    for (const char* name : {"L", "h", "version", "formats", "i", "y", "benchmark", "apre", "vpre", "spre"}) {
        log_.clear();
        engine_.apply_option(name, "anything");
        EXPECT_EQ(log_, (std::vector<std::pair<int, std::string>>{{1, std::string("Do nothing: option - ") + name}}));
    }
    engine_.on_log = nullptr;
    EXPECT_NO_THROW(engine_.apply_option("y", ""));
}

TEST_F(OptionTableTest, PgmyuvIsImageTwoWithItsFlag) {
    Apply({{"f", "pgmyuv"}});
    EXPECT_EQ(engine_.pgmyuv_hack, 1);
    ASSERT_NE(engine_.input_format, nullptr);
    EXPECT_STREQ(engine_.input_format->name, "image2");
    ASSERT_NE(engine_.output_format, nullptr);
    EXPECT_STREQ(engine_.output_format->name, "image2");
    EXPECT_EQ(log_, (std::vector<std::pair<int, std::string>>{{1, "pgmyuv format is deprecated, use image2"}}));
}

TEST_F(OptionTableTest, InputAndOutputHalvesOfTheFormatOption) {
    engine_.set_input_format("");
    engine_.set_output_format("");
    EXPECT_EQ(engine_.input_format, nullptr);
    engine_.set_input_format("wav");
    engine_.set_output_format("mp4");
    EXPECT_NE(engine_.input_format, nullptr);
    EXPECT_STREQ(engine_.output_format->name, "mp4");
    try {
        engine_.set_input_format("mp4-no");
        ADD_FAILURE();
    } catch (const FFmpegException& error) {
        EXPECT_STREQ(error.what(), "Unknown input format: mp4-no");
    }
    try {
        engine_.set_output_format("wav-no");
        ADD_FAILURE();
    } catch (const FFmpegException& error) {
        EXPECT_STREQ(error.what(), "Unknown output format: wav-no");
    }
    EXPECT_STREQ(engine_.output_format->name, "mp4");
}

TEST_F(OptionTableTest, BitRatesBelowOneThousandWarnAboutKilobits) {
    const std::string warning =
        "WARNING: The bitrate parameter is set too low. It takes bits/s as argument, not kbits/s";
    const struct {
        const char* name;
        const char* value;
        bool warns;
    } cases[] = {{"b", "128", true}, {"b", "128000", false}, {"vb", "999", true}, {"ab", "64", true},
                 {"ab", "64000", false}, {"b", "", false}, {"b", "abc", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + "=" + c.value);
        engine_.prepare_job();
        log_.clear();
        engine_.apply_option(c.name, c.value);
        EXPECT_EQ(log_.size(), c.warns ? 1u : 0u);
        if (c.warns && !log_.empty()) {
            EXPECT_EQ(log_[0], (std::pair<int, std::string>{1, warning}));
        }
    }
}

TEST_F(OptionTableTest, FormatListsGoToTheLogOneLinePerFormat) {
    engine_.apply_option("pix_fmt", "list");
    EXPECT_EQ(engine_.frame_pix_fmt, -1);
    ASSERT_GT(log_.size(), 50u);
    EXPECT_EQ(log_[0].first, 1);
    EXPECT_TRUE(log_[0].second.starts_with("name")) << log_[0].second;
    EXPECT_TRUE(log_[1].second.starts_with("yuv420p")) << log_[1].second;
    EXPECT_NE(log_.back().second.back(), ' ');

    log_.clear();
    engine_.apply_option("sample_fmt", "list");
    EXPECT_EQ(engine_.audio_sample_fmt, -1);
    ASSERT_GE(log_.size(), 6u);
    EXPECT_TRUE(log_[1].second.starts_with("u8")) << log_[1].second;

    engine_.on_log = nullptr;
    EXPECT_NO_THROW(engine_.apply_option("pix_fmt", "list"));
}

TEST_F(OptionTableTest, BitstreamFiltersJoinTheChainOfTheirMediaType) {
    Apply({{"vbsf", "null"}, {"vbsf", "h264_mp4toannexb"}, {"absf", "null=ignored"}, {"sbsf", ""},
           {"sbsf", "=null"}, {"sbsf", "null"}});
    ASSERT_EQ(engine_.video_bsf_chain.contexts().size(), 2u);
    EXPECT_STREQ(engine_.video_bsf_chain.contexts()[1]->filter->name, "h264_mp4toannexb");
    EXPECT_EQ(engine_.audio_bsf_chain.contexts().size(), 1u);
    EXPECT_EQ(engine_.subtitle_bsf_chain.contexts().size(), 1u);
    engine_.release_job();
    EXPECT_TRUE(engine_.video_bsf_chain.empty());
    EXPECT_TRUE(engine_.audio_bsf_chain.empty());
}

TEST_F(OptionTableTest, VideoHookOptionLoadsOnePluginPerOccurrenceUntilTheJobIsReleased) {
    Apply({{"vhook", std::string(PICTURE_HOOK) + " add 5"}, {"vhook", std::string(PICTURE_HOOK) + "|mul|2"}});
    EXPECT_TRUE(engine_.using_vhook);
    ASSERT_EQ(engine_.video_hooks.size(), 2u);
    std::uint8_t pixel = 1;
    BrenvaleHookPicture picture{{&pixel, nullptr, nullptr, nullptr}, {1, 0, 0, 0}};
    engine_.video_hooks.run_video_hooks(&picture, AV_PIX_FMT_GRAY8, 0, 1, 1);
    EXPECT_EQ(pixel, 12);
    engine_.release_job();
    EXPECT_TRUE(engine_.video_hooks.empty());

    // Sixty-four words fill the argument array exactly.
    std::string words = PICTURE_HOOK;
    for (int i = 1; i < 64; ++i) words += " w";
    engine_.apply_option("vhook", words);
    EXPECT_EQ(engine_.video_hooks.size(), 1u);
}

TEST_F(OptionTableTest, OptionListsApplyLinesInOrderAndStopAtTheFirstFailure) {
    EXPECT_THROW(engine_.apply_option_list("y\r\nvn\nthreads=2\nan", 0), FFmpegException);
    EXPECT_EQ(log_, (std::vector<std::pair<int, std::string>>{{1, "Do nothing: option - y"}}));
    EXPECT_TRUE(engine_.video_disable);
    EXPECT_FALSE(engine_.audio_disable);

    engine_.apply_option_list("  metadata=title=a=b\nnewaudio\nnewvideo=1\nnewsubtitle\nsn  \n", 0);
    ASSERT_EQ(engine_.metadata.size(), 1u);
    EXPECT_EQ(engine_.metadata[0].second, "a=b");
    EXPECT_TRUE(engine_.subtitle_disable);

    // Pass 1 applies only the stream-adding lines, which need an output file.
    engine_.apply_option_list("an\nqmin=abc", 1);
    EXPECT_FALSE(engine_.audio_disable);
    try {
        engine_.apply_option_list("an\nnewaudio", 1);
        ADD_FAILURE();
    } catch (const FFmpegException& error) {
        EXPECT_STREQ(error.what(), "At least one output file must be specified");
    }
    EXPECT_FALSE(engine_.audio_disable);
}

TEST_F(OptionTableTest, StreamAddingOptionsAddToTheLastOutputFile) {
    const std::string output = ::testing::TempDir() + "options-newstreams.mkv";
    engine_.apply_option_list("vn\nsn\nacodec=mp2\nnewaudio", 0);
    ASSERT_EQ(engine_.open_output_file(output), 1) << engine_.last_error;
    AVFormatContext* file = engine_.output_files[0];
    ASSERT_EQ(file->nb_streams, 1u);
    engine_.apply_option_list("an\nnewaudio\nnewsubtitle", 1);
    ASSERT_EQ(file->nb_streams, 3u);
    EXPECT_EQ(file->streams[1]->codecpar->codec_type, AVMEDIA_TYPE_AUDIO);
    EXPECT_EQ(file->streams[2]->codecpar->codec_type, AVMEDIA_TYPE_SUBTITLE);
    engine_.release_job();
}

}  // namespace
}  // namespace brenvale::testing
