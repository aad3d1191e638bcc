// The per-file playback state, created when a file opens and freed when it closes.
//
// Ownership by thread:
// - immutable once the decoding thread has opened the file (open_state 1, which the opening
//   thread waits for): settings, format_context, the stream pointers and indexes, has_audio,
//   has_video, the decoder contexts' parameters, file_name, image_sequence, capture_device,
//   container_start, container_duration, audio_duration; start_time and duration are set by
//   Open before the play thread starts;
// - decoding thread only: last_paused, eof_logged, the reading position;
// - SDL's audio thread only: the audio buffers' contents, audio_packet, audio_frame,
//   audio_swr, last_sample_format, the averaging state (audio_diff), audio_skip_to_us,
//   audio_decoder_ended, audio_decoder_serial, audio_buf_silent, the waveform ring's contents;
// - play thread only: frame_last_pts, frame_last_delay, the subpictures' read side;
// - video thread only: video_clock, the video scaler;
// - atomics: every flag, clock and count another thread reads (abort_request, paused,
//   seek_request, close_requested, input_ended, the serials, the end flags, the audio
//   buffer positions read by the clocks and the waveform, the current picture time, the
//   frame timer, the counts of what was played);
// - seek_position and seek_flags are written by RequestSeek before it sets seek_request and
//   read by the decoding thread after it saw it set;
// - picture_mutex guards the picture slot's count, serial, time and allocation and
//   refresh_waiting; subpicture_mutex the subpicture queue; overlay_mutex is held while the
//   overlay's pixels are written or read; audio_clock_mutex guards audio_played.
//
// Lock order (a thread holding one may take those after it): overlay_mutex, picture_mutex,
// subpicture_mutex, then the leaves: a packet queue's lock, the play events' lock,
// audio_clock_mutex. No thread holds one of them while it waits for the main thread.
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
#include "player/open_settings.h"
#include "player/packet_queue.h"

namespace brenvale {
class TCustomPlayer;
}

namespace brenvale::player {

inline constexpr int kSubpictureQueueSize = 4;
inline constexpr int kAudioBufferSize = 288000;
inline constexpr int kSdlAudioSamples = 1024;
inline constexpr int kWaveformSamples = 131072;
inline constexpr int kAudioDiffAverageCount = 20;

enum class SyncType { Audio = 0, Video = 1, External = 2 };

struct PictureSlot {
    double pts = 0;
    int serial = 0;    // of the seek the picture was decoded after
    FramePtr overlay;  // planar YUV 4:2:0, allocated by the play thread
    int width = 0;
    int height = 0;
    bool allocated = false;
};

struct SubPicture {
    double pts = 0;
    AVSubtitle sub{};
};

// The sound last handed to SDL, for the clock of what is heard now.
struct AudioPlayed {
    double start = 0;         // time of the first sample the last callback handed over (s)
    double length = 0;        // how long the real sound it handed over lasts (s); 0: silence
    std::int64_t at_us = 0;   // wall clock of that callback
    bool valid = false;       // a callback has handed over sound
};

struct StreamState {
    StreamState();
    ~StreamState();
    StreamState(const StreamState&) = delete;
    StreamState& operator=(const StreamState&) = delete;

    // Header.
    TCustomPlayer* owner = nullptr;
    OpenSettings settings;
    std::atomic<int> open_state{0};  // 0 opening, 1 opened, -1 failed (cleaning up), -2 failed
    std::int64_t container_start = INT64_MIN;     // the container's, as the library gives them
    std::int64_t container_duration = INT64_MIN;
    std::int64_t start_time = 0;
    std::int64_t duration = 0;
    std::int64_t audio_duration = -1;
    bool has_video = false;  // a video, an audio stream opened
    bool has_audio = false;
    bool image_sequence = false;
    bool capture_device = false;
    std::atomic<bool> input_ended{false};  // everything read (or reading failed); the decoders were told
    bool eof_logged = false;
    std::thread decode_thread;
    std::atomic<bool> decode_finished{false};
    std::thread video_thread;
    std::thread subtitle_thread;
    std::atomic<bool> abort_request{false};
    std::atomic<bool> close_requested{false};
    std::atomic<bool> paused{false};
    bool last_paused = false;
    std::atomic<bool> seek_request{false};
    int seek_flags = 0;
    std::int64_t seek_position = 0;  // µs, the container's time (or bytes)
    std::atomic<std::int64_t> seek_shown_position{0};  // µs from the start, reported while the seek is under way
    std::atomic<int> serial{0};        // of the last seek served
    AVFormatContext* format_context = nullptr;

    // Audio.
    int audio_stream = -1;
    std::atomic<double> external_clock{0};
    std::atomic<std::int64_t> external_clock_time{0};
    std::atomic<double> audio_clock{0};  // end of the last decoded sound (s)
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
    bool audio_buf_silent = false;  // the current buffer is filler, not the file's sound
    std::atomic<int> audio_buf_size{0};
    std::atomic<int> audio_buf_index{0};
    PacketPtr audio_packet;
    bool audio_packet_pending = false;  // sent to the decoder, frames still to receive
    bool audio_decoder_ended = false;   // the decoder gave out everything it had
    FramePtr audio_frame;
    int last_sample_format = -1;
    int last_channels = 0;
    int last_sample_rate = 0;
    SwrPtr audio_swr;
    std::int64_t audio_skip_to_us = kNoTime;
    int audio_decoder_serial = 0;             // of the last flush the decoder took
    std::atomic<int> audio_serial{-1};       // of the seek whose sound was handed over last; -1: none yet
    std::atomic<bool> audio_done{false};     // every sample of the input has been handed over and played
    std::atomic<std::int64_t> samples_played{0};  // sample frames of the file's sound handed to SDL
    mutable std::mutex audio_clock_mutex;
    AudioPlayed audio_played;
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
    std::atomic<int> shown_serial{-1};         // of the picture on screen
    std::atomic<bool> video_done{false};       // the decoder gave out its last picture (or the thread ended)
    std::atomic<std::int64_t> pictures_shown{0};
    PictureSlot picture;
    int pictq_size = 0;
    bool refresh_waiting = false;  // the play thread waits for a picture to be queued
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
