// The component's life, its library set and its properties.
#include "converter/converter.h"

#include <algorithm>

#include "binding/library_loader.h"
#include "binding/media_api.h"
#include "common/log_levels.h"
#include "converter/library_log.h"

namespace brenvale {

TConverter::TConverter() { AddLiveComponent(*this); }

TConverter::~TConverter() {
    RemoveLiveComponent(*this);
    {
        // The owner may be going too: nothing reaches it from here on.
        const std::lock_guard<std::mutex> lock(handlers_lock_);
        handlers_ = THandlers{};
    }
    std::vector<std::unique_ptr<TFFmpeg>> jobs;
    {
        // Lets a delivery in progress finish before the jobs go.
        const TEventGuard guard(event_lock_);
        jobs = jobs_.TakeAll();
        jobs_left_ = 0;
    }
    free_jobs(std::move(jobs));
}

bool TConverter::LoadLibraries(const std::string& library_path) {
    Loader().SetLibraryFolder(library_path);
    if (!Loader().LoadLibrarySet(kConverterLibraries)) {
        last_error_ = Loader().LastError();
        return false;
    }
    InstallLibraryLogCallback();
    apply_library_log_level();
    return true;
}

void TConverter::apply_library_log_level() const {
    ff::av_log_set_level(LibraryLogLevel(log_threshold()));
    SetLogThreshold(ProgramLogLevel(ff::av_log_get_level()));
}

void TConverter::SetLogLevel(TLogLevel level) {
    log_level_ = level;
    if (Loader().IsLibraryLoaded(LibraryId::AvUtil)) apply_library_log_level();
}

void TConverter::SetProgressInterval(int milliseconds) { progress_interval_ms_ = std::max(milliseconds, 100); }

TPreviewFlags TConverter::preview_flags() const {
    return (preview_ ? kPreviewWindow : 0) | (preview_bitmap_ ? kPreviewBitmap : 0);
}

void TConverter::apply_preview_flags() {
    for (int index = 0; index < jobs_.Count(); ++index) jobs_.Item(index).set_preview_flags(preview_flags());
}

void TConverter::SetPreview(bool preview) {
    preview_ = preview;
    apply_preview_flags();
}

void TConverter::SetPreviewBitmap(bool preview_bitmap) {
    preview_bitmap_ = preview_bitmap;
    apply_preview_flags();
}

void TConverter::SetOnProgress(TProgressEvent handler) { set_handler(&THandlers::OnProgress, std::move(handler)); }

void TConverter::SetOnPreviewBitmap(TPreviewBitmapEvent handler) {
    set_handler(&THandlers::OnPreviewBitmap, std::move(handler));
}

void TConverter::SetOnLog(TLogEvent handler) { set_handler(&THandlers::OnLog, std::move(handler)); }

void TConverter::SetOnTerminate(TTerminateEvent handler) { set_handler(&THandlers::OnTerminate, std::move(handler)); }

void TConverter::SetOnBeforeHook(TBeforeHookEvent handler) {
    set_handler(&THandlers::OnBeforeHook, std::move(handler));
}

void TConverter::SetOnCustomHook(TCustomHookEvent handler) {
    set_handler(&THandlers::OnCustomHook, std::move(handler));
}

}  // namespace brenvale
