// Mapping of file names to the names handed to the format library. A name the current
// locale's encoding cannot hold travels as "unicode:utf8:" + the UTF-8 name and is served
// by the project's own I/O context (unicode_io.h).
#pragma once

#include <string>

namespace brenvale {

inline constexpr const char kUnicodePrefix[] = "unicode:utf8:";

// True when the name is not a URL of a known protocol and the locale's encoding cannot
// hold it.
bool NeedsUnicodeName(const std::string& name);
std::string ToLibraryName(const std::string& name);
std::string FromLibraryName(const std::string& library_name);
bool IsUnicodeName(const std::string& library_name);

}  // namespace brenvale
