// Under a German desktop's locale, as the window program gets it from the toolkit (the C
// library's numbers with a decimal comma): the numbers the program hands the engine, the
// libraries and the log are written and read with a point, a window conversion and the CLI
// convert, and the list shows the frame rate with the user's comma.
#include <QComboBox>
#include <QCoreApplication>
#include <QLocale>

#include <clocale>
#include <cmath>

#include "app/catalogue/format_catalogue.h"
#include "app/catalogue/job_options.h"
#include "app/catalogue/source_row.h"
#include "app/catalogue/text_rules.h"
#include "binding/library_loader.h"
#include "binding/media_api.h"
#include "cli_process.h"
#include "engine/custom_ffmpeg.h"
#include "tests/support/media_reader.h"
#include "tests/support/test_media.h"
#include "tools/clip_catalogue.h"
#include "window_fixture.h"

namespace brenvale::testing {
namespace {

namespace clips = mediagen::clips;

// Without it every test here would pass for the wrong reason.
void ExpectCommaLocale() {
    ASSERT_STREQ(std::localeconv()->decimal_point, ",")
        << "the tests need the locale de_DE.UTF-8 (scripts/install-deps generates it)";
    ASSERT_EQ(QLocale().decimalPoint(), QLatin1Char(','));
}

TEST(CommaLocale, TheCatalogueWritesNumbersForTheEngineWithAPoint) {
    ExpectCommaLocale();
    EXPECT_EQ(ShortestDecimal(25.0, 2), "25");
    EXPECT_EQ(ShortestDecimal(1.25, 4), "1.25");
    EXPECT_EQ(SourceFrameRateText(true, 30000, 1001), "29.97");
    EXPECT_EQ(SourceFrameRateText(true, 24000, 1001), "23.98");
    struct Case {
        const char* video_size;
        const char* aspect;
    };
    for (const Case& c : {Case{"640x480", "1.3333"}, Case{"1920x1080", "1.7778"}, Case{"720x576", "1.25"}, Case{" ", "1.3333"}})
        EXPECT_EQ(AspectRatioText(TAspectChoice::Original, c.video_size), c.aspect) << c.video_size;
    TConversionSettings settings;
    settings.Entry = &FormatCatalogue().at(1);  // FLV
    settings.Controls.VideoFramerate = "29.97 fps";
    settings.Controls.VideoBitrate = "200 Kbps";
    settings.Controls.AudioBitrate = "64 Kbps";
    settings.Controls.SamplingRate = "44100 Hz";
    TOutputOptions options;
    FillJobOutputOptions(settings, {"1920x1080", "29.97", "00:00:02"}, options);
    EXPECT_EQ(options.FrameRate, "29.97");
    EXPECT_EQ(options.FrameAspectRatio, "1.7778");
}

TEST(CommaLocale, TheEngineAndTheLibrariesReadOptionsWithAPoint) {
    ExpectCommaLocale();
    ASSERT_TRUE(Loader().LoadLibrarySet(kConverterLibraries)) << Loader().LastError();
    TCustomFFmpeg engine;
    engine.prepare_job();
    engine.apply_option("r", "29.97");
    EXPECT_EQ(engine.frame_rate.num * 100, engine.frame_rate.den * 2997);
    engine.apply_option("aspect", "1.3333");
    EXPECT_FLOAT_EQ(engine.frame_aspect_ratio, 1.3333f);
    engine.apply_option("muxdelay", "0.25");
    EXPECT_FLOAT_EQ(engine.mux_max_delay, 0.25f);
    engine.apply_option("itsscale", "0:1.5");
    EXPECT_DOUBLE_EQ(engine.input_ts_scales[0][0], 1.5);
    // A codec option the library reads itself, then hands on to a codec as text, written and
    // read back alike.
    ASSERT_TRUE(engine.set_generic_option("qcomp", "0.7"));
    AVCodecContext* target = ff::avcodec_alloc_context3(nullptr);
    engine.apply_generic_options(target, engine.option_context.codec_opts[AVMEDIA_TYPE_VIDEO], 0);
    EXPECT_FLOAT_EQ(target->qcompress, 0.7f);
    ff::avcodec_free_context(&target);
    engine.release_job();
}

TEST_F(WindowTest, UnderACommaLocaleTheWindowConvertsAndShowsTheFrameRateWithAComma) {
    ExpectCommaLocale();
    StartWindow();
    ChooseFormat(1);  // FLV: "15.0 fps", and the aspect computed from the row
    UseOutputFolder();
    AddClips({clips::kNtscRate, clips::kMp4H264Aac});
    EXPECT_EQ(List().Value(0, TRowValue::FrameRate), "29,97");
    EXPECT_EQ(List().Value(1, TRowValue::FrameRate), "25");
    ASSERT_TRUE(ConvertAndWait());
    for (int row = 0; row < 2; ++row)
        EXPECT_EQ(List().Value(row, TRowValue::Progress), "Done") << List().RowHint(row).toStdString();
    for (const char* name : {"ntsc_rate.flv", "mp4_h264_aac.flv"}) {
        const MediaReport output = ReadMedia((output_folder_ / name).string());
        ASSERT_TRUE(output.Opened()) << name;
        const StreamReport video = output.StreamsOf(AVMEDIA_TYPE_VIDEO).at(0);
        EXPECT_NEAR(video.frames, 30, 1) << name;  // two seconds at 15 frames a second
    }
    // The libraries' own numbers in the log: "29.97 fps" for the source.
    QCoreApplication::processEvents();
    const QString log = Form().ConversionLog().Text();
    EXPECT_TRUE(log.contains("29.97 fps")) << log.toStdString();
    EXPECT_FALSE(log.contains("29,97")) << log.toStdString();
}

TEST(CommaLocale, TheCliConvertsAndTellsFiguresWithAPoint) {
    ExpectCommaLocale();
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "brenvale-locale-cli";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::string clip = TestClipPath(clips::kNtscRate);
    const CliResult info = RunCli({"--info", clip}, folder);
    ASSERT_EQ(info.exit_status, 0) << info.errors;
    EXPECT_NE(info.out.find("frame rate: 29.97\n"), std::string::npos) << info.out;
    const CliResult converted = RunCli({"--format", "mpeg2", "--frame-rate", "29.97", "--overwrite", clip}, folder);
    ASSERT_EQ(converted.exit_status, 0) << converted.errors;
    ASSERT_TRUE(Loader().LoadLibrarySet(kConverterLibraries)) << Loader().LastError();
    const MediaReport output = ReadMedia((folder / "ntsc_rate.mpg").string());
    ASSERT_TRUE(output.Opened());
    const StreamReport video = output.StreamsOf(AVMEDIA_TYPE_VIDEO).at(0);
    EXPECT_NEAR(video.frames, 60, 1);  // two seconds at 29.97
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace brenvale::testing
