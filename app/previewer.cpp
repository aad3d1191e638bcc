#include "app/previewer.h"

extern "C" {
#include <libavutil/avutil.h>
}

#include "app/preview_form.h"
#include "common/bitmap.h"
#include "common/main_thread.h"

namespace brenvale {

TPreviewer::TPreviewer() = default;

TPreviewer::~TPreviewer() {
    if (window_made_) RunOnMainThread([this] { window_.reset(); });
}

bool TPreviewer::ShowFrame(const TBitmap& bitmap, std::int32_t, std::int64_t pts) {
    if (closed_) return false;
    RunOnMainThread([&] { show_step(bitmap, pts); });
    return !closed_;
}

void TPreviewer::show_step(const TBitmap& bitmap, std::int64_t pts) {
    if (closed_) return;
    if (!window_) {
        window_ = std::make_unique<TPreviewForm>(bitmap.Width(), bitmap.Height(), [this] { closed_ = true; });
        window_made_ = true;
        window_->show();
    }
    window_->setWindowTitle(TimeCaption(pts));
    window_->ShowBitmap(bitmap);
}

QString TPreviewer::TimeCaption(std::int64_t pts) {
    if (pts == AV_NOPTS_VALUE) return QStringLiteral("N/A");
    const std::int64_t hours = pts / 3600000000;
    const std::int64_t minutes = pts / 60000000 % 60;
    const std::int64_t seconds = pts / 1000000 % 60;
    const std::int64_t milliseconds = pts % 1000000 * 1000 / 1000000;
    return QString::asprintf("%.2d:%.2d:%.2d.%.3d", static_cast<int>(hours), static_cast<int>(minutes),
                             static_cast<int>(seconds), static_cast<int>(milliseconds));
}

void InstallPreviewer() {
    SetPreviewWindowFactory([] { return std::make_unique<TPreviewer>(); });
}

}  // namespace brenvale
