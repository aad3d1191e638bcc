#include "player/file_seek.h"

#include "player/stream_state.h"

namespace brenvale::player {
namespace {

constexpr AVRational kMicroseconds{1, 1000000};
// Packets read after a seek to find its first picture; beyond them the landing is taken as it is.
constexpr int kLandingPackets = 500;
constexpr std::int64_t kFirstStepBackUs = 1000000;

const AVStream* SeekStream(const StreamState& is) {
    return is.video_st ? is.video_st : is.audio_st ? is.audio_st : is.subtitle_st;
}

bool SeekFile(StreamState& is, int index, std::int64_t target) {
    if (ff::avformat_seek_file(is.format_context, index, INT64_MIN, target, target, 0) >= 0) return true;
    return ff::avformat_seek_file(is.format_context, index, target, target, INT64_MAX, 0) >= 0;
}

// Reads up to the first picture; true when decoding can start with it (or there is none to
// check within reach).
bool FirstPictureIsKey(StreamState& is, std::vector<PacketPtr>& read_ahead) {
    for (int count = 0; count < kLandingPackets; ++count) {
        PacketPtr packet = MakePacket();
        if (!packet || ff::av_read_frame(is.format_context, packet.get()) < 0) return true;
        const bool picture = packet->stream_index == is.video_stream;
        const bool key = (packet->flags & AV_PKT_FLAG_KEY) != 0;
        read_ahead.push_back(std::move(packet));
        if (picture) return key;
    }
    return true;
}

}  // namespace

bool SeekToTime(StreamState& is, std::int64_t position_us, std::vector<PacketPtr>& read_ahead) {
    const AVStream* stream = SeekStream(is);
    const int index = stream ? stream->index : -1;
    const AVRational base = stream ? stream->time_base : AVRational{1, AV_TIME_BASE};
    const std::int64_t target = ff::av_rescale_q(position_us, kMicroseconds, base);
    read_ahead.clear();
    if (!SeekFile(is, index, target)) return false;
    if (!is.video_st) return true;
    const std::int64_t earliest =
        is.video_st->start_time != AV_NOPTS_VALUE ? is.video_st->start_time : 0;
    std::int64_t step = ff::av_rescale_q(kFirstStepBackUs, kMicroseconds, base);
    for (std::int64_t at = target; !FirstPictureIsKey(is, read_ahead) && at > earliest; step *= 2) {
        at = std::max(at - step, earliest);
        read_ahead.clear();
        if (!SeekFile(is, index, at)) return false;
    }
    return true;
}

bool SeekToBytes(StreamState& is, std::int64_t position) {
    const AVStream* stream = SeekStream(is);
    const std::int64_t target = stream ? ff::av_rescale_q(position, kMicroseconds, stream->time_base) : position;
    return ff::av_seek_frame(is.format_context, stream ? stream->index : -1, target, AVSEEK_FLAG_BYTE) >= 0;
}

}  // namespace brenvale::player
