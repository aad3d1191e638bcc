// The output formats the user picks from, in the order of the format list, with the list's
// separator line between the Flash entries and the others.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brenvale {

struct TheAVCodec {
    std::string ListText;   // shown in the format list; the key the entry is found by
    std::string Extension;  // output extension, upper case, without dot
    int PresetKind = 0;     // selects the preset (format_presets.h)
};

// Fourteen blanks and forty-one hyphens: an item of the list that belongs to no entry.
extern const std::string kFormatSeparatorLine;
inline constexpr int kSeparatorPosition = 2;

// The ten entries in list order (the separator is not one of them).
const std::vector<TheAVCodec>& FormatCatalogue();
// The eleven items of the format list: the entries' texts with the separator at its place.
std::vector<std::string> FormatListItems();
// True for the separator's text (it contains fourteen blanks and four hyphens).
bool IsFormatSeparator(std::string_view list_text);
// The entry whose ListText equals the text; nullptr when none does.
const TheAVCodec* FindCatalogueEntry(std::string_view list_text);

// "." and the extension in lower case (".flv").
std::string OutputExtension(const TheAVCodec& entry);
// The MP3 entry: its jobs have no video and its video controls are disabled.
bool IsAudioOnly(const TheAVCodec& entry);

}  // namespace brenvale
