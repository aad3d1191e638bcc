#include "cli/cli_arguments.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/catalogue/format_presets.h"
#include "cli/format_names.h"
#include "cli/preset_choices.h"
#include "cli/usage_error.h"
#include "common/core_count.h"

namespace brenvale::cli {
namespace {

using Choices = std::vector<std::pair<std::string, std::string>>;

std::string UsageMessage(const std::function<void()>& action) {
    try {
        action();
    } catch (const TUsageError& error) {
        return error.what();
    }
    return "no usage error";
}

TEST(CliArgumentsTest, OptionsTakeSeparateOrInlineValues) {
    const TCliArguments arguments = ParseCliArguments(
        {"--format=mp4", "--overwrite", "--video-size", "320x240", "--option", "t=1", "--option=ss=0.5", "--option",
         "re", "--input-option", "itsoffset=2", "--jobs", "3", "a.avi", "--", "-b.avi"});
    EXPECT_EQ(arguments.Mode, TCliMode::Convert);
    EXPECT_EQ(arguments.Format, "mp4");
    EXPECT_TRUE(arguments.Overwrite);
    EXPECT_EQ(arguments.Choices, (Choices{{"--video-size", "320x240"}}));
    EXPECT_EQ(arguments.ExtOptionLines, (std::vector<std::string>{"t=1", "ss=0.5", "re"}));
    EXPECT_EQ(arguments.InputOptionLines, (std::vector<std::string>{"itsoffset=2"}));
    EXPECT_EQ(arguments.Jobs, 3);
    EXPECT_EQ(arguments.Files, (std::vector<std::string>{"a.avi", "-b.avi"}));
    EXPECT_EQ(arguments.OutputFolder, ".");
}

TEST(CliArgumentsTest, AutomaticJobCountIsOnePerCore) {
    EXPECT_EQ(ParseCliArguments({"--jobs", "auto", "a.avi"}).Jobs, std::min(CoreCount(), 64));
    EXPECT_EQ(ParseCliArguments({"--jobs=auto", "a.avi"}).Jobs, std::min(CoreCount(), 64));
}

TEST(CliArgumentsTest, MalformedCommandLinesAreUsageErrors) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, "no input files"},
        {{"--bogus", "a.avi"}, "unknown option '--bogus'"},
        {{"a.avi", "--format"}, "--format needs a value"},
        {{"--overwrite=yes", "a.avi"}, "--overwrite takes no value"},
        {{"--jobs", "0", "a.avi"}, "--jobs takes auto or a number"},
        {{"--jobs", "2x", "a.avi"}, "--jobs takes auto or a number"},
        {{"--jobs", "Auto", "a.avi"}, "--jobs takes auto or a number"},
        {{"--option", "", "a.avi"}, "--option takes NAME=VALUE"},
        {{"--option", "=1", "a.avi"}, "--option takes NAME=VALUE"},
        {{"--input-option", "f=avi\nss=1", "a.avi"}, "--input-option takes NAME=VALUE"},
        {{"a.avi", "--input-option"}, "--input-option needs a value"},
        {{"--list-formats", "a.avi"}, "unexpected file argument 'a.avi'"},
        {{"--info"}, "no input files"},
        {{"--list-formats", "--show-preset", "flv"}, "exclude each other"},
        {{"--version", "--list-formats"}, "exclude each other"},
        {{"--version", "a.avi"}, "unexpected file argument 'a.avi'"},
        {{"--list-values", "--bogus"}, "--list-values takes a setting such as --video-size, not '--bogus'"},
        {{"--output-folder", "", "a.avi"}, "--output-folder needs a folder"},
        // The settings set these after the lines: such a line would change nothing.
        {{"--option", "vcodec=copy", "a.avi"}, "--option vcodec is set by the format's settings"},
        {{"--option=ar=8000", "a.avi"}, "use --sample-rate instead"},
        {{"--option", "b=100000", "a.avi"}, "use --video-bitrate instead"},
    };
    for (const auto& [arguments, message] : cases) {
        const std::string error = UsageMessage([&] { ParseCliArguments(arguments); });
        EXPECT_NE(error.find(message), std::string::npos) << error;
    }
}

TEST(PresetChoicesTest, ValuesPickThePresetsItemsInAnyCaseOrSpelling) {
    const TheAVCodec& avi = FormatByName("AVI");
    const TConversionSettings settings = ChooseConversionSettings(
        avi, {{"--video-codec", "h264"}, {"--video-size", "ORIGINAL"}, {"--video-bitrate", "2500"},
              {"--frame-rate", "15"}, {"--audio-codec", "MP2"}, {"--audio-bitrate", "64 kbps"}, {"--channels", "Mono"},
              {"--sample-rate", "22050"}, {"--volume", "200%"}, {"--aspect", "16:9"}});
    EXPECT_EQ(settings.Entry, &avi);
    EXPECT_EQ(settings.Controls.VideoCodec, "H264");
    EXPECT_EQ(settings.Controls.VideoSize, "Original Video Size");
    EXPECT_EQ(settings.Controls.VideoBitrate, "2500 Kbps");
    EXPECT_EQ(settings.Controls.VideoFramerate, "15.0 fps");
    EXPECT_EQ(settings.Controls.AudioCodec, "mp2");
    EXPECT_EQ(settings.Controls.AudioBitrate, "64 Kbps");
    EXPECT_EQ(settings.Controls.AudioChannels, "Mono");
    EXPECT_EQ(settings.Controls.SamplingRate, "22050 Hz");
    EXPECT_EQ(settings.VolumeValue, 600);
    EXPECT_EQ(settings.Aspect, TAspectChoice::WideScreen);

    const TConversionSettings sized = ChooseConversionSettings(FormatByName("mpeg1"), {{"--video-size", "128x96"}, {"--volume", "0"}});
    EXPECT_EQ(sized.Controls.VideoSize, "128 x 96 (SQCIF)");
    EXPECT_EQ(sized.VolumeValue, 1);
}

