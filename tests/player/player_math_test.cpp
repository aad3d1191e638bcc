// The arithmetic of playback: display geometry, frame delay, sound correction and mixing,
// subtitle colours and blending, the waveform trigger and the position helpers.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "binding/library_loader.h"
#include "binding/media_api.h"
#include "player/audio_output.h"
#include "player/audio_sync.h"
#include "player/clocks.h"
#include "player/display_geometry.h"
#include "player/player_position.h"
#include "player/player_types.h"
#include "player/subtitles.h"
#include "player/waveform.h"

namespace brenvale::player {
namespace {

struct GeometryCase {
    const char* name;
    double aspect_ratio;
    int sar_num, sar_den;
    int frame_width, frame_height;
    int area_width, area_height;
    Rect expected;
};

TEST(PlayerGeometryTest, PlacesThePictureForEachAspectMode) {
    const GeometryCase cases[] = {
        {"stream shape fills a matching area", 0, 0, 1, 320, 240, 640, 480, {0, 0, 640, 480}},
        {"wide picture is letterboxed", 0, 0, 1, 320, 180, 640, 480, {0, 60, 640, 360}},
        {"narrow picture is pillarboxed", 0, 0, 1, 320, 240, 640, 360, {80, 0, 480, 360}},
        {"sample aspect ratio widens pixels", 0, 16, 9, 320, 320, 640, 360, {0, 0, 640, 360}},
        {"negative aspect stretches to the area", -1, 0, 1, 320, 180, 640, 480, {0, 0, 640, 480}},
        {"forced 2:1", 2.0, 0, 1, 320, 240, 640, 480, {0, 80, 640, 320}},
        {"odd area: full width, even height", 0, 0, 1, 175, 97, 321, 241, {0, 31, 321, 178}},
    };
    for (const GeometryCase& c : cases) {
        const double aspect = DisplayAspect(c.aspect_ratio, c.sar_num, c.sar_den, 0, 1, c.frame_width,
                                            c.frame_height, c.area_width, c.area_height);
        const Rect rect = PictureRect(aspect, 0, 0, c.area_width, c.area_height);
        EXPECT_EQ(rect.x, c.expected.x) << c.name;
        EXPECT_EQ(rect.y, c.expected.y) << c.name;
        EXPECT_EQ(rect.w, c.expected.w) << c.name;
        EXPECT_EQ(rect.h, c.expected.h) << c.name;
    }
}

TEST(PlayerGeometryTest, ChoosesTheVideoWindowSize) {
    const Size full{1920, 1080}, screen{320, 240}, frame{176, 144}, none{};
    EXPECT_EQ(VideoWindowSize(true, full, screen, frame).width, 1920);
    EXPECT_EQ(VideoWindowSize(false, full, screen, frame).width, 320);
    EXPECT_EQ(VideoWindowSize(false, full, none, frame).width, 176);
    EXPECT_EQ(VideoWindowSize(false, full, none, none).height, 480);
    EXPECT_EQ(VideoWindowSize(true, none, screen, frame).width, 176) << "no full-screen size known";
}

TEST(PlayerClockTest, FrameDelayFollowsTheMasterClock) {
    struct Case {
        const char* name;
        double last_pts, pts;
        bool synchronise;
        double diff;
        double expected;
    };
    const Case cases[] = {
        {"in step", 1.0, 1.04, true, 0.0, 0.04},
        {"0.5 s behind is shown at once", 1.0, 1.04, true, -0.5, 0.0},
        {"0.5 s ahead waits twice", 1.0, 1.04, true, 0.5, 0.08},
        {"10 s apart is left alone", 1.0, 1.04, true, 10.0, 0.04},
        {"not synchronised", 1.0, 1.04, false, 0.5, 0.04},
        {"a jump of 2 s reuses the last delay", 1.0, 3.0, false, 0.0, 0.05},
        {"a step back reuses the last delay", 1.0, 0.5, false, 0.0, 0.05},
        {"threshold at least 10 ms", 1.0, 1.005, true, 0.009, 0.005},
    };
    for (const Case& c : cases) {
        FrameDelayState state{c.last_pts, 0.05};
        EXPECT_NEAR(NominalFrameDelay(state, c.pts, c.synchronise, c.diff), c.expected, 1e-9) << c.name;
        EXPECT_EQ(state.last_pts, c.pts) << c.name;
    }
}

TEST(PlayerClockTest, RoundsHalvesToEven) {
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(-1.5), -2);
}

// A state that has averaged enough measurements to correct.
StreamState::AudioDiff SettledDiff(double diff) {
    StreamState::AudioDiff state = MakeAudioDiff(44100);
    for (int i = 0; i < kAudioDiffAverageCount; ++i) WantedAudioSize(state, diff, 4096, 4, 44100);
    return state;
}

TEST(PlayerAudioSyncTest, CorrectionStaysWithinTenPercent) {
    StreamState::AudioDiff behind = SettledDiff(-1.0);
    EXPECT_EQ(WantedAudioSize(behind, -1.0, 4096, 4, 44100), 3684);
    StreamState::AudioDiff ahead = SettledDiff(1.0);
    EXPECT_EQ(WantedAudioSize(ahead, 1.0, 4096, 4, 44100), 4504);
    StreamState::AudioDiff slight = SettledDiff(0.001);
    EXPECT_EQ(WantedAudioSize(slight, 0.001, 4096, 4, 44100), 4096) << "average below 2048 / rate";
    StreamState::AudioDiff settled = SettledDiff(1.0);
    EXPECT_EQ(WantedAudioSize(settled, 0.001, 4096, 4, 44100), 4096 + 44 * 4) << "the current difference, in frames";
}

TEST(PlayerAudioSyncTest, WaitsForTwentyMeasurementsAndResetsOnHugeDifferences) {
    StreamState::AudioDiff state = MakeAudioDiff(44100);
    EXPECT_NEAR(state.avg_coef, 0.904837, 1e-6);
    for (int i = 0; i < kAudioDiffAverageCount; ++i) EXPECT_EQ(WantedAudioSize(state, 1.0, 4096, 4, 44100), 4096);
    EXPECT_EQ(WantedAudioSize(state, 10.0, 4096, 4, 44100), 4096);
    EXPECT_EQ(state.avg_count, 0);
    EXPECT_EQ(state.cum, 0);
}

TEST(PlayerAudioSyncTest, StretchingRepeatsTheLastSampleFrame) {
    std::vector<std::uint8_t> buffer(8192);
    for (int i = 0; i < 4096; ++i) buffer[i] = static_cast<std::uint8_t>(i);
    EXPECT_EQ(ResizeAudioBuffer(buffer.data(), 4096, 4504, 4, static_cast<int>(buffer.size())), 4504);
    for (int at = 4096; at < 4504; at += 4) EXPECT_EQ(std::memcmp(&buffer[at], &buffer[4092], 4), 0) << at;
    EXPECT_EQ(ResizeAudioBuffer(buffer.data(), 4096, 3684, 4, static_cast<int>(buffer.size())), 3684);
    EXPECT_EQ(ResizeAudioBuffer(buffer.data(), 4096, 9000, 4, 4400), 4400) << "never beyond the buffer";
}

class PlayerMixTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(Loader().LoadLibrarySet(kPlayerLibraries)) << Loader().LastError(); }
};

