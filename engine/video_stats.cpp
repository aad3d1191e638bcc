// The per-frame video statistics file.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "binding/media_api.h"
#include "common/c_locale.h"
#include "engine/custom_ffmpeg.h"
#include "engine/ffmpeg_exception.h"
#include "engine/transcoder.h"

namespace brenvale {

void TTranscoder::write_video_stats(OutputStream& ost, int frame_size) {
    if (!engine_.vstats_file) {
        engine_.vstats_file = std::fopen(engine_.vstats_filename.c_str(), "w");
        if (!engine_.vstats_file) throw FFmpegException("fopen fail: " + engine_.vstats_filename);
    }
    const AVCodecContext& enc = *ost.encoder;
    if (enc.codec_type != AVMEDIA_TYPE_VIDEO) return;
    std::FILE* file = engine_.vstats_file;
    const TCLocaleScope c_numbers;
    const double quality = static_cast<double>(ost.coded_frame.quality) / FF_QP2LAMBDA;
    std::fprintf(file, "frame= %5d q= %2.1f ", ost.frame_number, quality);
    if (enc.flags & AV_CODEC_FLAG_PSNR) {
        const double scale = static_cast<double>(enc.width) * enc.height * 255.0 * 255.0;
        std::fprintf(file, "PSNR= %6.2f ", -10.0 * std::log10(static_cast<double>(ost.coded_frame.error[0]) / scale));
    }
    std::fprintf(file, "f_size= %6d ", frame_size);
    const double time_base = av_q2d(enc.time_base);
    const double ti1 = std::max(static_cast<double>(ost.sync_pts) * time_base, 0.01);
    const double bitrate = frame_size * 8 / time_base / 1000;
    const double average = static_cast<double>(engine_.video_size) * 8 / ti1 / 1000;
    std::fprintf(file, "s_size= %8.0fkB time= %0.3f br= %7.1fkbits/s avg_br= %7.1fkbits/s ",
                 static_cast<double>(engine_.video_size) / 1024, ti1, bitrate, average);
    std::fprintf(file, "type= %c\n",
                 ff::av_get_picture_type_char(static_cast<AVPictureType>(ost.coded_frame.pict_type)));
}

}  // namespace brenvale
