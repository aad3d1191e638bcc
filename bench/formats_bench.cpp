// brenvale-formats-bench [folder] [seconds]: each format of today converts a clip of 720p at 30
// pictures a second (60 s by default) through the converter component with its preset, as the
// window and brenvale-cli run it; the video formats also through the bare library path with the
// same encoder settings. Prints the times, their ratio to the clip's length and the engine's
// overhead, with the machine's load before and after. Figures only; never pass/fail.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/catalogue/codec_lists.h"
#include "app/catalogue/codec_table.h"
#include "app/catalogue/format_catalogue.h"
#include "app/catalogue/format_presets.h"
#include "app/catalogue/job_options.h"
#include "app/catalogue/source_probe.h"
#include "bench/bare_transcode.h"
#include "bench/converter_jobs.h"
#include "converter/converter.h"
#include "engine/option_values.h"
#include "tools/media_generator.h"

namespace brenvale::bench {
namespace {

namespace fs = std::filesystem;
constexpr int kFramesPerSecond = 30;

std::string Load() {
    std::ifstream file("/proc/loadavg");
    std::string one, five, fifteen;
    file >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

mediagen::ClipDescription Clip(int seconds) {
    mediagen::ClipDescription clip;
    clip.name = "formats";
    clip.format = "mp4";
    clip.video = mediagen::VideoSpec{"libx264", 1280, 720, {kFramesPerSecond, 1}, kFramesPerSecond * seconds, "yuv420p"};
    clip.audio = {mediagen::AudioSpec{"aac", 48000, 2, 48000LL * seconds, 440}};
    return clip;
}

TConversionSettings PresetSettings(const TheAVCodec& entry) {
    TConversionSettings settings;
    settings.Entry = &entry;
    settings.Controls = PresetSelections(PresetForDefaultCodecs(PresetFor(entry)));
    return settings;
}

// Seconds the converter took; negative when the job did not finish.
double RunConverter(TConverter& converter, const std::string& input, const std::string& output,
                    const TConversionSettings& settings) {
    if (!converter.Probe().LoadFile(input)) return -1;
    const TSourceRow source = DescribeOpenFile(converter.Probe());
    converter.Probe().Close();
    TOutputOptions options;
    FillJobOutputOptions(settings, source, options);
    converter.ClearJobs();
    const int index = converter.AddInput(input);
    if (index < 0 || !converter.AddOutput(index, output, &options)) return -1;
    const auto start = std::chrono::steady_clock::now();
    const bool finished = RunJobsToTheEnd(converter, std::chrono::milliseconds(100));
    const double seconds = Seconds(start);
    converter.ClearJobs();
    return finished ? seconds : -1;
}

// The encoders and settings the preset gives a job, for the bare path.
BareSettings BareSettingsFor(const TConversionSettings& settings, const std::string& muxer) {
    TOutputOptions options;
    FillJobOutputOptions(settings, {}, options);
    BareSettings bare{muxer, options.VideoCodec, options.AudioCodec, 0, options.AudioBitrate,
                      options.AudioSampleRate > 0 ? options.AudioSampleRate : 48000, kFramesPerSecond};
    if (options.VideoQuality >= 0) bare.video_options.emplace_back("crf", std::to_string(options.VideoQuality));
    if (const TVideoCodecEntry* codec = FindVideoCodec(settings.Controls.VideoCodec))
        for (const auto& line : SplitOptionList(codec->EncoderOptions)) bare.video_options.push_back(line);
    return bare;
}

std::string MuxerOf(const TheAVCodec& entry) {
    if (entry.Extension == "MKV") return "matroska";
    return entry.Extension == "WEBM" ? "webm" : "mp4";
}

int Main(const std::string& folder, int seconds) {
    TConverter converter;
    if (!LoadQuietly(converter)) return 1;
    fs::create_directories(folder);
    const std::string input = folder + "/clip720p30.mp4";
    mediagen::Generate(Clip(seconds), input);
    std::printf("%d s of 1280x720 at %d pictures a second; load before: %s\n", seconds, kFramesPerSecond,
                Load().c_str());
    const auto& catalogue = FormatCatalogue();
    for (std::size_t i = kFlashEraEntryCount; i < catalogue.size(); ++i) {
        const TheAVCodec& entry = catalogue[i];
        const TConversionSettings settings = PresetSettings(entry);
        const std::string output = folder + "/out" + OutputExtension(entry);
        const double engine = RunConverter(converter, input, output, settings);
        std::printf("%-40s converter %7.1f s (%.2f x its length)", entry.ListText.c_str(), engine, engine / seconds);
        if (!IsAudioOnly(entry)) {
            const auto start = std::chrono::steady_clock::now();
            RunBareTranscode(input, folder + "/bare" + OutputExtension(entry), BareSettingsFor(settings, MuxerOf(entry)));
            const double bare = Seconds(start);
            std::printf(", bare path %7.1f s, overhead %+.1f %%", bare, (engine / bare - 1) * 100);
        }
        std::printf("  [load %s]\n", Load().c_str());
        std::fflush(stdout);
    }
    fs::remove_all(folder);
    return 0;
}

}  // namespace
}  // namespace brenvale::bench

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : std::filesystem::temp_directory_path() / "brenvale-formats-bench";
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 60;
    return brenvale::bench::Main(folder, seconds > 0 ? seconds : 60);
}
