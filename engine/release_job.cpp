// Releasing everything a job holds; outputs that stayed empty are deleted from disk.
#include <cstdio>

#include "binding/media_api.h"
#include "binding/path_utils.h"
#include "binding/unicode_io.h"
#include "binding/unicode_names.h"
#include "engine/custom_ffmpeg.h"

namespace brenvale {
namespace {

// Only local files are looked at; names of other protocols never match a file on disk.
void delete_if_empty(const char* library_name) {
    if (!library_name) return;
    const std::string path = FromLibraryName(library_name);
    if (FileSize(path) == 0) std::remove(path.c_str());
}

bool writes_a_file(const AVFormatContext* file) {
    return file->oformat && !(file->oformat->flags & AVFMT_NOFILE);
}

}  // namespace

void TCustomFFmpeg::release_job() {
    if (!libraries_bound()) return;
    release_option_holders();
    release_output_files();
    release_input_files();
    release_owned_settings();
    release_option_state();
    release_video_hooks();
    release_frame_hooks();
}

void TCustomFFmpeg::release_output_files() {
    for (int i = 0; i < output_file_count; ++i) {
        AVFormatContext*& file = output_files[static_cast<std::size_t>(i)];
        if (!file) continue;
        if (writes_a_file(file) && file->pb) CloseLibraryOutput(&file->pb);
        delete_if_empty(file->url);
        // Also frees the streams, programs, chapters and every metadata dictionary.
        ff::avformat_free_context(file);
        file = nullptr;
        release_output_stream_setups(i);
    }
    output_file_count = 0;
}

void TCustomFFmpeg::release_input_files() {
    for (int i = 0; i < input_file_count; ++i) CloseLibraryInput(&input_files[static_cast<std::size_t>(i)]);
    input_file_count = 0;
    for (std::vector<AVCodecContext*>& decoders : input_decoders) {
        for (AVCodecContext*& decoder : decoders) ff::avcodec_free_context(&decoder);
        decoders.clear();
    }
}

void TCustomFFmpeg::release_owned_settings() {
    // The pointers are set only while the libraries are bound.
    if (intra_matrix) ff::av_freep(&intra_matrix);
    if (inter_matrix) ff::av_freep(&inter_matrix);
    if (vstats_file) {
        std::fclose(vstats_file);
        vstats_file = nullptr;
    }
    vstats_filename.clear();
    video_codec_name.clear();
    audio_codec_name.clear();
    subtitle_codec_name.clear();
    video_standard.clear();
    rc_override.clear();
    audio_language.clear();
    subtitle_language.clear();
}

}  // namespace brenvale
