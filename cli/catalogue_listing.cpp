#include "cli/catalogue_listing.h"

#include <iomanip>

#include "app/catalogue/format_presets.h"
#include "app/catalogue/text_rules.h"
#include "cli/format_names.h"
#include "cli/preset_choices.h"

namespace brenvale::cli {

void ListFormats(std::ostream& out) {
    for (const TFormatName& name : FormatNames()) {
        out << std::left << std::setw(10) << name.Name << std::setw(7) << OutputExtension(*name.Entry)
            << name.Entry->ListText << (name.Name == kDefaultFormatName ? "  (default)" : "") << '\n';
    }
}

namespace {

// Lists that follow a codec, shown for each codec of the preset whose encoder takes other values
// than the preset's first codec.
struct TCodecDependency {
    const char* CodecOption;
    TPresetList TFormatPreset::*Codecs;
    std::string TControlTexts::*Codec;
    std::vector<const char*> Options;
};

void ShowCodecDependentValues(const TheAVCodec& entry, std::ostream& out) {
    const TFormatPreset& preset = PresetFor(entry);
    const TCodecDependency dependencies[] = {
        {"--video-codec", &TFormatPreset::VideoCodec, &TControlTexts::VideoCodec, {"--frame-rate"}},
        {"--audio-codec", &TFormatPreset::AudioCodec, &TControlTexts::AudioCodec, {"--sample-rate", "--audio-bitrate"}},
    };
    for (const TCodecDependency& dependency : dependencies) {
        for (const std::string& codec : (preset.*dependency.Codecs).Items) {
            TControlTexts texts = PresetSelections(preset);
            texts.*dependency.Codec = codec;
            for (const char* option : dependency.Options) {
                const std::vector<std::string> values = ChoiceValues(option, entry, texts);
                if (values == ChoiceValues(option, entry)) continue;
                out << "  with " << dependency.CodecOption << ' ' << LowerCase(codec) << ": " << option;
                for (const std::string& value : values) out << ' ' << value;
                out << '\n';
            }
        }
    }
}

}  // namespace

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
    ShowCodecDependentValues(entry, out);
}

void ListValues(const TheAVCodec& entry, const std::string& setting,
                const std::vector<std::pair<std::string, std::string>>& choices, std::ostream& out) {
    for (const std::string& value : ChoiceValues(setting, entry, ChooseConversionSettings(entry, choices).Controls))
        out << value << '\n';
}

}  // namespace brenvale::cli
