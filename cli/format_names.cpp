#include "cli/format_names.h"

#include <stdexcept>

#include "app/catalogue/text_rules.h"
#include "cli/usage_error.h"

namespace brenvale::cli {
namespace {

// In the catalogue's order; the end-to-end tests check that each name gives its format.
const char* const kNames[] = {"swf",      "flv",      "avi",      "divx",     "mp3", "mp4", "mpeg1", "mpeg2",
                              "mov",      "wmv",      "mp4-h264", "mp4-h265", "webm-vp9", "webm-av1",
                              "mkv",      "m4a",      "opus",     "flac"};

std::vector<TFormatName> BuildNames() {
    const std::vector<TheAVCodec>& catalogue = FormatCatalogue();
    if (catalogue.size() != std::size(kNames)) throw std::logic_error("a catalogue entry has no short name");
    std::vector<TFormatName> names;
    for (std::size_t i = 0; i < catalogue.size(); ++i) names.push_back({kNames[i], &catalogue[i]});
    return names;
}

std::string NameList() {
    std::string list;
    for (const TFormatName& name : FormatNames()) list += (list.empty() ? "" : ", ") + name.Name;
    return list;
}

}  // namespace

const std::vector<TFormatName>& FormatNames() {
    static const std::vector<TFormatName> names = BuildNames();
    return names;
}

const TheAVCodec& FormatByName(const std::string& name) {
    const std::string wanted = LowerCase(name);
    for (const TFormatName& entry : FormatNames()) {
        if (entry.Name == wanted) return *entry.Entry;
    }
    throw TUsageError("unknown format '" + name + "'; valid formats: " + NameList());
}

std::string FormatNameOf(const TheAVCodec& entry) {
    for (const TFormatName& name : FormatNames()) {
        if (name.Entry == &entry) return name.Name;
    }
    throw std::logic_error("no short name for " + entry.ListText);
}

}  // namespace brenvale::cli
