#include "engine/cover_art.h"

#include <string_view>

#include "binding/attached_picture.h"
#include "binding/media_api.h"
#include "engine/custom_ffmpeg.h"
#include "engine/output_stream_draft.h"

namespace brenvale {
namespace {

// QuickTime files hold no cover: the muxer drops it.
constexpr std::string_view kFormatsWithCovers[] = {"mp3", "mp4", "ipod", "flac"};

bool stores_covers(const AVOutputFormat& format) {
    for (const std::string_view name : kFormatsWithCovers) {
        if (name == format.name) return true;
    }
    return false;
}

// Every format of the list takes these two; other picture codecs stay behind.
bool is_common_picture(AVCodecID id) { return id == AV_CODEC_ID_MJPEG || id == AV_CODEC_ID_PNG; }

const AVStream* first_input_cover(const TCustomFFmpeg& engine) {
    for (int file = 0; file < engine.input_file_count; ++file) {
        const AVFormatContext* input = engine.input_files[static_cast<std::size_t>(file)];
        for (unsigned i = 0; i < input->nb_streams; ++i) {
            const AVStream& stream = *input->streams[i];
            if (IsAttachedPicture(stream) && is_common_picture(stream.codecpar->codec_id)) return &stream;
        }
    }
    return nullptr;
}

}  // namespace

void add_cover_stream(TCustomFFmpeg& engine, AVFormatContext* context) {
    // Explicit maps and program choices name every stream of the output themselves.
    if (engine.stream_map_count > 0 || engine.program_id != 0) return;
    if (context->nb_streams == 0 || !stores_covers(*context->oformat)) return;
    const AVStream* cover = first_input_cover(engine);
    if (!cover) return;
    TStreamDraft draft(engine, context, TEncoderChoice{nullptr, nullptr, cover->codecpar->codec_id},
                       AVMEDIA_TYPE_VIDEO);
    draft.mark_copied();
    TBitstreamFilterChain no_filters;
    draft.add_to(context, no_filters, {});
    context->streams[context->nb_streams - 1]->disposition = AV_DISPOSITION_ATTACHED_PIC;
}

}  // namespace brenvale
