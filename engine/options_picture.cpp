// Picture geometry options: crop, pad, pad colour and aspect ratio; quantiser matrices.
#include <algorithm>

#include "binding/media_api.h"
#include "engine/ffmpeg_exception.h"
#include "engine/option_helpers.h"
#include "engine/option_values.h"
#include "engine/options.h"

namespace brenvale {
namespace {

struct TCropSide {
    const char* name;
    std::int32_t TJobSettings::*crop;
    std::int32_t TJobSettings::*frame_extent;  // reduced by the crop
    const char* range_message;
};

constexpr const char* kVerticalRange =
    "Vertical crop dimensions are outside the range of the original image.\n"
    "Remember to crop first and scale second.";
constexpr const char* kHorizontalRange =
    "Horizontal crop dimensions are outside the range of the original image.\n"
    "Remember to crop first and scale second.";

constexpr TCropSide kCropTop{"Top", &TJobSettings::crop_top, &TJobSettings::frame_height, kVerticalRange};
constexpr TCropSide kCropBottom{"Bottom", &TJobSettings::crop_bottom, &TJobSettings::frame_height, kVerticalRange};
constexpr TCropSide kCropLeft{"Left", &TJobSettings::crop_left, &TJobSettings::frame_width, kHorizontalRange};
constexpr TCropSide kCropRight{"Right", &TJobSettings::crop_right, &TJobSettings::frame_width, kHorizontalRange};

// The frame size keeps describing the picture after cropping.
template <const TCropSide& Side>
void set_crop(TCustomFFmpeg& engine, const std::string&, const std::string& value) {
    const std::int32_t size = StrToInt(value);
    if (size < 0) return;
    if (size % 2 != 0) throw FFmpegException(std::string(Side.name) + " crop size must be a multiple of 2");
    if (size >= engine.*Side.frame_extent) throw FFmpegException(Side.range_message);
    engine.*Side.crop = size;
    engine.*Side.frame_extent -= size;
}

struct TPadSide {
    const char* name;
    std::int32_t TJobSettings::*pad;
};

constexpr TPadSide kPadTop{"Top", &TJobSettings::pad_top};
constexpr TPadSide kPadBottom{"Bottom", &TJobSettings::pad_bottom};
constexpr TPadSide kPadLeft{"Left", &TJobSettings::pad_left};
constexpr TPadSide kPadRight{"Right", &TJobSettings::pad_right};

template <const TPadSide& Side>
void set_pad(TCustomFFmpeg& engine, const std::string&, const std::string& value) {
    const std::int32_t size = StrToInt(value);
    if (size < 0) return;
    if (size % 2 != 0) throw FFmpegException(std::string(Side.name) + " pad size must be a multiple of 2");
    engine.*Side.pad = size;
}

void set_pad_color(TCustomFFmpeg& engine, const std::string&, const std::string& value) {
    const YuvColor color = YuvFromRgb(StrToInt(value));
    engine.pad_color_y = color.y;
    engine.pad_color_u = color.u;
    engine.pad_color_v = color.v;
}

void set_aspect(TCustomFFmpeg& engine, const std::string&, const std::string& value) {
    if (value.empty()) return;
    const double ratio = ParseAspectRatio(value);
    if (ratio == 0.0) throw FFmpegException("Incorrect aspect ratio specification.");
    engine.frame_aspect_ratio = static_cast<float>(ratio);
}

// A failed parse leaves the previous matrix in place.
template <std::uint16_t* TJobSettings::*Matrix>
void set_matrix(TCustomFFmpeg& engine, const std::string&, const std::string& value) {
    std::uint16_t coefficients[64];
    const int failed_at = ParseMatrix(value, coefficients);
    if (failed_at >= 0) {
        throw FFmpegException("Syntax error in matrix \"" + value + "\" at coeff " + std::to_string(failed_at));
    }
    std::uint16_t*& matrix = engine.*Matrix;
    if (!matrix) matrix = static_cast<std::uint16_t*>(ff::av_mallocz(sizeof coefficients));
    if (!matrix) throw FFmpegException("Cannot allocate the matrix");
    std::copy(std::begin(coefficients), std::end(coefficients), matrix);
}

constexpr TOptionEntry kOptions[] = {
    {"croptop", set_crop<kCropTop>},
    {"cropbottom", set_crop<kCropBottom>},
    {"cropleft", set_crop<kCropLeft>},
    {"cropright", set_crop<kCropRight>},
    {"padtop", set_pad<kPadTop>},
    {"padbottom", set_pad<kPadBottom>},
    {"padleft", set_pad<kPadLeft>},
    {"padright", set_pad<kPadRight>},
    {"padcolor", set_pad_color},
    {"aspect", set_aspect},
    {"intra_matrix", set_matrix<&TJobSettings::intra_matrix>},
    {"inter_matrix", set_matrix<&TJobSettings::inter_matrix>},
};

}  // namespace

std::span<const TOptionEntry> picture_options() { return kOptions; }

}  // namespace brenvale
