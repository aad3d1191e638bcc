// The settings the command line can choose, checked against the chosen format's preset: each
// option picks one item of a control's list, as the user would in the window.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "app/catalogue/format_catalogue.h"
#include "app/catalogue/job_options.h"

namespace brenvale::cli {

// "--video-codec", ... in the order the help lists them.
const std::vector<std::string>& ChoiceOptions();
bool IsChoiceOption(const std::string& option);

// The values an option takes for the entry (empty when its list is empty), and the one the
// preset selects (empty when none).
std::vector<std::string> ChoiceValues(const std::string& option, const TheAVCodec& entry);
std::string DefaultChoice(const std::string& option, const TheAVCodec& entry);

// The preset's selections with the choices applied in order. A value the preset does not
// offer raises TUsageError listing the values it does.
TConversionSettings ChooseConversionSettings(const TheAVCodec& entry,
                               const std::vector<std::pair<std::string, std::string>>& choices);

}  // namespace brenvale::cli