TEST(PresetChoicesTest, NoChoicesKeepThePresetsSelections) {
    const TheAVCodec& flv = FormatByName(kDefaultFormatName);
    const TConversionSettings settings = ChooseConversionSettings(flv, {});
    EXPECT_EQ(settings.Controls.VideoFramerate, "15.0 fps");
    EXPECT_EQ(settings.Controls.AudioChannels, "Stereo");
    EXPECT_EQ(settings.VolumeValue, 256);
    EXPECT_EQ(settings.Aspect, TAspectChoice::Original);
    EXPECT_EQ(DefaultChoice("--video-bitrate", flv), "200");
    EXPECT_EQ(DefaultChoice("--video-size", flv), "original");
    EXPECT_EQ(DefaultChoice("--volume", flv), "100");
    EXPECT_EQ(DefaultChoice("--video-codec", FormatByName("mp3")), "");
}

TEST(PresetChoicesTest, ValuesThePresetDoesNotOfferListTheValidOnes) {
    EXPECT_EQ(UsageMessage([] { ChooseConversionSettings(FormatByName("avi"), {{"--video-bitrate", "1600"}}); }),
              "--video-bitrate '1600' is not offered by the avi format; valid values: 192, 200, 216, 384, 512, 640, "
              "768, 1000, 1200, 1500, 2500");
    EXPECT_EQ(UsageMessage([] { ChooseConversionSettings(FormatByName("flv"), {{"--sample-rate", "48000"}}); }),
              "--sample-rate '48000' is not offered by the flv format; valid values: 11025, 22050, 44100");
    EXPECT_EQ(UsageMessage([] { ChooseConversionSettings(FormatByName("mp4"), {{"--volume", "50"}}); }),
              "--volume '50' is not offered by the mp4 format; valid values: 0, 20, 40, 60, 80, 100, 120, 140, 160, "
              "180, 200");
    EXPECT_EQ(UsageMessage([] { ChooseConversionSettings(FormatByName("mp3"), {{"--video-size", "320x240"}}); }),
              "--video-size: the mp3 format has no such setting");
    EXPECT_NE(UsageMessage([] { FormatByName("mkv2"); }).find("valid formats: swf, flv, avi"), std::string::npos);
    EXPECT_EQ(UsageMessage([] { ChooseConversionSettings(FormatByName("opus"), {{"--sample-rate", "44100"}}); }),
              "--sample-rate '44100' is not offered by the opus format; valid values: 48000");
    // Rate factors by their short names, with or without the blank.
    for (const char* typed : {"rf28", "RF 28", "rf 28 (small)"}) {
        EXPECT_EQ(ChooseConversionSettings(FormatByName("mp4-h265"), {{"--video-bitrate", typed}}).Controls.VideoBitrate,
                  "RF 28 (small)")
            << typed;
    }
}

// Choices are checked against what the chosen codecs' encoders take, in any order on the line;
// selections nobody chose move to the nearest value offered.
TEST(PresetChoicesTest, TheListsFollowTheChosenCodecs) {
    EXPECT_EQ(UsageMessage([] { ChooseConversionSettings(FormatByName("mpeg1"), {{"--frame-rate", "15"}}); }),
              "--frame-rate '15' is not taken by the mpeg1video encoder; valid values: auto, 23.975, 25.0, 29.97, 30.0");
    EXPECT_EQ(UsageMessage([] {
                  ChooseConversionSettings(FormatByName("avi"), {{"--sample-rate", "8000"}, {"--audio-codec", "mp2"}});
              }),
              "--sample-rate '8000' is not taken by the mp2 encoder; valid values: 16000, 22050, 32000, 44100, 48000");
    const TConversionSettings ordered = ChooseConversionSettings(
        FormatByName("avi"), {{"--audio-bitrate", "160"}, {"--sample-rate", "22050"}, {"--audio-codec", "mp2"}});
    EXPECT_EQ(ordered.Controls.AudioBitrate, "160 Kbps");
    EXPECT_EQ(ordered.Controls.SamplingRate, "22050 Hz");
    const TConversionSettings followed = ChooseConversionSettings(FormatByName("mpeg2"), {{"--sample-rate", "22050"}});
    EXPECT_EQ(followed.Controls.AudioBitrate, "160 Kbps") << "192 is too much at half rate";
    EXPECT_EQ(ChoiceValues("--sample-rate", FormatByName("wmv")).back(), "48000");
}

TEST(PresetChoicesTest, EveryOfferedValueIsAccepted) {
    for (const TFormatName& name : FormatNames()) {
        for (const std::string& option : ChoiceOptions()) {
            for (const std::string& value : ChoiceValues(option, *name.Entry))
                EXPECT_NO_THROW(ChooseConversionSettings(*name.Entry, {{option, value}})) << name.Name << option << value;
        }
    }
}

}  // namespace
}  // namespace brenvale::cli
