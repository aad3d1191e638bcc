// brenvale-bench [folder] [encode|copy|resident|stages]: the engine against the bare library path, how busy the
// cores are for one job and for simultaneous jobs, stream copy against a plain file copy, the
// resident size through a long conversion, and decoding ahead against decoding in turn. Prints
// ratios.
#include <malloc.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "bench/bare_transcode.h"
#include "bench/resident_size.h"
#include "binding/library_loader.h"
#include "binding/media_api.h"
#include "common/core_count.h"
#include "common/main_thread.h"
#include "converter/converter.h"
#include "engine/custom_ffmpeg.h"
#include "tools/media_generator.h"

namespace brenvale::bench {
namespace {

namespace fs = std::filesystem;
constexpr int kLongSeconds = 300;
using Options = std::vector<std::pair<std::string, std::string>>;

double Seconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct Timing {
    double wall = 1e100;
    double cpu = 1e100;
    double busy = 0;  // cpu time / (wall time x cores) of the fastest run
};

// Keeps the fastest run: the machine is shared, so one run alone is noisy.
void Measure(Timing& best, const std::function<void()>& work) {
    const double cpu_start = CpuSeconds();
    const double wall = Seconds(work);
    const double cpu = CpuSeconds() - cpu_start;
    if (wall < best.wall) best.busy = cpu / (wall * CoreCount());
    best.wall = std::min(best.wall, wall);
    best.cpu = std::min(best.cpu, cpu);
}

// The best of three runs: the machine is shared, so one run alone is noisy.
double BestOfThree(const std::function<void()>& work) {
    return std::min({Seconds(work), Seconds(work), Seconds(work)});
}

mediagen::ClipDescription Clip(const std::string& video_codec, int width, int height, int frames,
                               const std::string& format, int frame_rate = 25) {
    mediagen::ClipDescription clip;
    clip.name = "bench";
    clip.format = format;
    clip.video = mediagen::VideoSpec{video_codec, width, height, {frame_rate, 1}, frames, "yuv420p"};
    mediagen::AudioSpec audio;
    audio.codec = format == "matroska" ? "pcm_s16le" : "aac";
    audio.sample_count = 44100LL * frames / frame_rate;
    clip.audio = {audio};
    return clip;
}

// What real sources give the encoders: moving detail with grain in every picture.
mediagen::ClipDescription GrainyClip(int frames) {
    mediagen::ClipDescription clip = Clip("libx264", 1280, 720, frames, "mp4", 30);
    clip.video->noise = true;
    return clip;
}

// Five seconds of grainy 720p at 30 fps in `folder`, written once for every part that needs it.
std::string ShortGrainyClip(const std::string& folder) {
    const std::string clip = folder + "/clip720.mp4";
    if (!fs::exists(clip)) mediagen::Generate(GrainyClip(150), clip);
    return clip;
}

const Options kFlvPreset = {{"acodec", "libmp3lame"}, {"ac", "2"},     {"ar", "44100"}, {"ab", "64000"},
                            {"vcodec", "flv"},        {"r", "15"},     {"vb", "200000"}};

struct EngineRun {
    bool finished = false;
    std::string error;
    long start_kb = 0;              // before the run, with the memory freed before it returned
    std::vector<long> resident_kb;  // sampled at every progress report
};

EngineRun RunEngine(const std::string& input, const std::string& output, const Options& options,
                    bool decode_ahead = true) {
    EngineRun run;
    malloc_trim(0);
    run.start_kb = ResidentKilobytes();
    TCustomFFmpeg engine;
    engine.prepare_job();
    engine.set_verbose(-1);
    engine.decode_ahead = decode_ahead;
    engine.progress_interval = 100000;
    engine.on_progress = [&run](TCustomFFmpeg&, std::int32_t, std::int32_t, std::int32_t, float, float, std::int64_t,
                                std::int32_t) { run.resident_kb.push_back(ResidentKilobytes()); };
    if (!engine.open_input_file(input)) {
        run.error = engine.last_error;
        return run;
    }
    for (const auto& [name, value] : options) engine.apply_option(name, value);
    if (engine.open_output_file(output) < 0) {
        run.error = engine.last_error;
        return run;
    }
    engine.start(false);
    run.finished = engine.finished;
    run.error = engine.exception_message;
    return run;
}

// Engine and bare runs alternate, so a change of the machine's load hits both alike.
void CompareWithBarePath(const std::string& name, const std::string& input, const std::string& folder,
                         const Options& options, const BareSettings& bare) {
    constexpr int kRounds = 4;
    BareResult bare_result;
    EngineRun engine_run;
    Timing engine;
    Timing plain;
    const std::string extension = "." + bare.format;
    for (int round = 0; round < kRounds; ++round) {
        Measure(engine, [&] { engine_run = RunEngine(input, folder + "/engine" + extension, options); });
        Measure(plain, [&] { bare_result = RunBareTranscode(input, folder + "/bare" + extension, bare); });
    }
    const long peak_kb =
        engine_run.resident_kb.empty() ? 0 : *std::max_element(engine_run.resident_kb.begin(), engine_run.resident_kb.end());
    std::printf(
        "%-18s wall: engine %.3f s, bare %.3f s, overhead %+.1f %%; cpu: engine %.3f s, bare %.3f s, "
        "overhead %+.1f %%; cores busy: engine %.0f %%, bare %.0f %%; engine peak resident %ld kB, %ld kB "
        "before the run (%lld pictures)%s\n",
        name.c_str(), engine.wall, plain.wall, (engine.wall / plain.wall - 1) * 100, engine.cpu, plain.cpu,
        (engine.cpu / plain.cpu - 1) * 100, engine.busy * 100, plain.busy * 100, peak_kb, engine_run.start_kb,
        static_cast<long long>(bare_result.video_frames),
        engine_run.finished ? "" : (" FAILED: " + engine_run.error).c_str());
}

// One engine run alone: how much of the cores it keeps busy.
void MeasureOneJob(const std::string& name, const std::string& input, const std::string& output,
                   const Options& options) {
    Timing timing;
    EngineRun run;
    for (int round = 0; round < 2; ++round) Measure(timing, [&] { run = RunEngine(input, output, options); });
    std::printf("%-18s wall %.3f s, cpu %.3f s, cores busy %.0f %%%s\n", name.c_str(), timing.wall, timing.cpu,
                timing.busy * 100, run.finished ? "" : (" FAILED: " + run.error).c_str());
}

// One job decoding in turn with its encoding, then ahead of it on a thread of its own; the two
// alternate, so a change of the machine's load hits both alike.
void CompareDecodingAhead(const std::string& name, const std::string& input, const std::string& output,
                          const Options& options) {
    constexpr int kRounds = 3;
    Timing in_turn;
    Timing ahead;
    bool finished = true;
    for (int round = 0; round < kRounds; ++round) {
        Measure(in_turn, [&] { finished &= RunEngine(input, output, options, false).finished; });
        Measure(ahead, [&] { finished &= RunEngine(input, output, options, true).finished; });
    }
    std::printf(
        "%-18s decoding in turn: wall %.3f s, cpu %.3f s, cores busy %.0f %%; ahead: wall %.3f s, cpu %.3f s, "
        "cores busy %.0f %%; wall %+.1f %%%s\n",
        name.c_str(), in_turn.wall, in_turn.cpu, in_turn.busy * 100, ahead.wall, ahead.cpu, ahead.busy * 100,
        (ahead.wall / in_turn.wall - 1) * 100, finished ? "" : " FAILED");
}

// Several files through the converter component, `at_once` of them running at a time.
void MeasureSimultaneousJobs(const std::string& input, const std::string& folder, int files, int at_once) {
    TConverter converter;
    if (!converter.LoadLibraries("")) return;
    converter.SetLogLevel(TLogLevel::llQuiet);
    std::atomic<bool> ended{false};
    std::atomic<int> done{0};
    converter.SetOnTerminate([&](int index, bool finished, bool, const std::string&) {
        if (index < 0) ended = true;
        else if (finished) ++done;
    });
    for (int file = 0; file < files; ++file) {
        TOutputOptions options;
        options.VideoCodec = "flv";
        options.AudioCodec = "libmp3lame";
        options.FrameRate = "15";
        options.VideoBitrate = 200000;
        options.AudioBitrate = 64000;
        const int index = converter.AddInput(input);
        if (index < 0 || !converter.AddOutput(index, folder + "/many" + std::to_string(file) + ".flv", &options)) {
            std::printf("simultaneous jobs: %s\n", converter.LastError().c_str());
            return;
        }
    }
    Timing timing;
    Measure(timing, [&] {
        converter.StartJobs(at_once);
        WaitServingMainThread([&] { return ended.load(); });
    });
    std::printf("%d FLV files, %d at once: wall %.3f s, cpu %.3f s, cores busy %.0f %% (%d done)\n", files, at_once,
                timing.wall, timing.cpu, timing.busy * 100, done.load());
    converter.ClearJobs();
}

double CopyFile(const std::string& from, const std::string& to) {
    return Seconds([&] {
        std::ifstream in(from, std::ios::binary);
        std::ofstream out(to, std::ios::binary | std::ios::trunc);
        std::vector<char> buffer(1 << 20);
        while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0)
            out.write(buffer.data(), in.gcount());
    });
}

void CompareStreamCopy(const std::string& folder) {
    const std::string input = folder + "/large.mkv";
    mediagen::Generate(Clip("rawvideo", 640, 360, 600, "matroska"), input);
    const double megabytes = static_cast<double>(fs::file_size(input)) / (1 << 20);
    const double copy_seconds = std::min({CopyFile(input, folder + "/copy.mkv"), CopyFile(input, folder + "/copy.mkv"),
                                          CopyFile(input, folder + "/copy.mkv")});
    std::printf("stream copy of %.0f MB: file copy %.3f s\n", megabytes, copy_seconds);
    // Matroska's muxer checksums and buffers every cluster; AVI writes packets as they come.
    for (const char* extension : {"avi", "mkv"}) {
        EngineRun run;
        const std::string output = folder + "/remux." + extension;
        const double seconds = BestOfThree([&] {
            run = RunEngine(input, output, {{"vcodec", "copy"}, {"acodec", "copy"}});
        });
        std::printf("  to %s: %.3f s, speed %.2f of the file copy%s\n", extension, seconds, copy_seconds / seconds,
                    run.finished ? "" : (" FAILED: " + run.error).c_str());
    }
}

void MeasureResidentSize(const std::string& folder) {
    const std::string input = folder + "/long.mp4";
    mediagen::Generate(Clip("mpeg4", 320, 240, 25 * kLongSeconds, "mp4"), input);
    const EngineRun run = RunEngine(input, folder + "/long.flv",
                                    {{"vcodec", "flv"}, {"acodec", "libmp3lame"}, {"r", "25"}, {"ar", "44100"}});
    if (run.resident_kb.size() < 10) {
        std::printf("resident size: too few reports (%s)\n", run.error.c_str());
        return;
    }
    const auto& kb = run.resident_kb;
    const std::size_t tenth = kb.size() / 10;
    const long after_start = *std::max_element(kb.begin(), kb.begin() + static_cast<std::ptrdiff_t>(tenth));
    const long peak = *std::max_element(kb.begin(), kb.end());
    std::printf(
        "resident size over a %d s conversion (%zu samples): %ld kB after the first tenth, %ld kB at the "
        "end, peak %ld kB, growth after the first tenth %+ld kB\n",
        kLongSeconds, kb.size(), after_start, kb.back(), peak, peak - after_start);
}

void CompareEncodings(const std::string& folder) {
    const std::string clip = ShortGrainyClip(folder);
    // First: the resident size of the process is still the job's own.
    CompareWithBarePath("MP4 libx264, 720p", clip, folder,
                        {{"acodec", "aac"},
                         {"ac", "2"},
                         {"ar", "44100"},
                         {"ab", "128000"},
                         {"vcodec", "libx264"},
                         {"r", "25"},
                         {"vb", "1200000"}},
                        {"mp4", "libx264", "aac", 1200000, 128000, 44100, 25, {}});
    CompareWithBarePath("FLV preset, 720p", clip, folder, kFlvPreset,
                        {"flv", "flv", "libmp3lame", 200000, 64000, 44100, 15, {}});
    Options scaled = kFlvPreset;
    scaled.emplace_back("s", "640x360");
    MeasureOneJob("FLV 720p to 360p", clip, folder + "/scaled.flv", scaled);
    MeasureSimultaneousJobs(clip, folder, 4, 2);
}

void CompareStages(const std::string& folder) {
    const std::string clip = ShortGrainyClip(folder);
    CompareDecodingAhead("FLV preset, 720p", clip, folder + "/stages.flv", kFlvPreset);
    Options scaled = kFlvPreset;
    scaled.emplace_back("s", "640x360");
    CompareDecodingAhead("FLV 720p to 360p", clip, folder + "/stages_scaled.flv", scaled);
    CompareDecodingAhead("MP4 libx264, 720p", clip, folder + "/stages.mp4",
                         {{"acodec", "aac"}, {"vcodec", "libx264"}, {"r", "25"}, {"vb", "1200000"}});
}

// `part`: "encode", "copy", "resident", "stages" or empty for all of them.
int Main(const std::string& folder, const std::string& part) {
    if (!Loader().LoadLibrarySet(kConverterLibraries)) {
        std::fprintf(stderr, "%s\n", Loader().LastError().c_str());
        return 1;
    }
    ff::av_log_set_level(AV_LOG_QUIET);
    fs::create_directories(folder);
    std::printf("%d cores\n", CoreCount());
    if (part.empty() || part == "encode") CompareEncodings(folder);
    if (part.empty() || part == "copy") CompareStreamCopy(folder);
    if (part.empty() || part == "resident") MeasureResidentSize(folder);
    if (part.empty() || part == "stages") CompareStages(folder);
    fs::remove_all(folder);
    return 0;
}

}  // namespace
}  // namespace brenvale::bench

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : std::filesystem::temp_directory_path() / "brenvale-bench";
    return brenvale::bench::Main(folder, argc > 2 ? argv[2] : "");
}
