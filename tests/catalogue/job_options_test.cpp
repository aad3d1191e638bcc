#include "app/catalogue/job_options.h"

#include <gtest/gtest.h>

#include "app/catalogue/format_catalogue.h"
#include "app/catalogue/format_presets.h"
#include "app/catalogue/progress_figures.h"
#include "app/catalogue/source_row.h"
#include "app/catalogue/volume_table.h"

namespace brenvale {
namespace {

TEST(JobOptionsTest, TheOriginalAspectComesFromTheSourceSize) {
    const std::pair<const char*, const char*> cases[] = {
        {"640x480", "1.3333"}, {"1920x1080", "1.7778"}, {"720x576", "1.25"}, {"480x480", "1"},
        {" 175x97 ", "1.8041"}, {" ", "1.3333"},        {"", "1.3333"},      {"640", "1.3333"},
        {"axb", "1.3333"},      {"640x0", "1.3333"},
    };
    for (const auto& [size, aspect] : cases) EXPECT_EQ(AspectRatioText(TAspectChoice::Original, size), aspect) << size;
    EXPECT_EQ(AspectRatioText(TAspectChoice::Standard, "1920x1080"), "4:3");
    EXPECT_EQ(AspectRatioText(TAspectChoice::WideScreen, "640x480"), "16:9");
}

TEST(JobOptionsTest, SourcesOfUnknownLengthGetTenHours) {
    EXPECT_EQ(RecordingTimeFor("Unknown"), 36000000);
    EXPECT_EQ(RecordingTimeFor("00:00:00"), 36000000);
    EXPECT_EQ(RecordingTimeFor("00:00:02"), -1);
    EXPECT_EQ(RecordingTimeFor(""), -1);
}

TEST(JobOptionsTest, AJobsRecordIsResetThenFilled) {
    const TheAVCodec& mp4 = *FindCatalogueEntry("MP4 - MPEG4 Video (*.mp4)");
    TConversionSettings settings;
    settings.Entry = &mp4;
    settings.Controls = PresetSelections(PresetFor(mp4));
    settings.VolumeValue = VolumeStep(10).VolumeValue;
    TOutputOptions options;
    options.VideoFilters = "left over from the last job";
    options.RecordingTimeMs = 1234;

    FillJobOutputOptions(settings, {"1920x1080", "25", "Unknown"}, options);
    EXPECT_EQ(options.VideoFilters, "");
    EXPECT_EQ(options.VideoCodec, "mpeg4");
    EXPECT_EQ(options.AudioCodec, "aac");
    EXPECT_EQ(options.FrameRate, "25");
    EXPECT_EQ(options.AudioVolume, 600);
    EXPECT_EQ(options.FrameAspectRatio, "1.7778");
    EXPECT_EQ(options.RecordingTimeMs, 36000000);

    FillJobOutputOptions(settings, {"720x576", "25", "00:01:00"}, options);
    EXPECT_EQ(options.RecordingTimeMs, -1) << "no limit leaks into the next job";
    EXPECT_EQ(options.FrameAspectRatio, "1.25");

    settings.Entry = nullptr;
    EXPECT_THROW(FillJobOutputOptions(settings, {}, options), std::invalid_argument);
}

// Whatever the source, the picture is the codec's playable format and of a size it takes; the
// sound keeps its place. A size chosen in the list stays as chosen.
TEST(JobOptionsTest, EveryJobAsksForAPlayablePictureAndSoundInPlace) {
    const TheAVCodec& mp4 = *FindCatalogueEntry("MP4 - MPEG4 Video (*.mp4)");
    TConversionSettings settings;
    settings.Entry = &mp4;
    settings.Controls = PresetSelections(PresetFor(mp4));
    const std::pair<const char*, const char*> sizes[] = {
        {"1920x1080", ""}, {"175x97", "174x96"}, {"641x480", "640x480"}, {" ", ""}, {"1x1", ""}};
    for (const auto& [source, size] : sizes) {
        TOutputOptions options;
        FillJobOutputOptions(settings, {source, "25", "00:00:02"}, options);
        EXPECT_EQ(options.FrameSize, size) << source;
        EXPECT_EQ(options.PixelFormat, "yuv420p");
        EXPECT_EQ(options.AudioSync, 1);
        EXPECT_FLOAT_EQ(options.AudioDriftThreshold, 0.04f);
    }
    TOutputOptions chosen;
    settings.Controls.VideoSize = "320 x 240 (VGA)";
    FillJobOutputOptions(settings, {"175x97", "25", "00:00:02"}, chosen);
    EXPECT_EQ(chosen.FrameSize, "320x240");

    const TheAVCodec& mp3 = *FindCatalogueEntry("MP3 - Mpeg Layer3 Audio (*.mp3)");
    settings = {&mp3, PresetSelections(PresetFor(mp3))};
    TOutputOptions sound;
    FillJobOutputOptions(settings, {"175x97", "25", "00:00:02"}, sound);
    EXPECT_EQ(sound.PixelFormat, "");
    EXPECT_EQ(sound.AudioSync, 1);
}

TEST(SourceRowTest, TheListsTextsOfAFile) {
    EXPECT_EQ(VideoSizeText(true, 720, 576), "720x576");
    EXPECT_EQ(VideoSizeText(false, 720, 576), " ");
    const std::tuple<int, int, const char*> rates[] = {
        {30000, 1001, "29.97"}, {24000, 1001, "23.98"}, {25, 1, "25"}, {25, 0, " "}};
    for (const auto& [num, den, text] : rates) EXPECT_EQ(SourceFrameRateText(true, num, den), text) << num;
    EXPECT_EQ(SourceFrameRateText(false, 25, 1), " ");
    EXPECT_EQ(DurationText(205'900'000), "00:03:25");
    EXPECT_EQ(DurationText(360'000'000'000), "100:00:00");
    EXPECT_EQ(DurationText(-1), "00:00:00") << "an unknown duration";
    EXPECT_EQ(DurationText(-1'000'000), "Unknown");
}

TEST(ProgressFiguresTest, PercentIsTruncatedAndLimited) {
    EXPECT_EQ(ProgressPercent(999, 1000), 99);
    EXPECT_EQ(ProgressPercent(1500, 1000), 100);
    EXPECT_EQ(ProgressPercent(5, 0), -1);
    EXPECT_EQ(ProgressPercent(30'000'000, 36'000'000), 83) << "no overflow on long recordings";
}

}  // namespace
}  // namespace brenvale
