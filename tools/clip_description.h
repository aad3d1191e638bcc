// What a synthetic clip holds. The description is also the expectation: a reader of the
// written file should find exactly these tracks, sizes, rates and counts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace brenvale::mediagen {

struct FrameRate {
    int num = 25;
    int den = 1;
};

// Marks at every whole second of the clip's clock, to measure where the sound lies against the
// pictures: the tone sounds for the first kMarkUs of each second and is silent otherwise.
inline constexpr std::int64_t kMarkUs = 120000;
bool InSecondMark(std::int64_t time_us);

struct VideoSpec {
    std::string codec = "libx264";  // encoder name
    int width = 320;
    int height = 240;
    FrameRate frame_rate;
    std::int64_t frame_count = 50;
    // Any format the scaler writes; planar 8-bit YUV is drawn directly, others are converted.
    std::string pixel_format = "yuv420p";
    int key_frame_interval = 12;  // pictures from one key frame to the next
    std::int64_t start_us = 0;    // time of the first picture
    int b_frames = -1;            // the encoder's own choice when negative
    bool noise = false;           // every pixel random: pictures that cost many bits
    bool frame_numbers = false;   // each picture carries its number (test_pattern.h)

    std::int64_t DurationUs() const;  // from time zero, the start included
};

struct AudioSpec {
    std::string codec = "aac";  // encoder name
    int sample_rate = 44100;
    int channels = 2;
    std::int64_t sample_count = 88200;  // per channel
    double tone_hz = 440.0;             // the same sine on every channel
    std::int64_t start_us = 0;          // time of the first sample
    std::int64_t gap_at_sample = -1;    // no sound for gap_us before this sample; -1: none
    std::int64_t gap_us = 0;
    bool second_marks = false;  // the tone only at the marks

    std::int64_t DurationUs() const;  // from time zero, start and gap included
    // Samples a decoder may return beyond sample_count: lossy codecs add their start delay
    // and pad the last frame, and not every container trims them. 0 for PCM.
    std::int64_t MaxExtraDecodedSamples() const;
};

struct SubtitleCue {
    std::int64_t start_ms = 0;
    std::int64_t end_ms = 0;
    std::string text;
};

struct SubtitleSpec {
    std::string codec = "subrip";  // encoder name
    std::vector<SubtitleCue> cues;
};

// An attached picture (album art): one still, stored as the file's cover, not as video.
struct CoverSpec {
    std::string codec = "mjpeg";  // still-picture encoder name ("mjpeg", "png")
    int width = 96;
    int height = 96;
};

// Container tags by their generic names ("title", "artist", "album", "date", "comment",
// "track", ...), as the library's muxers take them.
using TagList = std::vector<std::pair<std::string, std::string>>;

struct ClipFlags {
    bool cut_short = false;         // written whole, then cut to half its size
    bool random_bytes = false;      // bytes of a fixed-seed generator instead of media
    bool unknown_duration = false;  // the container records no duration
    std::int64_t sound_lead_ms = 0;  // sound stored this far ahead of the pictures of the same time
};

struct ClipDescription {
    std::string name;       // stable catalogue name
    std::string format;     // muxer name ("mp4", "avi", "matroska", "wav", "h264", ...)
    std::string file_name;  // name inside the catalogue folder
    std::optional<VideoSpec> video;
    std::vector<AudioSpec> audio;  // one entry per audio track, in stream order
    std::optional<SubtitleSpec> subtitle;
    std::optional<CoverSpec> cover;  // written as the last stream
    TagList tags;
    ClipFlags flags;

    // False for random bytes: no demuxer should accept the file.
    bool Opens() const;
    // True when every frame and sample described can be decoded back.
    bool IsComplete() const;
    // Length of the longest track.
    std::int64_t DurationUs() const;
    // How much longer than DurationUs() a container may say the clip is (audio padding).
    std::int64_t DurationToleranceUs() const;
    int StreamCount() const;
};

// A clip written by the muxer `format` under its name and `extension`, with no track yet.
ClipDescription NamedClip(const std::string& name, const std::string& format, const std::string& extension);
VideoSpec VideoOf(const std::string& codec, int width, int height, FrameRate rate, std::int64_t frames);
AudioSpec AudioOf(const std::string& codec, int sample_rate, int channels, std::int64_t samples, double tone_hz);

}  // namespace brenvale::mediagen
