#include "player/decode_thread.h"

#include <chrono>
#include <mutex>

#include "binding/library_loader.h"
#include "binding/open_error_text.h"
#include "binding/unicode_io.h"
#include "binding/unicode_names.h"
#include "player/audio_output.h"
#include "player/audio_sync.h"
#include "player/clocks.h"
#include "player/ff_player.h"
#include "player/stream_state.h"
#include "player/subtitles.h"
#include "player/text_utils.h"
#include "player/video_thread.h"

namespace brenvale::player {
namespace {

constexpr auto kShortSleep = std::chrono::milliseconds(10);
constexpr auto kLongSleep = std::chrono::milliseconds(100);

void Sleep(std::chrono::milliseconds duration) { std::this_thread::sleep_for(duration); }

int InterruptCallback(void* opaque) { return static_cast<StreamState*>(opaque)->abort_request ? 1 : 0; }

// The decoder options of the player.
void ApplyDecoderOptions(const TCustomPlayer& player, AVCodecContext& ctx) {
    ctx.debug = player.Debug;
    ctx.workaround_bugs = player.WorkaroundBugs;
    ctx.lowres = player.LowRes;
    ctx.idct_algo = player.IdctAlgo;
    if (player.Fast) ctx.flags2 |= AV_CODEC_FLAG2_FAST;
    ctx.skip_frame = static_cast<AVDiscard>(player.SkipFrame);
    ctx.skip_idct = static_cast<AVDiscard>(player.SkipIdct);
    ctx.skip_loop_filter = static_cast<AVDiscard>(player.SkipLoopFilter);
    ctx.err_recognition = player.ErrorRecognition;
    ctx.error_concealment = player.ErrorConcealment;
}

CodecContextPtr OpenDecoder(StreamState& is, AVStream& stream) {
    const AVCodec* codec = ff::avcodec_find_decoder(stream.codecpar->codec_id);
    CodecContextPtr ctx(codec ? ff::avcodec_alloc_context3(codec) : nullptr);
    bool ok = ctx && ff::avcodec_parameters_to_context(ctx.get(), stream.codecpar) >= 0;
    if (ok) {
        ctx->pkt_timebase = stream.time_base;
        ApplyDecoderOptions(*is.owner, *ctx);
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
    is.audioq.Start();
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
    is.videoq.Start();
    is.video_thread = std::thread(VideoThread, std::ref(is));
}

void OpenSubtitleComponent(StreamState& is, AVStream& stream, CodecContextPtr ctx) {
    is.subtitle_ctx = std::move(ctx);
    is.subtitle_stream = stream.index;
    is.subtitle_st = &stream;
    is.subtitleq.Start();
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

void CloseStreamComponents(StreamState& is) {
    if (is.audio_st) {
        is.audioq.Abort();
        CloseAudioOutput(is);
        is.audioq.Flush();
        is.audio_st->discard = AVDISCARD_ALL;
        is.audio_ctx.reset();
        is.audio_st = nullptr;
        is.audio_stream = -1;
        is.audio_duration = -1;
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

AVDictionary* FormatParameters(const TCustomPlayer& player) {
    AVDictionary* options = nullptr;
    if (player.FrameWidth > 0 && player.FrameHeight > 0) {
        ff::av_dict_set(&options, "video_size", Format("%dx%d", player.FrameWidth, player.FrameHeight).c_str(), 0);
        ff::av_dict_set(&options, "framerate", "25", 0);
    }
    if (player.FramePixFmt >= 0) {
        const char* name = ff::av_get_pix_fmt_name(static_cast<AVPixelFormat>(player.FramePixFmt));
        if (name) ff::av_dict_set(&options, "pixel_format", name, 0);
    }
    return options;
}

bool OpenInput(StreamState& is) {
    TCustomPlayer& player = *is.owner;
    AVFormatContext* context = ff::avformat_alloc_context();
    if (!context) return false;
    context->interrupt_callback = AVIOInterruptCB{InterruptCallback, &is};
    if (player.GenPTS) context->flags |= AVFMT_FLAG_GENPTS;
    AVDictionary* options = FormatParameters(player);
    const std::string library_name = ToLibraryName(is.file_name);
    const int code = OpenLibraryInput(&context, library_name, is.input_format, &options);
    ff::av_dict_free(&options);
    if (code < 0) {
        player.SetLastError(
            open_error_text(is.file_name, input_open_error_code(code, library_name, is.input_format)));
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

void SeekToStartTime(StreamState& is) {
    const TCustomPlayer& player = *is.owner;
    if (player.StartTime == kNoTime) return;
    std::int64_t target = player.StartTime;
    if (is.format_context->start_time != AV_NOPTS_VALUE) target += is.format_context->start_time;
    if (ff::av_seek_frame(is.format_context, -1, target, AVSEEK_FLAG_BACKWARD) < 0)
        is.owner->Log(TLogType::ltError, Format("%s: could not seek to position %0.3f", is.file_name.c_str(),
                                                static_cast<double>(target) / 1000000.0));
}

bool OpenStreams(StreamState& is) {
    const TCustomPlayer& player = *is.owner;
    const ChosenStreams chosen =
        ChooseStreams(*is.format_context, WantedStreams{player.WantedAudioStream, player.WantedVideoStream,
                                                        player.WantedSubtitleStream, player.DisableAudio,
                                                        player.DisableVideo});
    if (chosen.audio >= 0) OpenStreamComponent(is, chosen.audio);
    if (chosen.video >= 0) OpenStreamComponent(is, chosen.video);
    if (!is.video_st && !is.owner->DisableDisplay) is.show_audio = true;
    if (chosen.subtitle >= 0) OpenStreamComponent(is, chosen.subtitle);
    if (is.audio_st || is.video_st) return true;
    is.owner->SetLastError(Format("%s: could not open codecs, no stream to play.", is.file_name.c_str()));
    return false;
}

void FlushQueues(StreamState& is) {
    for (auto [stream, queue] : {std::pair{is.audio_st, &is.audioq}, std::pair{is.subtitle_st, &is.subtitleq},
                                 std::pair{is.video_st, &is.videoq}}) {
        if (!stream) continue;
        queue->Flush();
        queue->PutFlush();
    }
}

void ServeSeek(StreamState& is) {
    AVStream* stream = is.video_st ? is.video_st : is.audio_st ? is.audio_st : is.subtitle_st;
    std::int64_t target = is.seek_position;
    if (stream) target = ff::av_rescale_q(target, AVRational{1, 1000000}, stream->time_base);
    const int index = stream ? stream->index : -1;
    if (ff::av_seek_frame(is.format_context, index, target, is.seek_flags) < 0) {
        is.owner->Log(TLogType::ltError, Format("%s: error while seeking", is.file_name.c_str()));
    } else {
        FlushQueues(is);
        is.external_clock = static_cast<double>(is.seek_position) / 1000000.0;
        is.external_clock_time = ff::av_gettime();
    }
    is.seek_request = false;
    is.eof = false;
    is.eof_logged = false;
}

bool QueuesFull(const StreamState& is) {
    return is.audioq.Size() > kAudioQueueLimit || is.videoq.Size() > kVideoQueueLimit ||
           is.subtitleq.Size() > kSubtitleQueueLimit;
}

// False when reading must end (a reader error).
bool ReadFailed(StreamState& is, int result) {
    if (!is.image_sequence && !is.eof_logged) {
        is.owner->Log(TLogType::ltError, Format("%s: error or end of file", is.file_name.c_str()));
        is.eof_logged = true;
    }
    if (result == AVERROR_EOF) is.eof = true;
    if (is.format_context->pb && is.format_context->pb->error) return false;
    Sleep(kLongSleep);
    return true;
}

void Route(StreamState& is, AVPacket& packet) {
    if (packet.stream_index == is.audio_stream) {
        is.audioq.Put(packet);
    } else if (packet.stream_index == is.video_stream) {
        is.videoq.Put(packet);
    } else if (packet.stream_index == is.subtitle_stream) {
        is.subtitleq.Put(packet);
    }
    ff::av_packet_unref(&packet);
}

void ReadLoop(StreamState& is) {
    PacketPtr packet = MakePacket();
    while (!is.abort_request) {
        if (is.paused != is.last_paused) {
            is.last_paused = is.paused;
            if (is.last_paused) {
                ff::av_read_pause(is.format_context);
            } else {
                ff::av_read_play(is.format_context);
            }
        }
        if (is.seek_request) ServeSeek(is);
        if (QueuesFull(is)) {
            Sleep(kShortSleep);
            continue;
        }
        if (is.eof) {
            if (is.video_st) is.videoq.Put(*packet);  // an empty packet drains the decoder
            Sleep(kShortSleep);
            continue;
        }
        const int result = ff::av_read_frame(is.format_context, packet.get());
        if (result < 0) {
            if (!ReadFailed(is, result)) break;
            continue;
        }
        Route(is, *packet);
    }
    while (!is.abort_request) Sleep(kLongSleep);
}

}  // namespace

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

void DecodeThread(StreamState& is) {
    const bool opened = OpenInput(is) && (SeekToStartTime(is), OpenStreams(is));
    if (opened) {
        is.external_clock_time = ff::av_gettime();
        is.has_video = is.video_st != nullptr;
        is.has_audio = is.audio_st != nullptr;
        is.open_state = 1;
        ReadLoop(is);
    } else {
        is.open_state = -1;
    }
    CloseStreamComponents(is);
    if (is.format_context) CloseLibraryInput(&is.format_context);
    if (is.open_state == -1) is.open_state = -2;
}

void CloseStreamState(StreamState& is) {
    is.abort_request = true;
    if (is.decode_thread.joinable()) is.decode_thread.join();
    const std::lock_guard<std::mutex> lock(is.overlay_mutex);
    is.picture.overlay.reset();
}

void RequestSeek(StreamState& is, std::int64_t position, bool backward, bool by_bytes) {
    if (is.seek_request) return;
    is.seek_position = position;
    is.seek_flags = (backward ? AVSEEK_FLAG_BACKWARD : 0) | (by_bytes ? AVSEEK_FLAG_BYTE : 0);
    is.seek_request = true;
}

}  // namespace brenvale::player
