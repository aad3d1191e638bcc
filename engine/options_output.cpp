// Options that act on the output files: the target presets and the stream-adding options.
#include "engine/ffmpeg_exception.h"
#include "engine/option_helpers.h"
#include "engine/option_values.h"
#include "engine/options.h"

namespace brenvale {
namespace {

void set_target(TCustomFFmpeg& engine, const std::string&, const std::string& value) {
    for (const std::string norm : {"pal", "ntsc", "film"}) {
        if (value.starts_with(norm + "-")) {
            engine.apply_target(value.substr(norm.size() + 1), norm, "ntsc");
            return;
        }
    }
    engine.apply_target(TrimText(value), "auto", "ntsc");
}

AVFormatContext* last_output_file(TCustomFFmpeg& engine) {
    if (engine.output_file_count <= 0) throw FFmpegException("At least one output file must be specified");
    return engine.output_files[static_cast<std::size_t>(engine.output_file_count - 1)];
}

void add_video_stream(TCustomFFmpeg& engine, const std::string&, const std::string&) {
    engine.new_video_stream(last_output_file(engine));
}

void add_audio_stream(TCustomFFmpeg& engine, const std::string&, const std::string&) {
    engine.new_audio_stream(last_output_file(engine));
}

void add_subtitle_stream(TCustomFFmpeg& engine, const std::string&, const std::string&) {
    engine.new_subtitle_stream(last_output_file(engine));
}

constexpr TOptionEntry kOptions[] = {
    {"target", set_target},
    {"newvideo", add_video_stream},
    {"newaudio", add_audio_stream},
    {"newsubtitle", add_subtitle_stream},
};

}  // namespace

std::span<const TOptionEntry> output_options() { return kOptions; }

}  // namespace brenvale
