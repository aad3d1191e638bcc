// open_output_file: one output of a job, with its streams, metadata, file and muxing settings.
// A failed attempt releases everything it created, so no partial output stays behind.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <exception>

#include "binding/media_api.h"
#include "binding/open_error_text.h"
#include "binding/path_utils.h"
#include "binding/unicode_io.h"
#include "binding/unicode_names.h"
#include "common/c_locale.h"
#include "engine/cover_art.h"
#include "engine/custom_ffmpeg.h"
#include "engine/ffmpeg_exception.h"
#include "engine/source_tags.h"

namespace brenvale {
namespace {

constexpr double kMicrosecondsPerSecond = 1000000.0;
constexpr char kResizingFilters[] = ",crop,rotate,scale,transpose,";

struct TStreamKinds {
    bool video = false;
    bool audio = false;
    bool subtitle = false;
};

// What one call created; released again unless the call succeeds.
class TOutputAttempt {
public:
    explicit TOutputAttempt(TCustomFFmpeg& engine)
        : engine_(engine), file_index_(engine.output_file_count), first_codec_(engine.output_codec_count) {}
    ~TOutputAttempt() { release(); }
    TOutputAttempt(const TOutputAttempt&) = delete;
    TOutputAttempt& operator=(const TOutputAttempt&) = delete;

    AVFormatContext* context() const { return context_; }
    void set_context(AVFormatContext* context) { context_ = context; }
    // Opens the byte stream of a format that writes a file.
    void open_file(const std::string& file_name, const std::string& library_name);
    // The engine takes the output over.
    void register_output();

private:
    void release();

