#include "player/decode_thread.h"

#include <chrono>
#include <vector>

#include "binding/unicode_io.h"
#include "common/main_thread.h"
#include "player/ff_player.h"
#include "player/file_seek.h"
#include "player/stream_open.h"
#include "player/stream_state.h"
#include "player/text_utils.h"

namespace brenvale::player {
namespace {

constexpr auto kShortSleep = std::chrono::milliseconds(10);
constexpr auto kLongSleep = std::chrono::milliseconds(100);
// Reading pauses once every stream has this much queued, or all queues together this many
// bytes. Judged together, so sound stored ahead of its pictures cannot stop the reading
// while the pictures run dry.
constexpr std::int64_t kEnoughQueuedUs = 1000000;
constexpr int kEnoughQueuedPackets = 50;  // for packets without a duration
constexpr std::int64_t kQueuedBytesCap = 16 * 1024 * 1024;

void Sleep(std::chrono::milliseconds duration) { std::this_thread::sleep_for(duration); }

bool HoldsEnough(const PacketQueue& queue) {
    const std::int64_t duration = queue.DurationUs();
    return duration >= kEnoughQueuedUs || (duration == 0 && queue.Count() >= kEnoughQueuedPackets);
}

bool QueuesHoldEnough(const StreamState& is) {
    if (is.audioq.Size() + is.videoq.Size() + is.subtitleq.Size() > kQueuedBytesCap) return true;
    return (!is.audio_st || HoldsEnough(is.audioq)) && (!is.video_st || HoldsEnough(is.videoq));
}

template <typename Action>
void ForEachOpenQueue(StreamState& is, Action action) {
    for (auto [stream, queue] : {std::pair{is.audio_st, &is.audioq}, std::pair{is.subtitle_st, &is.subtitleq},
                                 std::pair{is.video_st, &is.videoq}}) {
        if (stream) action(*queue);
    }
}

// The decoders drop what they hold and take the seek's serial; what comes before
// `skip_to_us` they decode without playing it.
void FlushQueues(StreamState& is, int serial, std::int64_t skip_to_us) {
    ForEachOpenQueue(is, [&](PacketQueue& queue) {
        queue.Flush();
        queue.PutFlush(serial, skip_to_us);
    });
}

// Reading is over: the decoders give out what they still hold.
void EndInput(StreamState& is) {
    is.input_ended = true;
    ForEachOpenQueue(is, [](PacketQueue& queue) { queue.PutEnd(); });
}

void Route(StreamState& is, AVPacket& packet) {
    if (packet.stream_index == is.audio_stream) {
        is.audioq.Put(packet);
    } else if (packet.stream_index == is.video_stream) {
        is.videoq.Put(packet);
    } else if (packet.stream_index == is.subtitle_stream) {
        is.subtitleq.Put(packet);
    } else {
        ff::av_packet_unref(&packet);
    }
}

void ServeSeek(StreamState& is) {
    const bool by_bytes = (is.seek_flags & AVSEEK_FLAG_BYTE) != 0;
    std::vector<PacketPtr> read_ahead;
    if (by_bytes ? SeekToBytes(is, is.seek_position) : SeekToTime(is, is.seek_position, read_ahead)) {
        const int serial = is.serial + 1;
        is.serial = serial;
        FlushQueues(is, serial, by_bytes ? kNoTime : is.seek_position);
        for (PacketPtr& packet : read_ahead) Route(is, *packet);
        is.external_clock = static_cast<double>(is.seek_position) / 1000000.0;
        is.external_clock_time = ff::av_gettime();
    } else {
        is.owner->Log(TLogType::ltError, Format("%s: error while seeking", is.file_name.c_str()));
    }
    is.input_ended = false;
    is.eof_logged = false;
    is.seek_request = false;
}

// The first pictures and sound are those at StartTime, not at the key frame before it.
void StartAtStartTime(StreamState& is) {
    const std::int64_t start = is.settings.start_time;
    if (start == kNoTime) return;
    std::int64_t target = start;
    if (is.format_context->start_time != AV_NOPTS_VALUE) target += is.format_context->start_time;
    std::vector<PacketPtr> read_ahead;
    if (!SeekToTime(is, target, read_ahead)) {
        is.owner->Log(TLogType::ltError, Format("%s: could not seek to position %0.3f", is.file_name.c_str(),
                                                static_cast<double>(target) / 1000000.0));
        return;
    }
    FlushQueues(is, 0, target);
    for (PacketPtr& packet : read_ahead) Route(is, *packet);
}

void ReadFailed(StreamState& is, int result) {
    if (!is.image_sequence && !is.eof_logged) {
        is.owner->Log(TLogType::ltError, Format("%s: error or end of file", is.file_name.c_str()));
        is.eof_logged = true;
    }
    const AVIOContext* reader = is.format_context->pb;
    if (result == AVERROR_EOF || (reader && (reader->eof_reached || reader->error))) {
        EndInput(is);
        return;
    }
    Sleep(kLongSleep);
}

void FollowPause(StreamState& is) {
    if (is.paused == is.last_paused) return;
    is.last_paused = is.paused;
    if (is.last_paused) {
        ff::av_read_pause(is.format_context);
    } else {
        ff::av_read_play(is.format_context);
    }
}

// Reads until the stream closes. At the end of the input (or after a reader error) it waits
// for a seek, which starts reading again.
void ReadLoop(StreamState& is) {
    PacketPtr packet = MakePacket();
    while (!is.abort_request) {
        FollowPause(is);
        if (is.seek_request) ServeSeek(is);
        if (is.input_ended || QueuesHoldEnough(is)) {
            Sleep(kShortSleep);
            continue;
        }
        const int result = ff::av_read_frame(is.format_context, packet.get());
        if (result < 0) {
            ReadFailed(is, result);
            continue;
        }
        Route(is, *packet);
    }
}

}  // namespace

void DecodeThread(StreamState& is) {
    if (OpenInput(is) && OpenStreams(is)) {
        StartAtStartTime(is);
        is.external_clock_time = ff::av_gettime();
        is.open_state = 1;
        ReadLoop(is);
    } else {
        is.open_state = -1;
    }
    CloseStreams(is);
    if (is.format_context) CloseLibraryInput(&is.format_context);
    is.decode_finished = true;
    if (is.open_state == -1) is.open_state = -2;
}

void CloseStreamState(StreamState& is) {
    is.abort_request = true;
    WaitServingMainThread([&is] { return is.decode_finished.load(); });
    if (is.decode_thread.joinable()) is.decode_thread.join();
    const std::lock_guard<std::mutex> lock(is.overlay_mutex);
    is.picture.overlay.reset();
}

void RequestSeek(StreamState& is, std::int64_t position, std::int64_t shown_position, bool by_bytes) {
    if (is.seek_request) return;
    is.seek_position = position;
    is.seek_flags = by_bytes ? AVSEEK_FLAG_BYTE : 0;
    is.seek_shown_position = shown_position;
    is.seek_request = true;
}

bool SeekUnderWay(const StreamState& is) {
    if (is.seek_request) return true;
    if (is.has_video) return is.shown_serial != is.serial;
    return is.has_audio && is.audio_serial != is.serial;
}

}  // namespace brenvale::player
