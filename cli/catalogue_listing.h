// What --list-formats and --show-preset print.
#pragma once

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "app/catalogue/format_catalogue.h"

namespace brenvale::cli {

// One line per format: short name, extension, list text; the default format marked.
void ListFormats(std::ostream& out);
// Each setting option with the values the entry's preset offers, its selection in brackets.
void ShowPreset(const TheAVCodec& entry, std::ostream& out);
// The values `setting` takes with the codecs `choices` pick, one a line (for shell completion).
void ListValues(const TheAVCodec& entry, const std::string& setting,
                const std::vector<std::pair<std::string, std::string>>& choices, std::ostream& out);

}  // namespace brenvale::cli