TEST_F(PlayerMixTest, VolumeScalesAndMuteSilences) {
    const std::vector<std::int16_t> sound = {1000, -1000, 32000, -32000};
    const int bytes = static_cast<int>(sound.size() * 2);
    const auto mixed = [&](bool mute, int volume) {
        std::vector<std::int16_t> out(sound.size(), 77);
        MixOut(reinterpret_cast<std::uint8_t*>(out.data()), reinterpret_cast<const std::uint8_t*>(sound.data()),
               bytes, mute, volume);
        return out;
    };
    EXPECT_EQ(mixed(false, 128), sound);
    EXPECT_EQ(mixed(false, 64), (std::vector<std::int16_t>{500, -500, 16000, -16000}));
    EXPECT_EQ(mixed(false, 0), std::vector<std::int16_t>(4, 0));
    EXPECT_EQ(mixed(true, 128), std::vector<std::int16_t>(4, 0));
}

TEST(PlayerSubtitleTest, ConvertsPaletteEntriesToYuv) {
    EXPECT_EQ(PaletteEntryToYuv(0xFFFFFFFF), 0xFFEB8080u);
    EXPECT_EQ(PaletteEntryToYuv(0xFF000000), 0xFF108080u);
    EXPECT_EQ(PaletteEntryToYuv(0x80FF0000), 0x80515AF0u);
    EXPECT_EQ(PaletteEntryToYuv(0x00000000) >> 24, 0u);
}

