// The formats of today after the ten: their place in the list, their presets and what a job's
// record gets from them and from the source.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/catalogue/codec_lists.h"
#include "app/catalogue/format_catalogue.h"
#include "app/catalogue/format_presets.h"
#include "app/catalogue/job_options.h"

namespace brenvale {
namespace {

const TheAVCodec& Entry(const char* list_text) {
    const TheAVCodec* entry = FindCatalogueEntry(list_text);
    if (!entry) throw std::logic_error(std::string("no entry ") + list_text);
    return *entry;
}

TConversionSettings SettingsFor(const char* list_text) {
    TConversionSettings settings;
    settings.Entry = &Entry(list_text);
    settings.Controls = PresetSelections(PresetForDefaultCodecs(PresetFor(*settings.Entry)));
    return settings;
}

TSourceRow Source(const char* size, double display_aspect = 0, int audio_tracks = 1, int sample_rate = 44100) {
    TSourceRow row{size, "25", "00:00:02"};
    row.DisplayAspect = display_aspect;
    row.Streams.AudioTracks = audio_tracks;
    row.Streams.AudioSampleRate = sample_rate;
    row.Streams.SubtitleTracks = row.Streams.TextSubtitleTracks = 0;
    return row;
}

TOutputOptions Filled(const TConversionSettings& settings, const TSourceRow& source) {
    TOutputOptions options;
    FillJobOutputOptions(settings, source, options);
    return options;
}

bool HasLine(const std::string& lines, const std::string& line) {
    return ("\n" + lines + "\n").find("\n" + line + "\n") != std::string::npos;
}

TEST(ModernFormatsTest, TheyFollowTheTenAfterASecondSeparatorWhoseStoredPositionsStay) {
    const std::vector<std::string> items = FormatListItems();
    ASSERT_EQ(items.size(), 20u);
    EXPECT_EQ(items[10], "WMV - Windows Media Video (*.wmv)");
    for (std::size_t i = 0; i < items.size(); ++i)
        EXPECT_EQ(IsFormatSeparator(items[i]), i == 2 || i == 11) << items[i];
    struct Expected {
        std::size_t position;
        const char* extension;
        const char* preset;
        bool audio_only;
    };
    const Expected table[] = {
        {12, ".mp4", "MP4 H.264", false}, {13, ".mp4", "MP4 H.265", false}, {14, ".webm", "WebM VP9", false},
        {15, ".webm", "WebM AV1", false}, {16, ".mkv", "MKV", false},       {17, ".m4a", "M4A", true},
        {18, ".opus", "Opus", true},      {19, ".flac", "FLAC", true},
    };
    for (const Expected& expected : table) {
        const TheAVCodec& entry = Entry(items[expected.position].c_str());
        EXPECT_EQ(OutputExtension(entry), expected.extension) << entry.ListText;
        EXPECT_EQ(PresetFor(entry).Name, expected.preset);
        EXPECT_EQ(IsAudioOnly(entry), expected.audio_only) << entry.ListText;
    }
}

// Quality steps first, one chosen per codec; the source's own size, rate and sound by default.
TEST(ModernFormatsTest, PresetsKeepTheSourceAndChooseAConstantQuality) {
    const std::pair<const char*, const char*> qualities[] = {
        {"MP4 - H.264 / AAC (*.mp4)", "RF 22"},
        {"MP4 - H.265 / AAC (*.mp4)", "RF 24"},
        {"WebM - VP9 / Opus (*.webm)", "RF 32"},
        {"WebM - AV1 / Opus (*.webm)", "RF 36"},
        {"MKV - H.264 / AAC, all tracks (*.mkv)", "RF 22"},
    };
    for (const auto& [list_text, quality] : qualities) {
        SCOPED_TRACE(list_text);
        const TFormatPreset preset = PresetForDefaultCodecs(PresetFor(Entry(list_text)));
        EXPECT_EQ(preset.VideoBitrate.SelectedText(), quality);
        EXPECT_TRUE(preset.VideoBitrate.Items.front().starts_with("RF "));
        EXPECT_TRUE(preset.VideoBitrate.Items.back().ends_with(" Kbps"));
        EXPECT_EQ(preset.VideoSize.Items, (std::vector<std::string>{"Original", "2160p", "1080p", "720p", "480p"}));
        EXPECT_EQ(preset.VideoSize.SelectedText(), "Original");
        EXPECT_EQ(preset.VideoFramerate.SelectedText(), "Same as source");
    }
    const TFormatPreset opus = PresetForDefaultCodecs(PresetFor(Entry("OPUS - Opus Audio (*.opus)")));
    EXPECT_EQ(opus.SamplingRate.Items, std::vector<std::string>{"48000 Hz"});
    EXPECT_EQ(opus.AudioBitrate.SelectedText(), "128 Kbps");
    EXPECT_TRUE(opus.VideoCodec.Items.empty());
    const TFormatPreset m4a = PresetForDefaultCodecs(PresetFor(Entry("M4A - AAC Audio (*.m4a)")));
    EXPECT_EQ(m4a.SamplingRate.SelectedText(), "Same as source");
    EXPECT_EQ(m4a.AudioBitrate.SelectedText(), "160 Kbps");
    const TFormatPreset flac = PresetForDefaultCodecs(PresetFor(Entry("FLAC - Lossless Audio (*.flac)")));
    EXPECT_TRUE(flac.AudioBitrate.Items.empty()) << "lossless has no bit rate";
}

TEST(ModernFormatsTest, ARateFactorAsksForConstantQualityAndABitRateForABitRate) {
    TConversionSettings settings = SettingsFor("MP4 - H.264 / AAC (*.mp4)");
    TOutputOptions options = Filled(settings, Source("1920x1080"));
    EXPECT_EQ(options.VideoQuality, 22);
    EXPECT_EQ(options.VideoBitrate, -1);
    EXPECT_EQ(options.VideoCodec, "libx264");
    EXPECT_EQ(options.AudioCodec, "aac");
    EXPECT_EQ(options.AudioBitrate, 160000);
    EXPECT_EQ(options.FrameRate, "") << "the source's own rate";
    EXPECT_EQ(options.AudioChannels, -1) << "the source's own channels";
    EXPECT_TRUE(HasLine(options.ExtOptions, "movflags=+faststart"));
    settings.Controls.VideoBitrate = "4000 Kbps";
    options = Filled(settings, Source("1920x1080"));
    EXPECT_EQ(options.VideoQuality, -1);
    EXPECT_EQ(options.VideoBitrate, 4000000);
}

TEST(ModernFormatsTest, EachEncoderGetsItsSpeedAndTagAndEachContainerItsIndex) {
    struct Expected {
        const char* list_text;
        const char* encoder;
        const char* line;
        const char* tag;
        bool index_first;
    };
    const Expected table[] = {
        {"MP4 - H.265 / AAC (*.mp4)", "libx265", "preset=superfast", "hvc1", true},
        {"WebM - VP9 / Opus (*.webm)", "libvpx-vp9", "row-mt=1", "", false},
        {"WebM - AV1 / Opus (*.webm)", "libsvtav1", "preset=10", "", false},
        {"M4A - AAC Audio (*.m4a)", "", "movflags=+faststart", "", true},
    };
    for (const Expected& expected : table) {
        SCOPED_TRACE(expected.list_text);
        const TOutputOptions options = Filled(SettingsFor(expected.list_text), Source("1280x720"));
        EXPECT_EQ(options.VideoCodec, expected.encoder);
        EXPECT_TRUE(HasLine(options.ExtOptions, expected.line)) << options.ExtOptions;
        EXPECT_EQ(options.VideoTag, expected.tag);
        EXPECT_EQ(HasLine(options.ExtOptions, "movflags=+faststart"), expected.index_first);
    }
}

// Heights keep the source's displayed shape with square pictures, and never enlarge it.
TEST(ModernFormatsTest, HeightsFollowTheSourcesShapeAndNeverEnlargeIt) {
    struct Case {
        const char* size_choice;
        const char* source;
        double display_aspect;
        const char* frame_size;
        const char* aspect;
    };
    const Case cases[] = {
        {"720p", "1920x1080", 0, "1280x720", "1.7778"},
        {"480p", "720x576", 16.0 / 9, "854x480", "1.7778"},  // a widescreen DVD's stretched pictures
        {"1080p", "1280x720", 0, "", "1.7778"},
        {"Original", "720x576", 16.0 / 9, "", "1.7778"},
        {"Original", "175x97", 0, "174x96", "1.8041"},
        {"480p", "1440x1080", 4.0 / 3, "640x480", "1.3333"},
    };
    TConversionSettings settings = SettingsFor("WebM - VP9 / Opus (*.webm)");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.size_choice) + " of " + c.source);
        settings.Controls.VideoSize = c.size_choice;
        const TOutputOptions options = Filled(settings, Source(c.source, c.display_aspect));
        EXPECT_EQ(options.FrameSize, c.frame_size);
        EXPECT_EQ(options.FrameAspectRatio, c.aspect);
        EXPECT_EQ(options.PixelFormat, "yuv420p");
    }
}

