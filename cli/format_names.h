// The short names the command line gives the catalogue's entries.
#pragma once

#include <string>
#include <vector>

#include "app/catalogue/format_catalogue.h"

namespace brenvale::cli {

inline constexpr char kDefaultFormatName[] = "flv";

struct TFormatName {
    std::string Name;  // "flv"
    const TheAVCodec* Entry = nullptr;
};

// In the catalogue's order.
const std::vector<TFormatName>& FormatNames();
// The entry of a name (any case); TUsageError listing the names otherwise.
const TheAVCodec& FormatByName(const std::string& name);
std::string FormatNameOf(const TheAVCodec& entry);

}  // namespace brenvale::cli
