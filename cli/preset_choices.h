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

// The values an option takes for the entry with the preset's codecs, or with the codecs of
// `codecs` (empty when its list is empty), and the one the preset selects (empty when none).
std::vector<std::string> ChoiceValues(const std::string& option, const TheAVCodec& entry);
std::vector<std::string> ChoiceValues(const std::string& option, const TheAVCodec& entry, const TControlTexts& codecs);
std::string DefaultChoice(const std::string& option, const TheAVCodec& entry);

// The preset's selections with the choices applied: the codecs first, then the sampling rate,
// then the others, each in the order given; the lists follow the codecs (codec_lists.h). A value
// the lists do not offer raises TUsageError listing the values they do.
TConversionSettings ChooseConversionSettings(const TheAVCodec& entry,
                               const std::vector<std::pair<std::string, std::string>>& choices);

}  // namespace brenvale::cli
