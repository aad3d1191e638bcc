// Video options: rate, size, format, codec choice, quality, passes, statistics, hooks, tags.
#include <ctime>
#include <filesystem>

#include "binding/media_api.h"
#include "binding/path_utils.h"
#include "engine/ffmpeg_exception.h"
#include "engine/option_helpers.h"
#include "engine/option_values.h"
#include "engine/options.h"

namespace brenvale {
namespace {

constexpr std::size_t kHookArgumentSlots = 64;  // the plug-in file and up to 63 arguments

void set_frame_rate(TCustomFFmpeg& engine, const std::string&, const std::string& value) {
    if (value.empty()) return;
    AVRational rate{0, 0};
    if (ff::av_parse_video_rate(&rate, value.c_str()) < 0) throw FFmpegException("Incorrect frame rate");
    engine.frame_rate = rate;
}

void set_frame_size(TCustomFFmpeg& engine, const std::string&, const std::string& value) {
    if (value.empty()) return;
    int width = 0;
    int height = 0;
    if (ff::av_parse_video_size(&width, &height, value.c_str()) < 0) throw FFmpegException("Incorrect frame size");
    if (width % 2 != 0 || height % 2 != 0) throw FFmpegException("Frame size must be a multiple of 2");
    engine.frame_width = width;
    engine.frame_height = height;
}

void set_pixel_format(TCustomFFmpeg& engine, const std::string&, const std::string& value) {
    if (value == "list") {
        log_pixel_formats(engine);
    } else {
        engine.frame_pix_fmt = ff::av_get_pix_fmt(value.c_str());
        engine.frame_pix_fmt_asked = true;
    }
}

void set_video_qscale(TCustomFFmpeg& engine, const std::string&, const std::string& value) {
    const double qscale = StrToFloat(value);
    if (!(qscale > 0.0 && qscale <= 255.0)) throw FFmpegException("qscale must be > 0.0 and <= 255");
    engine.video_qscale = static_cast<float>(qscale);
}

void set_video_codec(TCustomFFmpeg& engine, const std::string&, const std::string& value) {
    set_codec_choice(engine.video_codec_name, engine.video_stream_copy, value);
}

void set_pass(TCustomFFmpeg& engine, const std::string&, const std::string& value) {
    const std::int32_t pass = StrToInt(value);
    if (pass != 1 && pass != 2) throw FFmpegException("pass number can be only 1 or 2");
    engine.pass = pass;
}

std::string program_folder() {
    std::error_code error;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : ExtractFolder(program.string());
}

// "vstats_hhnnss.log" beside the program, from the local time.
void set_default_vstats_file(TCustomFFmpeg& engine, const std::string&, const std::string&) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char clock[16];
    std::strftime(clock, sizeof clock, "%H%M%S", &local);
    engine.vstats_filename = program_folder() + "vstats_" + clock + ".log";
}

void set_vstats_file(TCustomFFmpeg& engine, const std::string&, const std::string& value) {
    engine.vstats_filename = value;
}

void add_video_hook(TCustomFFmpeg& engine, const std::string&, const std::string& value) {
    std::vector<std::string> words = SplitHookWords(value);
    // A longer list does not fit the plug-in's argument array; cutting it would drop arguments.
    if (words.size() > kHookArgumentSlots) throw FFmpegException("Failed to add video hook function: " + value);
    char* arguments[kHookArgumentSlots] = {};
    for (std::size_t i = 0; i < words.size(); ++i) arguments[i] = words[i].data();
    if (engine.video_hooks.add_video_hook(static_cast<int>(words.size()), arguments, kHookArgumentSlots - 1) != 0) {
        throw FFmpegException("Failed to add video hook function: " + value);
    }
    engine.using_vhook = true;
}

void set_video_filters(TCustomFFmpeg& engine, const std::string&, const std::string& value) {
    if (!value.empty()) engine.video_filters = value;
}

void set_video_tag(TCustomFFmpeg& engine, const std::string&, const std::string& value) {
    const auto tag = FourCharacterTag(value);
    if (!tag) throw AssertionError("video tag parameter must be 4 chars");
    engine.video_codec_tag = *tag;
}

constexpr TOptionEntry kOptions[] = {
    {"b", apply_bit_rate_option},
    {"vb", apply_bit_rate_option},
    {"r", set_frame_rate},
    {"s", set_frame_size},
    {"pix_fmt", set_pixel_format},
    {"intra", set_flag_option<&TJobSettings::intra_only>},
    {"vn", set_flag_option<&TJobSettings::video_disable>},
    {"vdt", set_int_option<&TJobSettings::video_discard>},
    {"qscale", set_video_qscale},
    {"rc_override", set_text_option<&TJobSettings::rc_override>},
    {"vcodec", set_video_codec},
    {"me_threshold", set_int_option<&TJobSettings::me_threshold>},
    {"sameq", set_flag_option<&TJobSettings::same_quality>},
    {"pass", set_pass},
    {"passlogfile", set_text_option<&TJobSettings::pass_logfile_prefix>},
    {"deinterlace", set_flag_option<&TJobSettings::deinterlace>},
    {"psnr", set_flag_option<&TJobSettings::do_psnr>},
    {"vstats", set_default_vstats_file},
    {"vstats_file", set_vstats_file},
    {"vhook", add_video_hook},
    {"vfilters", set_video_filters},
    {"top", set_int_option<&TJobSettings::top_field_first>},
    {"dc", set_int_option<&TJobSettings::intra_dc_precision>},
    {"vtag", set_video_tag},
    {"qphist", set_flag_option<&TJobSettings::qp_hist>},
    {"force_fps", set_flag_option<&TJobSettings::force_fps>},
    {"vglobal", set_int_option<&TJobSettings::video_global_header>},
    {"vc", set_int_option<&TJobSettings::video_channel>},
    {"tvstd", set_text_option<&TJobSettings::video_standard>},
    {"vbsf", append_bitstream_filter},
};

}  // namespace

std::span<const TOptionEntry> video_options() { return kOptions; }

}  // namespace brenvale
