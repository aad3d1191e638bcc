// The bare library path the engine is measured against: demux, decode, drop frames down to the
// output rate, convert the sound and encode, in one plain loop with nothing around it.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace brenvale::bench {

struct BareSettings {
    std::string format;       // muxer name
    std::string video_codec;  // encoder names
    std::string audio_codec;
    std::int64_t video_bit_rate = 0;
    std::int64_t audio_bit_rate = 0;
    int sample_rate = 44100;
    int frame_rate = 25;
    // The video encoder's own options ("crf", "preset", ...), set before it opens.
    std::vector<std::pair<std::string, std::string>> video_options;
};

struct BareResult {
    std::int64_t video_frames = 0;
    std::int64_t audio_frames = 0;
};

// Throws std::runtime_error when a step fails.
BareResult RunBareTranscode(const std::string& input, const std::string& output, const BareSettings& settings);

}  // namespace brenvale::bench
