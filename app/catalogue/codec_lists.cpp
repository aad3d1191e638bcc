#include "app/catalogue/codec_lists.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>
#include <optional>

#include "app/catalogue/codec_table.h"
#include "app/catalogue/option_mapping.h"
#include "app/catalogue/text_rules.h"

namespace brenvale {
namespace {

using Accepts = std::function<bool(const std::string& item)>;

// The leading number of "44100 Hz", "15.0 fps", "128 Kbps"; "Auto" is the rate it stands for.
// Nothing for "Same as source", which every encoder takes.
std::optional<double> NumberOf(const std::string& item) {
    const std::string text = TextBeforeBlank(FrameRateText(item));
    double number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return number;
}

// The offered value nearest to `wanted`; nothing when `wanted` is no number.
std::optional<int> NearestItem(const std::vector<std::string>& items, const std::string& wanted) {
    const std::optional<double> target = NumberOf(wanted);
    if (!target) return std::nullopt;
    int nearest = 0;
    double distance = INFINITY;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::optional<double> value = NumberOf(items[i]);
        if (value && std::fabs(*value - *target) < distance) {
            distance = std::fabs(*value - *target);
            nearest = static_cast<int>(i);
        }
    }
    return nearest;
}

int PositionOf(const std::vector<std::string>& items, const std::string& item) {
    const auto found = std::find(items.begin(), items.end(), item);
    return found == items.end() ? -1 : static_cast<int>(found - items.begin());
}

// The items `accepts` takes, selecting `wanted` when offered, else the offered value nearest to
// it, else the list's own selection (or the first item).
TPresetList Narrowed(const TPresetList& list, const Accepts& accepts, const std::string& wanted) {
    TPresetList narrowed;
    for (const std::string& item : list.Items) {
        if (accepts(item)) narrowed.Items.push_back(item);
    }
    if (narrowed.Items.empty()) return narrowed;
    const std::string keep = wanted.empty() ? list.SelectedText() : wanted;
    if (const int found = PositionOf(narrowed.Items, keep); found >= 0) {
        narrowed.Selected = found;
    } else {
        narrowed.Selected = NearestItem(narrowed.Items, keep).value_or(std::max(PositionOf(narrowed.Items, list.SelectedText()), 0));
    }
    return narrowed;
}

TPresetList Kept(const TPresetList& list, const std::string& wanted) {
    return Narrowed(list, [](const std::string&) { return true; }, wanted);
}

// A copied stream keeps its size, rates and channels: "Same as source" is all there is.
TPresetList SourceOnly() { return {{kSameAsSource}, 0}; }

int WholeNumberOf(const std::string& item) { return static_cast<int>(NumberOf(item).value_or(-1)); }

}  // namespace

TFormatPreset PresetForCodecs(const TFormatPreset& preset, const TControlTexts& chosen) {
    TFormatPreset lists = preset;
    if (IsStreamCopy(chosen.VideoCodec)) {
        lists.VideoSize = lists.VideoBitrate = lists.VideoFramerate = SourceOnly();
    } else {
        lists.VideoSize = Kept(preset.VideoSize, chosen.VideoSize);
        lists.VideoBitrate = Kept(preset.VideoBitrate, chosen.VideoBitrate);
    }
    if (const TVideoCodecEntry* video = FindVideoCodec(chosen.VideoCodec); video && !IsStreamCopy(chosen.VideoCodec)) {
        lists.VideoFramerate = Narrowed(
            preset.VideoFramerate,
            [video](const std::string& item) { return !NumberOf(item) || TakesFrameRate(*video, *NumberOf(item)); },
            chosen.VideoFramerate);
    }
    if (IsStreamCopy(chosen.AudioCodec)) {
        lists.AudioBitrate = lists.SamplingRate = lists.AudioChannels = SourceOnly();
        return lists;
    }
    lists.AudioChannels = Kept(preset.AudioChannels, chosen.AudioChannels);
    const TAudioCodecEntry* audio = FindAudioCodec(chosen.AudioCodec);
    if (!audio) return lists;
    lists.SamplingRate = Narrowed(
        preset.SamplingRate,
        [audio](const std::string& item) { return !NumberOf(item) || TakesSampleRate(*audio, WholeNumberOf(item)); },
        chosen.SamplingRate);
    const int sample_rate = WholeNumberOf(lists.SamplingRate.SelectedText());
    lists.AudioBitrate = Narrowed(
        preset.AudioBitrate,
        [audio, sample_rate](const std::string& item) { return TakesBitrate(*audio, sample_rate, WholeNumberOf(item)); },
        chosen.AudioBitrate);
    return lists;
}

TFormatPreset PresetForDefaultCodecs(const TFormatPreset& preset) {
    return PresetForCodecs(preset, PresetSelections(preset));
}

}  // namespace brenvale
