// Fifty jobs through one component on several threads (run under ThreadSanitizer by
// scripts/test-tsan): every job ends exactly once and the run's end comes exactly once, also
// when some jobs fail at their start or the run is stopped half-way.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "common/main_thread.h"
#include "converter_fixture.h"
#include "tools/media_generator.h"

namespace brenvale {
namespace {

using namespace std::chrono_literals;
using testing::ConverterTest;
using testing::TerminateEvent;

constexpr int kJobs = 50;
constexpr int kEveryJobWithoutOutput = 10;  // these fail inside the chaining of the run

struct LoadCase {
    const char* name;
    int threads;
    bool stop_half_way;
};

class ConverterLoadTest : public ConverterTest, public ::testing::WithParamInterface<LoadCase> {
protected:
    // Five pictures of 64x48: the jobs are quick, the chaining between them is what is tested.
    std::string WriteTinyClip() const {
        mediagen::ClipDescription clip;
        clip.name = "tiny";
        clip.format = "avi";
        clip.video = mediagen::VideoSpec{"mpeg4", 64, 48, {25, 1}, 5, "yuv420p"};
        const std::string path = OutputPath("tiny.avi");
        mediagen::Generate(clip, path);
        return path;
    }
};

TEST_P(ConverterLoadTest, EveryJobEndsOnceAndTheRunEndsOnce) {
    const LoadCase& load = GetParam();
    const std::string input = WriteTinyClip();
    TOutputOptions options;
    options.VideoCodec = "mpeg4";
    for (int i = 0; i < kJobs; ++i) {
        const int index = converter_.AddInput(input);
        ASSERT_EQ(index, i) << converter_.LastError();
        if (i % kEveryJobWithoutOutput == kEveryJobWithoutOutput - 1) continue;
        ASSERT_TRUE(converter_.AddOutput(index, OutputPath("job" + std::to_string(i) + ".avi"), &options));
    }
    converter_.StartJobs(load.threads);
    if (load.stop_half_way) {
        ASSERT_TRUE(WaitServingMainThread([&] { return events_.Terminations().size() >= kJobs / 2; }, 120s));
        converter_.StopJobs();
    }
    ASSERT_TRUE(events_.WaitForAllDone());
    // A second all-done notification or a late end would come now.
    WaitServingMainThread([] { return false; }, 300ms);

    const std::vector<TerminateEvent> ends = events_.Terminations();
    ASSERT_EQ(ends.size(), static_cast<std::size_t>(kJobs + 1));
    EXPECT_EQ(ends.back().index, -1);
    std::map<int, TerminateEvent> by_job;
    for (std::size_t i = 0; i + 1 < ends.size(); ++i) {
        EXPECT_TRUE(by_job.emplace(ends[i].index, ends[i]).second) << "job " << ends[i].index << " ended twice";
    }
    ASSERT_EQ(by_job.size(), static_cast<std::size_t>(kJobs));
    EXPECT_EQ(by_job.begin()->first, 0);
    EXPECT_EQ(by_job.rbegin()->first, kJobs - 1);
    for (const auto& [index, end] : by_job) {
        const bool without_output = index % kEveryJobWithoutOutput == kEveryJobWithoutOutput - 1;
        if (without_output) {
            EXPECT_TRUE(end.exception || (load.stop_half_way && !end.finished)) << "job " << index;
        } else if (!load.stop_half_way) {
            EXPECT_TRUE(end.finished) << "job " << index << ": " << end.message;
        }
        if (end.exception) {
            EXPECT_FALSE(end.message.empty());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Converter, ConverterLoadTest,
                         ::testing::Values(LoadCase{"TwoThreads", 2, false}, LoadCase{"EightThreads", 8, false},
                                           LoadCase{"EightThreadsStopped", 8, true}),
                         [](const ::testing::TestParamInfo<LoadCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace brenvale
