// The engine's input path on arbitrary bytes as a file: open it as a job's input, then convert
// a few frames of it to the null muxer with cheap encoders, on the calling thread.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "engine/custom_ffmpeg.h"
#include "engine/ffmpeg_exception.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    brenvale::fuzz::LoadLibrariesOnce();
    return 0;
}

namespace {

// Opens the input and a null output as a job would; false when the job cannot start.
bool configure(brenvale::TCustomFFmpeg& engine, const std::string& input) {
    if (!engine.open_input_file(input)) return false;
    for (const auto& [name, value] : {std::pair{"f", "null"}, {"vcodec", "rawvideo"}, {"s", "64x48"},
                                      {"vframes", "25"}, {"acodec", "pcm_s16le"}, {"t", "2"}}) {
        engine.apply_option(name, value);
    }
    return engine.open_output_file("fuzz-output") >= 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    brenvale::TCustomFFmpeg engine;
    engine.prepare_job();
    try {
        if (!configure(engine, brenvale::fuzz::WriteScratchFile(data, size))) return 0;
    } catch (const brenvale::FFmpegException&) {
        return 0;  // a stream of a media type the engine does not know
    }
    engine.start(false);
    return 0;
}
