// The audio and video sync decisions on their own.
#include <gtest/gtest.h>

#include "engine/audio_sync.h"
#include "engine/video_sync.h"

namespace brenvale {
namespace {

TAudioSyncInput AudioAt(double input_time, int rate, int channels, std::int64_t sync_pts, int size, bool at_start) {
    TAudioSyncInput input;
    input.method = 1;
    input.input_time = input_time;
    input.encoder_rate = rate;
    input.decoder_rate = rate;
    input.decoder_channels = channels;
    input.sync_pts = sync_pts;
    input.size = size;
    input.at_start = at_start;
    return input;
}

TEST(AudioSyncTest, LateStartIsPaddedWithSilenceAndEndsTheStart) {
    const TAudioSyncAction action = decide_audio_sync(AudioAt(0.5, 44100, 2, 0, 4608, true));
    EXPECT_EQ(action.kind, TAudioSyncKind::kPad);
    EXPECT_EQ(action.bytes, 88200);
    EXPECT_TRUE(action.ends_start);
}

TEST(AudioSyncTest, LongGapIsPaddedUpToTheLimitAndTheStartGoesOn) {
    const TAudioSyncAction action = decide_audio_sync(AudioAt(2.0, 48000, 2, 0, 4608, true));
    EXPECT_EQ(action.kind, TAudioSyncKind::kPad);
    EXPECT_EQ(action.bytes + 4608, kMaxSilenceBytes);
    EXPECT_FALSE(action.ends_start);
}

TEST(AudioSyncTest, PaddingIsWholeSampleFramesAndNeverNegative) {
    EXPECT_EQ(decide_audio_sync(AudioAt(2.0, 48000, 6, 0, 4608, true)).bytes % 12, 0);
    EXPECT_EQ(decide_audio_sync(AudioAt(2.0, 48000, 2, 0, 200000, true)).bytes, 0);
}

TEST(AudioSyncTest, AudioAheadIsCutAtMostByWhatIsInHand) {
    const TAudioSyncAction action = decide_audio_sync(AudioAt(0.0, 44100, 2, 4000, 4608, true));
    EXPECT_EQ(action.kind, TAudioSyncKind::kCut);
    EXPECT_EQ(action.bytes, 4608);
}

TEST(AudioSyncTest, SmallOffsetsAreLeftAlone) {
    EXPECT_EQ(decide_audio_sync(AudioAt(40.0 / 44100, 44100, 2, 0, 4608, true)).kind, TAudioSyncKind::kNone);
}

TEST(AudioSyncTest, DriftBelowTheThresholdIsCompensatedOnlyWithAStretchingMethod) {
    TAudioSyncInput input = AudioAt(10.05, 44100, 2, 441000, 4608, false);
    EXPECT_EQ(decide_audio_sync(input).kind, TAudioSyncKind::kNone);
    input.method = 100;
    const TAudioSyncAction action = decide_audio_sync(input);
    EXPECT_EQ(action.kind, TAudioSyncKind::kCompensate);
    EXPECT_EQ(action.compensation, 100);
}

struct VideoCase {
    int method;
    bool variable_rate;
    double input_frames;
    std::int64_t sync_pts;
    int copies;
    int held;  // of the copies, the previous picture
    std::int64_t new_sync_pts;
};

class VideoSyncTest : public ::testing::TestWithParam<VideoCase> {};

TEST_P(VideoSyncTest, DecidesCopiesAndPosition) {
    const VideoCase& c = GetParam();
    TVideoSyncInput input;
    input.method = c.method;
    input.encoder_time_base = 1.0 / 25;
    input.variable_frame_rate_format = c.variable_rate;
    input.input_frames = c.input_frames;
    input.sync_pts = c.sync_pts;
    const TVideoSyncDecision decision = decide_video_sync(input);
    EXPECT_EQ(decision.copies, c.copies);
    EXPECT_EQ(decision.held, c.held);
    EXPECT_EQ(decision.sync_pts, c.new_sync_pts);
}

INSTANTIATE_TEST_SUITE_P(Cases, VideoSyncTest,
                         // Constant rate: each picture at the frame nearest its time, the frames
                         // before it holding the previous one.
                         ::testing::Values(VideoCase{-1, false, 12.4, 10, 3, 2, 10},   // due at 12
                                           VideoCase{-1, false, 10.4, 10, 1, 0, 10},   // on time
                                           VideoCase{-1, false, 10.6, 10, 2, 1, 10},   // nearer the next frame
                                           VideoCase{-1, false, 9.6, 10, 1, 0, 10},    // a little late
                                           VideoCase{-1, false, 9.4, 10, 0, 0, 10},    // its frame is written
                                           VideoCase{1, false, 12.4, 10, 3, 2, 10},    // constant method
                                           VideoCase{-1, true, 10.8, 10, 1, 0, 11},    // variable rate re-bases
                                           VideoCase{-1, true, 9.3, 10, 0, 0, 10},     // variable rate drops
                                           VideoCase{2, false, 12.4, 10, 1, 0, 12},    // variable method
                                           VideoCase{0, false, 12.4, 10, 1, 0, 12}));  // sync off follows input

TEST(VideoSyncTest, AutoSyncIsOffForFineTimeBases) {
    TVideoSyncInput input;
    input.encoder_time_base = 1.0 / 90000;
    input.input_frames = 5000.4;
    input.sync_pts = 3;
    const TVideoSyncDecision decision = decide_video_sync(input);
    EXPECT_EQ(decision.copies, 1);
    EXPECT_EQ(decision.sync_pts, 5000);
}

}  // namespace
}  // namespace brenvale
