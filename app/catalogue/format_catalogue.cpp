#include "app/catalogue/format_catalogue.h"

#include <algorithm>

#include "app/catalogue/text_rules.h"

namespace brenvale {

const std::string kFormatSeparatorLine = std::string(14, ' ') + std::string(41, '-');

namespace {
constexpr char kIndexFirst[] = "movflags=+faststart";
}  // namespace

const std::vector<TheAVCodec>& FormatCatalogue() {
    static const std::vector<TheAVCodec> catalogue = {
        {"SWF - Flash Swf (*.swf)", "SWF", 32},
        {"FLV - Flash Video (*.flv)", "FLV", 33},
        {"AVI - Audio Video Interleave (*.avi)", "AVI", 22},
        {"AVI - DivX Video (*.avi)", "AVI", 23},
        {"MP3 - Mpeg Layer3 Audio (*.mp3)", "MP3", 41, true},
        {"MP4 - MPEG4 Video (*.mp4)", "MP4", 27},
        {"MPEG-1 Movie (*.mpg)", "MPG", 28},
        {"MPEG-2 Movie (*.mpg)", "MPG", 29},
        {"MOV - QuickTime Video (*.mov)", "MOV", 26},
        {"WMV - Windows Media Video (*.wmv)", "WMV", 31},
        // Players start a file whose index comes before the media without reading it all.
        {"MP4 - H.264 / AAC (*.mp4)", "MP4", 50, false, kIndexFirst, "mov_text"},
        {"MP4 - H.265 / AAC (*.mp4)", "MP4", 51, false, kIndexFirst, "mov_text"},
        {"WebM - VP9 / Opus (*.webm)", "WEBM", 52, false, "", "webvtt"},
        {"WebM - AV1 / Opus (*.webm)", "WEBM", 53, false, "", "webvtt"},
        // SubRip: the subtitle form every television and player reads from Matroska.
        {"MKV - H.264 / AAC, all tracks (*.mkv)", "MKV", 54, false, "", "srt", true},
        {"M4A - AAC Audio (*.m4a)", "M4A", 60, true, kIndexFirst},
        {"OPUS - Opus Audio (*.opus)", "OPUS", 61, true},
        {"FLAC - Lossless Audio (*.flac)", "FLAC", 62, true},
    };
    return catalogue;
}

std::vector<std::string> FormatListItems() {
    std::vector<std::string> items;
    for (const TheAVCodec& entry : FormatCatalogue()) items.push_back(entry.ListText);
    items.insert(items.begin() + kSeparatorPosition, kFormatSeparatorLine);
    items.insert(items.begin() + kSecondSeparatorPosition, kFormatSeparatorLine);
    return items;
}

int FirstStartFormatPosition() {
    const std::vector<std::string> items = FormatListItems();
    const auto found = std::find(items.begin(), items.end(), "MP4 - H.264 / AAC (*.mp4)");
    return found == items.end() ? 0 : static_cast<int>(found - items.begin());
}

bool IsFormatSeparator(std::string_view list_text) {
    return list_text.find(std::string(14, ' ') + "----") != std::string_view::npos;
}

const TheAVCodec* FindCatalogueEntry(std::string_view list_text) {
    for (const TheAVCodec& entry : FormatCatalogue()) {
        if (entry.ListText == list_text) return &entry;
    }
    return nullptr;
}

std::string OutputExtension(const TheAVCodec& entry) { return "." + LowerCase(entry.Extension); }

bool IsAudioOnly(const TheAVCodec& entry) { return entry.AudioOnly; }

}  // namespace brenvale
