// The custom hook: the owner draws on the picture as a bitmap, which goes back into the picture
// unless the handler declines or fails; a stop ends custom hooking after the picture.
#include <cstring>
#include <ostream>
#include <stdexcept>

#include "tests/hooks/hook_fixture.h"

namespace brenvale::testing {
namespace {

constexpr std::uint8_t kBlack = 16;  // Y of black
constexpr int kWhiteY = 235;          // Y of white

void Paint(TBitmap& bitmap, std::uint8_t value) {
    for (int row = 0; row < bitmap.Height(); ++row) std::memset(bitmap.ScanLine(row), value, bitmap.Width() * 3);
}

struct VerdictCase {
    const char* name;
    bool update;
    bool stop;
    bool raise;
    bool picture_changed;
    bool asked_again;
    std::vector<std::string> log;
};

std::ostream& operator<<(std::ostream& out, const VerdictCase& entry) { return out << entry.name; }

class CustomHookVerdictTest : public HookFixture, public ::testing::WithParamInterface<VerdictCase> {};

TEST_P(CustomHookVerdictTest, DecidesWhatReachesThePicture) {
    const VerdictCase& c = GetParam();
    int calls = 0;
    engine_->on_custom_hook = [&](TCustomFFmpeg&, TBitmap& bitmap, std::int32_t, std::int64_t, bool& update,
                                  bool& stop) {
        ++calls;
        Paint(bitmap, 0xFF);
        update = c.update;
        stop = c.stop;
        if (c.raise) throw std::runtime_error("drawing failed");
    };
    FramePtr picture = MakePicture(AV_PIX_FMT_YUV420P, 32, 24, kBlack);
    engine_->preprocess_video(*picture, 0);
    if (c.picture_changed) {
        EXPECT_NEAR(UniformFirstPlane(*picture), kWhiteY, 2);
    } else {
        EXPECT_EQ(UniformFirstPlane(*picture), kBlack);
    }
    EXPECT_EQ(log_, c.log);

    FramePtr next = MakePicture(AV_PIX_FMT_YUV420P, 32, 24, kBlack);
    engine_->preprocess_video(*next, 40000);
    EXPECT_EQ(calls, c.asked_again ? 2 : 1);
    EXPECT_EQ(static_cast<bool>(engine_->on_custom_hook), c.asked_again);
    EXPECT_EQ(engine_->hook_state.hook_action, c.asked_again ? THookAction::haContinue : THookAction::haStop);
}

INSTANTIATE_TEST_SUITE_P(
    Verdicts, CustomHookVerdictTest,
    ::testing::Values(VerdictCase{"Update", true, false, false, true, true, {}},
                      VerdictCase{"NoUpdate", false, false, false, false, true, {}},
                      VerdictCase{"StopAfterThisPicture", true, true, false, true, false, {}},
                      VerdictCase{"Raises", true, false, true, false, true,
                                  {"0: Error occurs OnCustomHook: drawing failed"}}),
    [](const auto& info) { return std::string(info.param.name); });

class CustomHookTest : public HookFixture {};

TEST_F(CustomHookTest, RgbPictureIsHandedOverAndChangedWithoutConversion) {
    FramePtr picture = MakePicture(AV_PIX_FMT_BGR24, 8, 4, 0);
    for (int row = 0; row < 4; ++row) {
        for (int x = 0; x < 24; ++x) picture->data[0][row * picture->linesize[0] + x] = static_cast<std::uint8_t>(row * 24 + x);
    }
    std::int32_t frame_number = 0;
    std::int64_t pts = 0;
    bool handed_exactly = true;
    engine_->on_custom_hook = [&](TCustomFFmpeg&, TBitmap& bitmap, std::int32_t number, std::int64_t at, bool&,
                                  bool&) {
        frame_number = number;
        pts = at;
        for (int row = 0; row < 4; ++row) {
            for (int x = 0; x < 24; ++x) {
                handed_exactly &= bitmap.ScanLine(row)[x] == row * 24 + x;
                bitmap.ScanLine(row)[x] = static_cast<std::uint8_t>(255 - (row * 24 + x));
            }
        }
    };
    engine_->preprocess_video(*picture, 777);
    EXPECT_TRUE(handed_exactly);
    EXPECT_EQ(frame_number, 1);
    EXPECT_EQ(pts, 777);
    for (int row = 0; row < 4; ++row) {
        for (int x = 0; x < 24; ++x)
            ASSERT_EQ(picture->data[0][row * picture->linesize[0] + x], 255 - (row * 24 + x)) << row << "," << x;
    }
}

}  // namespace
}  // namespace brenvale::testing
