#include "app/catalogue/format_presets.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/catalogue/format_catalogue.h"

namespace brenvale {
namespace {

const TFormatPreset& Preset(const char* list_text) { return PresetFor(*FindCatalogueEntry(list_text)); }

bool Offers(const TPresetList& list, const std::string& item) {
    return std::find(list.Items.begin(), list.Items.end(), item) != list.Items.end();
}

struct PresetCase {
    const char* list_text;
    std::vector<std::string> video_codecs;
    std::vector<std::string> audio_codecs;
    // Selected indices of size, video rate, frame rate, audio rate, sampling rate; -1 none.
    int size, video_rate, frame_rate, audio_rate, sampling_rate;
    std::size_t sampling_count;
};

const PresetCase kPresetCases[] = {
    {"SWF - Flash Swf (*.swf)", {"FLV"}, {"mp3"}, 0, 1, 2, 3, 2, 3},
    {"FLV - Flash Video (*.flv)", {"FLV"}, {"mp3"}, 0, 1, 2, 3, 2, 3},
    {"AVI - Audio Video Interleave (*.avi)", {"MPEG4", "H264"}, {"pcm_s16le", "mp3", "mp2", "ac3"}, 0, 8, 0, 7, 5, 8},
    {"AVI - DivX Video (*.avi)", {"MPEG4"}, {"mp3"}, 0, 8, 0, 7, 5, 8},
    {"MP3 - Mpeg Layer3 Audio (*.mp3)", {}, {"mp3"}, -1, -1, -1, 9, 5, 8},
    {"MP4 - MPEG4 Video (*.mp4)", {"MPEG4", "H264", "XVid"}, {"mpeg4aac"}, 0, 8, 0, 7, 4, 8},
    {"MPEG-1 Movie (*.mpg)", {"MPEG1VIDEO"}, {"mp2"}, 10, 10, 4, 9, 4, 8},
    {"MPEG-2 Movie (*.mpg)", {"MPEG2VIDEO"}, {"mp2", "ac3"}, 10, 11, 4, 9, 4, 8},
    {"MOV - QuickTime Video (*.mov)", {"MPEG4"}, {"mpeg4aac"}, 0, 8, 0, 7, 4, 8},
    {"WMV - Windows Media Video (*.wmv)", {"WMV2"}, {"wmav2"}, 10, 8, 0, 7, 5, 8},
};

TEST(FormatPresetsTest, EachPresetHasItsCodecsAndSelections) {
    for (const PresetCase& expected : kPresetCases) {
        SCOPED_TRACE(expected.list_text);
        const TFormatPreset& preset = Preset(expected.list_text);
        EXPECT_EQ(preset.VideoCodec.Items, expected.video_codecs);
        EXPECT_EQ(preset.AudioCodec.Items, expected.audio_codecs);
        EXPECT_EQ(preset.VideoCodec.Selected, expected.video_codecs.empty() ? -1 : 0);
        EXPECT_EQ(preset.AudioCodec.Selected, 0);
        EXPECT_EQ(preset.VideoSize.Selected, expected.size);
        EXPECT_EQ(preset.VideoBitrate.Selected, expected.video_rate);
        EXPECT_EQ(preset.VideoFramerate.Selected, expected.frame_rate);
        EXPECT_EQ(preset.AudioBitrate.Selected, expected.audio_rate);
        EXPECT_EQ(preset.SamplingRate.Selected, expected.sampling_rate);
        EXPECT_EQ(preset.SamplingRate.Items.size(), expected.sampling_count);
        EXPECT_EQ(preset.AudioBitrate.Items.size(), 13u);
        const bool video = !expected.video_codecs.empty();
        EXPECT_EQ(preset.VideoSize.Items.size(), video ? 23u : 0u);
        EXPECT_EQ(preset.VideoFramerate.Items.size(), video ? 7u : 0u);
    }
}

TEST(FormatPresetsTest, SelectionsNameTheItemsTheTableGives) {
    const TFormatPreset& flash = Preset("FLV - Flash Video (*.flv)");
    EXPECT_EQ(flash.VideoSize.SelectedText(), "Original Video Size");
    EXPECT_EQ(flash.VideoBitrate.SelectedText(), "200 Kbps");
    EXPECT_EQ(flash.VideoFramerate.SelectedText(), "15.0 fps");
    EXPECT_EQ(flash.AudioBitrate.SelectedText(), "64 Kbps");
    EXPECT_EQ(flash.SamplingRate.SelectedText(), "44100 Hz");
    const TFormatPreset& mpeg2 = Preset("MPEG-2 Movie (*.mpg)");
    EXPECT_EQ(mpeg2.VideoSize.SelectedText(), "320 x 240 (VGA)");
    EXPECT_EQ(mpeg2.VideoBitrate.SelectedText(), "2000 Kbps");
    EXPECT_EQ(mpeg2.VideoFramerate.SelectedText(), "25.0 fps");
    EXPECT_EQ(mpeg2.AudioBitrate.SelectedText(), "192 Kbps");
    EXPECT_EQ(Preset("MP3 - Mpeg Layer3 Audio (*.mp3)").VideoCodec.SelectedText(), "");
}

// Of the ten: the formats of today have lists of their own.
std::vector<TheAVCodec> FlashEraEntries() {
    return {FormatCatalogue().begin(), FormatCatalogue().begin() + kFlashEraEntryCount};
}

TEST(FormatPresetsTest, OnlyAviAndDivxLackTheHighVideoRates) {
    for (const TheAVCodec& entry : FlashEraEntries()) {
        const TFormatPreset& preset = PresetFor(entry);
        if (IsAudioOnly(entry)) continue;
        const bool short_rates = preset.Name == "AVI" || preset.Name == "DivX";
        EXPECT_EQ(preset.VideoBitrate.Items.size(), short_rates ? 11u : 13u) << entry.ListText;
        EXPECT_EQ(Offers(preset.VideoBitrate, "1600 Kbps"), !short_rates) << entry.ListText;
        EXPECT_EQ(Offers(preset.VideoBitrate, "2000 Kbps"), !short_rates) << entry.ListText;
        EXPECT_TRUE(Offers(preset.VideoBitrate, "2500 Kbps")) << entry.ListText;
    }
}

TEST(FormatPresetsTest, OnlyFlashOffersElevenKilohertz) {
    for (const TheAVCodec& entry : FlashEraEntries()) {
        const TPresetList& rates = PresetFor(entry).SamplingRate;
        const bool flash = PresetFor(entry).Name == "Flash";
        EXPECT_EQ(Offers(rates, "11025 Hz"), flash) << entry.ListText;
        for (const char* rate : {"8000 Hz", "54000 Hz", "96000 Hz"}) EXPECT_EQ(Offers(rates, rate), !flash) << rate;
    }
}

// The ten keep Stereo and Mono; the formats of today keep the source's channels first.
TEST(FormatPresetsTest, ChannelsStartWithStereoOrTheSourcesAndTheAspectWithOriginal) {
    for (std::size_t index = 0; index < FormatCatalogue().size(); ++index) {
        const TPresetList& channels = PresetFor(FormatCatalogue()[index]).AudioChannels;
        const std::vector<std::string> flash_era = {"Stereo", "Mono"};
        const std::vector<std::string> today = {"Same as source", "Stereo", "Mono"};
        EXPECT_EQ(channels.Items, index < kFlashEraEntryCount ? flash_era : today) << index;
        EXPECT_EQ(channels.Selected, 0);
    }
    EXPECT_EQ(AspectRatioItems(), (std::vector<std::string>{"Original", "4:3 (Standard", "16:9 (Wide Screen)"}));
}

}  // namespace
}  // namespace brenvale