// A picture of 4 x 4 with black luma and neutral chroma, and a one-colour rectangle.
struct BlendScene {
    std::vector<std::uint8_t> luma = std::vector<std::uint8_t>(16, 0);
    std::vector<std::uint8_t> u = std::vector<std::uint8_t>(4, 128);
    std::vector<std::uint8_t> v = std::vector<std::uint8_t>(4, 128);
    std::vector<std::uint8_t> indexes;
    std::uint32_t palette[1] = {};
    AVSubtitleRect rect{};
    YuvPlanes planes;

    BlendScene(int x, int y, int w, int h, std::uint32_t ayuv) : indexes(static_cast<std::size_t>(w) * h, 0) {
        palette[0] = ayuv;
        rect.x = x;
        rect.y = y;
        rect.w = w;
        rect.h = h;
        rect.nb_colors = 1;
        rect.data[0] = indexes.data();
        rect.data[1] = reinterpret_cast<std::uint8_t*>(palette);
        rect.linesize[0] = w;
        planes = YuvPlanes{{luma.data(), u.data(), v.data()}, {4, 2, 2}, 4, 4};
    }
};

TEST(PlayerSubtitleTest, BlendsOpaqueRectanglesAtOddPositions) {
    BlendScene scene(1, 1, 2, 2, 0xFFEBFF00);
    BlendSubtitleRect(scene.planes, scene.rect);
    EXPECT_EQ(scene.luma, (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 235, 235, 0, 0, 235, 235, 0, 0, 0, 0, 0}));
    // Each chroma sample covers one rectangle pixel: replaced by the opaque colour.
    EXPECT_EQ(scene.u, (std::vector<std::uint8_t>{255, 255, 255, 255}));
    EXPECT_EQ(scene.v, (std::vector<std::uint8_t>{0, 0, 0, 0}));
}

TEST(PlayerSubtitleTest, BlendsHalfTransparentAndClipsToThePicture) {
    BlendScene scene(-1, 2, 8, 5, 0x80FF8080);
    BlendSubtitleRect(scene.planes, scene.rect);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(scene.luma[i], 0) << i;
    for (int i = 8; i < 16; ++i) EXPECT_EQ(scene.luma[i], 128) << i;  // 255 x 128 / 255
    EXPECT_EQ(scene.u, (std::vector<std::uint8_t>{128, 128, 128, 128}));
}

TEST(PlayerWaveformTest, FindsTheTriggerPointOrKeepsTheStart) {
    std::vector<std::int16_t> ring(kWaveformSamples, 0);
    EXPECT_EQ(FindTriggerPoint(ring, 5000, 2), 5000) << "no sign change";
    // A falling edge: b > 0 at i + 8, c < 0 at i + 10, a - d largest at i = 4000.
    ring[4000] = 1000;
    ring[4008] = 10;
    ring[4010] = -10;
    ring[4018] = -1000;
    EXPECT_EQ(FindTriggerPoint(ring, 4500, 2), 4000);
    EXPECT_EQ(FindTriggerPoint(ring, 3000, 2), 3000) << "only the 1000 samples before the start";
    std::vector<std::int16_t> wrapped(kWaveformSamples, 0);
    wrapped[kWaveformSamples - 2] = 500;
    wrapped[6] = 1;
    wrapped[8] = -1;
    EXPECT_EQ(FindTriggerPoint(wrapped, 100, 2), kWaveformSamples - 2) << "indexes wrap around the ring";
}

TEST(PlayerPositionTest, SeekTargetsAreClampedToTheDuration) {
    EXPECT_EQ(SeekTarget(5'000'000, 2'000'000, kNoTime), 2'000'000);
    EXPECT_EQ(SeekTarget(1'000'000, 2'000'000, 500'000), 1'500'000);
    EXPECT_EQ(SeekTarget(9'000'000, kNoTime, kNoTime), 9'000'000);
    EXPECT_EQ(PlayWindowEnd(kNoTime, 5'000'000), 5'000'000);
    EXPECT_EQ(PlayWindowEnd(1'000'000, 5'000'000), 6'000'000);
    EXPECT_EQ(PlayWindowEnd(1'000'000, kNoTime), kNoTime);
}

}  // namespace
}  // namespace brenvale::player
