// brenvale-player-bench [folder] [seconds]: plays clips in real time through the player and
// prints, for each, the picture rate, the offset between the audio and video clocks, the
// frame delay, the resident size, and the CPU the player takes once the file has ended and is
// still open. Clips: a 720p H.264 + AAC MP4, and an AVI whose PCM sound is stored half a
// second ahead of its pictures. Prints figures; never pass/fail.
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

// How long the ended file stays open while the CPU is measured.
constexpr std::chrono::seconds kAfterEnd{3};

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

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

struct ClipShape {
    const char* name;
    const char* format;
    const char* video_codec;
    int width, height;
    const char* audio_codec;
    int sample_rate;
    std::int64_t sound_lead_ms;
};

mediagen::ClipDescription Clip(const ClipShape& shape, const char* extension, int seconds) {
    mediagen::ClipDescription clip;
    clip.name = shape.name;
    clip.format = shape.format;
    clip.file_name = std::string(shape.name) + extension;
    mediagen::VideoSpec video;
    video.codec = shape.video_codec;
    video.width = shape.width;
    video.height = shape.height;
    video.frame_count = 25LL * seconds;
    clip.video = video;
    mediagen::AudioSpec audio;
    audio.codec = shape.audio_codec;
    audio.sample_rate = shape.sample_rate;
    audio.sample_count = static_cast<std::int64_t>(shape.sample_rate) * seconds;
    clip.audio = {audio};
    clip.flags.sound_lead_ms = shape.sound_lead_ms;
    return clip;
}

constexpr ClipShape kHd{"player_720p", "mp4", "libx264", 1280, 720, "aac", 44100, 0};
// PCM stored half a second ahead of its pictures.
constexpr ClipShape kPcmAhead{"player_pcm_ahead", "avi", "mpeg4", 640, 360, "pcm_s16le", 48000, 500};

struct Sample {
    double at = 0;
    double offset = 0;  // audio clock - video clock, seconds
    double frame_delay = 0;
    long resident_kb = 0;
};

struct Run {
    std::vector<Sample> samples;  // after the first second of media
    double wall = 0;
    double cpu = 0;
    int pictures = 0;
    bool ended = false;
    double cpu_after_end = 0;  // share of one core while the ended file stayed open
    double end_states_per_second = 0;
};

void Serve(std::chrono::milliseconds duration) { WaitServingMainThread([] { return false; }, duration); }

