#include "tests/support/sync_marks.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "tests/support/media_reader.h"
#include "tools/test_pattern.h"

namespace brenvale::testing {
namespace {

constexpr double kLoud = 0.1;              // of full scale; the tone is 0.5
constexpr std::int64_t kQuietUs = 300000;  // silence before a burst
constexpr std::int64_t kNearUs = 500000;   // pictures that tell where a burst belongs

double FirstChannel(const AVFrame& frame, int index) {
    const auto format = static_cast<AVSampleFormat>(frame.format);
    const int step = ff::av_sample_fmt_is_planar(format) ? 1 : frame.ch_layout.nb_channels;
    const std::uint8_t* data = frame.extended_data[0];
    switch (ff::av_get_packed_sample_fmt(format)) {
        case AV_SAMPLE_FMT_S16: return reinterpret_cast<const std::int16_t*>(data)[index * step] / 32768.0;
        case AV_SAMPLE_FMT_S32: return reinterpret_cast<const std::int32_t*>(data)[index * step] / 2147483648.0;
        case AV_SAMPLE_FMT_FLT: return reinterpret_cast<const float*>(data)[index * step];
        case AV_SAMPLE_FMT_DBL: return reinterpret_cast<const double*>(data)[index * step];
        default: return 0;
    }
}

}  // namespace

MarkTimes ReadMarks(const std::string& path) {
    MarkTimes marks;
    std::int64_t last_loud_us = -kQuietUs;
    ReadTimedMedia(path, [&](int, const AVFrame& frame, std::int64_t time_us) {
        if (time_us < 0) return;
        if (frame.nb_samples == 0) {
            marks.pictures.push_back({time_us, mediagen::ReadFrameNumber(frame)});
            return;
        }
        for (int i = 0; i < frame.nb_samples; ++i) {
            if (std::fabs(FirstChannel(frame, i)) < kLoud) continue;
            const std::int64_t time = time_us + std::int64_t{i} * 1000000 / frame.sample_rate;
            if (time - last_loud_us >= kQuietUs) marks.sound_us.push_back(time);
            last_loud_us = time;
        }
    });
    return marks;
}

std::vector<std::int64_t> SoundOffsets(const MarkTimes& marks, const mediagen::VideoSpec& source) {
    // When each picture first shows: repeats of it are the picture held, not its time. The first
    // picture also stands for the time before it, so it tells nothing.
    std::map<std::int64_t, std::int64_t> first_shown;
    for (const ShownPicture& picture : marks.pictures) {
        if (picture.number <= 0) continue;
        const auto [entry, added] = first_shown.emplace(picture.number, picture.shown_us);
        if (!added) entry->second = std::min(entry->second, picture.shown_us);
    }
    std::vector<std::int64_t> offsets;
    for (const std::int64_t sound : marks.sound_us) {
        // The pictures' clock near the burst: shown time less the source time of what they show.
        double lag_sum = 0;
        int count = 0;
        for (const auto& [number, shown_us] : first_shown) {
            if (std::llabs(shown_us - sound) > kNearUs) continue;
            const std::int64_t source_us =
                source.start_us + number * 1000000 * source.frame_rate.den / source.frame_rate.num;
            lag_sum += static_cast<double>(shown_us - source_us);
            ++count;
        }
        if (count == 0) continue;
        const double lag = lag_sum / count;
        const double second = std::round((static_cast<double>(sound) - lag) / 1e6) * 1e6;
        offsets.push_back(std::llround(static_cast<double>(sound) - lag - second));
    }
    return offsets;
}

}  // namespace brenvale::testing
