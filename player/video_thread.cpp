#include "player/video_thread.h"

#include <chrono>
#include <cstring>

#include "player/ff_player.h"
#include "player/stream_state.h"

namespace brenvale::player {
namespace {

constexpr auto kPausedSleep = std::chrono::milliseconds(10);
// Picture times are compared with a seek's target to this precision (time bases round).
constexpr double kSkipTolerance = 0.0005;

// The video thread's own state between pictures.
struct Decoding {
    FramePtr frame = MakeFrame();
    PacketPtr packet = MakePacket();
    SwsPtr scaler;
    int serial = 0;            // of the last flush
    double skip_to = 0;        // pictures before it are decoded, not shown
    bool skipping = false;
    FramePtr skipped = MakeFrame();  // the last picture skipped, shown when no later one comes
    double skipped_pts = 0;
    bool has_skipped = false;
    bool queued_since_flush = false;  // paused, a seek still shows its first picture
};

// Seconds one picture lasts: a frame of the stream's rate plus half of one per repeat.
double FrameDuration(const StreamState& is, const AVFrame& frame) {
    AVRational rate = ff::av_guess_frame_rate(is.format_context, is.video_st, nullptr);
    const double frame_seconds = rate.num > 0 && rate.den > 0 ? ::av_q2d(::av_inv_q(rate)) : 0.04;
    return frame_seconds + frame.repeat_pict * frame_seconds * 0.5;
}

double PictureTime(const StreamState& is, const AVFrame& frame) {
    const bool reordered = is.settings.reorder_pts || frame.pkt_dts == AV_NOPTS_VALUE;
    std::int64_t pts = 0;
    if (reordered && frame.pts != AV_NOPTS_VALUE) {
        pts = frame.pts;
    } else if (frame.pkt_dts != AV_NOPTS_VALUE) {
        pts = frame.pkt_dts;
    }
    return pts * ::av_q2d(is.video_st->time_base);
}

// Source planes walked bottom-up: each plane pointer on its last row, line sizes negated.
void FlipPlanes(const AVFrame& frame, std::uint8_t* data[4], int linesize[4]) {
    const AVPixFmtDescriptor* descriptor = ff::av_pix_fmt_desc_get(static_cast<AVPixelFormat>(frame.format));
    for (int plane = 0; plane < 4 && frame.data[plane]; ++plane) {
        const bool chroma = descriptor && (plane == 1 || plane == 2) && !(descriptor->flags & AV_PIX_FMT_FLAG_PAL);
        const int rows = chroma ? AV_CEIL_RSHIFT(frame.height, descriptor->log2_chroma_h) : frame.height;
        data[plane] = frame.data[plane] + static_cast<std::ptrdiff_t>(rows - 1) * frame.linesize[plane];
        linesize[plane] = -frame.linesize[plane];
    }
}

// Waits for a free slot with an overlay of the picture's size; false when aborted.
bool WaitForSlot(StreamState& is, const AVFrame& frame) {
    std::unique_lock<std::mutex> lock(is.picture_mutex);
    is.picture_cond.wait(lock, [&] { return is.pictq_size < 1 || is.videoq.Aborted(); });
    if (is.videoq.Aborted()) return false;
    PictureSlot& slot = is.picture;
    if (slot.overlay && slot.width == frame.width && slot.height == frame.height) return true;
    slot.allocated = false;
    slot.width = frame.width;
    slot.height = frame.height;
    is.owner->Events().Push(PlayEventKind::AllocPicture);
    is.picture_cond.wait(lock, [&] { return slot.allocated || is.videoq.Aborted(); });
    return !is.videoq.Aborted() && slot.overlay;
}

bool Scale(StreamState& is, const AVFrame& frame, const AVFrame& source, AVFrame& overlay, SwsPtr& scaler) {
    scaler.reset(ff::sws_getCachedContext(scaler.release(), frame.width, frame.height,
                                          static_cast<AVPixelFormat>(frame.format), overlay.width, overlay.height,
                                          AV_PIX_FMT_YUV420P, is.owner->ScaleFlags, nullptr, nullptr, nullptr));
    if (!scaler) return false;
    ff::sws_scale(scaler.get(), source.data, source.linesize, 0, frame.height, overlay.data, overlay.linesize);
    return true;
}

// Converts the picture into the overlay; false when there is no scaler.
bool ConvertPicture(StreamState& is, const AVFrame& frame, double pts, int serial, SwsPtr& scaler) {
    const std::lock_guard<std::mutex> overlay_lock(is.overlay_mutex);
    AVFrame source = frame;  // plane pointers only; the frame keeps its buffers
    if (is.owner->FlipVertical) FlipPlanes(frame, source.data, source.linesize);
    AVFrame& overlay = *is.picture.overlay;
    overlay.sample_aspect_ratio = frame.sample_aspect_ratio;
    if (!is.owner->RunPictureHook(is, source, overlay, pts) && !Scale(is, frame, source, overlay, scaler))
        return false;
    // Under both locks: the refresh reads them under the picture lock, drawing under the overlay's.
    const std::lock_guard<std::mutex> picture_lock(is.picture_mutex);
    is.picture.pts = pts;
    is.picture.serial = serial;
    return true;
}

// A play thread waiting for this picture is woken at once instead of polling for it.
void PublishPicture(StreamState& is) {
    const std::lock_guard<std::mutex> lock(is.picture_mutex);
    ++is.pictq_size;
    if (!is.refresh_waiting) return;
    is.refresh_waiting = false;
    is.owner->Events().ScheduleRefresh(0);
}

bool QueuePicture(StreamState& is, const AVFrame& frame, double pts, Decoding& decoding) {
    if (!WaitForSlot(is, frame)) return false;
    if (!ConvertPicture(is, frame, pts, decoding.serial, decoding.scaler)) {
        is.owner->Log(TLogType::ltError, "Cannot initialize the conversion context.");
        return false;
    }
    PublishPicture(is);
    return true;
}

// The picture's time (the video clock for one without), and the clock moves on past it.
double TimePicture(StreamState& is, const AVFrame& frame) {
    double pts = PictureTime(is, frame);
    if (pts != 0) {
        is.video_clock = pts;
    } else {
        pts = is.video_clock;
    }
    is.video_clock += FrameDuration(is, frame);
    return pts;
}

// Shows the picture, or keeps it aside while it lies before the seek's target.
bool OutputPicture(StreamState& is, AVFrame& frame, Decoding& decoding) {
    const double pts = TimePicture(is, frame);
    if (decoding.skipping && pts < decoding.skip_to - kSkipTolerance) {
        ff::av_frame_unref(decoding.skipped.get());
        ff::av_frame_move_ref(decoding.skipped.get(), &frame);
        decoding.skipped_pts = pts;
        decoding.has_skipped = true;
        return true;
    }
    decoding.skipping = false;
    const bool queued = QueuePicture(is, frame, pts, decoding);
    ff::av_frame_unref(&frame);
    decoding.queued_since_flush = true;
    return queued;
}

// Queues every picture the decoder gives out; false when the thread must end. At the end of
// the input (`draining`) a seek beyond the last picture shows that picture.
bool ReceivePictures(StreamState& is, Decoding& decoding, bool draining) {
    for (;;) {
        const int result = ff::avcodec_receive_frame(is.video_ctx.get(), decoding.frame.get());
        if (result == AVERROR_EOF && decoding.skipping && decoding.has_skipped) {
            decoding.skipping = false;
            decoding.has_skipped = false;
            if (!QueuePicture(is, *decoding.skipped, decoding.skipped_pts, decoding)) return false;
            ff::av_frame_unref(decoding.skipped.get());
        }
        if (result == AVERROR_EOF || (draining && result < 0)) is.video_done = true;
        if (result < 0) return true;
        if (!OutputPicture(is, *decoding.frame, decoding)) return false;
        if (is.owner->StepMode) is.owner->TogglePause();  // pauses once a picture came out
    }
}

void Restart(StreamState& is, const QueueItem& item, Decoding& decoding) {
    ff::avcodec_flush_buffers(is.video_ctx.get());
    decoding.serial = item.serial;
    decoding.skipping = item.skip_to_us != kNoTime;
    decoding.skip_to = decoding.skipping ? static_cast<double>(item.skip_to_us) / 1000000.0 : 0;
    ff::av_frame_unref(decoding.skipped.get());
    decoding.has_skipped = false;
    decoding.queued_since_flush = false;
    // The first picture without a time of its own takes the target, not the time before the seek.
    is.video_clock = decoding.skip_to;
    is.video_done = false;
}

// A new overlay holds no picture until the video thread writes one; a snapshot taken in
// between must get black, not whatever the allocator left there.
void FillBlack(AVFrame& overlay) {
    const int chroma_height = (overlay.height + 1) / 2;
    const int rows[3] = {overlay.height, chroma_height, chroma_height};
    const int values[3] = {16, 128, 128};
    for (int plane = 0; plane < 3; ++plane)
        std::memset(overlay.data[plane], values[plane], static_cast<std::size_t>(overlay.linesize[plane]) * rows[plane]);
}

// While paused, decoding goes on only to show the first picture of a seek.
bool HoldStill(const StreamState& is, const Decoding& decoding) {
    const bool seek_to_show = decoding.serial != is.serial || !decoding.queued_since_flush;
    return is.paused && !seek_to_show && !is.videoq.Aborted();
}

void DecodeLoop(StreamState& is, Decoding& decoding) {
    for (;;) {
        while (HoldStill(is, decoding)) std::this_thread::sleep_for(kPausedSleep);
        QueueItem item;
        if (is.videoq.Get(*decoding.packet, item, true) != PacketQueue::GetResult::Item) return;
        if (item.kind == QueueItemKind::Flush) {
            Restart(is, item, decoding);
            continue;
        }
        const bool draining = item.kind == QueueItemKind::End;
        // A packet the decoder refuses is dropped; the next one may decode.
        const int sent = ff::avcodec_send_packet(is.video_ctx.get(), draining ? nullptr : decoding.packet.get());
        ff::av_packet_unref(decoding.packet.get());
        if (sent < 0 && !draining) continue;
        if (!ReceivePictures(is, decoding, draining)) return;
    }
}

}  // namespace

void VideoThread(StreamState& is) {
    Decoding decoding;
    DecodeLoop(is, decoding);
    is.video_done = true;  // no more pictures will come, whatever ended the thread
}

void AllocatePicture(StreamState& is) {
    {
        const std::lock_guard<std::mutex> overlay_lock(is.overlay_mutex);
        const std::lock_guard<std::mutex> lock(is.picture_mutex);
        FramePtr overlay = MakeFrame();
        overlay->format = AV_PIX_FMT_YUV420P;
        overlay->width = is.picture.width;
        overlay->height = is.picture.height;
        if (ff::av_frame_get_buffer(overlay.get(), 0) < 0) {
            overlay.reset();
        } else {
            FillBlack(*overlay);
        }
        is.picture.overlay = std::move(overlay);
        is.picture.allocated = true;
    }
    is.picture_cond.notify_all();
}

void ReleasePicture(StreamState& is) {
    {
        const std::lock_guard<std::mutex> lock(is.picture_mutex);
        --is.pictq_size;
    }
    is.picture_cond.notify_all();
}

}  // namespace brenvale::player
