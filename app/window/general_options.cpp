#include "app/window/general_options.h"

#include <algorithm>

#include "common/core_count.h"

namespace brenvale {

void TGeneralOptions::SetOverwrite(bool overwrite) {
    overwrite_ = overwrite;
    emit OverwriteChanged(overwrite_);
}

void TGeneralOptions::SetDropDownItems(int items) {
    drop_down_items_ = std::clamp(items, kMinDropDownItems, kMaxDropDownItems);
    emit DropDownItemsChanged(drop_down_items_);
}

void TGeneralOptions::SetSimultaneousConversions(int conversions) {
    simultaneous_conversions_ = std::clamp(conversions, 1, MaxSimultaneousConversions());
    emit SimultaneousConversionsChanged(simultaneous_conversions_);
}

int TGeneralOptions::MaxSimultaneousConversions() { return CoreCount(); }

}  // namespace brenvale
