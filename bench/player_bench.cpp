// brenvale-player-bench [folder] [seconds]: plays a 720p clip in real time through the player
// and prints the picture rate, the spread of the audio and video clocks, the frame delay and
// the resident size. Prints figures; never pass/fail.
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/resident_size.h"
#include "binding/library_loader.h"
#include "common/main_thread.h"
#include "player/ff_player.h"
#include "tools/media_generator.h"

namespace brenvale::bench {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

class CountingPresenter : public IPicturePresenter {
public:
    void Present(const std::uint8_t*, int, int, int) override { ++count; }
    std::atomic<int> count{0};
};

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

mediagen::ClipDescription Clip720p(int seconds) {
    mediagen::ClipDescription clip;
    clip.name = "player_720p";
    clip.format = "mp4";
    clip.file_name = "player_720p.mp4";
    mediagen::VideoSpec video;
    video.codec = "libx264";
    video.width = 1280;
    video.height = 720;
    video.frame_count = 25LL * seconds;
    clip.video = video;
    mediagen::AudioSpec audio;
    audio.sample_count = 44100LL * seconds;
    clip.audio = {audio};
    return clip;
}

struct Sample {
    double at = 0;
    double drift = 0;  // audio clock - video clock, seconds
    double frame_delay = 0;
    long resident_kb = 0;
};

int Run(const fs::path& folder, int seconds) {
    if (!Loader().LoadLibrarySet(kConverterLibraries | kPlayerLibraries)) {
        std::fprintf(stderr, "%s\n", Loader().LastError().c_str());
        return 1;
    }
    fs::create_directories(folder);
    const fs::path clip = folder / "player_720p.mp4";
    if (!fs::exists(clip)) {
        std::printf("generating %d s of 1280x720 H.264 + AAC...\n", seconds);
        mediagen::Generate(Clip720p(seconds), clip.string());
    }
    TFFPlayer player;
    CountingPresenter presenter;
    std::atomic<bool> ended{false};
    player.OnState = [&](TCustomPlayer&, TPlayState state) {
        if (state == TPlayState::psEnd) ended = true;
    };
    const double cpu_start = CpuSeconds();
    const Clock::time_point start = Clock::now();
    if (!player.Open(clip.string(), &presenter)) {
        std::fprintf(stderr, "open failed: %s\n", player.LastError().c_str());
        return 1;
    }
    std::vector<Sample> samples;
    while (!ended && Clock::now() - start < std::chrono::seconds(seconds + 10)) {
        WaitServingMainThread([] { return false; }, std::chrono::milliseconds(100));
        const TClockReading clocks = player.ReadClocks();
        const double at = std::chrono::duration<double>(Clock::now() - start).count();
        if (clocks.has_audio && clocks.has_video && clocks.video > 0.5)
            samples.push_back({at, clocks.audio - clocks.video, clocks.last_frame_delay, ResidentKilobytes()});
    }
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    const double cpu = CpuSeconds() - cpu_start;
    player.Close(true);
    if (samples.empty()) {
        std::printf("no clock samples\n");
        return 1;
    }
    double max_drift = 0, max_drift_at = 0, min_delay = 1e9, max_delay = 0;
    long max_rss = 0;
    int steady_delays = 0;
    for (const Sample& s : samples) {
        if (std::fabs(s.drift) > max_drift) max_drift_at = s.at;
        max_drift = std::max(max_drift, std::fabs(s.drift));
        steady_delays += std::fabs(s.frame_delay - 0.04) < 0.001;
        min_delay = std::min(min_delay, s.frame_delay);
        max_delay = std::max(max_delay, s.frame_delay);
        max_rss = std::max(max_rss, s.resident_kb);
    }
    const std::size_t tenth = samples.size() / 10;
    // The offset between the clocks in the first and the last tenth: its change is the drift.
    const auto median_drift = [&](std::size_t from, std::size_t to) {
        std::vector<double> values;
        for (std::size_t i = from; i < to; ++i) values.push_back(samples[i].drift);
        std::sort(values.begin(), values.end());
        return values.empty() ? 0.0 : values[values.size() / 2];
    };
    const double early = median_drift(0, std::max<std::size_t>(tenth, 1));
    const double late = median_drift(samples.size() - std::max<std::size_t>(tenth, 1), samples.size());
    const long early_rss = samples[tenth].resident_kb;
    std::printf("clip: %d s of 1280x720 at 25 fps with 44.1 kHz stereo\n", seconds);
    std::printf("wall %.2f s for %d s of media (%.3f x real time), cpu %.1f%% of one core\n", wall, seconds,
                wall / seconds, 100.0 * cpu / wall);
    std::printf("pictures presented: %d of %d (%.1f per second)\n", presenter.count.load(), 25 * seconds,
                presenter.count / wall);
    std::printf("audio - video clock: median %.1f ms in the first tenth, %.1f ms in the last: drift %.1f ms\n",
                early * 1000, late * 1000, (late - early) * 1000);
    std::printf("audio - video clock: largest |difference| %.1f ms at %.1f s, over %zu samples\n", max_drift * 1000,
                max_drift_at, samples.size());
    std::printf("nominal frame delay: %.1f .. %.1f ms, 40 ms in %.1f%% of the samples\n", min_delay * 1000,
                max_delay * 1000, 100.0 * steady_delays / samples.size());
    std::printf("resident size: %ld kB at 10%%, %ld kB peak, %ld kB at the end\n", early_rss, max_rss,
                samples.back().resident_kb);
    return 0;
}

}  // namespace
}  // namespace brenvale::bench

int main(int argc, char** argv) {
    const std::filesystem::path folder = argc > 1 ? argv[1] : std::filesystem::temp_directory_path() / "brenvale-bench";
    const int seconds = argc > 2 ? std::max(5, std::atoi(argv[2])) : 60;
    return brenvale::bench::Run(folder, seconds);
}
