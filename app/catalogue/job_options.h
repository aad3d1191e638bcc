// The output record of one job: the mapped settings plus what depends on the source.
#pragma once

#include <cstdint>
#include <string>

#include "app/catalogue/control_texts.h"
#include "app/catalogue/format_catalogue.h"
#include "app/catalogue/source_row.h"
#include "converter/option_records.h"

namespace brenvale {

// Positions of AspectRatioItems().
enum class TAspectChoice { Original = 0, Standard = 1, WideScreen = 2 };

// "4:3", "16:9", or for Original the source's width / height to four decimals in the
// shortest form ("1.3333", "1.25"); "640x480" stands in for an empty size, and a size that
// cannot be read gives "1.3333".
std::string AspectRatioText(TAspectChoice choice, const std::string& video_size);

inline constexpr std::int32_t kUnknownLengthRecordingMs = 36000000;  // ten hours
// The recording limit for a source of unknown length ("00:00:00" or "Unknown"); -1 otherwise.
std::int32_t RecordingTimeFor(const std::string& duration);

struct TConversionSettings {
    const TheAVCodec* Entry = nullptr;
    TControlTexts Controls;
    int VolumeValue = 256;
    TAspectChoice Aspect = TAspectChoice::Original;
};

// Resets `options`, then fills it: mapped controls, frame rate, volume, aspect, recording limit,
// sound kept in place against the picture, the picture format and size the codec's players
// take, the source's shape and sampling rate where the settings keep them, the entry's and the
// encoder's option lines, and the source's tracks the entry carries. Raises
// std::invalid_argument for a control text the mapping cannot read.
void FillJobOutputOptions(const TConversionSettings& settings, const TSourceRow& source, TOutputOptions& options);

}  // namespace brenvale
