#include "engine/rate_control_check.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "binding/media_api.h"

namespace brenvale {
namespace {

// The rate control's own option: only encoders that have it use the rate control concerned.
constexpr char kRateControlOption[] = "rc_eq";
constexpr double kDefaultLargestLambda = 31 * FF_QP2LAMBDA;
// The library reaches the bit rate it is given within a per mille of the estimate below; near
// that edge it may also fail to settle on a quantiser.
constexpr double kSafetyMargin = 1.02;

struct TPassEntry {
    int picture_type = 0;  // AVPictureType
    double lambda = 0;     // the quantiser of the first pass, in lambda units
    double texture_bits = 0;
    double fixed_bits = 0;  // motion vectors and headers, whatever the quantiser
};

// "in:%d out:%d type:%d q:%f itex:%d ptex:%d mv:%d misc:%d ...;" per picture.
std::vector<TPassEntry> parse_statistics(const char* text) {
    std::vector<TPassEntry> entries;
    for (const char* entry = text; entry && *entry; entry = std::strchr(entry, ';')) {
        if (*entry == ';') ++entry;
        const char* fields = std::strstr(entry, "type:");
        const char* next = std::strchr(entry, ';');
        if (!fields || (next && fields > next)) continue;
        TPassEntry parsed;
        long intra = 0, inter = 0, vectors = 0, other = 0;
        if (std::sscanf(fields, "type:%d q:%lf itex:%ld ptex:%ld mv:%ld misc:%ld", &parsed.picture_type, &parsed.lambda,
                        &intra, &inter, &vectors, &other) != 6)
            continue;
        parsed.texture_bits = static_cast<double>(intra + inter + 1);
        parsed.fixed_bits = static_cast<double>(vectors + other);
        entries.push_back(parsed);
    }
    return entries;
}

// The encoder's own option, or `fallback` when it has none.
std::int64_t private_option(const AVCodecContext& encoder, const char* name, std::int64_t fallback) {
    std::int64_t value = 0;
    if (encoder.priv_data && ff::av_opt_get_int(encoder.priv_data, name, 0, &value) >= 0) return value;
    return fallback;
}

double largest_lambda(const AVCodecContext& encoder) {
    const std::int64_t value = private_option(encoder, "lmax", 0);
    return value > 0 ? static_cast<double>(value) : kDefaultLargestLambda;
}

// The fewest bits a picture can take: its texture at the largest quantiser its type allows, and
// the rest as it is. B-pictures and overridden pictures follow other rules; they are taken at
// their first-pass size, which is never less than the library makes of them.
double fewest_bits(const TPassEntry& entry, const AVCodecContext& encoder, double largest) {
    if (entry.picture_type == AV_PICTURE_TYPE_B || encoder.rc_override_count > 0)
        return entry.texture_bits + entry.fixed_bits;
    double lambda = largest;
    if (entry.picture_type == AV_PICTURE_TYPE_I)
        lambda = std::floor(largest * std::fabs(encoder.i_quant_factor) + encoder.i_quant_offset + 0.5);
    if (lambda <= 0) return entry.texture_bits + entry.fixed_bits;
    return entry.texture_bits * entry.lambda / lambda + entry.fixed_bits;
}

std::string refusal_text(double needed_bit_rate, std::int64_t bit_rate) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "The second pass cannot reach %lld kbit/s with these statistics of the first pass: it needs at "
                  "least %lld kbit/s",
                  static_cast<long long>(bit_rate / 1000), static_cast<long long>(std::ceil(needed_bit_rate / 1000)));
    return text;
}

bool uses_the_rate_control(const AVCodec& codec) {
    const AVClass* rate_control = codec.priv_class;
    return rate_control &&
           ff::av_opt_find(&rate_control, kRateControlOption, nullptr, 0, AV_OPT_SEARCH_FAKE_OBJ) != nullptr;
}

bool second_pass(const AVCodecContext& encoder) { return (encoder.flags & AV_CODEC_FLAG_PASS2) && encoder.stats_in; }

}  // namespace

double second_pass_least_bit_rate(const AVCodec& codec, const AVCodecContext& encoder) {
    if (!uses_the_rate_control(codec) || !second_pass(encoder)) return 0;
    const std::vector<TPassEntry> entries = parse_statistics(encoder.stats_in);
    const AVRational rate = encoder.framerate.num > 0 ? encoder.framerate : av_inv_q(encoder.time_base);
    if (entries.empty() || rate.num <= 0 || rate.den <= 0) return 0;
    const double largest = largest_lambda(encoder);
    double bits = 0;
    for (const TPassEntry& entry : entries) bits += fewest_bits(entry, encoder, largest);
    return bits * av_q2d(rate) / static_cast<double>(entries.size()) * kSafetyMargin;
}

std::optional<std::string> rate_control_refusal(const AVCodec& codec, const AVCodecContext& encoder) {
    if (!uses_the_rate_control(codec)) return std::nullopt;
    if (private_option(encoder, "lmin", 0) > private_option(encoder, "lmax", kDefaultLargestLambda))
        return std::string("The smallest quantiser (lmin) is above the largest (lmax)");
    if (!second_pass(encoder)) return std::nullopt;
    // Its buffer model pads pictures up to a minimum rate; what that costs cannot be told here.
    if (encoder.rc_min_rate > 0 && encoder.rc_min_rate < encoder.bit_rate && encoder.rc_buffer_size > 0)
        return std::string("The second pass cannot be run with a minimum bit rate below the bit rate");
    const double least = second_pass_least_bit_rate(codec, encoder);
    if (static_cast<double>(encoder.bit_rate) >= least) return std::nullopt;
    return refusal_text(least, encoder.bit_rate);
}

}  // namespace brenvale
