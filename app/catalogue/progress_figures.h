// The figures of a running conversion as the list, the status bar and the command line show
// them: share done, speed and time left.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace brenvale {

// current * 100 / total, truncated and limited to 0..100; -1 when the total is not known.
int ProgressPercent(std::int64_t current_ms, std::int64_t total_ms);

// Speed and time left of one conversion (or of a whole run) from its progress reports: media
// time done against wall time. The measure starts with the first report that has media time
// done, so the encoders' start (opening, filling their look-ahead) does not count as slowness,
// and again when the media time done falls back; nothing is told before a second of it. Speeds are smoothed over a few seconds and the time
// left follows its new estimate smoothly, counting down meanwhile: it never jumps.
class TProgressClock {
public:
    // `elapsed_ms`: wall time since the conversion started; `done_ms` of `total_ms` media time
    // done (a total of 0 or less: not known); `frames`: pictures done (-1 without video).
    // Reports come in order.
    void Report(std::int64_t elapsed_ms, std::int64_t done_ms, std::int64_t total_ms, std::int64_t frames = -1);

    // Media time done per wall time (2.0: twice as fast as it plays).
    std::optional<double> Speed() const;
    std::optional<double> FramesPerSecond() const;
    // Wall time left until the total is done.
    std::optional<std::int64_t> RemainingMs() const { return remaining_ms_; }

private:
    struct TSample {
        std::int64_t ElapsedMs = 0;
        std::int64_t DoneMs = 0;
        std::int64_t Frames = -1;
    };
    void measure(const TSample& sample);
    void tell_remaining(std::int64_t step_ms, std::int64_t total_ms);

    std::optional<TSample> first_;  // the first report with media time done
    TSample last_;
    bool measuring_ = false;  // a second has passed since the first report
    double speed_ = 0;
    double frames_per_ms_ = 0;
    std::optional<std::int64_t> remaining_ms_;
};

// "00:42", "12:05", "1:06:26".
std::string ClockText(std::int64_t milliseconds);
// "58 fps" for pictures, else "2.4x" (times real time); empty when not known yet.
std::string SpeedText(const TProgressClock& clock);

}  // namespace brenvale
