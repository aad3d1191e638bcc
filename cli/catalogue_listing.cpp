#include "cli/catalogue_listing.h"

#include <iomanip>

#include "app/catalogue/format_presets.h"
#include "cli/format_names.h"
#include "cli/preset_choices.h"

namespace brenvale::cli {

void ListFormats(std::ostream& out) {
    for (const TFormatName& name : FormatNames()) {
        out << std::left << std::setw(7) << name.Name << std::setw(6) << OutputExtension(*name.Entry)
            << name.Entry->ListText << (name.Name == kDefaultFormatName ? "  (default)" : "") << '\n';
    }
}

void ShowPreset(const TheAVCodec& entry, std::ostream& out) {
    out << entry.ListText << ": preset " << PresetFor(entry).Name << ", outputs " << OutputExtension(entry)
        << (IsAudioOnly(entry) ? ", audio only" : "") << '\n';
    for (const std::string& option : ChoiceOptions()) {
        const std::string selected = DefaultChoice(option, entry);
        out << "  " << std::left << std::setw(16) << option;
        const std::vector<std::string> values = ChoiceValues(option, entry);
        if (values.empty()) out << " (none)";
        for (const std::string& value : values) out << ' ' << (value == selected ? "[" + value + "]" : value);
        out << '\n';
    }
}

}  // namespace brenvale::cli
