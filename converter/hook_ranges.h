// The time ranges in which video hook plug-ins act.
#pragma once

#include <string>

namespace brenvale {

class TCustomFFmpeg;

// "start-end" entries in milliseconds, separated by commas. Entries that do not parse, have
// no end or end before they start are dropped; the rest are stored sorted by their end.
void parse_hook_ranges(TCustomFFmpeg& job, const std::string& text);

}  // namespace brenvale