Run Play(const fs::path& clip, int seconds) {
    Run run;
    TFFPlayer player;
    CountingPresenter presenter;
    std::atomic<int> end_states{0};
    player.OnState = [&](TCustomPlayer&, TPlayState state) {
        if (state == TPlayState::psEnd) ++end_states;
    };
    const double cpu_start = CpuSeconds();
    const Clock::time_point start = Clock::now();
    if (!player.Open(clip.string(), &presenter)) {
        std::fprintf(stderr, "open failed: %s\n", player.LastError().c_str());
        return run;
    }
    while (end_states == 0 && SecondsSince(start) < seconds + 10) {
        Serve(std::chrono::milliseconds(100));
        const TClockReading clocks = player.ReadClocks();
        if (clocks.has_audio && clocks.has_video && clocks.video > 1.0)
            run.samples.push_back(
                {SecondsSince(start), clocks.audio - clocks.video, clocks.last_frame_delay, ResidentKilobytes()});
    }
    run.ended = end_states > 0;
    run.wall = SecondsSince(start);
    run.cpu = CpuSeconds() - cpu_start;
    run.pictures = presenter.count;
    const double cpu_at_end = CpuSeconds();
    const int ends_at_end = end_states;
    Serve(kAfterEnd);
    run.cpu_after_end = (CpuSeconds() - cpu_at_end) / kAfterEnd.count();
    run.end_states_per_second = static_cast<double>(end_states - ends_at_end) / kAfterEnd.count();
    player.Close(true);
    return run;
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void Report(const char* title, const Run& run, int seconds, int pictures_expected) {
    std::printf("\n%s\n", title);
    std::printf("wall %.2f s for %d s of media (%.3f x real time), cpu %.1f%% of one core\n", run.wall, seconds,
                run.wall / seconds, 100.0 * run.cpu / run.wall);
    std::printf("pictures presented: %d of %d (%.1f per second)\n", run.pictures, pictures_expected,
                run.pictures / run.wall);
    if (run.samples.empty()) {
        std::printf("no clock samples\n");
        return;
    }
    std::vector<double> offsets, magnitudes;
    double min_delay = 1e9, max_delay = 0;
    int steady_delays = 0;
    long max_rss = 0;
    for (const Sample& s : run.samples) {
        offsets.push_back(s.offset);
        magnitudes.push_back(std::fabs(s.offset));
        steady_delays += std::fabs(s.frame_delay - 0.04) < 0.001;
        min_delay = std::min(min_delay, s.frame_delay);
        max_delay = std::max(max_delay, s.frame_delay);
        max_rss = std::max(max_rss, s.resident_kb);
    }
    const std::size_t tenth = std::max<std::size_t>(offsets.size() / 10, 1);
    const double early = Median({offsets.begin(), offsets.begin() + tenth});
    const double late = Median({offsets.end() - tenth, offsets.end()});
    std::printf("audio - video clock after the first second: median %.1f ms, median |offset| %.1f ms, "
                "largest |offset| %.1f ms over %zu samples\n",
                Median(offsets) * 1000, Median(magnitudes) * 1000,
                *std::max_element(magnitudes.begin(), magnitudes.end()) * 1000, offsets.size());
    std::printf("audio - video clock: median %.1f ms in the first tenth, %.1f ms in the last: drift %.1f ms\n",
                early * 1000, late * 1000, (late - early) * 1000);
    std::printf("nominal frame delay: %.1f .. %.1f ms, 40 ms in %.1f%% of the samples\n", min_delay * 1000,
                max_delay * 1000, 100.0 * steady_delays / run.samples.size());
    std::printf("resident size: %ld kB at 10%%, %ld kB peak, %ld kB at the end\n", run.samples[tenth].resident_kb,
                max_rss, run.samples.back().resident_kb);
    if (!run.ended) {
        std::printf("the end of the file was never reported\n");
        return;
    }
    std::printf("after the end, file still open: cpu %.1f%% of one core, %.0f end states per second\n",
                100.0 * run.cpu_after_end, run.end_states_per_second);
}

fs::path Generated(const fs::path& folder, const mediagen::ClipDescription& clip) {
    const fs::path path = folder / clip.file_name;
    if (!fs::exists(path)) {
        std::printf("generating %s...\n", clip.file_name.c_str());
        mediagen::Generate(clip, path.string());
    }
    return path;
}

int RunAll(const fs::path& folder, int seconds) {
    if (!Loader().LoadLibrarySet(kConverterLibraries | kPlayerLibraries)) {
        std::fprintf(stderr, "%s\n", Loader().LastError().c_str());
        return 1;
    }
    fs::create_directories(folder);
    const fs::path hd = Generated(folder, Clip(kHd, ".mp4", seconds));
    const fs::path ahead = Generated(folder, Clip(kPcmAhead, ".avi", seconds / 3));
    Report("1280x720 H.264 + 44.1 kHz AAC in MP4", Play(hd, seconds), seconds, 25 * seconds);
    Report("640x360 MPEG-4 + 48 kHz PCM stored 0.5 s ahead, in AVI", Play(ahead, seconds / 3), seconds / 3,
           25 * (seconds / 3));
    return 0;
}

}  // namespace
}  // namespace brenvale::bench

int main(int argc, char** argv) {
    const std::filesystem::path folder = argc > 1 ? argv[1] : std::filesystem::temp_directory_path() / "brenvale-bench";
    const int seconds = argc > 2 ? std::max(6, std::atoi(argv[2])) : 60;
    return brenvale::bench::RunAll(folder, seconds);
}
