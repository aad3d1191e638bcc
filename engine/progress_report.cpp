// The progress report: frame, rate, quality, size, time and bit rate of the run, handed to
// on_progress or logged as one line, and the summary at the end.
#include <algorithm>
#include <cmath>
#include <limits>

#include "binding/media_api.h"
#include "engine/custom_ffmpeg.h"
#include "engine/text_format.h"
#include "engine/transcoder.h"

namespace brenvale {
namespace {

constexpr std::size_t kMaxLine = 1023;
constexpr int kHistogramColumns = 32;

double psnr(double normalised_error) { return -10.0 * std::log10(normalised_error); }

void append(std::string& line, const std::string& text) {
    line += text.substr(0, kMaxLine - std::min(kMaxLine, line.size()));
}

std::int64_t output_size(AVFormatContext* file) {
    AVIOContext* io = file->pb;
    if (!io) return 0;
    const std::int64_t size = ff::avio_size(io);
    return size >= 0 ? size : ff::avio_seek(io, 0, SEEK_CUR);
}

float quality_of(const OutputStream& ost) {
    return ost.stream_copy ? -1.0f : static_cast<float>(ost.coded_frame.quality) / FF_QP2LAMBDA;
}

}  // namespace

void TTranscoder::report_progress(bool last) {
    std::int32_t frame = -1;
    std::int32_t fps = -1;
    float q = -1.0f;
    const std::int64_t total_size = output_size(engine_.output_files[0]);
    std::string line;
    double ti1 = 1e10;
    bool vid = false;
    for (const OutputStream& ost : output_streams_) {
        if (ost.cover) continue;
        if (ost.encoder->codec_type == AVMEDIA_TYPE_VIDEO && vid) {
            append(line, format_text("q=%2.1f ", quality_of(ost)));
        } else if (ost.encoder->codec_type == AVMEDIA_TYPE_VIDEO) {
            const double t = static_cast<double>(ff::av_gettime() - engine_.timer_start) / 1000000;
            frame = ost.frame_number;
            if (frame < 1) return;
            fps = t > 1 ? static_cast<std::int32_t>(frame / t + 0.5) : 0;
            q = quality_of(ost);
            append(line, format_text("frame=%5d fps=%3d q=%3.1f ", frame, fps, q));
            if (last) append(line, "L");
            if (engine_.qp_hist) append(line, qp_histogram_text(ost));
            if (ost.encoder->flags & AV_CODEC_FLAG_PSNR) append(line, psnr_text(ost, last));
            vid = true;
        }
        const double pts = static_cast<double>(ost.muxed_end) * av_q2d(ost.stream->time_base);
        if (pts > 0 && pts < ti1) ti1 = pts;
    }
    ti1 = std::max(ti1, 0.01);
    if (engine_.on_progress || engine_.verbose > 0 || last) {
        const double bitrate = static_cast<double>(total_size) * 8 / ti1 / 1000;
        append(line, format_text("size=%8.0fkB time=%0.2f bitrate=%6.1fkbits/s", total_size / 1024.0, ti1, bitrate));
        if (engine_.verbose > 1) append(line, format_text(" dup=%d drop=%d", engine_.frames_dup, engine_.frames_drop));
        if (engine_.on_progress) {
            const double duration_ms = std::min<double>(ti1 * 1000, std::numeric_limits<std::int32_t>::max());
            engine_.on_progress(engine_, frame, fps, static_cast<std::int32_t>(duration_ms), q,
                                static_cast<float>(bitrate), total_size, engine_.total_duration_ms);
        } else if (engine_.verbose >= 0) {
            log(1, line);
        }
    }
    if (last && engine_.verbose >= 0) log_summary(total_size);
}

std::string TTranscoder::qp_histogram_text(const OutputStream& ost) {
    const long j = std::lround(static_cast<double>(ost.coded_frame.quality) / FF_QP2LAMBDA);
    if (j >= 0 && j < static_cast<long>(engine_.qp_histogram.size()))
        engine_.qp_histogram[static_cast<std::size_t>(j)] += 1;
    std::string text;
    for (int i = 0; i < kHistogramColumns; ++i)
        text += format_text(
            "%X", static_cast<int>(std::lround(std::log2(engine_.qp_histogram[static_cast<std::size_t>(i)] + 1))));
    return text;
}

std::string TTranscoder::psnr_text(const OutputStream& ost, bool last) const {
    const AVCodecContext& enc = *ost.encoder;
    std::string text = "PSNR=";
    double error_sum = 0;
    double scale_sum = 0;
    for (int j = 0; j < 3; ++j) {
        const double error =
            static_cast<double>(last ? enc.error[j] : ost.coded_frame.error[static_cast<std::size_t>(j)]);
        double scale = static_cast<double>(enc.width) * enc.height * 255.0 * 255.0;
        if (last) scale *= ost.frame_number;
        if (j > 0) scale /= 4;
        error_sum += error;
        scale_sum += scale;
        text += format_text("%c:%2.2f ", "YUV"[j], psnr(error / scale));
    }
    return text + format_text("*:%2.2f ", psnr(error_sum / scale_sum));
}

void TTranscoder::log_summary(std::int64_t total_size) const {
    const std::int64_t raw = engine_.video_size + engine_.audio_size + engine_.extra_size;
    const double overhead = raw > 0 ? static_cast<double>(total_size - raw) * 100 / static_cast<double>(raw) : 0.0;
    log(1,
        format_text("video:%1.0fkB audio:%1.0fkB global headers:%1.0fkB muxing overhead %.2f%%\r\n",
                    engine_.video_size / 1024.0, engine_.audio_size / 1024.0, engine_.extra_size / 1024.0, overhead));
}

}  // namespace brenvale
