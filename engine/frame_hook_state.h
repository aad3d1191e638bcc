// What the frame hooks and the preview of one engine keep between pictures.
#pragma once

#include <cstdint>
#include <memory>

#include "common/picture_converter.h"
#include "engine/engine_types.h"
#include "engine/picture_pool.h"
#include "engine/preview_window.h"

namespace brenvale {

// The worker thread only, while the job runs.
struct THookState {
    TPicturePool work_pictures;  // the work copies of the decoded pictures
    TPictureConverter hook_converter;
    std::int32_t hook_frame_count = 0;  // pictures pre-processed; the frame number of the events
    THookAction hook_action = THookAction::haContinue;
};

struct TPreviewState {
    TPictureConverter preview_converter;  // the worker thread only
    // Guarded by PreviewLock(), which is never held while waiting for the main thread: a delivery
    // keeps its own reference while it shows a picture, so the window outlives a concurrent reset.
    std::shared_ptr<TPreviewWindow> preview_window;
    std::int64_t last_preview_time = 0;  // µs of the library clock; the worker thread only
};

}  // namespace brenvale
