// Opening one input file of a job with the pending settings.
#include <algorithm>
#include <cerrno>
#include <limits>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "binding/library_loader.h"
#include "binding/media_api.h"
#include "binding/open_error_text.h"
#include "binding/unicode_io.h"
#include "binding/unicode_names.h"
#include "common/c_locale.h"
#include "common/main_thread.h"
#include "engine/codec_owner.h"
#include "engine/custom_ffmpeg.h"
#include "engine/input_streams.h"

namespace brenvale {
namespace {

struct TInputCloser {
    void operator()(AVFormatContext* input) const { CloseLibraryInput(&input); }
};
using TInputPtr = std::unique_ptr<AVFormatContext, TInputCloser>;

class TOptionDictionary {
public:
    TOptionDictionary() = default;
    ~TOptionDictionary() { ff::av_dict_free(&entries_); }
    TOptionDictionary(const TOptionDictionary&) = delete;
    TOptionDictionary& operator=(const TOptionDictionary&) = delete;

    void set(const char* key, const std::string& value) { ff::av_dict_set(&entries_, key, value.c_str(), 0); }
    AVDictionary** entries() { return &entries_; }

private:
    AVDictionary* entries_ = nullptr;
};

struct TForcedCodecIds {
    AVCodecID video = AV_CODEC_ID_NONE;
    AVCodecID audio = AV_CODEC_ID_NONE;
    AVCodecID subtitle = AV_CODEC_ID_NONE;
};

// The demuxer parameters of the pending settings; demuxers without such options ignore them.
void set_format_parameters(const TCustomFFmpeg& engine, TOptionDictionary& parameters) {
    if (engine.frame_rate.num > 0 && engine.frame_rate.den > 0) {
        parameters.set("framerate", std::to_string(engine.frame_rate.num) + "/" + std::to_string(engine.frame_rate.den));
    }
    if (engine.audio_sample_rate > 0) parameters.set("sample_rate", std::to_string(engine.audio_sample_rate));
    if (engine.audio_channels > 0) parameters.set("channels", std::to_string(engine.audio_channels));
    const int width = engine.frame_width + engine.pad_left + engine.pad_right;
    const int height = engine.frame_height + engine.pad_top + engine.pad_bottom;
    if (width > 0 && height > 0) parameters.set("video_size", std::to_string(width) + "x" + std::to_string(height));
    const char* pixel_format = ff::av_get_pix_fmt_name(static_cast<AVPixelFormat>(engine.frame_pix_fmt));
    if (pixel_format) parameters.set("pixel_format", pixel_format);
    if (engine.video_channel != 0) parameters.set("channel", std::to_string(engine.video_channel));
    if (!engine.video_standard.empty()) parameters.set("standard", engine.video_standard);
    // Image sequences start again after their last picture; other demuxers have no such option.
    if (engine.loop_input) parameters.set("loop", "1");
}

void force_codecs(const TCustomFFmpeg& engine, const TForcedCodecIds& ids, AVFormatContext* context) {
    context->video_codec_id = ids.video;
    if (engine.pgmyuv_hack && ids.video == AV_CODEC_ID_NONE) context->video_codec_id = AV_CODEC_ID_PGMYUV;
    context->audio_codec_id = ids.audio;
    context->subtitle_codec_id = ids.subtitle;
    // The named decoders also probe the streams, even where several share a codec id.
    context->video_codec = decoder_named(engine.video_codec_name);
    context->audio_codec = decoder_named(engine.audio_codec_name);
    context->subtitle_codec = decoder_named(engine.subtitle_codec_name);
}

void discard_other_programs(const AVFormatContext* input, int program_id) {
    if (program_id == 0) return;
    for (unsigned i = 0; i < input->nb_programs; ++i) {
        if (input->programs[i]->id != program_id) input->programs[i]->discard = AVDISCARD_ALL;
    }
}

int find_stream_info(AVFormatContext* input) {
    // Probing opens decoders.
    const std::unique_lock<std::mutex> lock = LockServingMainThread(Loader().CodecLock());
    return ff::avformat_find_stream_info(input, nullptr);
}

void clear_one_input_settings(TCustomFFmpeg& engine) {
    engine.input_format = nullptr;
    engine.output_format = nullptr;
    engine.video_channel = 0;
    engine.video_codec_name.clear();
    engine.audio_codec_name.clear();
    engine.subtitle_codec_name.clear();
}

std::int32_t duration_ms(const AVFormatContext* input) {
    if (input->duration == AV_NOPTS_VALUE) return -1;
    const std::int64_t milliseconds = input->duration / 1000;
    return milliseconds > std::numeric_limits<std::int32_t>::max() ? std::numeric_limits<std::int32_t>::max()
                                                                   : static_cast<std::int32_t>(milliseconds);
}

// The steps of one open; the caller clears the one-input settings afterwards.
class TInputOpener {
public:
    TInputOpener(TCustomFFmpeg& engine, const std::string& file_name)
        : engine_(engine), file_name_(file_name), library_name_(ToLibraryName(file_name)) {}

