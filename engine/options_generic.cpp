// Library options set by their own names: remembered on the option holders and copied into
// the real codec, container and scaler contexts once those exist.
#include <algorithm>
#include <iterator>
#include <optional>
#include <string_view>

#include "binding/media_api.h"
#include "common/c_locale.h"
#include "common/log_levels.h"
#include "engine/custom_ffmpeg.h"
#include "engine/option_values.h"

namespace brenvale {
namespace {

// Type flags of the codec holders, by media type: video, audio, data, subtitle, attachment.
constexpr int kTypeFlags[kMediaTypeCount] = {AV_OPT_FLAG_VIDEO_PARAM, AV_OPT_FLAG_AUDIO_PARAM, 0,
                                             AV_OPT_FLAG_SUBTITLE_PARAM, 0};

// Rate control of the video: today's library marks these for audio as well, which gave the
// sound the video's rates (mp2 refuses 2000 kbit/s). The audio ones come as "ab", "abufsize".
constexpr std::string_view kVideoRateOptions[] = {"b", "maxrate", "minrate", "bufsize"};

bool is_video_rate_option(const std::string& name) {
    return std::find(std::begin(kVideoRateOptions), std::end(kVideoRateOptions), name) != std::end(kVideoRateOptions);
}

struct TSetResult {
    const AVOption* option = nullptr;
    int result = 0;
};

void log_invalid_value(const std::string& name, const std::string& value) {
    ff::av_log(nullptr, AV_LOG_ERROR, "Invalid value \"%s\" for option \"%s\"\n", value.c_str(), name.c_str());
}

// An option of the holder's own class takes the value. One private to an encoder or a muxer
// exists only on the holder's child classes and has nowhere to live yet: its text is kept.
TSetResult set_on_holder(TCustomFFmpeg& engine, void* holder, const std::string& name, const std::string& value,
                         int flags) {
    if (const AVOption* own = ff::av_opt_find(holder, name.c_str(), nullptr, flags, 0)) {
        const int result = ff::av_opt_set(holder, name.c_str(), value.c_str(), 0);
        if (result >= 0) engine.option_context.assigned.emplace(holder, own->name);
        return {own, result};
    }
    const AVClass* holder_class = *static_cast<const AVClass* const*>(holder);
    const AVOption* child = ff::av_opt_find(&holder_class, name.c_str(), nullptr, flags,
                                            AV_OPT_SEARCH_CHILDREN | AV_OPT_SEARCH_FAKE_OBJ);
    if (child) {
        engine.private_option_values[{holder, name}] = value;
        engine.option_context.assigned.emplace(holder, child->name);
    }
    return {child, 0};
}

TSetResult set_on_codec_holders(TCustomFFmpeg& engine, const std::string& name, const std::string& value) {
    TSetResult found;
    for (int type = 0; type < kMediaTypeCount; ++type) {
        if (type == AVMEDIA_TYPE_AUDIO && is_video_rate_option(name)) continue;
        const TSetResult set = set_on_holder(engine, engine.option_context.codec_opts[static_cast<std::size_t>(type)],
                                             name, value, kTypeFlags[type]);
        if (set.option) found = set;
        if (set.result < 0) break;
    }
    return found;
}

// "vb" that the library does not know reaches "b" on the video holder, "ab" on the audio one.
TSetResult set_without_type_letter(TCustomFFmpeg& engine, const std::string& name, const std::string& value) {
    if (name.size() < 2) return {};
    const char letter = name[0];
    const int type = letter == 'a' ? AVMEDIA_TYPE_AUDIO
                     : letter == 'v' ? AVMEDIA_TYPE_VIDEO
                     : letter == 's' ? AVMEDIA_TYPE_SUBTITLE
                                     : -1;
    if (type < 0) return {};
    return set_on_holder(engine, engine.option_context.codec_opts[static_cast<std::size_t>(type)], name.substr(1),
                         value, 0);
}

bool holders_exist(const TOptionContext& context) {
    return context.format_opts && context.sws_opts &&
           std::all_of(context.codec_opts.begin(), context.codec_opts.end(),
                       [](const AVCodecContext* holder) { return holder != nullptr; });
}

// The holder's current text for a remembered option, or the kept text of a private one.
std::optional<std::string> generic_option_value(const TCustomFFmpeg& engine, void* holder, const std::string& name) {
    if (ff::av_opt_find(holder, name.c_str(), nullptr, 0, 0)) {
        std::uint8_t* text = nullptr;
        if (ff::av_opt_get(holder, name.c_str(), 0, &text) < 0 || !text) return std::nullopt;
        std::string value(reinterpret_cast<const char*>(text));
        ff::av_free(text);
        return value;
    }
    const auto kept = engine.private_option_values.find({holder, name});
    if (kept == engine.private_option_values.end()) return std::nullopt;
    return kept->second;
}

}  // namespace

bool TCustomFFmpeg::set_generic_option(const std::string& name, const std::string& value) {
    const TCLocaleScope c_numbers;  // av_opt_set reads numbers with strtod
    if (TrimText(name).empty() || TrimText(value).empty() || !holders_exist(option_context)) return false;
    TSetResult found = set_on_codec_holders(*this, name, value);
    if (!found.option) found = set_on_holder(*this, option_context.format_opts, name, value, 0);
    if (!found.option) found = set_on_holder(*this, option_context.sws_opts, name, value, 0);
    if (!found.option) found = set_without_type_letter(*this, name, value);
    if (!found.option) return false;
    if (found.result < 0) {
        log_invalid_value(name, value);
        return false;
    }
    auto& names = option_context.opt_names;
    if (std::find(names.begin(), names.end(), found.option->name) == names.end()) {
        names.emplace_back(found.option->name);
    }
    if (option_context.codec_opts[AVMEDIA_TYPE_VIDEO]->debug || option_context.format_opts->debug) {
        if (option_context.on_debug) {
            option_context.on_debug(2);
        } else {
            ff::av_log_set_level(LibraryLogLevel(2));
        }
    }
    return true;
}

void TCustomFFmpeg::apply_generic_options(void* target, void* holder, int required_flags) {
    const TCLocaleScope c_numbers;  // values travel as text: written by av_opt_get, read by av_opt_set
    for (const std::string& name : option_context.opt_names) {
        if (!option_context.assigned.contains({holder, name})) continue;
        const std::optional<std::string> value = generic_option_value(*this, holder, name);
        if (!value) continue;
        if (!ff::av_opt_find(target, name.c_str(), nullptr, required_flags, AV_OPT_SEARCH_CHILDREN)) continue;
        if (ff::av_opt_set(target, name.c_str(), value->c_str(), AV_OPT_SEARCH_CHILDREN) < 0) {
            log_invalid_value(name, *value);
        }
    }
}

}  // namespace brenvale
