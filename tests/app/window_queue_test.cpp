// Runs of the queue with real conversions of the generated clips.
#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>

#include <algorithm>
#include <fstream>

#include "app/window/general_options.h"
#include "app/window/play_panel.h"
#include "tests/support/media_reader.h"
#include "tests/support/test_media.h"
#include "tools/clip_catalogue.h"
#include "window_fixture.h"

namespace brenvale::testing {
namespace {

namespace clips = mediagen::clips;
const QString kCompleted = QStringLiteral("All Conversions Completed");
constexpr int kFlv = 1;
constexpr int kAvi = 3;
constexpr int kMp4 = 6;
constexpr int kMkv = 16;

class QueueTest : public WindowTest {
protected:
    void Choose(const char* combo_name, const QString& text) {
        auto* combo = Find<QComboBox>(combo_name);
        combo->setCurrentText(text);
        emit combo->activated(combo->currentIndex());
    }
    void StartWith(const std::vector<std::string>& sources, int format = kFlv) {
        StartWindow();
        ChooseFormat(format);
        UseOutputFolder();
        AddClips(sources);
    }
    std::filesystem::path Output(const std::string& name) const { return output_folder_ / name; }
    bool OutputExists(const std::string& name) const { return std::filesystem::exists(Output(name)); }
};

// The row keeps what the list does not show: both audio tracks of the source reach Matroska,
// and a sound file takes the sound alone.
TEST_F(QueueTest, TheFormatsOfTodayGetTheSourcesTracksFromTheRow) {
    constexpr int kOpus = 18;
    StartWith({clips::kMkvTwoAudioSubtitles}, kMkv);
    EXPECT_EQ(Find<QComboBox>("ComboOutputFormat")->currentText(), "MKV - H.264 / AAC, all tracks (*.mkv)");
    ASSERT_TRUE(ConvertAndWait());
    const MediaReport mkv = ReadMedia(Output("mkv_two_audio_subtitles.mkv").string());
    EXPECT_EQ(mkv.StreamsOf(AVMEDIA_TYPE_AUDIO).size(), 2u);
    EXPECT_EQ(mkv.StreamsOf(AVMEDIA_TYPE_SUBTITLE).size(), 1u);
    EXPECT_EQ(mkv.StreamsOf(AVMEDIA_TYPE_VIDEO).at(0).frames, 50);

    ChooseFormat(kOpus);
    EXPECT_FALSE(Find<QComboBox>("ComboVideoCodec")->isEnabled());
    EXPECT_EQ(Find<QComboBox>("ComboSamplingRate")->currentText(), "48000 Hz");
    ChooseFormat(kMkv - 5);  // the second separator keeps the format
    EXPECT_EQ(Find<QComboBox>("ComboOutputFormat")->currentIndex(), kOpus);
    ASSERT_TRUE(ConvertAndWait());
    const auto sound = ReadMedia(Output("mkv_two_audio_subtitles.opus").string()).streams;
    ASSERT_EQ(sound.size(), 1u);
    EXPECT_EQ(sound[0].codec, "opus");
}

TEST_F(QueueTest, ConvertsCheckedRowsAndSkipsTheUncheckedMiddleOne) {
    StartWith({clips::kMp4H264Aac, clips::kWavPcm, clips::kAviMpeg4Mp3});
    List().SetChecked(1, false);
    Form().ButtonConvertClick();
    EXPECT_TRUE(Form().RunActive());
    for (const char* locked : {"ButtonAddFile", "ButtonClear", "ButtonRemove", "ButtonConvert", "ComboOutputFormat",
                               "ComboVideoCodec", "ComboAudioCodec", "TrackBar1"})
        EXPECT_FALSE(Find<QWidget>(locked)->isEnabled()) << locked;
    EXPECT_TRUE(Find<QWidget>("ButtonStopConvert")->isEnabled());
    // What would change the run is off; what changes nothing of it stays at hand.
    for (const char* off : {"AddFiles1", "Convert1", "SetGeneralOptions1"}) EXPECT_FALSE(Find<QAction>(off)->isEnabled()) << off;
    for (const char* on : {"ConversionLog1", "OpenOutputFolder1", "Exit1", "About1"}) EXPECT_TRUE(Find<QAction>(on)->isEnabled()) << on;
    ASSERT_TRUE(WaitFor([this] { return !Form().RunActive(); }));

    EXPECT_EQ(List().Value(0, TRowValue::Progress), "Done");
    EXPECT_EQ(List().Value(1, TRowValue::Progress), "");
    EXPECT_EQ(List().Value(2, TRowValue::Progress), "Done");
    EXPECT_FALSE(List().Value(0, TRowValue::Frames).isEmpty());
    EXPECT_TRUE(OutputExists("mp4_h264_aac.flv"));
    EXPECT_FALSE(OutputExists("wav_pcm.flv"));
    // Two seconds at the Flash preset's 15 frames a second.
    EXPECT_NEAR(ReadMedia(Output("avi_mpeg4_mp3.flv").string()).StreamsOf(AVMEDIA_TYPE_VIDEO).at(0).frames, 30, 1);
    EXPECT_EQ(CountCompletions(), 1);
    EXPECT_TRUE(Find<QLabel>("StatusPanel1")->text().startsWith("File Size : "));
    EXPECT_TRUE(Find<QLabel>("StatusPanel1")->text().endsWith(" KBytes"));
    EXPECT_EQ(Find<QLabel>("StatusPanel2")->text(), "2/2 files");
    EXPECT_EQ(Find<QLabel>("StatusPanel0")->text(), "Ready");
    EXPECT_EQ(Find<QProgressBar>("ProgressBar1")->value(), 0);
    EXPECT_FALSE(Find<TPlayPanel>("sPanelPlay")->ShowingPreview());
    EXPECT_TRUE(Find<QWidget>("ButtonConvert")->isEnabled());
    EXPECT_TRUE(Find<QAction>("AddFiles1")->isEnabled());
}

TEST_F(QueueTest, UncheckedRowsAreNeverConverted) {
    StartWith({clips::kWavPcm, clips::kMp3Audio});
    Form().UncheckAllItems1Click();
    ASSERT_TRUE(ConvertAndWait());
    EXPECT_EQ(CountCompletions(), 1);
    EXPECT_TRUE(std::filesystem::is_empty(output_folder_));

    List().SetChecked(0, true);  // the unchecked row is now the last one
    ASSERT_TRUE(ConvertAndWait());
    EXPECT_EQ(List().Value(0, TRowValue::Progress), "Done");
    EXPECT_EQ(List().Value(1, TRowValue::Progress), "");
    EXPECT_EQ(CountCompletions(), 2);
}

TEST_F(QueueTest, ARowShowingErrorIsAttemptedAndFails) {
    StartWith({clips::kRandomBytes, clips::kWavPcm});
    ASSERT_EQ(List().Value(0, TRowValue::Progress), "Error");
    ASSERT_TRUE(ConvertAndWait());
    EXPECT_EQ(List().Value(0, TRowValue::Progress), "Fail");
    EXPECT_FALSE(List().RowHint(0).isEmpty());
    EXPECT_EQ(List().Value(1, TRowValue::Progress), "Done");
    EXPECT_EQ(CountCompletions(), 1);

    // A failing last row ends the run at once.
    List().SetChecked(1, false);
    ASSERT_TRUE(ConvertAndWait());
    EXPECT_EQ(List().Value(0, TRowValue::Progress), "Fail");
    EXPECT_EQ(CountCompletions(), 2);
}

TEST_F(QueueTest, OutputNamesAvoidExistingFilesUnlessOverwriting) {
    StartWith({clips::kWavPcm});
    std::ofstream(Output("wav_pcm.flv")) << "taken";
    std::ofstream(Output("wav_pcm-1.flv")) << "taken";
    ASSERT_TRUE(ConvertAndWait());
    EXPECT_GT(std::filesystem::file_size(Output("wav_pcm-2.flv")), 100u);
    EXPECT_EQ(std::filesystem::file_size(Output("wav_pcm.flv")), 5u);

    Form().GeneralOptions().SetOverwrite(true);
    ASSERT_TRUE(ConvertAndWait());
    EXPECT_GT(std::filesystem::file_size(Output("wav_pcm.flv")), 100u);
    EXPECT_FALSE(OutputExists("wav_pcm-3.flv"));
}

AVRational FirstPictureAspect(const std::string& path) {
    AVRational aspect{0, 1};
    ReadMedia(path, [&](int, const AVFrame& frame) {
        if (frame.width > 0 && aspect.num == 0) aspect = frame.sample_aspect_ratio;
    });
    return aspect;
}

TEST_F(QueueTest, TheAspectComesFromTheRowsVideoSize) {
    StartWith({clips::kMp4H264Aac, clips::kMp4H264Aac}, kAvi);
    List().SetValue(0, TRowValue::VideoSize, "720x576");  // 1.25 on a 320x240 picture
    ASSERT_TRUE(ConvertAndWait());
    ASSERT_EQ(List().Value(1, TRowValue::Progress), "Done");
    const AVRational changed = FirstPictureAspect(Output("mp4_h264_aac.avi").string());
    const AVRational kept = FirstPictureAspect(Output("mp4_h264_aac-1.avi").string());
    EXPECT_EQ(changed.num * 16, changed.den * 15) << changed.num << "/" << changed.den;
    EXPECT_EQ(kept.num, kept.den) << kept.num << "/" << kept.den;
}

TEST_F(QueueTest, ASourceOfUnknownLengthConvertsWhole) {
    StartWith({clips::kUnknownDuration});
    ASSERT_TRUE(ConvertAndWait());
    EXPECT_EQ(List().Value(0, TRowValue::Progress), "Done");
    EXPECT_NEAR(ReadMedia(Output("unknown_duration.flv").string()).StreamsOf(AVMEDIA_TYPE_VIDEO).at(0).frames, 30, 1);
}

TEST_F(QueueTest, StopAnsweredYesAbortsWithoutCompletionMessage) {
    StartWith({clips::kMp4H264Aac, clips::kWavPcm});
    dialogs_.Answers = {true};
    Form().ButtonConvertClick();
    Form().ButtonStopConvertClick();
    ASSERT_EQ(dialogs_.Confirmations, std::vector<QString>{"Stop all conversions?"});
    EXPECT_FALSE(Form().RunActive());
    EXPECT_TRUE(Find<QWidget>("ButtonConvert")->isEnabled());
    ASSERT_TRUE(WaitFor([this] { return List().Value(0, TRowValue::Progress) == "Abort"; }));
    WaitFor([] { return false; }, std::chrono::seconds(1));
    EXPECT_EQ(CountCompletions(), 0);
    EXPECT_EQ(List().Value(1, TRowValue::Progress), "");
}

TEST_F(QueueTest, StopAnsweredNoLetsTheRunFinish) {
    StartWith({clips::kMp4H264Aac});
    dialogs_.Answers = {false};
    Form().ButtonConvertClick();
    Form().ButtonStopConvertClick();
    EXPECT_TRUE(Form().RunActive());
    ASSERT_TRUE(WaitFor([this] { return !Form().RunActive(); }));
    EXPECT_EQ(List().Value(0, TRowValue::Progress), "Done");
    EXPECT_EQ(CountCompletions(), 1);
}

TEST_F(QueueTest, StopBetweenTwoJobsEndsTheRunWithoutAQuestion) {
    StartWith({clips::kWavPcm, clips::kMp3Audio});
    Form().ButtonConvertClick();
    // The next job starts two timer ticks (200 ms) after this one was seen to end.
    ASSERT_TRUE(WaitFor([this] { return List().Value(0, TRowValue::Progress) == "Done" && !Form().Converting(); }));
    Form().ButtonStopConvertClick();
    EXPECT_TRUE(dialogs_.Confirmations.empty());
    EXPECT_FALSE(Form().RunActive());
    WaitFor([] { return false; }, std::chrono::seconds(1));
    EXPECT_EQ(List().Value(1, TRowValue::Progress), "");
    EXPECT_FALSE(OutputExists("mp3_audio.flv"));
    EXPECT_EQ(CountCompletions(), 0);
}

// Two at a time: each row its own progress and outcome, rows started in list order, one file
// name never given to two jobs (even when overwriting), one completion message.
TEST_F(QueueTest, SimultaneousConversionsRunSideBySideInListOrder) {
    if (TGeneralOptions::MaxSimultaneousConversions() < 2) GTEST_SKIP() << "one core";
    StartWith({clips::kMp4H264Aac, clips::kMp4H264Aac, clips::kRandomBytes, clips::kAviMpeg4Mp3});
    Form().GeneralOptions().SetOverwrite(true);
    Form().GeneralOptions().SetSimultaneousConversions(2);
    Form().ButtonConvertClick();
    EXPECT_EQ(Form().RunningJobs(), 2);
    EXPECT_EQ(List().Value(3, TRowValue::Progress), "");
    int most_running = 0;
    ASSERT_TRUE(WaitFor([&] {
        most_running = std::max(most_running, Form().RunningJobs());
        return !Form().RunActive() && !Form().Converting();
    }));
    EXPECT_LE(most_running, 2);
    const QString expected[] = {"Done", "Done", "Fail", "Done"};
    for (int row = 0; row < 4; ++row) EXPECT_EQ(List().Value(row, TRowValue::Progress), expected[row]) << row;
    for (const char* name : {"mp4_h264_aac.flv", "mp4_h264_aac-1.flv", "avi_mpeg4_mp3.flv"}) {
        const auto video = ReadMedia(Output(name).string()).StreamsOf(AVMEDIA_TYPE_VIDEO);
        ASSERT_EQ(video.size(), 1u) << name;
        EXPECT_NEAR(video[0].frames, 30, 1) << name;
        EXPECT_EQ(video[0].decode_errors, 0) << name;
    }
    EXPECT_EQ(CountCompletions(), 1);
    EXPECT_EQ(Find<QLabel>("StatusPanel2")->text(), "4/4 files");
    EXPECT_EQ(Find<QProgressBar>("ProgressBar1")->value(), 0);
    EXPECT_FALSE(Find<TPlayPanel>("sPanelPlay")->ShowingPreview());
    EXPECT_EQ(Form().RunningJobs(), 0);

    // Stopped with two running: both abort, no completion message.
    dialogs_.Answers = {true};
    Form().ButtonConvertClick();
    EXPECT_EQ(Form().RunningJobs(), 2);
    Form().ButtonStopConvertClick();
    ASSERT_TRUE(WaitFor([this] {
        return List().Value(0, TRowValue::Progress) == "Abort" && List().Value(1, TRowValue::Progress) == "Abort";
    }));
    WaitFor([] { return false; }, std::chrono::seconds(1));
    EXPECT_EQ(CountCompletions(), 1);
    EXPECT_EQ(List().Value(3, TRowValue::Progress), "");
}

// While a row converts it tells its speed and time left, the status bar and the progress bar
// the run's; at the end the message counts the outcomes, a failed row says why, and the failed
// rows alone can be converted again.
TEST_F(QueueTest, ARunTellsWhereItStandsAndItsFailuresConvertAgain) {
    StartWith({clips::kLateSound, clips::kRandomBytes}, kMp4);
    Choose("ComboVideoCodec", "H264");
    Choose("ComboVideoSize", "720 x 576");  // slow enough to be watched
    Form().RIVUV().SetProgressInterval(100);
    Form().ButtonConvertClick();
    EXPECT_EQ(Find<QLabel>("StatusPanel0")->text(), "Converting 1 of 2");
    ASSERT_TRUE(WaitFor([this] { return Find<QProgressBar>("ProgressBar1")->format().endsWith(" left"); }));
    EXPECT_TRUE(List().Value(0, TRowValue::Details).contains(" fps, ")) << List().Value(0, TRowValue::Details).toStdString();
    EXPECT_TRUE(List().Value(0, TRowValue::Details).endsWith(" left"));
    EXPECT_TRUE(Find<QLabel>("StatusPanel2")->text().startsWith("0/2 files, ")) << Find<QLabel>("StatusPanel2")->text().toStdString();
    ASSERT_TRUE(WaitFor([this] { return !Form().RunActive() && !Form().Converting(); }));
    EXPECT_EQ(dialogs_.Informations.back(), "All Conversions Completed\n1 done, 1 failed, 0 stopped");
    EXPECT_TRUE(List().Value(0, TRowValue::Details).startsWith("took 00:")) << List().Value(0, TRowValue::Details).toStdString();
    EXPECT_EQ(List().Value(1, TRowValue::Details), "its streams could not be read (could not find codec parameters)");

    Form().ConvertFailedRowsAgain1Click();
    EXPECT_FALSE(List().Checked(0));
    EXPECT_TRUE(List().Checked(1));
    ASSERT_TRUE(WaitFor([this] { return !Form().RunActive() && !Form().Converting(); }));
    EXPECT_EQ(dialogs_.Informations.back(), "All Conversions Completed\n0 done, 1 failed, 0 stopped");
    EXPECT_EQ(List().Value(0, TRowValue::Progress), "");
}

// Copy keeps the source's streams: the lists that cannot apply say "Same as source", the volume
// stays at 100 %, no preview is asked of pictures never decoded; a container that cannot hold
// the codec fails the row at once, saying so.
TEST_F(QueueTest, CopyRemuxesWhatTheContainerHoldsAndRefusesTheRest) {
    constexpr int kWebmVp9 = 14;
    StartWith({clips::kMkvBFrames}, kMkv);
    Choose("ComboVideoCodec", "Copy");
    Choose("ComboAudioCodec", "Copy");
    for (const char* same : {"ComboVideoSize", "ComboVideoBitrate", "ComboVideoFramerate", "ComboAudioBitrate",
                             "ComboSamplingRate", "ComboAudioChannels"}) {
        EXPECT_EQ(Find<QComboBox>(same)->count(), 1) << same;
        EXPECT_EQ(Find<QComboBox>(same)->currentText(), "Same as source") << same;
    }
    EXPECT_FALSE(Find<QWidget>("TrackBar1")->isEnabled());
    ASSERT_TRUE(ConvertAndWait());
    ASSERT_EQ(List().Value(0, TRowValue::Progress), "Done") << List().Value(0, TRowValue::Details).toStdString();
    const MediaReport copied = ReadMedia(Output("mkv_b_frames.mkv").string());
    ASSERT_EQ(copied.StreamsOf(AVMEDIA_TYPE_VIDEO).size(), 1u);
    EXPECT_EQ(copied.StreamsOf(AVMEDIA_TYPE_VIDEO)[0].frames, 75);
    EXPECT_EQ(copied.StreamsOf(AVMEDIA_TYPE_AUDIO).at(0).codec, "aac");

    Choose("ComboVideoCodec", "H264");  // back: the lists and the volume return
    EXPECT_EQ(Find<QComboBox>("ComboVideoBitrate")->currentText(), "RF 22");
    EXPECT_FALSE(Find<QWidget>("TrackBar1")->isEnabled()) << "the sound is still copied";
    ChooseFormat(kWebmVp9);
    Choose("ComboVideoCodec", "Copy");
    ASSERT_TRUE(ConvertAndWait());
    EXPECT_EQ(List().Value(0, TRowValue::Progress), "Fail");
    EXPECT_EQ(List().Value(0, TRowValue::Details),
              "Cannot copy the source's h264 video: webm files do not hold h264; choose a codec to convert it");
    EXPECT_FALSE(OutputExists("mkv_b_frames.webm"));
}

TEST_F(QueueTest, ConvertChecksTheListAndTheFolderFirst) {
    StartWindow();
    Form().ButtonConvertClick();
    EXPECT_EQ(dialogs_.Informations, std::vector<QString>{"Please Add Files To Convert!"});
    AddClips({clips::kWavPcm});
    Find<QLineEdit>("EditOutputFolder")->clear();
    Form().ButtonConvertClick();
    EXPECT_EQ(dialogs_.Informations.back(), "Please select an output folder!");
    Find<QLineEdit>("EditOutputFolder")->setText("/no/such/folder");
    Form().ButtonConvertClick();
    EXPECT_EQ(dialogs_.Informations.back(),
              "The output folder \"/no/such/folder\"\ndoes not exist or has been deleted!\n"
              "Please choose a new output folder.");
    EXPECT_EQ(dialogs_.BrowseHeadlines.size(), 2u);
    EXPECT_FALSE(Form().RunActive());
    EXPECT_TRUE(Find<QWidget>("ButtonConvert")->isEnabled());
}

TEST_F(QueueTest, ClosingAndClearingAreRefusedDuringARun) {
    StartWith({clips::kWavPcm});
    Form().ButtonConvertClick();
    EXPECT_FALSE(Form().close());
    Form().ClearAllItems1Click();
    EXPECT_EQ(List().rowCount(), 1);
    ASSERT_TRUE(WaitFor([this] { return !Form().RunActive(); }));
    EXPECT_TRUE(Form().close());
}

}  // namespace
}  // namespace brenvale::testing
