#include "app/catalogue/progress_figures.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>

namespace brenvale {
namespace {

constexpr std::int64_t kFirstMeasureMs = 1000;
// How far back the smoothed figures look, in wall time.
constexpr double kSpeedMemoryMs = 5000;
constexpr double kRemainingMemoryMs = 4000;

// The share of a new value that a step of `step_ms` lets into a smoothed one.
double Weight(double step_ms, double memory_ms) { return 1 - std::exp(-std::max(step_ms, 0.0) / memory_ms); }

}  // namespace

int ProgressPercent(std::int64_t current_ms, std::int64_t total_ms) {
    if (total_ms <= 0) return -1;
    return static_cast<int>(std::clamp<std::int64_t>(current_ms * 100 / total_ms, 0, 100));
}

void TProgressClock::Report(std::int64_t elapsed_ms, std::int64_t done_ms, std::int64_t total_ms,
                            std::int64_t frames) {
    const TSample sample{elapsed_ms, done_ms, frames};
    // The media time done is that of the stream least advanced: when a stream's first packets
    // come after another's, it falls back once. The measure starts again from there.
    if (first_ && done_ms < last_.DoneMs) *this = TProgressClock();
    if (!first_) {
        if (done_ms > 0) first_ = last_ = sample;
        return;
    }
    const std::int64_t step_ms = elapsed_ms - last_.ElapsedMs;
    if (step_ms <= 0 || elapsed_ms - first_->ElapsedMs < kFirstMeasureMs) return;
    measure(sample);
    last_ = sample;
    tell_remaining(step_ms, total_ms);
}

void TProgressClock::measure(const TSample& sample) {
    if (!measuring_) {
        // The first figures: the average of the first second.
        measuring_ = true;
        const double since_first_ms = static_cast<double>(sample.ElapsedMs - first_->ElapsedMs);
        speed_ = static_cast<double>(sample.DoneMs - first_->DoneMs) / since_first_ms;
        frames_per_ms_ = static_cast<double>(sample.Frames - first_->Frames) / since_first_ms;
        return;
    }
    const double step_ms = static_cast<double>(sample.ElapsedMs - last_.ElapsedMs);
    const double weight = Weight(step_ms, kSpeedMemoryMs);
    speed_ += weight * (static_cast<double>(sample.DoneMs - last_.DoneMs) / step_ms - speed_);
    frames_per_ms_ += weight * (static_cast<double>(sample.Frames - last_.Frames) / step_ms - frames_per_ms_);
}

// Counted down since last told, then drawn towards the new estimate.
void TProgressClock::tell_remaining(std::int64_t step_ms, std::int64_t total_ms) {
    if (total_ms <= 0 || speed_ <= 0) {
        remaining_ms_.reset();
        return;
    }
    const double estimate = static_cast<double>(std::max<std::int64_t>(total_ms - last_.DoneMs, 0)) / speed_;
    if (!remaining_ms_) {
        remaining_ms_ = static_cast<std::int64_t>(estimate);
        return;
    }
    const double counted = static_cast<double>(*remaining_ms_ - step_ms);
    const double told = counted + Weight(static_cast<double>(step_ms), kRemainingMemoryMs) * (estimate - counted);
    remaining_ms_ = static_cast<std::int64_t>(std::max(0.0, told));
}

std::optional<double> TProgressClock::Speed() const {
    if (!measuring_) return std::nullopt;
    return speed_;
}

std::optional<double> TProgressClock::FramesPerSecond() const {
    if (!measuring_ || last_.Frames < 0) return std::nullopt;
    return frames_per_ms_ * 1000;
}

std::string ClockText(std::int64_t milliseconds) {
    const std::int64_t seconds = std::max<std::int64_t>(milliseconds, 0) / 1000;
    char text[32];
    if (seconds >= 3600) {
        std::snprintf(text, sizeof text, "%" PRId64 ":%02" PRId64 ":%02" PRId64, seconds / 3600, seconds / 60 % 60,
                      seconds % 60);
    } else {
        std::snprintf(text, sizeof text, "%02" PRId64 ":%02" PRId64, seconds / 60, seconds % 60);
    }
    return text;
}

std::string SpeedText(const TProgressClock& clock) {
    char text[32];
    if (const std::optional<double> fps = clock.FramesPerSecond(); fps && *fps > 0) {
        std::snprintf(text, sizeof text, "%.0f fps", *fps);
        return text;
    }
    const std::optional<double> speed = clock.Speed();
    if (!speed) return {};
    // Tenths by integer arithmetic: a "." whatever the locale.
    const auto tenths = static_cast<std::int64_t>(std::llround(*speed * 10));
    std::snprintf(text, sizeof text, "%" PRId64 ".%" PRId64 "x", tenths / 10, tenths % 10);
    return text;
}

}  // namespace brenvale