// "Same as source" takes the source's sampling rate when the encoder does, else the nearest it
// takes; Opus is always 48 kHz.
TEST(ModernFormatsTest, TheSoundKeepsTheSourcesRateWhereTheCodecTakesIt) {
    struct Case {
        const char* list_text;
        int source_rate;
        int expected;
    };
    const Case cases[] = {
        {"M4A - AAC Audio (*.m4a)", 22050, 22050},        {"M4A - AAC Audio (*.m4a)", 54000, 48000},
        {"FLAC - Lossless Audio (*.flac)", 54000, 54000}, {"OPUS - Opus Audio (*.opus)", 44100, 48000},
        {"M4A - AAC Audio (*.m4a)", -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.list_text) + " " + std::to_string(c.source_rate));
        const TOutputOptions options = Filled(SettingsFor(c.list_text), Source(" ", 0, 1, c.source_rate));
        EXPECT_EQ(options.AudioSampleRate, c.expected);
        EXPECT_TRUE(options.VideoDisable);
        EXPECT_TRUE(options.SubtitleDisable) << "sound files hold no subtitles";
    }
}

// Matroska carries every audio track; text subtitles are kept in each container's own text
// form, and subtitles made of pictures, which no text form holds, are left out.
TEST(ModernFormatsTest, TracksAreCarriedAsTheContainerHoldsThem) {
    TSourceRow source = Source("1280x720", 0, 3);
    source.Streams.SubtitleTracks = source.Streams.TextSubtitleTracks = 2;
    const TOutputOptions mkv = Filled(SettingsFor("MKV - H.264 / AAC, all tracks (*.mkv)"), source);
    EXPECT_EQ(mkv.ExtOptions, "acodec=aac\nnewaudio\nacodec=aac\nnewaudio\nscodec=srt\nscodec=srt\nnewsubtitle");
    EXPECT_FALSE(mkv.SubtitleDisable);
    const TOutputOptions mp4 = Filled(SettingsFor("MP4 - H.264 / AAC (*.mp4)"), source);
    EXPECT_FALSE(HasLine(mp4.ExtOptions, "newaudio")) << "one audio track";
    EXPECT_TRUE(HasLine(mp4.ExtOptions, "scodec=mov_text"));
    EXPECT_TRUE(HasLine(Filled(SettingsFor("WebM - VP9 / Opus (*.webm)"), source).ExtOptions, "scodec=webvtt"));

    source.Streams.TextSubtitleTracks = 1;
    const TOutputOptions pictures = Filled(SettingsFor("MKV - H.264 / AAC, all tracks (*.mkv)"), source);
    EXPECT_TRUE(pictures.SubtitleDisable);
    EXPECT_FALSE(HasLine(pictures.ExtOptions, "scodec=srt"));

    // "Same as source" gives each track its own channels, as many as the encoder takes at most.
    source.Streams.AudioChannels = {6, 1, 12};
    const TOutputOptions channels = Filled(SettingsFor("MKV - H.264 / AAC, all tracks (*.mkv)"), source);
    EXPECT_EQ(channels.AudioChannels, 6);
    EXPECT_EQ(channels.ExtOptions, "acodec=aac\nac=1\nnewaudio\nacodec=aac\nac=8\nnewaudio");
    TConversionSettings stereo = SettingsFor("MKV - H.264 / AAC, all tracks (*.mkv)");
    stereo.Controls.AudioChannels = "Stereo";
    EXPECT_EQ(Filled(stereo, source).AudioChannels, 2);
    EXPECT_FALSE(HasLine(Filled(stereo, source).ExtOptions, "ac=1"));
}

}  // namespace
}  // namespace brenvale
