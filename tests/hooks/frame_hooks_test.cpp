// Whether the plug-ins run for a picture (time ranges, the before-hook event) and the work copy
// the hooks and the deinterlacer write into.
#include <stdexcept>

#include "tests/hooks/hook_fixture.h"

namespace brenvale::testing {
namespace {

constexpr std::int64_t kSecond = 1000000;
constexpr std::uint8_t kBlack = 16;
constexpr int kInverted = 255 - kBlack;  // what the picture hook makes of it

class PluginHookTest : public HookFixture {
protected:
    void SetUp() override {
        HookFixture::SetUp();
        engine_->apply_option("vhook", PICTURE_HOOK);
    }

    // Pre-processes a black picture at `pts`; true when the picture hook inverted it.
    bool Hooked(std::int64_t pts) {
        FramePtr picture = MakePicture(AV_PIX_FMT_YUV420P, 16, 16, kBlack);
        engine_->preprocess_video(*picture, pts);
        return UniformFirstPlane(*picture) == kInverted;
    }
};

TEST_F(PluginHookTest, TimeRangesDecideAndThePastEndStopsForGood) {
    engine_->hook_time_ranges = {{10 * kSecond, 20 * kSecond}, {30 * kSecond, 40 * kSecond}};
    struct Step {
        std::int64_t pts;
        bool hooked;
        THookAction action;
    };
    const Step steps[] = {
        {5 * kSecond, false, THookAction::haIgnore},    {10 * kSecond, true, THookAction::haContinue},
        {15 * kSecond, true, THookAction::haContinue},  {25 * kSecond, false, THookAction::haIgnore},
        {35 * kSecond, true, THookAction::haContinue},  {40 * kSecond, true, THookAction::haContinue},
        {40 * kSecond + 1, false, THookAction::haStop}, {35 * kSecond, false, THookAction::haStop},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.pts);
        EXPECT_EQ(Hooked(step.pts), step.hooked);
        EXPECT_EQ(engine_->hook_state.hook_action, step.action);
    }
    EXPECT_FALSE(engine_->using_vhook);
    EXPECT_EQ(engine_->hook_state.hook_frame_count, 8);
}

TEST_F(PluginHookTest, BeforeHookSeesThePreviousDecisionAndDecides) {
    std::vector<THookAction> seen;
    engine_->on_before_hook = [&seen](TCustomFFmpeg&, std::int64_t pts, THookAction& action) {
        seen.push_back(action);
        action = pts < 2 * kSecond ? THookAction::haIgnore : pts < 4 * kSecond ? THookAction::haContinue
                                                                               : THookAction::haStop;
    };
    EXPECT_FALSE(Hooked(1 * kSecond));
    EXPECT_TRUE(Hooked(3 * kSecond));
    EXPECT_FALSE(Hooked(5 * kSecond));
    EXPECT_FALSE(Hooked(3 * kSecond));  // stopped for good: the handler is not asked again
    EXPECT_EQ(seen, (std::vector<THookAction>{THookAction::haContinue, THookAction::haIgnore,
                                               THookAction::haContinue}));
}

TEST_F(PluginHookTest, BeforeHookThatRaisesIsLoggedOnceAndStopsHooking) {
    int calls = 0;
    engine_->on_before_hook = [&calls](TCustomFFmpeg&, std::int64_t, THookAction&) {
        ++calls;
        throw std::runtime_error("handler failed");
    };
    EXPECT_FALSE(Hooked(0));
    EXPECT_FALSE(Hooked(kSecond));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(log_, std::vector<std::string>{"0: Error occurs OnBeforeHook: handler failed"});
    EXPECT_EQ(engine_->hook_state.hook_action, THookAction::haStop);
}

TEST_F(PluginHookTest, HooksWriteIntoACopyAndNeverIntoTheDecodersPicture) {
    FramePtr picture = MakePicture(AV_PIX_FMT_YUV420P, 16, 16, kBlack);
    FramePtr decoders_reference = allocate_frame();
    ASSERT_GE(ff::av_frame_ref(decoders_reference.get(), picture.get()), 0);
    picture->pts = 1234;
    engine_->preprocess_video(*picture, 0);
    EXPECT_EQ(UniformFirstPlane(*picture), kInverted);
    EXPECT_EQ(UniformFirstPlane(*decoders_reference), kBlack);
    EXPECT_EQ(picture->pts, 1234);
    EXPECT_NE(picture->buf[0], nullptr);  // the copy owns its buffer and can travel on
}

class DeinterlaceTest : public HookFixture {};

TEST_F(DeinterlaceTest, FormatsItCannotHandleAreLoggedAndPassUnchanged) {
    engine_->deinterlace = true;
    FramePtr picture = MakePicture(AV_PIX_FMT_BGR24, 16, 16, 0x33);
    engine_->preprocess_video(*picture, 0);
    EXPECT_EQ(UniformFirstPlane(*picture), 0x33);
    EXPECT_EQ(log_, std::vector<std::string>{"0: Deinterlacing failed."});
}

}  // namespace
}  // namespace brenvale::testing
