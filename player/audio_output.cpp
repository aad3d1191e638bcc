#include "player/audio_output.h"

#include <algorithm>
#include <cstring>

#include "player/audio_sync.h"
#include "player/ff_player.h"
#include "player/stream_state.h"
#include "player/text_utils.h"

namespace brenvale::player {
namespace {

constexpr int kSilenceBytes = 1024;

int FrameBytes(const StreamState& is) { return 2 * is.audio_channels; }

double BytesPerSecond(const StreamState& is) { return 2.0 * is.audio_channels * is.audio_sample_rate; }

// A converter from the decoder's sound to interleaved 16-bit at its rate with 1 or 2 channels.
bool PrepareConverter(StreamState& is, const AVFrame& frame) {
    const bool same = frame.format == is.last_sample_format && frame.ch_layout.nb_channels == is.last_channels &&
                      frame.sample_rate == is.last_sample_rate;
    if (same) return true;
    is.audio_swr.reset();
    is.last_sample_format = frame.format;
    is.last_channels = frame.ch_layout.nb_channels;
    is.last_sample_rate = frame.sample_rate;
    const bool direct = frame.format == AV_SAMPLE_FMT_S16 && frame.ch_layout.nb_channels == is.audio_channels;
    if (direct) return true;
    AVChannelLayout out_layout{};
    ff::av_channel_layout_default(&out_layout, is.audio_channels);
    AVChannelLayout in_layout = frame.ch_layout;  // the library's prototype is not const
    SwrContext* swr = nullptr;
    int result = ff::swr_alloc_set_opts2(&swr, &out_layout, AV_SAMPLE_FMT_S16, frame.sample_rate, &in_layout,
                                         static_cast<AVSampleFormat>(frame.format), frame.sample_rate, 0, nullptr);
    if (result >= 0) result = ff::swr_init(swr);
    is.audio_swr.reset(swr);
    if (result >= 0) return true;
    is.audio_swr.reset();
    is.last_sample_format = -1;
    const char* from = ff::av_get_sample_fmt_name(static_cast<AVSampleFormat>(frame.format));
    is.owner->Log(TLogType::ltError, Format("Cannot convert %s sample format to %s sample format", from ? from : "?",
                                            ff::av_get_sample_fmt_name(AV_SAMPLE_FMT_S16)));
    return false;
}

// The frame as 16-bit sound in audio_buf; its size, or -1 when it was dropped.
int ConvertFrame(StreamState& is, const AVFrame& frame) {
    if (!PrepareConverter(is, frame)) return -1;
    const int frame_bytes = FrameBytes(is);
    if (!is.audio_swr) {
        const int bytes = std::min(frame.nb_samples * frame_bytes, kAudioBufferSize);
        std::memcpy(is.audio_buf1.data(), frame.data[0], bytes);
        is.audio_buf = is.audio_buf1.data();
        return bytes;
    }
    std::uint8_t* out[] = {is.audio_buf2.data()};
    const int samples = ff::swr_convert(is.audio_swr.get(), out, kAudioBufferSize / frame_bytes,
                                        const_cast<const std::uint8_t**>(frame.extended_data), frame.nb_samples);
    if (samples < 0) {
        is.owner->Log(TLogType::ltError, "av_audio_convert() failed");
        return -1;
    }
    is.audio_buf = is.audio_buf2.data();
    return samples * frame_bytes;
}

// Drops the sound of the buffer that lies before a seek's target; `time` (s) is where the
// buffer starts and moves to where what is kept starts. The size kept.
int SkipToTarget(StreamState& is, int size, double& time) {
    if (is.audio_skip_to_us == kNoTime) return size;
    const double target = static_cast<double>(is.audio_skip_to_us) / 1000000.0;
    const int frame_bytes = FrameBytes(is);
    const std::int64_t before = static_cast<std::int64_t>((target - time) * is.audio_sample_rate + 0.5);
    const int cut = static_cast<int>(std::clamp<std::int64_t>(before, 0, size / frame_bytes)) * frame_bytes;
    if (cut < size) is.audio_skip_to_us = kNoTime;
    if (cut == 0) return size;
    std::memmove(is.audio_buf, is.audio_buf + cut, static_cast<std::size_t>(size - cut));
    time += cut / BytesPerSecond(is);
    return size - cut;
}

// The next decoded frame of the packet in the decoder, as 16-bit sound; -1 when none is left.
// The audio clock moves to the end of what it holds.
int ReceiveSound(StreamState& is) {
    while (is.audio_packet_pending) {
        const int received = ff::avcodec_receive_frame(is.audio_ctx.get(), is.audio_frame.get());
        if (received < 0) {
            is.audio_packet_pending = false;
            if (received == AVERROR_EOF) is.audio_decoder_ended = true;
            break;
        }
        const AVFrame& frame = *is.audio_frame;
        double time = frame.best_effort_timestamp != AV_NOPTS_VALUE
                          ? frame.best_effort_timestamp * ::av_q2d(is.audio_st->time_base)
                          : is.audio_clock.load(std::memory_order_relaxed);
        int size = ConvertFrame(is, frame);
        ff::av_frame_unref(is.audio_frame.get());
        if (size > 0) size = SkipToTarget(is, size, time);
        if (size <= 0) continue;
        is.audio_clock.store(time + size / BytesPerSecond(is), std::memory_order_relaxed);
        return size;
    }
    return -1;
}

// A seek: the decoder drops what it holds; sound before the target is decoded, not played.
void Restart(StreamState& is, const QueueItem& item) {
    ff::avcodec_flush_buffers(is.audio_ctx.get());
    is.audio_packet_pending = false;
    is.audio_decoder_ended = false;
    is.audio_skip_to_us = item.skip_to_us;
    if (item.skip_to_us != kNoTime) is.audio_clock = static_cast<double>(item.skip_to_us) / 1000000.0;
    is.audio_diff = MakeAudioDiff(is.audio_sample_rate);
    is.audio_decoder_serial = item.serial;
    is.audio_done = false;
}

void CopyToWaveform(StreamState& is, int bytes) {
    const auto* samples = reinterpret_cast<const std::int16_t*>(is.audio_buf);
    int index = is.sample_array_index.load(std::memory_order_relaxed);
    for (int i = 0; i < bytes / 2; ++i) {
        is.sample_array[index] = samples[i];
        index = (index + 1) % kWaveformSamples;
    }
    is.sample_array_index.store(index, std::memory_order_relaxed);
}

// Where the sound handed over by this callback starts and how long it lasts, for the clock of
// what is heard.
void RecordPlayed(StreamState& is, int real_bytes, std::int64_t now) {
    const int pending = is.audio_buf_silent ? 0 : is.audio_buf_size - is.audio_buf_index;
    const double end = is.audio_clock.load(std::memory_order_relaxed) - pending / BytesPerSecond(is);
    const double length = real_bytes / BytesPerSecond(is);
    const std::lock_guard<std::mutex> lock(is.audio_clock_mutex);
    is.audio_played = AudioPlayed{end - length, length, now, true};
}

}  // namespace

int AudioDecodeFrame(StreamState& is) {
    for (;;) {
        const int size = ReceiveSound(is);
        if (size >= 0) return size;
        if (is.paused || is.audioq.Aborted()) return -1;
        // Once the decoder has given out everything, an empty queue means the end, not a wait.
        QueueItem item;
        const auto got = is.audioq.Get(*is.audio_packet, item, !is.audio_decoder_ended);
        if (got != PacketQueue::GetResult::Item) return -1;
        if (item.kind == QueueItemKind::Flush) {
            Restart(is, item);
            continue;
        }
        const bool draining = item.kind == QueueItemKind::End;
        is.audio_packet_pending =
            ff::avcodec_send_packet(is.audio_ctx.get(), draining ? nullptr : is.audio_packet.get()) >= 0 ||
            draining;
        ff::av_packet_unref(is.audio_packet.get());
    }
}

void MixOut(std::uint8_t* stream, const std::uint8_t* sound, int bytes, bool mute, int volume) {
    std::memset(stream, 0, bytes);
    if (!mute) sdl::SDL_MixAudioFormat(stream, sound, AUDIO_S16SYS, static_cast<Uint32>(bytes), volume);
}

void AudioCallback(void* opaque, std::uint8_t* stream, int len) {
    StreamState& is = *static_cast<StreamState*>(opaque);
    TCustomPlayer& player = *is.owner;
    const std::int64_t now = ff::av_gettime();
    player.audio_callback_time.store(now);
    std::memset(stream, 0, len);
    int real_bytes = 0;
    while (len > 0) {
        if (is.audio_buf_index >= is.audio_buf_size) {
            int size = AudioDecodeFrame(is);
            if (is.audioq.Aborted()) break;
            is.audio_buf_silent = size < 0;
            if (size < 0) {
                is.audio_buf = is.audio_buf1.data();
                std::memset(is.audio_buf, 0, kSilenceBytes);
                size = kSilenceBytes;
            } else {
                if (is.show_audio) CopyToWaveform(is, size);
                size = SynchronizeAudio(is, is.audio_buf, size, kAudioBufferSize);
            }
            is.audio_buf_size = size;
            is.audio_buf_index = 0;
        }
        const int bytes = std::min(is.audio_buf_size - is.audio_buf_index, len);
        MixOut(stream, is.audio_buf + is.audio_buf_index, bytes, player.Mute, player.AudioVolume);
        if (!is.audio_buf_silent) real_bytes += bytes;
        len -= bytes;
        stream += bytes;
        is.audio_buf_index += bytes;
    }
    is.samples_played += real_bytes / FrameBytes(is);
    RecordPlayed(is, real_bytes, now);
    if (real_bytes > 0) is.audio_serial = is.audio_decoder_serial;
    // The sound handed over before this callback has been heard; nothing is left to come.
    if (real_bytes == 0 && is.audio_decoder_ended && is.audioq.Count() == 0) is.audio_done = true;
}

bool OpenAudioOutput(StreamState& is) {
    SDL_AudioSpec wanted{};
    wanted.freq = is.audio_sample_rate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = static_cast<Uint8>(is.audio_channels);
    wanted.silence = 0;
    wanted.samples = kSdlAudioSamples;
    wanted.callback = AudioCallback;
    wanted.userdata = &is;
    // Without a sound device SDL is not asked: its error text would stay behind in this
    // thread's storage, which SDL frees only for its own threads.
    if (!sdl::SDL_WasInit(SDL_INIT_AUDIO)) {
        is.owner->Log(TLogType::ltError, "SDL_OpenAudio() failed: Audio subsystem is not initialized");
        return false;
    }
    SDL_AudioSpec obtained{};
    is.audio_device = sdl::SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (is.audio_device == 0) {
        is.owner->Log(TLogType::ltError, "SDL_OpenAudio() failed: " + Trimmed(sdl::SDL_GetError()));
        return false;
    }
    is.audio_hw_buf_size = static_cast<int>(obtained.size);
    is.last_sample_format = AV_SAMPLE_FMT_S16;
    is.last_channels = is.audio_channels;
    is.last_sample_rate = is.audio_sample_rate;
    return true;
}

void CloseAudioOutput(StreamState& is) {
    if (is.audio_device != 0) sdl::SDL_CloseAudioDevice(is.audio_device);
    is.audio_device = 0;
    is.audio_swr.reset();
}

}  // namespace brenvale::player
