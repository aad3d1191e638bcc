// The per-file playback state, created when a file opens and freed when it closes.
//
// Ownership by thread:
// - immutable after the open finished: format_context, the stream pointers and indexes, the
//   decoder contexts' parameters, file_name, image_sequence, capture_device, sync_type,
//   start_time and duration (set by Open before the play thread starts);
// - decoding thread only: last_paused, eof, eof_logged;
// - SDL's audio thread only: the audio buffers' contents, audio_packet, audio_swr,
//   last_sample_format, the averaging state (audio_diff_*), the waveform ring's contents;
// - play thread only: surface, window, area_*, frame_last_pts, frame_last_delay, the
//   subpictures' read side;
// - video thread only: video_clock (written), the video scaler;
// - atomics: every flag and clock another thread reads (abort_request, paused, seek_request,
//   the audio clock and buffer positions read by the clocks and the waveform, the current
//   picture time, the frame timer);
// - picture_mutex guards the picture slot's count and allocation, subpicture_mutex the
//   subpicture queue; overlay_mutex is held while the overlay's pixels are written or read.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "player/library_ptr.h"
#include "player/packet_queue.h"

namespace brenvale {
class TCustomPlayer;
}

namespace brenvale::player {

inline constexpr int kSubpictureQueueSize = 4;
inline constexpr int kAudioBufferSize = 288000;
inline constexpr int kSdlAudioSamples = 1024;
inline constexpr int kWaveformSamples = 131072;
inline constexpr std::int64_t kAudioQueueLimit = 81920;
inline constexpr std::int64_t kVideoQueueLimit = 1310720;
inline constexpr std::int64_t kSubtitleQueueLimit = 81920;
inline constexpr int kAudioDiffAverageCount = 20;

enum class SyncType { Audio = 0, Video = 1, External = 2 };

struct PictureSlot {
    double pts = 0;
    FramePtr overlay;  // planar YUV 4:2:0, allocated by the play thread
    int width = 0;
    int height = 0;
    bool allocated = false;
};

struct SubPicture {
    double pts = 0;
    AVSubtitle sub{};
};

struct StreamState {
    StreamState();
    ~StreamState();
    StreamState(const StreamState&) = delete;
    StreamState& operator=(const StreamState&) = delete;

    // Header.
    TCustomPlayer* owner = nullptr;
    std::atomic<int> open_state{0};  // 0 opening, 1 opened, -1 failed (cleaning up), -2 failed
    std::int64_t container_start = INT64_MIN;     // the container's, as the library gives them
    std::int64_t container_duration = INT64_MIN;
    std::int64_t start_time = 0;
    std::int64_t duration = 0;
    std::atomic<std::int64_t> audio_duration{-1};
    bool has_video = false;  // a video, an audio stream opened (set before the stream is current)
    bool has_audio = false;
    bool image_sequence = false;
    bool capture_device = false;
    bool eof = false;
    bool eof_logged = false;
    std::thread decode_thread;
    std::thread video_thread;
    std::thread subtitle_thread;
    const AVInputFormat* input_format = nullptr;
    std::atomic<bool> abort_request{false};
    std::atomic<bool> paused{false};
    bool last_paused = false;
    std::atomic<bool> seek_request{false};
    int seek_flags = 0;             // written before seek_request is set
    std::int64_t seek_position = 0;  // likewise
    AVFormatContext* format_context = nullptr;

    // Audio.
    int audio_stream = -1;
    int sync_type = 0;
    std::atomic<double> external_clock{0};
    std::atomic<std::int64_t> external_clock_time{0};
    std::atomic<double> audio_clock{0};
    struct AudioDiff {
        double cum = 0;
        double avg_coef = 0;
        double threshold = 0;
        int avg_count = 0;
    } audio_diff;
    AVStream* audio_st = nullptr;
    CodecContextPtr audio_ctx;
    PacketQueue audioq;
    SDL_AudioDeviceID audio_device = 0;
    int audio_hw_buf_size = 0;
    int audio_channels = 0;  // of the 16-bit sound handed to SDL: 1 or 2
    int audio_sample_rate = 0;
    std::vector<std::uint8_t> audio_buf1;
    std::vector<std::uint8_t> audio_buf2;
    std::uint8_t* audio_buf = nullptr;
    std::atomic<int> audio_buf_size{0};
    std::atomic<int> audio_buf_index{0};
    PacketPtr audio_packet;
    bool audio_packet_pending = false;  // sent to the decoder, frames still to receive
    FramePtr audio_frame;
    int last_sample_format = -1;
    int last_channels = 0;
    int last_sample_rate = 0;
    SwrPtr audio_swr;
    bool show_audio = false;  // the waveform flag
    std::vector<std::int16_t> sample_array;  // the waveform ring
    std::atomic<int> sample_array_index{0};
    int last_i_start = 0;

    // Subtitles.
    int subtitle_stream = -1;
    std::atomic<bool> subtitle_stream_changed{false};
    AVStream* subtitle_st = nullptr;
    CodecContextPtr subtitle_ctx;
    PacketQueue subtitleq;
    std::array<SubPicture, kSubpictureQueueSize> subpq{};
    int subpq_size = 0;
    int subpq_rindex = 0;
    int subpq_windex = 0;
    std::mutex subpicture_mutex;
    std::condition_variable subpicture_cond;

    // Video.
    std::atomic<double> frame_timer{0};
    std::atomic<double> last_frame_delay_seen{0};  // the last nominal delay, for measurements
    double frame_last_pts = 0;
    double frame_last_delay = 0;
    double video_clock = 0;
    int video_stream = -1;
    AVStream* video_st = nullptr;
    CodecContextPtr video_ctx;
    PacketQueue videoq;
    std::atomic<double> video_current_pts{0};
    std::atomic<std::int64_t> video_current_pts_time{0};
    PictureSlot picture;
    int pictq_size = 0;
    std::mutex picture_mutex;
    std::condition_variable picture_cond;
    std::mutex overlay_mutex;

    std::string file_name;
    int area_width = 0;
    int area_height = 0;
    int area_left = 0;
    int area_top = 0;
};

}  // namespace brenvale::player
