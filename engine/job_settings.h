// Everything the options and the file opens configure for a job, with the value
// reset_options gives it: the job's tables and the pending settings.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <utility>
#include <vector>

extern "C" {
#include <libavutil/rational.h>
}

#include "engine/engine_types.h"

struct AVCodec;
struct AVInputFormat;
struct AVOutputFormat;

namespace brenvale {

inline constexpr std::int32_t kNoFrameLimit = std::numeric_limits<std::int32_t>::max();

// The defaults are the member initialisers: reset_options assigns a fresh TJobSettings.
// intra_matrix, inter_matrix and vstats_file are owned and released before that.
struct TJobSettings {
    // ---- Inputs (open_input_file); the opened files are TCustomFFmpeg::input_files
    std::array<std::int64_t, MAX_FILES> input_ts_offsets{};  // microseconds
    std::array<std::array<double, MAX_STREAMS>, MAX_FILES> input_ts_scales{};  // 0.0 = not set
    std::array<const AVCodec*, MAX_CODECS> input_codecs{};  // null = automatic
    std::int32_t input_codec_count = 0;

    // ---- Outputs and mapping (open_output_file, "map" options); the files are
    // TCustomFFmpeg::output_files
    std::array<const AVCodec*, MAX_CODECS> output_codecs{};  // null = copy or automatic
    std::int32_t output_codec_count = 0;
    std::array<TStreamMap, MAX_STREAM_MAPS> stream_maps{};
    std::int32_t stream_map_count = 0;
    std::array<TMetadataMap, MAX_FILES> metadata_maps{};
    std::int32_t metadata_map_count = 0;

    // ---- Pending settings: read, and often cleared, by the next file or stream opened.
    // Empty strings mean "none".
    const AVInputFormat* input_format = nullptr;
    const AVOutputFormat* output_format = nullptr;
    std::int32_t frame_width = 0;
    std::int32_t frame_height = 0;
    float frame_aspect_ratio = 0.0f;  // display width / height; 0 = not set
    std::int32_t frame_pix_fmt = -1;
    bool frame_pix_fmt_asked = false;  // by "pix_fmt" since the last input: not the input's own
    std::int32_t audio_sample_fmt = -1;
    std::int32_t pad_top = 0;
    std::int32_t pad_bottom = 0;
    std::int32_t pad_left = 0;
    std::int32_t pad_right = 0;
    std::int32_t pad_color_y = 16;  // black
    std::int32_t pad_color_u = 128;
    std::int32_t pad_color_v = 128;
    std::int32_t crop_top = 0;
    std::int32_t crop_bottom = 0;
    std::int32_t crop_left = 0;
    std::int32_t crop_right = 0;
    std::array<std::int32_t, 4> max_frames{kNoFrameLimit, kNoFrameLimit, kNoFrameLimit,
                                            kNoFrameLimit};  // video, audio, data, subtitle
    AVRational frame_rate{0, 0};               // 0/0 = not set
    float video_qscale = 0.0f;                 // 0 = not set
    std::uint16_t* intra_matrix = nullptr;     // 64 entries, owned, library allocator
    std::uint16_t* inter_matrix = nullptr;     // 64 entries, owned, library allocator
    std::string rc_override;
    bool video_disable = false;
    std::int32_t video_discard = 0;
    std::string video_codec_name;
    std::uint32_t video_codec_tag = 0;
    bool same_quality = false;
    bool deinterlace = false;
    std::int32_t top_field_first = -1;
    std::int32_t me_threshold = 0;
    std::int32_t intra_dc_precision = 8;
    bool loop_input = false;
    std::int32_t loop_output = -1;
    bool qp_hist = false;
    std::string video_filters;
    bool filters_enabled = false;
    bool intra_only = false;
    std::int32_t audio_sample_rate = 44100;
    std::int64_t channel_layout = 0;
    float audio_qscale = -99999.0f;  // not set
    bool audio_disable = false;
    std::int32_t audio_channels = 2;
    std::string audio_codec_name;
    std::uint32_t audio_codec_tag = 0;
    std::string audio_language;
    bool subtitle_disable = false;
    std::string subtitle_codec_name;
    std::string subtitle_language;
    float mux_preload = 0.5f;    // seconds
    float mux_max_delay = 0.7f;  // seconds
    std::int64_t recording_time = std::numeric_limits<std::int64_t>::max();  // microseconds
    std::int64_t start_time = 0;       // microseconds
    std::int64_t rec_timestamp = 0;    // seconds since 1970-01-01 UTC
    std::int64_t input_ts_offset = 0;  // microseconds
    std::vector<std::pair<std::string, std::string>> metadata;  // (key, value), emptied into each output
    bool hex_dump = false;
    bool pkt_dump = false;
    bool do_psnr = false;
    std::int32_t pass = 0;  // 0, 1 or 2
    std::string pass_logfile_prefix;
    std::int32_t audio_stream_copy = 0;
    std::int32_t video_stream_copy = 0;
    std::int32_t subtitle_stream_copy = 0;
    std::int32_t video_sync_method = -1;
    std::int32_t audio_sync_method = 0;
    float audio_drift_threshold = 0.1f;  // seconds
    bool copy_ts = false;
    bool shortest = false;
    std::int32_t video_global_header = 0;  // 1 global header, 2 local header
    std::string vstats_filename;
    std::FILE* vstats_file = nullptr;  // owned
    std::int32_t program_id = 0;  // 0 = all programs
    std::int32_t copy_initial_nonkeyframes = 0;
    bool rate_emu = false;
    std::int32_t video_channel = 0;
    std::string video_standard;
    std::int32_t audio_volume = 256;  // 256 = unchanged
    bool exit_on_error = false;
    bool using_vhook = false;
    std::int32_t verbose = 1;  // -1 quiet ... 3 all
    std::int32_t thread_count = 0;  // 0: the libraries choose, so codecs use every core
    bool input_sync = false;
    std::int64_t limit_filesize = 0;  // bytes; 0 = no limit
    bool force_fps = false;
    std::int32_t pgmyuv_hack = 0;
    float dts_delta_threshold = 10.0f;  // seconds
    std::int32_t sws_flags = 4;         // bicubic
};

}  // namespace brenvale
