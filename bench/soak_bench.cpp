// brenvale-soak-bench [folder] [minutes]: converts a long synthetic clip (10 minutes by
// default, 160x120 with sound) through the converter component while sampling the resident
// size, and prints the samples, the high-water mark and the growth after the start. Figures
// only; never pass/fail.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/converter_jobs.h"
#include "bench/resident_size.h"
#include "converter/converter.h"
#include "tools/media_generator.h"

namespace brenvale::bench {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr auto kSampleInterval = 50ms;

mediagen::ClipDescription LongClip(int minutes) {
    mediagen::ClipDescription clip;
    clip.name = "soak";
    clip.format = "avi";
    clip.video = mediagen::VideoSpec{"mpeg4", 160, 120, {25, 1}, 25LL * 60 * minutes, "yuv420p"};
    clip.audio = {mediagen::AudioSpec{"libmp3lame", 22050, 1, 22050LL * 60 * minutes, 440}};
    return clip;
}

struct Sample {
    double seconds = 0;
    long resident_kb = 0;
};

void PrintFigures(const std::vector<Sample>& samples, int minutes, double seconds, bool finished) {
    if (samples.size() < 10) {
        std::printf("too few samples (%zu)\n", samples.size());
        return;
    }
    const std::size_t tenth = samples.size() / 10;
    const auto resident = [](const Sample& a, const Sample& b) { return a.resident_kb < b.resident_kb; };
    const long after_start = std::max_element(samples.begin(), samples.begin() + tenth, resident)->resident_kb;
    const long peak = std::max_element(samples.begin(), samples.end(), resident)->resident_kb;
    // Every tenth of the run, so the shape of the curve shows without a plot.
    std::printf("resident size every tenth of the run:");
    for (std::size_t i = 0; i < samples.size(); i += tenth)
        std::printf(" %.0fs=%ld", samples[i].seconds, samples[i].resident_kb);
    std::printf(" end=%ld kB\n", samples.back().resident_kb);
    std::printf(
        "%d-minute clip converted in %.1f s (%s), %zu samples: %ld kB after the first tenth, peak %ld kB, "
        "growth after the first tenth %+ld kB, high-water mark of the process %ld kB\n",
        minutes, seconds, finished ? "Done" : "NOT FINISHED", samples.size(), after_start, peak, peak - after_start,
        PeakResidentKilobytes());
}

int Main(const std::string& folder, int minutes) {
    TConverter converter;
    if (!LoadQuietly(converter)) return 1;
    fs::create_directories(folder);
    const std::string input = folder + "/soak.avi";
    mediagen::Generate(LongClip(minutes), input);
    std::printf("clip: %.1f MB, resident size before the run %ld kB\n",
                static_cast<double>(fs::file_size(input)) / (1 << 20), ResidentKilobytes());

    const int index = converter.AddInput(input);
    TOutputOptions options;
    options.VideoCodec = "flv";
    options.AudioCodec = "libmp3lame";
    if (index < 0 || !converter.AddOutput(index, folder + "/soak.flv", &options)) {
        std::fprintf(stderr, "%s\n", converter.LastError().c_str());
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    const auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
    std::vector<Sample> samples;
    const bool finished =
        RunJobsToTheEnd(converter, kSampleInterval, [&] { samples.push_back({elapsed(), ResidentKilobytes()}); });
    PrintFigures(samples, minutes, elapsed(), finished);
    converter.ClearJobs();
    fs::remove_all(folder);
    return 0;
}

}  // namespace
}  // namespace brenvale::bench

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : std::filesystem::temp_directory_path() / "brenvale-soak";
    const int minutes = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;
    return brenvale::bench::Main(folder, minutes);
}
