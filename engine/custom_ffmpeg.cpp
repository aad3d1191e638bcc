#include "engine/custom_ffmpeg.h"

#include "binding/library_loader.h"
#include "binding/media_api.h"
#include "common/log_levels.h"
#include "common/main_thread.h"

namespace brenvale {

TCustomFFmpeg::TCustomFFmpeg() {
    option_context.on_debug = [this](int level) { set_verbose(level); };
    reset_options();
}

TCustomFFmpeg::~TCustomFFmpeg() {
    stop_and_wait();
    release_job();
}

void TCustomFFmpeg::stop_and_wait() {
    request_stop();
    // No time limit: the engine must not be released while one of its threads still uses it.
    WaitServingMainThread([this] { return threads_inside_.load(std::memory_order_acquire) == 0; });
}

bool TCustomFFmpeg::libraries_bound() { return Loader().AreLibrariesLoaded(kConverterLibraries); }

void TCustomFFmpeg::reset_options() {
    release_owned_settings();
    static_cast<TJobSettings&>(*this) = TJobSettings{};
}

void TCustomFFmpeg::set_verbose(int level) {
    verbose = level;
    if (ff::av_log_set_level) ff::av_log_set_level(LibraryLogLevel(level));
    SetLogThreshold(level);
}

}  // namespace brenvale
