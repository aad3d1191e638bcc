// The settings kept between runs: which controls they come from and go to.
#include <QComboBox>
#include <QLineEdit>

#include "app/window/form1.h"
#include "app/window/stored_settings.h"

namespace brenvale {
namespace {

// Stored indexes apply when they name an item; others (negative, beyond the list) are ignored.
void SelectStored(QComboBox* combo, const std::optional<int>& index) {
    if (index && *index >= 0 && *index < combo->count()) combo->setCurrentIndex(*index);
}

}  // namespace

void TForm1::LoadSettings() {
    const TLoadedSettings loaded = ReadStoredSettings();
    EditOutputFolder->setText(loaded.OutputFolder ? *loaded.OutputFolder : FirstStartOutputFolder());
    geometry_restored_ = !loaded.WindowGeometry.isEmpty() && restoreGeometry(loaded.WindowGeometry);
    SelectStored(ComboOutputFormat, loaded.OutputFormat);
    if (loaded.Overwrite) general_options_.SetOverwrite(*loaded.Overwrite);
    if (loaded.DropDownItems && *loaded.DropDownItems >= 0) general_options_.SetDropDownItems(*loaded.DropDownItems);
    SelectStored(ComboLetterBox, loaded.LetterBox);
    skins_.SetSkinName(loaded.Skin);
    if (loaded.SimultaneousConversions) general_options_.SetSimultaneousConversions(*loaded.SimultaneousConversions);
    // A value missing or unreadable: every current value is written at once.
    if (!loaded.Complete) SaveSettings();
}

void TForm1::SaveSettings() {
    TStoredSettings stored;
    stored.OutputFolder = EditOutputFolder->text();
    stored.OutputFormat = ComboOutputFormat->currentIndex();
    stored.Overwrite = general_options_.Overwrite();
    stored.DropDownItems = general_options_.DropDownItems();
    stored.LetterBox = ComboLetterBox->currentIndex();
    stored.Skin = skins_.SkinName();
    stored.SimultaneousConversions = general_options_.SimultaneousConversions();
    stored.WindowGeometry = saveGeometry();
    WriteStoredSettings(stored);
}

}  // namespace brenvale
