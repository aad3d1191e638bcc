// The chain of video hook plug-ins of one job.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/video_hook_plugin.h"

namespace brenvale {

// Result codes of add_video_hook.
enum VideoHookResult : int {
    kVideoHookAdded = 0,
    kVideoHookLoadFailed = -1,
    kVideoHookInvalid = -2,  // no arguments, or an entry point missing
    kVideoHookNoMemory = -12,
    kVideoHookConfigureFailed = -22,
};

// Grown and released on the configuring thread; run_video_hooks runs on the job's worker thread
// once configuration is over. Not thread-safe otherwise.
class TVideoHookChain {
public:
    TVideoHookChain() = default;
    ~TVideoHookChain() { release_video_hooks(); }
    TVideoHookChain(const TVideoHookChain&) = delete;
    TVideoHookChain& operator=(const TVideoHookChain&) = delete;

    // args[0] is the plug-in path; args_high is the highest index of args as handed to
    // "Configure". Failures are written to the library log.
    int add_video_hook(int count, char* args[], int args_high);
    // Every plug-in in the order added works on the same picture.
    void run_video_hooks(BrenvaleHookPicture* picture, int pix_fmt, std::int64_t pts, int width,
                         int height) const;
    // "Release" of every plug-in with its context, then the chain is empty.
    void release_video_hooks();

    bool empty() const { return entries_.empty(); }
    std::size_t size() const { return entries_.size(); }

private:
    struct Entry {
        BrenvaleHookConfigure configure = nullptr;
        BrenvaleHookProcess process = nullptr;
        BrenvaleHookRelease release = nullptr;
        void* context = nullptr;
    };

    std::vector<Entry> entries_;
};

}  // namespace brenvale
