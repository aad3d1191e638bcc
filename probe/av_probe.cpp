#include "probe/av_probe.h"

#include "binding/attached_picture.h"
#include "binding/library_loader.h"
#include "binding/media_api.h"
#include "binding/open_error_text.h"
#include "binding/unicode_io.h"
#include "binding/unicode_names.h"
#include "common/c_locale.h"
#include "common/log_levels.h"

namespace brenvale {
namespace {

bool is_text_subtitle(AVCodecID codec_id) {
    const AVCodecDescriptor* descriptor = ff::avcodec_descriptor_get(codec_id);
    return descriptor && (descriptor->props & AV_CODEC_PROP_TEXT_SUB) != 0;
}

void tally(int index, int& count, int& first) {
    ++count;
    if (first < 0) first = index;
}

}  // namespace

TAVProbe::~TAVProbe() { Close(); }

void TAVProbe::check_libraries() {
    struct Requirement {
        LibraryId id;
        const char* message;
    };
    static constexpr Requirement kRequired[] = {
        {LibraryId::AvCodec, "LibAVCodec not loaded."},
        {LibraryId::AvFormat, "LibAVFormat not loaded."},
        {LibraryId::AvUtil, "LibAVUtil not loaded."},
        {LibraryId::SwScale, "LibSwScale not loaded."},
    };
    for (const Requirement& requirement : kRequired) {
        if (!Loader().IsLibraryLoaded(requirement.id)) throw EAVProbeError(requirement.message);
    }
}

bool TAVProbe::LoadFile(const std::string& file_name, const std::string& format_name) {
    check_libraries();
    const TCLocaleScope c_numbers;  // text formats (playlists, subtitles) hold numbers with a point
    Close();
    const AVInputFormat* format = nullptr;
    if (!format_name.empty()) {
        format = ff::av_find_input_format(format_name.c_str());
        if (!format) {
            last_error_ = "Unknown input format: " + format_name;
            return false;
        }
    }
    format_context_ = ff::avformat_alloc_context();
    owns_context_ = true;
    const std::string library_name = ToLibraryName(file_name);
    const int opened = OpenLibraryInput(&format_context_, library_name, format, nullptr);
    if (opened < 0) {
        last_error_ = open_error_text(file_name, input_open_error_code(opened, library_name, format));
        Close();
        return false;
    }
    if (ff::avformat_find_stream_info(format_context_, nullptr) < 0) {
        last_error_ = file_name + ": could not find codec parameters";
        Close();
        return false;
    }
    count_streams();
    format_name_ = format_name;
    return true;
}

void TAVProbe::Attach(AVFormatContext* context) {
    check_libraries();
    Close();
    owns_context_ = false;
    format_context_ = context;
    count_streams();
}

void TAVProbe::Close() {
    if (owns_context_) CloseLibraryInput(&format_context_);
    format_context_ = nullptr;
    owns_context_ = false;
    format_name_.clear();
    reset_counts();
}

void TAVProbe::reset_counts() {
    stream_count_ = program_count_ = -1;
    audio_stream_count_ = video_stream_count_ = subtitle_stream_count_ = text_subtitle_stream_count_ = -1;
    first_audio_stream_ = first_video_stream_ = first_subtitle_stream_ = -1;
}

void TAVProbe::count_streams() {
    reset_counts();
    if (!format_context_) return;
    stream_count_ = static_cast<int>(format_context_->nb_streams);
    program_count_ = static_cast<int>(format_context_->nb_programs);
    audio_stream_count_ = video_stream_count_ = subtitle_stream_count_ = text_subtitle_stream_count_ = 0;
    for (int index = 0; index < stream_count_; ++index) {
        const AVStream& stream = *format_context_->streams[index];
        // A cover is no video: a music file with one has no picture size or frame rate.
        if (IsAttachedPicture(stream)) continue;
        const AVCodecParameters& parameters = *stream.codecpar;
        if (parameters.codec_type == AVMEDIA_TYPE_SUBTITLE && is_text_subtitle(parameters.codec_id))
            ++text_subtitle_stream_count_;
        switch (parameters.codec_type) {
            case AVMEDIA_TYPE_VIDEO: tally(index, video_stream_count_, first_video_stream_); break;
            case AVMEDIA_TYPE_AUDIO: tally(index, audio_stream_count_, first_audio_stream_); break;
            case AVMEDIA_TYPE_SUBTITLE: tally(index, subtitle_stream_count_, first_subtitle_stream_); break;
            default: break;
        }
    }
}

void TAVProbe::fail(int level, const std::string& message) {
    last_error_ = message;
    if (Loader().IsLibraryLoaded(LibraryId::AvUtil)) {
        ff::av_log(nullptr, LibraryLogLevel(level), "%s\n", message.c_str());
    }
}

}  // namespace brenvale