    bool open() {
        if (!room_for_a_file()) return false;
        TForcedCodecIds ids;
        if (!engine_.find_codec(engine_.video_codec_name, AVMEDIA_TYPE_VIDEO, false, ids.video) ||
            !engine_.find_codec(engine_.audio_codec_name, AVMEDIA_TYPE_AUDIO, false, ids.audio) ||
            !engine_.find_codec(engine_.subtitle_codec_name, AVMEDIA_TYPE_SUBTITLE, false, ids.subtitle)) {
            return false;
        }
        if (!open_container(ids) || !probe_streams() || !room_for_the_streams()) return false;
        std::vector<CodecContextPtr> decoders;
        if (!make_input_decoders(engine_, input_.get(), decoders)) return fail(AVERROR(ENOMEM));
        // Nothing fails from here on: the engine takes the input.
        const std::int64_t timestamp = seek_to_start_time();
        take_stream_properties(engine_, input_.get(), decoders);
        engine_.total_duration_ms = std::max(engine_.total_duration_ms, duration_ms(input_.get()));
        store(timestamp, decoders);
        return true;
    }

private:
    bool fail(int code) {
        engine_.last_error = open_error_text(file_name_, code);
        return false;
    }

    bool room_for_a_file() {
        if (engine_.input_file_count < MAX_FILES) return true;
        engine_.last_error = file_name_ + ": too many input files (at most " + std::to_string(MAX_FILES) + ")";
        return false;
    }

    bool room_for_the_streams() {
        if (engine_.input_codec_count + static_cast<std::int64_t>(input_->nb_streams) <= MAX_CODECS) return true;
        engine_.last_error = file_name_ + ": too many input streams (at most " + std::to_string(MAX_CODECS) + ")";
        return false;
    }

    bool open_container(const TForcedCodecIds& ids) {
        TOptionDictionary parameters;
        set_format_parameters(engine_, parameters);
        AVFormatContext* context = ff::avformat_alloc_context();
        if (!context) return fail(AVERROR(ENOMEM));
        engine_.apply_generic_options(context, engine_.option_context.format_opts, AV_OPT_FLAG_DECODING_PARAM);
        force_codecs(engine_, ids, context);
        // Takes the context: on failure it is freed.
        const int result = OpenLibraryInput(&context, library_name_, engine_.input_format, parameters.entries());
        if (result < 0) return fail(input_open_error_code(result, library_name_, engine_.input_format));
        input_.reset(context);
        mark_input_owner(context, engine_);
        discard_other_programs(context, engine_.program_id);
        return true;
    }

    bool probe_streams() {
        if (find_stream_info(input_.get()) >= 0 || engine_.verbose < 0) return true;
        engine_.last_error = file_name_ + ": could not find codec parameters";
        return false;
    }

    // The position the file's time stamps are moved to 0 from.
    std::int64_t seek_to_start_time() {
        std::int64_t timestamp = engine_.start_time;
        if (input_->start_time != AV_NOPTS_VALUE) timestamp += input_->start_time;
        if (engine_.start_time != 0) {
            ff::av_seek_frame(input_.get(), -1, timestamp, AVSEEK_FLAG_BACKWARD);
            engine_.start_time = 0;
        }
        return timestamp;
    }

    void store(std::int64_t timestamp, std::vector<CodecContextPtr>& decoders) {
        const auto index = static_cast<std::size_t>(engine_.input_file_count);
        engine_.input_ts_offsets[index] =
            engine_.copy_ts ? engine_.input_ts_offset : engine_.input_ts_offset - timestamp;
        if (engine_.verbose >= 0) {
            ff::av_dump_format(input_.get(), engine_.input_file_count, library_name_.c_str(), 0);
        }
        engine_.add_input_file(input_.release());
        std::vector<AVCodecContext*>& kept = engine_.input_decoders[index];
        kept.clear();
        for (CodecContextPtr& decoder : decoders) kept.push_back(decoder.release());
    }

    TCustomFFmpeg& engine_;
    const std::string& file_name_;
    const std::string library_name_;
    TInputPtr input_;
};

}  // namespace

bool TCustomFFmpeg::open_input_file(const std::string& file_name) {
    const TCLocaleScope c_numbers;
    try {
        const bool opened = TInputOpener(*this, file_name).open();
        clear_one_input_settings(*this);
        return opened;
    } catch (...) {
        clear_one_input_settings(*this);
        throw;
    }
}

}  // namespace brenvale
