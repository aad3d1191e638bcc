// The player's picture hook and snapshot.
#include <algorithm>
#include <cstring>
#include <exception>

#include "common/main_thread.h"
#include "player/clocks.h"
#include "player/ff_player.h"
#include "player/stream_state.h"

namespace brenvale {
namespace {

TPictureRef RefOf(const AVFrame& frame) {
    return TPictureRef{frame.data, frame.linesize, frame.format, frame.width, frame.height};
}

// Copies the overlapping pixels of `from` into `to`.
void CopyPixels(const TBitmap& from, TBitmap& to) {
    const int rows = std::min(from.Height(), to.Height());
    const std::size_t bytes = static_cast<std::size_t>(std::min(from.Width(), to.Width())) * 3;
    for (int row = 0; row < rows; ++row) std::memcpy(to.ScanLine(row), from.ScanLine(row), bytes);
}

}  // namespace

bool TCustomPlayer::RunPictureHook(player::StreamState& is, const AVFrame& picture, AVFrame& overlay, double pts) {
    if (!Hook || !OnHook || !events_enabled_) return false;
    if (!hook_converter_.to_bitmap(RefOf(picture))) {
        HookLog("Cannot initialize the toRGB conversion context");
        return false;
    }
    TBitmap& bitmap = hook_converter_.bitmap();
    try {
        const std::lock_guard<std::mutex> canvas(bitmap.CanvasLock());
        OnHook(*this, bitmap, player::RoundHalfEven(pts * 1000000.0) - is.start_time);
    } catch (const std::exception& error) {
        HookLog(std::string("Error occurs OnHook: ") + error.what());
        return false;
    }
    if (!hook_converter_.from_bitmap(RefOf(overlay))) {
        HookLog("Cannot initialize the fromRGB conversion context");
        return false;
    }
    return true;
}

TBitmap& TCustomPlayer::GetCurrentFrame(std::int64_t& APTS) {
    const std::shared_ptr<player::StreamState> is = Current();
    APTS = -1;
    if (!is || !is->has_video) {
        snapshot_.SetSize(0, 0);
        return snapshot_;
    }
    // The video thread holds the overlay while the owner's hook runs, which may hand calls here.
    const std::unique_lock<std::mutex> lock = LockServingMainThread(is->overlay_mutex);
    const AVFrame* overlay = is->picture.overlay.get();
    if (!overlay) {
        snapshot_.SetSize(0, 0);
        return snapshot_;
    }
    snapshot_.SetSize(overlay->width, overlay->height);
    APTS = player::RoundHalfEven(is->picture.pts * 1000000.0) - is->start_time;
    if (snapshot_converter_.to_bitmap(RefOf(*overlay))) {
        CopyPixels(snapshot_converter_.bitmap(), snapshot_);
    } else {
        snapshot_.SetSize(0, 0);
    }
    return snapshot_;
}

TBitmap& TCustomPlayer::GetCurrentFrame() {
    std::int64_t pts = 0;
    return GetCurrentFrame(pts);
}

}  // namespace brenvale
