// Arbitrary option lists through a whole job: a small generated clip as input, the list applied
// as a job's output options (both passes), the output opened and the job run on the calling
// thread. The output goes to the null muxer so the text cannot make it write files; the job runs
// in the scratch folder, where the statistics files of "pass" land. Each input finds the same
// statistics there, so that what one input leaves cannot change what the next one does.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "engine/custom_ffmpeg.h"
#include "engine/ffmpeg_exception.h"
#include "engine/option_numbers.h"
#include "engine/option_values.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/seed_clips.h"
#include "tools/clip_catalogue.h"
#include "tools/media_generator.h"

namespace {

std::string clip_path;

// False when the job cannot start; configuration errors are the documented ones.
bool configure(brenvale::TCustomFFmpeg& engine, const std::string& text) {
    try {
        if (!engine.open_input_file(clip_path)) return false;
        engine.apply_option_list(text, 0);
        engine.apply_option("f", "null");
        if (engine.open_output_file("output") < 0) return false;
        engine.apply_option_list(text, 1);
        return true;
    } catch (const brenvale::FFmpegException&) {
    } catch (const brenvale::ConvertError&) {
    } catch (const brenvale::AssertionError&) {
    }
    return false;
}

// Stands for what a first pass of the default statistics prefix would have left.
void reset_pass_statistics() {
    for (const char* name : {"ffmpeg2pass-0.log", "ffmpeg2pass-1.log"}) std::ofstream(name) << "in:0 out:0 type:1\n";
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    brenvale::fuzz::LoadLibrariesOnce();
    const std::string& folder = brenvale::fuzz::ScratchFolder();
    clip_path = folder + "/clip.mp4";
    namespace mediagen = brenvale::mediagen;
    mediagen::Generate(brenvale::fuzz::ShrunkClip(mediagen::StandardClip(mediagen::clips::kMp4H264Aac)), clip_path);
    if (::chdir(folder.c_str()) != 0) return 1;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    // Names of files to write or plug-ins to load: not parsing, and they could reach any path.
    for (const char* name : {"vhook", "vstats", "passlogfile"}) {
        if (text.find(name) != std::string::npos) return 0;
    }
    reset_pass_statistics();
    brenvale::TCustomFFmpeg engine;
    engine.prepare_job();
    if (configure(engine, text)) engine.start(false);
    return 0;
}
