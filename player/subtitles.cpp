#include "player/subtitles.h"

#include <algorithm>
#include <chrono>

#include "player/stream_state.h"

namespace brenvale::player {
namespace {

constexpr auto kPausedSleep = std::chrono::milliseconds(10);

int Component(std::uint32_t value, int shift) { return static_cast<int>((value >> shift) & 0xff); }

int ClampByte(int value) { return std::clamp(value, 0, 255); }

std::uint32_t Colour(const AVSubtitleRect& rect, int x, int y) {
    const auto* palette = reinterpret_cast<const std::uint32_t*>(rect.data[1]);
    return palette[rect.data[0][y * rect.linesize[0] + x]];
}

// Blends one luma sample.
void BlendLuma(std::uint8_t& sample, std::uint32_t colour) {
    const int alpha = Component(colour, 24);
    sample = static_cast<std::uint8_t>((sample * (255 - alpha) + Component(colour, 16) * alpha) / 255);
}

// Blends the chroma sample covering picture pixels (2cx..2cx+1, 2cy..2cy+1) with the rectangle
// pixels among them: summed chroma and a quarter of the summed alpha.
void BlendChroma(YuvPlanes& picture, const AVSubtitleRect& rect, int cx, int cy, int x0, int y0) {
    int alpha_sum = 0, u_sum = 0, v_sum = 0, covered = 0;
    for (int y = 2 * cy; y < 2 * cy + 2; ++y) {
        for (int x = 2 * cx; x < 2 * cx + 2; ++x) {
            const int rx = x - x0, ry = y - y0;
            if (rx < 0 || ry < 0 || rx >= rect.w || ry >= rect.h || x >= picture.width || y >= picture.height) continue;
            const std::uint32_t colour = Colour(rect, rx, ry);
            const int alpha = Component(colour, 24);
            alpha_sum += alpha;
            u_sum += Component(colour, 8) * alpha;
            v_sum += Component(colour, 0) * alpha;
            ++covered;
        }
    }
    if (covered == 0) return;
    // Divisor 255 per covered pixel (255, 510, 1020 for one, two, four); weights quartered.
    const int divisor = 255 * (covered == 3 ? 4 : covered);
    const int weight = alpha_sum;  // of 255 * covered
    std::uint8_t& u = picture.data[1][cy * picture.linesize[1] + cx];
    std::uint8_t& v = picture.data[2][cy * picture.linesize[2] + cx];
    u = static_cast<std::uint8_t>(ClampByte((u * (divisor - weight) + u_sum) / divisor));
    v = static_cast<std::uint8_t>(ClampByte((v * (divisor - weight) + v_sum) / divisor));
}

bool Aborted(StreamState& is) { return is.subtitleq.Aborted(); }

// Converts every palette of a decoded bitmap subtitle to (A, Y, U, V).
void ConvertPalettes(AVSubtitle& sub) {
    for (unsigned i = 0; i < sub.num_rects; ++i) {
        AVSubtitleRect& rect = *sub.rects[i];
        auto* palette = reinterpret_cast<std::uint32_t*>(rect.data[1]);
        for (int j = 0; palette && j < rect.nb_colors; ++j) palette[j] = PaletteEntryToYuv(palette[j]);
    }
}

bool IsBitmapSubtitle(const AVSubtitle& sub) {
    return sub.format == 0 && sub.num_rects > 0 && sub.rects[0]->type == SUBTITLE_BITMAP;
}

// Decodes one packet into the slot at the write index; true when a subtitle came out.
bool DecodeSubtitle(StreamState& is, AVPacket& packet) {
    SubPicture& sp = is.subpq[is.subpq_windex];
    int got = 0;
    const int result = ff::avcodec_decode_subtitle2(is.subtitle_ctx.get(), &sp.sub, &got, &packet);
    if (result < 0 || !got) return false;
    if (!IsBitmapSubtitle(sp.sub)) {
        ff::avsubtitle_free(&sp.sub);
        return true;
    }
    sp.pts = packet.pts != AV_NOPTS_VALUE ? ::av_q2d(is.subtitle_st->time_base) * packet.pts : 0;
    ConvertPalettes(sp.sub);
    is.subpq_windex = (is.subpq_windex + 1) % kSubpictureQueueSize;
    const std::lock_guard<std::mutex> lock(is.subpicture_mutex);
    ++is.subpq_size;
    return true;
}

void FreeHead(StreamState& is) {
    ff::avsubtitle_free(&is.subpq[is.subpq_rindex].sub);
    is.subpq_rindex = (is.subpq_rindex + 1) % kSubpictureQueueSize;
    --is.subpq_size;
}

}  // namespace

std::uint32_t PaletteEntryToYuv(std::uint32_t argb) {
    const int a = Component(argb, 24), r = Component(argb, 16), g = Component(argb, 8), b = Component(argb, 0);
    const int y = (263 * r + 517 * g + 101 * b + 16896) >> 10;
    const int u = ((-152 * r - 298 * g + 450 * b + 511) >> 10) + 128;
    const int v = ((450 * r - 377 * g - 74 * b + 511) >> 10) + 128;
    return static_cast<std::uint32_t>(a) << 24 | static_cast<std::uint32_t>(ClampByte(y)) << 16 |
           static_cast<std::uint32_t>(ClampByte(u)) << 8 | static_cast<std::uint32_t>(ClampByte(v));
}

void BlendSubtitleRect(YuvPlanes& picture, const AVSubtitleRect& rect) {
    if (!rect.data[0] || !rect.data[1]) return;
    const int x0 = rect.x, y0 = rect.y;
    const int x_begin = std::max(x0, 0), y_begin = std::max(y0, 0);
    const int x_end = std::min(x0 + rect.w, picture.width), y_end = std::min(y0 + rect.h, picture.height);
    if (x_begin >= x_end || y_begin >= y_end) return;
    for (int y = y_begin; y < y_end; ++y)
        for (int x = x_begin; x < x_end; ++x)
            BlendLuma(picture.data[0][y * picture.linesize[0] + x], Colour(rect, x - x0, y - y0));
    for (int cy = y_begin / 2; cy <= (y_end - 1) / 2; ++cy)
        for (int cx = x_begin / 2; cx <= (x_end - 1) / 2; ++cx) BlendChroma(picture, rect, cx, cy, x0, y0);
}

// Subpictures of the time before a seek go; the play thread frees them at its next refresh.
void DropQueuedSubpictures(StreamState& is) {
    ff::avcodec_flush_buffers(is.subtitle_ctx.get());
    const std::lock_guard<std::mutex> lock(is.subpicture_mutex);
    is.subtitle_stream_changed = true;
}

// False when the queue was aborted while waiting for room.
bool WaitForRoom(StreamState& is) {
    std::unique_lock<std::mutex> lock(is.subpicture_mutex);
    is.subpicture_cond.wait(lock, [&] { return is.subpq_size < kSubpictureQueueSize || Aborted(is); });
    return !Aborted(is);
}

void SubtitleThread(StreamState& is) {
    PacketPtr packet = MakePacket();
    for (;;) {
        while (is.paused && !Aborted(is)) std::this_thread::sleep_for(kPausedSleep);
        QueueItem item;
        if (is.subtitleq.Get(*packet, item, true) != PacketQueue::GetResult::Item) return;
        if (item.kind == QueueItemKind::Flush) {
            DropQueuedSubpictures(is);
            continue;
        }
        // At the end of the input, empty packets take out what a decoder still holds.
        for (bool more = true; more;) {
            if (!WaitForRoom(is)) return;
            more = DecodeSubtitle(is, *packet) && item.kind == QueueItemKind::End;
        }
        ff::av_packet_unref(packet.get());
    }
}

void RetireSubpictures(StreamState& is, double pts) {
    if (!is.subtitle_st) return;
    const std::lock_guard<std::mutex> lock(is.subpicture_mutex);
    if (is.subtitle_stream_changed) {
        while (is.subpq_size > 0) FreeHead(is);
        is.subtitle_stream_changed = false;
        is.subpicture_cond.notify_all();
        return;
    }
    if (is.subpq_size == 0) return;
    const SubPicture& head = is.subpq[is.subpq_rindex];
    const SubPicture& next = is.subpq[(is.subpq_rindex + 1) % kSubpictureQueueSize];
    const bool over = pts > head.pts + head.sub.end_display_time / 1000.0;
    const bool superseded = is.subpq_size > 1 && pts > next.pts + next.sub.start_display_time / 1000.0;
    if (over || superseded) {
        FreeHead(is);
        is.subpicture_cond.notify_all();
    }
}

void BlendDueSubpicture(StreamState& is, YuvPlanes& overlay, double pts) {
    if (!is.subtitle_st) return;
    const std::lock_guard<std::mutex> lock(is.subpicture_mutex);
    if (is.subpq_size == 0) return;
    const SubPicture& head = is.subpq[is.subpq_rindex];
    if (pts < head.pts + head.sub.start_display_time / 1000.0) return;
    for (unsigned i = 0; i < head.sub.num_rects; ++i) BlendSubtitleRect(overlay, *head.sub.rects[i]);
}

}  // namespace brenvale::player
