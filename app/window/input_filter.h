// The source files the open dialog offers, by filter entry, and the test a dropped folder's
// files go through.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brenvale {

struct TInputFilterEntry {
    std::string Name;      // "AVI Files (*.avi)"
    std::string Patterns;  // "*.avi"; ";" separates patterns, blanks after it included
};

// The entries in dialog order, "All Supported Files" first.
const std::vector<TInputFilterEntry>& InputFilterEntries();
// The patterns of an entry without their blanks ("*.flv", "*.swf").
std::vector<std::string> FilterPatterns(const TInputFilterEntry& entry);
// "Name (patterns separated by blanks)" per entry, the form file dialogs take.
std::vector<std::string> DialogNameFilters();
// True when the file name matches a pattern of "All Supported Files", in any letter case.
bool IsSupportedFileName(std::string_view file_name);

}  // namespace brenvale
