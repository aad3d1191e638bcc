#include "app/window/general_options.h"

#include <algorithm>

namespace brenvale {

void TGeneralOptions::SetOverwrite(bool overwrite) {
    overwrite_ = overwrite;
    emit OverwriteChanged(overwrite_);
}

void TGeneralOptions::SetDropDownItems(int items) {
    drop_down_items_ = std::clamp(items, kMinDropDownItems, kMaxDropDownItems);
    emit DropDownItemsChanged(drop_down_items_);
}

}  // namespace brenvale
