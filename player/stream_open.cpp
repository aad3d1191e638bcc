#include "player/stream_open.h"

#include <mutex>

#include "binding/attached_picture.h"
#include "binding/library_loader.h"
#include "binding/open_error_text.h"
#include "binding/unicode_io.h"
#include "binding/unicode_names.h"
#include "player/audio_output.h"
#include "player/audio_sync.h"
#include "player/clocks.h"
#include "player/decode_thread.h"
#include "player/ff_player.h"
#include "player/stream_state.h"
#include "player/subtitles.h"
#include "player/text_utils.h"
#include "player/video_thread.h"

namespace brenvale::player {
namespace {

int InterruptCallback(void* opaque) { return static_cast<StreamState*>(opaque)->abort_request ? 1 : 0; }

void ApplyDecoderOptions(const DecoderOptions& options, AVCodecContext& ctx) {
    ctx.debug = options.debug;
    ctx.workaround_bugs = options.workaround_bugs;
    ctx.lowres = options.lowres;
    ctx.idct_algo = options.idct_algo;
    if (options.fast) ctx.flags2 |= AV_CODEC_FLAG2_FAST;
    ctx.skip_frame = static_cast<AVDiscard>(options.skip_frame);
    ctx.skip_idct = static_cast<AVDiscard>(options.skip_idct);
    ctx.skip_loop_filter = static_cast<AVDiscard>(options.skip_loop_filter);
    ctx.err_recognition = options.error_recognition;
    ctx.error_concealment = options.error_concealment;
}

CodecContextPtr OpenDecoder(StreamState& is, AVStream& stream) {
    const AVCodec* codec = ff::avcodec_find_decoder(stream.codecpar->codec_id);
    CodecContextPtr ctx(codec ? ff::avcodec_alloc_context3(codec) : nullptr);
    bool ok = ctx && ff::avcodec_parameters_to_context(ctx.get(), stream.codecpar) >= 0;
    if (ok) {
        ctx->pkt_timebase = stream.time_base;
        ApplyDecoderOptions(is.settings.decoder, *ctx);
        const std::lock_guard<std::mutex> lock(Loader().CodecLock());
        ok = ff::avcodec_open2(ctx.get(), codec, nullptr) >= 0;
    }
    if (ok) return ctx;
    is.owner->Log(TLogType::ltError, "avcodec_open() failed.");
    return nullptr;
}

bool OpenAudioComponent(StreamState& is, AVStream& stream, CodecContextPtr ctx) {
    is.audio_channels = ctx->ch_layout.nb_channels == 1 ? 1 : 2;
    is.audio_sample_rate = ctx->sample_rate;
    is.audio_ctx = std::move(ctx);
    if (!OpenAudioOutput(is)) {
        is.audio_ctx.reset();
        return false;
    }
    is.audio_stream = stream.index;
    is.audio_st = &stream;
    is.audio_duration = stream.duration == AV_NOPTS_VALUE
                            ? -1
                            : ff::av_rescale_q(stream.duration, stream.time_base, AVRational{1, 1000000});
    is.audio_buf_size = 0;
    is.audio_buf_index = 0;
    is.audio_diff = MakeAudioDiff(is.audio_sample_rate);
    is.audio_packet = MakePacket();
    is.audio_frame = MakeFrame();
    is.audioq.Start(stream.time_base);
    sdl::SDL_PauseAudioDevice(is.audio_device, 0);
    return true;
}

void OpenVideoComponent(StreamState& is, AVStream& stream, CodecContextPtr ctx) {
    is.video_ctx = std::move(ctx);
    is.video_stream = stream.index;
    is.video_st = &stream;
    is.frame_last_delay = kInitialFrameDelay;
    const std::int64_t now = ff::av_gettime();
    is.frame_timer = static_cast<double>(now) / 1000000.0;
    is.video_current_pts_time = now;
    is.videoq.Start(stream.time_base);
    is.video_thread = std::thread(VideoThread, std::ref(is));
}

void OpenSubtitleComponent(StreamState& is, AVStream& stream, CodecContextPtr ctx) {
    is.subtitle_ctx = std::move(ctx);
    is.subtitle_stream = stream.index;
    is.subtitle_st = &stream;
    is.subtitleq.Start(stream.time_base);
    is.subtitle_thread = std::thread(SubtitleThread, std::ref(is));
}

bool OpenStreamComponent(StreamState& is, int index) {
    if (index < 0 || index >= static_cast<int>(is.format_context->nb_streams)) return false;
    AVStream& stream = *is.format_context->streams[index];
    CodecContextPtr ctx = OpenDecoder(is, stream);
    if (!ctx) return false;
    stream.discard = AVDISCARD_DEFAULT;
    switch (ctx->codec_type) {
    case AVMEDIA_TYPE_AUDIO:
        if (!OpenAudioComponent(is, stream, std::move(ctx))) {
            stream.discard = AVDISCARD_ALL;
            return false;
        }
        return true;
    case AVMEDIA_TYPE_VIDEO:
        OpenVideoComponent(is, stream, std::move(ctx));
        return true;
    case AVMEDIA_TYPE_SUBTITLE:
        OpenSubtitleComponent(is, stream, std::move(ctx));
        return true;
    default:
        return false;
    }
}

AVDictionary* FormatParameters(const OpenSettings& settings) {
    AVDictionary* options = nullptr;
    if (settings.frame_width > 0 && settings.frame_height > 0) {
        ff::av_dict_set(&options, "video_size", Format("%dx%d", settings.frame_width, settings.frame_height).c_str(),
                        0);
        ff::av_dict_set(&options, "framerate", "25", 0);
    }
    if (settings.frame_pix_fmt >= 0) {
        const char* name = ff::av_get_pix_fmt_name(static_cast<AVPixelFormat>(settings.frame_pix_fmt));
        if (name) ff::av_dict_set(&options, "pixel_format", name, 0);
    }
    return options;
}

}  // namespace

bool OpenInput(StreamState& is) {
    TCustomPlayer& player = *is.owner;
    AVFormatContext* context = ff::avformat_alloc_context();
    if (!context) return false;
    context->interrupt_callback = AVIOInterruptCB{InterruptCallback, &is};
    if (is.settings.gen_pts) context->flags |= AVFMT_FLAG_GENPTS;
    AVDictionary* options = FormatParameters(is.settings);
    const std::string library_name = ToLibraryName(is.file_name);
    const AVInputFormat* input_format = is.settings.input_format;
    const int code = OpenLibraryInput(&context, library_name, input_format, &options);
    ff::av_dict_free(&options);
    if (code < 0) {
        player.SetLastError(open_error_text(is.file_name, input_open_error_code(code, library_name, input_format)));
        return false;
    }
    is.format_context = context;
    int found = 0;
    {
        const std::lock_guard<std::mutex> lock(Loader().CodecLock());
        found = ff::avformat_find_stream_info(context, nullptr);
    }
    if (found < 0) {
        player.SetLastError(Format("%s: could not find codec parameters", is.file_name.c_str()));
        return false;
    }
    if (context->pb) context->pb->eof_reached = 0;
    is.container_start = context->start_time;
    is.container_duration = context->duration;
    const char* name = context->iformat->name;
    is.image_sequence = std::string(name) == "image2";
    is.capture_device = std::string(name) == "vfwcap";
    return true;
}

bool OpenStreams(StreamState& is) {
    const ChosenStreams chosen = ChooseStreams(*is.format_context, is.settings.wanted);
    if (chosen.audio >= 0) OpenStreamComponent(is, chosen.audio);
    if (chosen.video >= 0) OpenStreamComponent(is, chosen.video);
    if (!is.video_st && !is.settings.disable_display) is.show_audio = true;
    if (chosen.subtitle >= 0) OpenStreamComponent(is, chosen.subtitle);
    is.has_video = is.video_st != nullptr;
    is.has_audio = is.audio_st != nullptr;
    if (is.has_audio || is.has_video) return true;
    is.owner->SetLastError(Format("%s: could not open codecs, no stream to play.", is.file_name.c_str()));
    return false;
}

void CloseStreams(StreamState& is) {
    if (is.audio_st) {
        is.audioq.Abort();
        CloseAudioOutput(is);
        is.audioq.Flush();
        is.audio_st->discard = AVDISCARD_ALL;
        is.audio_ctx.reset();
        is.audio_st = nullptr;
        is.audio_stream = -1;
    }
    if (is.video_st) {
        is.videoq.Abort();
        { const std::lock_guard<std::mutex> lock(is.picture_mutex); }
        is.picture_cond.notify_all();
        if (is.video_thread.joinable()) is.video_thread.join();
        is.videoq.Flush();
        is.video_st->discard = AVDISCARD_ALL;
        is.video_ctx.reset();
        is.video_st = nullptr;
        is.video_stream = -1;
    }
    if (is.subtitle_st) {
        is.subtitleq.Abort();
        {
            const std::lock_guard<std::mutex> lock(is.subpicture_mutex);
            is.subtitle_stream_changed = true;
        }
        is.subpicture_cond.notify_all();
        if (is.subtitle_thread.joinable()) is.subtitle_thread.join();
        is.subtitleq.Flush();
        is.subtitle_st->discard = AVDISCARD_ALL;
        is.subtitle_ctx.reset();
        is.subtitle_st = nullptr;
        is.subtitle_stream = -1;
    }
}

// Counter n of a kind picks its (n+1)-th stream: the last one seen while the counter was >= 0.
ChosenStreams ChooseStreams(AVFormatContext& context, WantedStreams wanted) {
    ChosenStreams chosen;
    for (unsigned i = 0; i < context.nb_streams; ++i) {
        AVStream& stream = *context.streams[i];
        stream.discard = AVDISCARD_ALL;
        const int index = static_cast<int>(i);
        switch (stream.codecpar->codec_type) {
        case AVMEDIA_TYPE_AUDIO:
            if (wanted.audio >= 0 && !wanted.disable_audio) chosen.audio = index;
            --wanted.audio;
            break;
        case AVMEDIA_TYPE_VIDEO:
            if (IsAttachedPicture(stream)) break;  // a music file's cover is no picture to play
            if (wanted.video >= 0 && !wanted.disable_video) chosen.video = index;
            --wanted.video;
            break;
        case AVMEDIA_TYPE_SUBTITLE:
            if (wanted.subtitle >= 0 && !wanted.disable_video) chosen.subtitle = index;
            --wanted.subtitle;
            break;
        default:
            break;
        }
    }
    return chosen;
}

}  // namespace brenvale::player
