// apply_option_list on arbitrary text, both passes, on a fresh job each time. A bad value may
// raise the engine's documented configuration errors; anything else escaping is a fault.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/custom_ffmpeg.h"
#include "engine/ffmpeg_exception.h"
#include "engine/option_numbers.h"
#include "engine/option_values.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    brenvale::fuzz::LoadLibrariesOnce();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    // "vhook" loads the shared object it names: that is its purpose, not a parsing fault.
    if (text.find("vhook") != std::string::npos) return 0;
    brenvale::TCustomFFmpeg engine;
    engine.prepare_job();
    for (const int pass : {0, 1}) {
        try {
            engine.apply_option_list(text, pass);
        } catch (const brenvale::FFmpegException&) {
        } catch (const brenvale::ConvertError&) {
        } catch (const brenvale::AssertionError&) {
        }
    }
    return 0;
}