    TCustomFFmpeg& engine_;
    const int file_index_;
    const std::int32_t first_codec_;
    AVFormatContext* context_ = nullptr;
    std::string created_path_;  // a file this attempt created on disk
};

void TOutputAttempt::open_file(const std::string& file_name, const std::string& library_name) {
    if (context_->oformat->flags & AVFMT_NOFILE) return;
    const std::string path = FromLibraryName(library_name);
    const bool existed = FileExists(path);
    if (OpenLibraryOutput(&context_->pb, library_name, AVIO_FLAG_WRITE, nullptr) < 0) {
        throw FFmpegException("Could not open '" + file_name + "'");
    }
    if (!existed) created_path_ = path;
}

void TOutputAttempt::register_output() {
    engine_.add_output_file(context_);
    context_ = nullptr;
}

void TOutputAttempt::release() {
    if (!context_) return;
    if (context_->pb && !(context_->oformat->flags & AVFMT_NOFILE)) CloseLibraryOutput(&context_->pb);
    if (!created_path_.empty() && FileSize(created_path_) == 0) std::remove(created_path_.c_str());
    engine_.release_output_stream_setups(file_index_);
    ff::avformat_free_context(context_);
    context_ = nullptr;
    for (std::int32_t i = first_codec_; i < engine_.output_codec_count; ++i) {
        engine_.output_codecs[static_cast<std::size_t>(i)] = nullptr;
    }
    engine_.output_codec_count = first_codec_;
}

int sum_of(int a, int b, int c, int d) { return a + b + c + d; }

// A filter of the chain that changes the picture size.
bool resizes_frame(const std::string& filters) {
    std::string lower = filters;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    std::size_t start = 0;
    while (start <= lower.size()) {
        const std::size_t end = std::min(lower.find(',', start), lower.size());
        const std::string piece = lower.substr(start, end - start);
        const std::string name = piece.substr(0, piece.find('='));
        if (std::string_view(kResizingFilters).find("," + name + ",") != std::string_view::npos) return true;
        start = end + 1;
    }
    return false;
}

// Crop and pad work on the decoded picture outside the filter chain.
void check_filter_conflicts(const TCustomFFmpeg& engine) {
    if (engine.video_filters.empty()) return;
    if (sum_of(engine.crop_left, engine.crop_right, engine.crop_top, engine.crop_bottom) != 0) {
        throw FFmpegException("Cannot enable crop options and filters at the same time.");
    }
    if (sum_of(engine.pad_left, engine.pad_right, engine.pad_top, engine.pad_bottom) != 0 &&
        resizes_frame(engine.video_filters)) {
        throw FFmpegException(
            "Cannot enable pad options and the filters which resize frame at the same time. "
            "(crop, rotate, scale, transpose, etc.)");
    }
}

// The pending format, or the one the file name suggests.
AVFormatContext* allocate_output(TCustomFFmpeg& engine, const std::string& file_name,
                                 const std::string& library_name) {
    if (!engine.output_format) engine.output_format = ff::av_guess_format(nullptr, library_name.c_str(), nullptr);
    if (!engine.output_format) {
        throw FFmpegException("Unable to find a suitable output format for '" + file_name + "'");
    }
    AVFormatContext* context = nullptr;
    // Also prepares the muxer's private options, which the generic options may set.
    if (ff::avformat_alloc_output_context2(&context, engine.output_format, nullptr, library_name.c_str()) < 0) {
        throw FFmpegException(open_error_text(file_name, AVERROR(ENOMEM)));
    }
    return context;
}

TStreamKinds input_stream_kinds(TCustomFFmpeg& engine) {
    try {
        const TCustomFFmpeg::TInputKinds kinds = engine.check_audio_video_sub_inputs();
        return {kinds.has_video, kinds.has_audio, kinds.has_subtitle};
    } catch (const std::exception& error) {
        throw FFmpegException(std::string("check_audio_video_sub_inputs fail: ") + error.what());
    }
}

TStreamKinds wanted_stream_kinds(TCustomFFmpeg& engine, const AVOutputFormat* format) {
    TStreamKinds kinds{
        format->video_codec != AV_CODEC_ID_NONE || engine.video_stream_copy || !engine.video_codec_name.empty(),
        format->audio_codec != AV_CODEC_ID_NONE || engine.audio_stream_copy || !engine.audio_codec_name.empty(),
        format->subtitle_codec != AV_CODEC_ID_NONE || engine.subtitle_stream_copy ||
            !engine.subtitle_codec_name.empty()};
    if (engine.input_file_count > 0) {
        const TStreamKinds carried = input_stream_kinds(engine);
        kinds = {kinds.video && carried.video, kinds.audio && carried.audio, kinds.subtitle && carried.subtitle};
    }
    return {kinds.video && !engine.video_disable, kinds.audio && !engine.audio_disable,
            kinds.subtitle && !engine.subtitle_disable};
}

void create_stream(TCustomFFmpeg& engine, AVFormatContext* context, void (TCustomFFmpeg::*create)(AVFormatContext*),
                   const char* operation) {
    try {
        (engine.*create)(context);
    } catch (const std::exception& error) {
        throw FFmpegException(std::string(operation) + " fail: " + error.what());
    }
}

void create_streams(TCustomFFmpeg& engine, AVFormatContext* context) {
    const TStreamKinds kinds = wanted_stream_kinds(engine, context->oformat);
    if (kinds.video) create_stream(engine, context, &TCustomFFmpeg::new_video_stream, "new_video_stream");
    if (kinds.audio) create_stream(engine, context, &TCustomFFmpeg::new_audio_stream, "new_audio_stream");
    if (kinds.subtitle) create_stream(engine, context, &TCustomFFmpeg::new_subtitle_stream, "new_subtitle_stream");
    add_cover_stream(engine, context);
    // A kind disabled for this output comes back for the next one.
    engine.video_disable = false;
    engine.audio_disable = false;
    engine.subtitle_disable = false;
}

// The recording date reaches the muxers as the generic creation time tag.
void set_creation_time(AVFormatContext* context, std::int64_t seconds) {
    if (seconds == 0) return;
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm utc{};
    if (!gmtime_r(&time, &utc)) return;
    char text[32];
    if (std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S.000000Z", &utc) == 0) return;
    ff::av_dict_set(&context->metadata, "creation_time", text, 0);
}

// The source's tags, then the pending pairs, from the last to the first: of two pairs with one
// key, the first stays, and any pair replaces the source's tag.
void attach_metadata(TCustomFFmpeg& engine, AVFormatContext* context) {
    copy_source_tags(engine, context);
    set_creation_time(context, engine.rec_timestamp);
    for (auto pair = engine.metadata.rbegin(); pair != engine.metadata.rend(); ++pair) {
        ff::av_dict_set(&context->metadata, pair->first.c_str(), pair->second.c_str(), 0);
    }
}

// Image sequences write one file per picture, numbered through the name's pattern. Today's
// image2 no longer says so in its flags (its "update" option rewrites one file instead), and
// without a pattern it fails at the second picture.
bool needs_number_pattern(AVFormatContext* context) {
    if (context->oformat->flags & AVFMT_NEEDNUMBER) return true;
    if (std::strcmp(context->oformat->name, "image2") != 0) return false;
    std::int64_t update = 0;
    return ff::av_opt_get_int(context, "update", AV_OPT_SEARCH_CHILDREN, &update) < 0 || update == 0;
}

void check_number_pattern(const std::string& file_name, AVFormatContext* context) {
    if (needs_number_pattern(context) && !ff::av_filename_number_test(context->url)) {
        throw FFmpegException(open_error_text(file_name, AVERROR(EDOM)));
    }
}

// Preload and loop count are private options of the muxers that know them; others ignore them.
void set_muxing_parameters(const TCustomFFmpeg& engine, AVFormatContext* context) {
    context->max_delay = static_cast<int>(engine.mux_max_delay * kMicrosecondsPerSecond);
    ff::av_opt_set_int(context, "preload", static_cast<std::int64_t>(engine.mux_preload * kMicrosecondsPerSecond),
                       AV_OPT_SEARCH_CHILDREN);
    ff::av_opt_set_int(context, "loop", engine.loop_output, AV_OPT_SEARCH_CHILDREN);
}

void create_output(TCustomFFmpeg& engine, TOutputAttempt& attempt, const std::string& file_name) {
    check_filter_conflicts(engine);
    engine.filters_enabled = !engine.video_filters.empty();
    if (engine.output_file_count >= MAX_FILES) {
        throw FFmpegException("Too many output files (at most " + std::to_string(MAX_FILES) + ")");
    }
    const std::string library_name = ToLibraryName(file_name);
    attempt.set_context(allocate_output(engine, file_name, library_name));
    AVFormatContext* context = attempt.context();
    create_streams(engine, context);
    attach_metadata(engine, context);
    set_muxing_parameters(engine, context);
    // Before the name is checked: a muxer's own option may ask for a single picture file.
    if (engine.option_context.format_opts) {
        engine.apply_generic_options(context, engine.option_context.format_opts, AV_OPT_FLAG_ENCODING_PARAM);
    }
    check_number_pattern(file_name, context);
    attempt.open_file(file_name, library_name);
    attempt.register_output();
    engine.metadata.clear();
}

}  // namespace

std::int32_t TCustomFFmpeg::open_output_file(const std::string& file_name) {
    const TCLocaleScope c_numbers;
    std::int32_t result = -1;
    {
        TOutputAttempt attempt(*this);
        try {
            create_output(*this, attempt, file_name);
            result = output_file_count;
        } catch (const std::exception& error) {
            last_error = error.what();
        }
    }
    output_format = nullptr;
    input_format = nullptr;
    return result;
}

}  // namespace brenvale
