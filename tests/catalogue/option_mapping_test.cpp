#include "app/catalogue/option_mapping.h"

#include <gtest/gtest.h>

#include "app/catalogue/format_presets.h"
#include "app/catalogue/volume_table.h"

namespace brenvale {
namespace {

const TheAVCodec& Entry(const char* list_text) { return *FindCatalogueEntry(list_text); }

TOutputOptions MappedDefaults(const TheAVCodec& entry) {
    TOutputOptions options;
    MapControlsToOptions(entry, PresetSelections(PresetFor(entry)), options);
    return options;
}

struct DefaultMapping {
    const char* list_text;
    const char* video_codec;
    const char* audio_codec;
    std::int32_t video_bitrate;
    std::int32_t audio_bitrate;
    std::int32_t sample_rate;
    const char* frame_size;
    const char* frame_rate;
};

// Every encoder name here is one the libraries have: MP4 and MOV get their own AAC encoder.
const DefaultMapping kDefaults[] = {
    {"SWF - Flash Swf (*.swf)", "flv", "libmp3lame", 200000, 64000, 44100, "", "15.0"},
    {"FLV - Flash Video (*.flv)", "flv", "libmp3lame", 200000, 64000, 44100, "", "15.0"},
    {"AVI - Audio Video Interleave (*.avi)", "mpeg4", "pcm_s16le", 1200000, 128000, 48000, "", "25"},
    {"AVI - DivX Video (*.avi)", "mpeg4", "libmp3lame", 1200000, 128000, 48000, "", "25"},
    {"MP3 - Mpeg Layer3 Audio (*.mp3)", "", "libmp3lame", 0, 192000, 48000, "", ""},
    {"MP4 - MPEG4 Video (*.mp4)", "mpeg4", "aac", 1200000, 128000, 44100, "", "25"},
    {"MPEG-1 Movie (*.mpg)", "mpeg1video", "mp2", 1600000, 192000, 44100, "320x240", "25.0"},
    {"MPEG-2 Movie (*.mpg)", "mpeg2video", "mp2", 2000000, 192000, 44100, "320x240", "25.0"},
    {"MOV - QuickTime Video (*.mov)", "mpeg4", "aac", 1200000, 128000, 44100, "", "25"},
    {"WMV - Windows Media Video (*.wmv)", "wmv2", "wmav2", 1200000, 128000, 48000, "320x240", "25"},
};

TEST(OptionMappingTest, EachFormatsDefaultPresetMapsToItsRecord) {
    for (const DefaultMapping& expected : kDefaults) {
        SCOPED_TRACE(expected.list_text);
        const TheAVCodec& entry = Entry(expected.list_text);
        const TOutputOptions options = MappedDefaults(entry);
        EXPECT_EQ(options.VideoCodec, expected.video_codec);
        EXPECT_EQ(options.AudioCodec, expected.audio_codec);
        EXPECT_EQ(options.VideoBitrate, expected.video_bitrate);
        EXPECT_EQ(options.AudioBitrate, expected.audio_bitrate);
        EXPECT_EQ(options.AudioSampleRate, expected.sample_rate);
        EXPECT_EQ(options.FrameSize, expected.frame_size);
        EXPECT_EQ(options.AudioChannels, 2);
        EXPECT_EQ(options.VideoDisable, IsAudioOnly(entry));
        EXPECT_EQ(FrameRateText(PresetSelections(PresetFor(entry)).VideoFramerate), expected.frame_rate);
        // Fields the mapping does not own keep their "not set" values.
        EXPECT_EQ(options.FrameRate, "");
        EXPECT_EQ(options.AudioVolume, -1);
        EXPECT_EQ(options.RecordingTimeMs, -1);
        EXPECT_FALSE(options.AudioDisable);
    }
}

TEST(OptionMappingTest, CodecTextsBecomeEncoderNames) {
    const std::pair<const char*, const char*> video[] = {
        {"H264", "libx264"}, {"XVid", "libxvid"}, {"FLV", "flv"}, {"MPEG4", "mpeg4"}, {"", ""}};
    for (const auto& [text, name] : video) EXPECT_EQ(VideoEncoderName(text), name) << text;
    const std::pair<const char*, const char*> audio[] = {
        {"mp3", "libmp3lame"}, {"mpeg4aac", "aac"}, {"pcm_s16le", "pcm_s16le"}, {"ac3", "ac3"}, {"wmav2", "wmav2"}};
    for (const auto& [text, name] : audio) EXPECT_EQ(AudioEncoderName(text), name) << text;
}

TEST(OptionMappingTest, SizeTextsLoseTheirNameAndBlanks) {
    EXPECT_EQ(FrameSizeText("Original Video Size"), "");
    EXPECT_EQ(FrameSizeText("128 x 96 (SQCIF)"), "128x96");
    EXPECT_EQ(FrameSizeText("704 x 576 (4CIF)"), "704x576");
    EXPECT_EQ(FrameSizeText("720 x 576"), "720x576");

    TOutputOptions options;
    options.FrameSize = "kept";
    TControlTexts texts = PresetSelections(PresetFor(Entry("FLV - Flash Video (*.flv)")));
    MapControlsToOptions(Entry("FLV - Flash Video (*.flv)"), texts, options);
    EXPECT_EQ(options.FrameSize, "kept") << "the original size leaves the field alone";
}

TEST(OptionMappingTest, ChannelsAndUnscaledAudioRates) {
    const TheAVCodec& avi = Entry("AVI - Audio Video Interleave (*.avi)");
    TControlTexts texts = PresetSelections(PresetFor(avi));
    texts.AudioChannels = "Mono";
    texts.AudioBitrate = "96000 bps";  // no "Kbps": taken as it is
    texts.VideoBitrate = "";
    TOutputOptions options;
    MapControlsToOptions(avi, texts, options);
    EXPECT_EQ(options.AudioChannels, 1);
    EXPECT_EQ(options.AudioBitrate, 96000);
    EXPECT_EQ(options.VideoBitrate, 0) << "an empty rate gives \"000\"";
}

TEST(OptionMappingTest, TextsThatAreNoNumbersRaise) {
    const TheAVCodec& avi = Entry("AVI - Audio Video Interleave (*.avi)");
    const TControlTexts defaults = PresetSelections(PresetFor(avi));
    TOutputOptions options;
    TControlTexts texts = defaults;
    texts.VideoBitrate = "fast Kbps";
    EXPECT_THROW(MapControlsToOptions(avi, texts, options), std::invalid_argument);
    texts = defaults;
    texts.SamplingRate = "";
    EXPECT_THROW(MapControlsToOptions(avi, texts, options), std::invalid_argument);
    texts = defaults;
    texts.VideoBitrate = "9000000 Kbps";  // beyond 32 bits once scaled
    EXPECT_THROW(MapControlsToOptions(avi, texts, options), std::invalid_argument);
}

TEST(OptionMappingTest, FrameRateTexts) {
    const std::pair<const char*, const char*> cases[] = {
        {"Auto", "25"}, {"  aUTO ", "25"}, {"23.975 fps", "23.975"}, {"29.97 fps", "29.97"}, {"", ""}};
    for (const auto& [control, rate] : cases) EXPECT_EQ(FrameRateText(control), rate) << control;
}

TEST(VolumeTableTest, PositionsGiveTheirLabelsAndUnevenValues) {
    const std::pair<const char*, int> expected[] = {{"0%", 1},     {"20%", 50},   {"40%", 100}, {"60%", 150},
                                                    {"80%", 200},  {"100%", 256}, {"120%", 300}, {"140%", 350},
                                                    {"160%", 400}, {"180%", 450}, {"200%", 600}};
    for (int position = 0; position <= 10; ++position) {
        EXPECT_EQ(VolumeStep(position).Label, expected[position].first);
        EXPECT_EQ(VolumeStep(position).VolumeValue, expected[position].second);
    }
    EXPECT_EQ(VolumeStep(kDefaultVolumePosition).VolumeValue, 256);
    EXPECT_THROW(VolumeStep(11), std::out_of_range);
    EXPECT_THROW(VolumeStep(-1), std::out_of_range);
}

}  // namespace
}  // namespace brenvale
