// The output-format list, the presets it puts into the settings controls, and the volume.
#include <QComboBox>
#include <QLabel>
#include <QSlider>
#include <QStandardItemModel>

#include "app/catalogue/codec_lists.h"
#include "app/catalogue/codec_table.h"
#include "app/catalogue/format_catalogue.h"
#include "app/catalogue/format_presets.h"
#include "app/catalogue/volume_table.h"
#include "app/window/form1.h"

namespace brenvale {
namespace {

void FillList(QComboBox* combo, const TPresetList& preset) {
    combo->clear();
    for (const std::string& item : preset.Items) combo->addItem(QString::fromStdString(item));
    combo->setCurrentIndex(preset.Selected);
}

}  // namespace

void TForm1::fill_format_list() {
    ComboOutputFormat->clear();
    for (const std::string& item : FormatListItems()) ComboOutputFormat->addItem(QString::fromStdString(item));
    // The separators cannot be picked with the mouse or keys; a restored index may still land on one.
    if (auto* model = qobject_cast<QStandardItemModel*>(ComboOutputFormat->model())) {
        for (int row = 0; row < model->rowCount(); ++row) {
            if (IsFormatSeparator(model->item(row)->text().toStdString())) model->item(row)->setEnabled(false);
        }
    }
    ComboOutputFormat->setCurrentIndex(FirstStartFormatPosition());
}

void TForm1::ComboOutputFormatChange() {
    const std::string selected = ComboOutputFormat->currentText().toStdString();
    if (IsFormatSeparator(selected)) {
        ComboOutputFormat->setCurrentIndex(last_format_index_);
        // A restored separator at start-up: the previous entry has still to be applied.
        if (!format_entry_) ComboOutputFormatChange();
        return;
    }
    if (const TheAVCodec* entry = FindCatalogueEntry(selected)) {
        format_entry_ = entry;
        output_extension_ = QString::fromStdString(entry->Extension);
        fill_preset_controls(*entry);
    }
    for (int row = 0; row < ListView1->rowCount(); ++row)
        ListView1->SetValue(row, TRowValue::Output, output_extension_);
    enable_video_controls(!audio_only());
    apply_drop_down_items();
    last_format_index_ = ComboOutputFormat->currentIndex();
}

void TForm1::fill_preset_controls(const TheAVCodec& entry) {
    const TFormatPreset preset = PresetForDefaultCodecs(PresetFor(entry));
    FillList(ComboVideoCodec, preset.VideoCodec);
    FillList(ComboAudioCodec, preset.AudioCodec);
    FillList(ComboVideoSize, preset.VideoSize);
    FillList(ComboVideoBitrate, preset.VideoBitrate);
    FillList(ComboVideoFramerate, preset.VideoFramerate);
    FillList(ComboAudioBitrate, preset.AudioBitrate);
    FillList(ComboSamplingRate, preset.SamplingRate);
    FillList(ComboAudioChannels, preset.AudioChannels);
    ComboAspectRatio->setCurrentIndex(0);
    enable_volume();
}

// The value lists follow the codecs: a choice of the user refills them with what the chosen
// encoders take (a copied stream: only "Same as source"), keeping each selection or moving it
// to the nearest value offered. The sampling rate's own list is left alone while its choice is
// handled.
void TForm1::connect_codec_lists() {
    for (QComboBox* combo : {ComboVideoCodec, ComboAudioCodec})
        connect(combo, &QComboBox::activated, this, [this] { follow_codec_choice(true); });
    connect(ComboSamplingRate, &QComboBox::activated, this, [this] { follow_codec_choice(false); });
}

void TForm1::follow_codec_choice(bool codec_changed) {
    if (!format_entry_) return;
    const TFormatPreset lists = PresetForCodecs(PresetFor(*format_entry_), conversion_settings().Controls);
    if (codec_changed) {
        FillList(ComboVideoSize, lists.VideoSize);
        FillList(ComboVideoBitrate, lists.VideoBitrate);
        FillList(ComboVideoFramerate, lists.VideoFramerate);
        FillList(ComboSamplingRate, lists.SamplingRate);
        FillList(ComboAudioChannels, lists.AudioChannels);
    }
    FillList(ComboAudioBitrate, lists.AudioBitrate);
    enable_volume();
}

// A copied sound keeps its volume: the bar shows it cannot change.
void TForm1::enable_volume() {
    const bool copied = IsStreamCopy(ComboAudioCodec->currentText().toStdString());
    if (copied) {
        TrackBar1->setValue(kDefaultVolumePosition);
        TrackBar1Change(kDefaultVolumePosition);
    }
    TrackBar1->setEnabled(!copied && !settings_locked_);
}

bool TForm1::audio_only() const { return format_entry_ && IsAudioOnly(*format_entry_); }

void TForm1::enable_video_controls(bool enabled) {
    for (QComboBox* combo : {ComboVideoSize, ComboVideoBitrate, ComboVideoFramerate, ComboVideoCodec, ComboLetterBox})
        combo->setEnabled(enabled);
}

// ComboOutputFormatDropDown: the list shows as many lines as the Additional Options say.
void TForm1::apply_drop_down_items() { ComboOutputFormat->setMaxVisibleItems(general_options_.DropDownItems()); }

void TForm1::TrackBar1Change(int position) {
    const TVolumeStep& step = VolumeStep(position);
    LabelVolume->setText(QString::fromStdString(step.Label));
    volume_value_ = step.VolumeValue;
}

}  // namespace brenvale
