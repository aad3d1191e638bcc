// What --list-formats and --show-preset print.
#pragma once

#include <ostream>

#include "app/catalogue/format_catalogue.h"

namespace brenvale::cli {

// One line per format: short name, extension, list text; the default format marked.
void ListFormats(std::ostream& out);
// Each setting option with the values the entry's preset offers, its selection in brackets.
void ShowPreset(const TheAVCodec& entry, std::ostream& out);

}  // namespace brenvale::cli
