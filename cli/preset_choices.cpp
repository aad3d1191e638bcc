#include "cli/preset_choices.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <optional>

#include "app/catalogue/codec_lists.h"
#include "app/catalogue/codec_table.h"
#include "app/catalogue/format_presets.h"
#include "app/catalogue/option_mapping.h"
#include "app/catalogue/text_rules.h"
#include "app/catalogue/volume_table.h"
#include "cli/format_names.h"
#include "cli/usage_error.h"

namespace brenvale::cli {
namespace {

using Items = std::vector<std::string>;

struct TChoice {
    std::string Option;
    std::function<Items(const TFormatPreset&)> ItemsOf;
    std::function<int(const TFormatPreset&)> DefaultOf;
    std::function<void(TConversionSettings&, int index, const std::string& item)> Apply;
    // The codec whose encoder decides what the list offers; nullptr when none does.
    std::string TControlTexts::*Codec = nullptr;
};

TChoice ListChoice(std::string option, TPresetList TFormatPreset::*list, std::string TControlTexts::*text,
                   std::string TControlTexts::*codec = nullptr) {
    return {std::move(option), [list](const TFormatPreset& preset) { return (preset.*list).Items; },
            [list](const TFormatPreset& preset) { return (preset.*list).Selected; },
            [text](TConversionSettings& settings, int, const std::string& item) { settings.Controls.*text = item; },
            codec};
}

Items VolumeLabels(const TFormatPreset&) {
    Items labels;
    for (const TVolumeStep& step : VolumeSteps()) labels.push_back(step.Label);
    return labels;
}

const std::vector<TChoice>& Choices() {
    static const std::vector<TChoice> choices = {
        ListChoice("--video-codec", &TFormatPreset::VideoCodec, &TControlTexts::VideoCodec),
        ListChoice("--video-size", &TFormatPreset::VideoSize, &TControlTexts::VideoSize, &TControlTexts::VideoCodec),
        ListChoice("--video-bitrate", &TFormatPreset::VideoBitrate, &TControlTexts::VideoBitrate,
                   &TControlTexts::VideoCodec),
        ListChoice("--frame-rate", &TFormatPreset::VideoFramerate, &TControlTexts::VideoFramerate,
                   &TControlTexts::VideoCodec),
        ListChoice("--audio-codec", &TFormatPreset::AudioCodec, &TControlTexts::AudioCodec),
        ListChoice("--audio-bitrate", &TFormatPreset::AudioBitrate, &TControlTexts::AudioBitrate,
                   &TControlTexts::AudioCodec),
        ListChoice("--channels", &TFormatPreset::AudioChannels, &TControlTexts::AudioChannels,
                   &TControlTexts::AudioCodec),
        ListChoice("--sample-rate", &TFormatPreset::SamplingRate, &TControlTexts::SamplingRate,
                   &TControlTexts::AudioCodec),
        {"--volume", VolumeLabels, [](const TFormatPreset&) { return kDefaultVolumePosition; },
         [](TConversionSettings& settings, int index, const std::string&) {
             settings.VolumeValue = VolumeStep(index).VolumeValue;
         }},
        {"--aspect", [](const TFormatPreset&) { return AspectRatioItems(); },
         [](const TFormatPreset&) { return 0; },
         [](TConversionSettings& settings, int index, const std::string&) {
             settings.Aspect = static_cast<TAspectChoice>(index);
         }},
    };
    return choices;
}

const TChoice& ChoiceFor(const std::string& option) {
    for (const TChoice& choice : Choices()) {
        if (choice.Option == option) return choice;
    }
    throw TUsageError("unknown option '" + option + "'");
}

// What the command line calls an item: "320x240", "original", "720p", "1200", "rf22", "15.0",
// "auto", "source", "mp3".
std::string ValueOf(const std::string& option, const std::string& item) {
    if (item == kSameAsSource) return "source";
    if (const int rate_factor = RateFactorOf(item); rate_factor >= 0) return "rf" + std::to_string(rate_factor);
    if (option == "--video-size") {
        const std::string size = FrameSizeText(item);
        return size.empty() ? "original" : size;
    }
    std::string value = LowerCase(TextBeforeBlank(item));
    if (value.ends_with('%')) value.pop_back();
    return value;
}

std::optional<double> NumberOf(const std::string& text) {
    double number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return number;
}

// The item's value, its whole text or, for numbers, the same number ("15" for "15.0 fps").
bool Matches(const std::string& option, const std::string& item, const std::string& wanted) {
    std::string typed = LowerCase(TrimBlanks(wanted));
    if (typed == LowerCase(item)) return true;
    if (typed.ends_with('%')) typed.pop_back();
    const std::string value = ValueOf(option, item);
    std::string compact = typed;  // "rf 22"
    std::erase(compact, ' ');
    if (typed == value || compact == value) return true;
    const std::optional<double> typed_number = NumberOf(typed);
    return typed_number && typed_number == NumberOf(value);
}

std::string Joined(const Items& values) {
    std::string list;
    for (const std::string& value : values) list += (list.empty() ? "" : ", ") + value;
    return list;
}

std::vector<std::string> ValuesOf(const TChoice& choice, const TFormatPreset& lists) {
    Items values;
    for (const std::string& item : choice.ItemsOf(lists)) values.push_back(ValueOf(choice.Option, item));
    return values;
}

std::optional<std::string> FindItem(const TChoice& choice, const Items& items, const std::string& wanted) {
    const auto found = std::find_if(items.begin(), items.end(),
                                    [&](const std::string& item) { return Matches(choice.Option, item, wanted); });
    if (found == items.end()) return std::nullopt;
    return *found;
}

// `lists` are the preset's lists as they stand for the codecs chosen so far.
void ApplyChoice(const TChoice& choice, const TheAVCodec& entry, const TFormatPreset& lists, const std::string& wanted,
                 TConversionSettings& settings) {
    const std::string format = FormatNameOf(entry);
    if (choice.ItemsOf(PresetFor(entry)).empty())
        throw TUsageError(choice.Option + ": the " + format + " format has no such setting");
    const Items items = choice.ItemsOf(lists);
    const std::optional<std::string> item = FindItem(choice, items, wanted);
    if (!item && choice.Codec && FindItem(choice, choice.ItemsOf(PresetFor(entry)), wanted)) {
        const std::string& codec = settings.Controls.*choice.Codec;
        const std::string taker = IsStreamCopy(codec) ? "a copied stream, which keeps the source's"
                                                      : "the " + LowerCase(codec) + " encoder";
        throw TUsageError(choice.Option + " '" + wanted + "' is not taken by " + taker + "; valid values: " +
                          Joined(ValuesOf(choice, lists)));
    }
    if (!item) {
        throw TUsageError(choice.Option + " '" + wanted + "' is not offered by the " + format +
                          " format; valid values: " + Joined(ValuesOf(choice, lists)));
    }
    const int index = static_cast<int>(std::find(items.begin(), items.end(), *item) - items.begin());
    choice.Apply(settings, index, *item);
}

// Codecs first, then the sampling rate: the other lists depend on them.
int ChoiceRank(const std::string& option) {
    if (option == "--video-codec" || option == "--audio-codec") return 0;
    return option == "--sample-rate" ? 1 : 2;
}

// The selections nobody chose move with the codecs to values their encoders take.
void FollowCodecs(const TFormatPreset& preset, TControlTexts& texts) {
    const TFormatPreset lists = PresetForCodecs(preset, texts);
    texts.VideoSize = lists.VideoSize.SelectedText();
    texts.VideoBitrate = lists.VideoBitrate.SelectedText();
    texts.VideoFramerate = lists.VideoFramerate.SelectedText();
    texts.SamplingRate = lists.SamplingRate.SelectedText();
    texts.AudioBitrate = lists.AudioBitrate.SelectedText();
    texts.AudioChannels = lists.AudioChannels.SelectedText();
}

// A copied sound is not decoded: its volume cannot change.
void CheckCopiedVolume(const TConversionSettings& settings) {
    if (IsStreamCopy(settings.Controls.AudioCodec) && settings.VolumeValue != VolumeStep(kDefaultVolumePosition).VolumeValue)
        throw TUsageError("--volume: a copied stream keeps the source's sound as it is; only 100 is taken with "
                          "--audio-codec copy");
}

}  // namespace

const std::vector<std::string>& ChoiceOptions() {
    static const std::vector<std::string> options = [] {
        std::vector<std::string> names;
        for (const TChoice& choice : Choices()) names.push_back(choice.Option);
        return names;
    }();
    return options;
}

bool IsChoiceOption(const std::string& option) {
    return std::find(ChoiceOptions().begin(), ChoiceOptions().end(), option) != ChoiceOptions().end();
}

std::vector<std::string> ChoiceValues(const std::string& option, const TheAVCodec& entry) {
    return ValuesOf(ChoiceFor(option), PresetForDefaultCodecs(PresetFor(entry)));
}

std::vector<std::string> ChoiceValues(const std::string& option, const TheAVCodec& entry, const TControlTexts& codecs) {
    return ValuesOf(ChoiceFor(option), PresetForCodecs(PresetFor(entry), codecs));
}

std::string DefaultChoice(const std::string& option, const TheAVCodec& entry) {
    const TChoice& choice = ChoiceFor(option);
    const TFormatPreset lists = PresetForDefaultCodecs(PresetFor(entry));
    const Items items = choice.ItemsOf(lists);
    const int selected = choice.DefaultOf(lists);
    if (selected < 0 || selected >= static_cast<int>(items.size())) return {};
    return ValueOf(option, items[static_cast<std::size_t>(selected)]);
}

TConversionSettings ChooseConversionSettings(const TheAVCodec& entry,
                               const std::vector<std::pair<std::string, std::string>>& choices) {
    const TFormatPreset& preset = PresetFor(entry);
    TConversionSettings settings;
    settings.Entry = &entry;
    settings.Controls = PresetSelections(PresetForDefaultCodecs(preset));
    settings.VolumeValue = VolumeStep(kDefaultVolumePosition).VolumeValue;
    for (const int rank : {0, 1, 2}) {
        for (const auto& [option, value] : choices) {
            if (ChoiceRank(option) != rank) continue;
            ApplyChoice(ChoiceFor(option), entry, PresetForCodecs(preset, settings.Controls), value, settings);
            FollowCodecs(preset, settings.Controls);
        }
    }
    CheckCopiedVolume(settings);
    return settings;
}

}  // namespace brenvale::cli
