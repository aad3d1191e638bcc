// The output formats the user picks from, in the order of the format list: the ten of the
// Flash era with a separator line after the Flash entries, then a second separator and the
// formats of today. Stored list positions of the ten stay valid.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brenvale {

struct TheAVCodec {
    std::string ListText;   // shown in the format list; the key the entry is found by
    std::string Extension;  // output extension, upper case, without dot
    int PresetKind = 0;     // selects the preset (format_presets.h)
    bool AudioOnly = false;  // no video stream; the video controls are disabled
    // Container settings as option lines ("movflags=+faststart"), applied with every job.
    std::string OptionLines{};
    // Text subtitles of the source are written with this encoder; a source with subtitles made
    // of pictures gets none. Empty: subtitles go as the muxer decides.
    std::string SubtitleEncoder{};
    bool AllAudioTracks = false;  // every audio track of the source, not only the first
};

// Fourteen blanks and forty-one hyphens: an item of the list that belongs to no entry.
extern const std::string kFormatSeparatorLine;
inline constexpr int kSeparatorPosition = 2;
// The second separator, after the ten entries of the Flash era.
inline constexpr int kSecondSeparatorPosition = 11;
inline constexpr std::size_t kFlashEraEntryCount = 10;

// The entries in list order (the separators are not among them).
const std::vector<TheAVCodec>& FormatCatalogue();
// The items of the format list: the entries' texts with the separators at their places.
std::vector<std::string> FormatListItems();
// The list position a first start selects (no stored choice): H.264 with AAC in MP4, which
// every player of today plays.
int FirstStartFormatPosition();
// True for the separator's text (it contains fourteen blanks and four hyphens).
bool IsFormatSeparator(std::string_view list_text);
// The entry whose ListText equals the text; nullptr when none does.
const TheAVCodec* FindCatalogueEntry(std::string_view list_text);

// "." and the extension in lower case (".flv").
std::string OutputExtension(const TheAVCodec& entry);
// The sound-only entries (MP3 and the modern ones): their jobs have no video and their video
// controls are disabled.
bool IsAudioOnly(const TheAVCodec& entry);

}  // namespace brenvale
