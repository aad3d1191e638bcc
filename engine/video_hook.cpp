#include "engine/video_hook.h"

#include <dlfcn.h>

#include <new>
#include <string>

#include "binding/media_api.h"
#include "engine/video_hook_library.h"

namespace brenvale {
namespace {

void LogError(const std::string& text) { ff::av_log(nullptr, AV_LOG_ERROR, "%s", text.c_str()); }

template <typename Function>
Function FindEntryPoint(void* library, const char* name) {
    return reinterpret_cast<Function>(::dlsym(library, name));
}

}  // namespace

int TVideoHookChain::add_video_hook(int count, char* args[], int args_high) {
    if (count < 1 || !args || !args[0]) return kVideoHookInvalid;
    const std::string path = args[0];
    const PluginFolderScope folder(path);
    std::string error;
    void* library = LoadVideoHookLibrary(folder.file(), error);
    if (!library) {
        LogError(error + "\n");
        return kVideoHookLoadFailed;
    }
    try {
        entries_.reserve(entries_.size() + 1);
    } catch (const std::bad_alloc&) {
        return kVideoHookNoMemory;
    }
    Entry entry;
    entry.configure = FindEntryPoint<BrenvaleHookConfigure>(library, "Configure");
    entry.process = FindEntryPoint<BrenvaleHookProcess>(library, "Process");
    entry.release = FindEntryPoint<BrenvaleHookRelease>(library, "Release");
    if (!entry.process) {
        LogError("Failed to find Process entrypoint in " + path + "\n");
        return kVideoHookInvalid;
    }
    if (!entry.configure && count > 1) {
        LogError("Failed to find Configure entrypoint in " + path + "\n");
        return kVideoHookInvalid;
    }
    if (entry.configure && entry.configure(&entry.context, count, args, args_high) != 0) {
        LogError("Failed to Configure " + path + "\n");
        return kVideoHookConfigureFailed;
    }
    // Cannot throw: the room was reserved before "Configure" made a context.
    entries_.push_back(entry);
    return kVideoHookAdded;
}

void TVideoHookChain::run_video_hooks(BrenvaleHookPicture* picture, int pix_fmt, std::int64_t pts,
                                      int width, int height) const {
    for (const Entry& entry : entries_) entry.process(entry.context, picture, pix_fmt, width, height, pts);
}

void TVideoHookChain::release_video_hooks() {
    for (const Entry& entry : entries_) {
        if (entry.release) entry.release(entry.context);
    }
    entries_.clear();
}

}  // namespace brenvale
