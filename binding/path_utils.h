// Path and file helpers shared by the loader, the engine and the application.
// Paths are UTF-8 strings with "/" separators.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace brenvale {

// Adds a trailing "/" unless the path already ends with one.
std::string IncludeTrailingSlash(const std::string& path);
// Folder part (with its trailing "/") and file part, split after the last "/".
std::string ExtractFolder(const std::string& path);
std::string ExtractFileName(const std::string& path);
// File name without its extension, and the extension with its dot ("" when none).
std::string ExtractBaseName(const std::string& path);
std::string ExtractExtension(const std::string& path);

// True for an existing entry that is not a directory.
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// Size in bytes, -1 when the path is not an existing file.
std::int64_t FileSize(const std::string& path);

std::string CurrentDirectory();
bool SetCurrentDirectory(const std::string& path);
std::string EnvironmentVariable(const std::string& name);
std::string FullPath(const std::string& path);

struct DirectoryListOptions {
    bool include_hidden = false;
    bool include_directories = false;
};
// Names (not paths) of the entries of a folder, sorted; empty when it cannot be read.
std::vector<std::string> ListDirectory(const std::string& folder, DirectoryListOptions options = {});

// Returns the text before the first delimiter and leaves the rest in `text`;
// without a delimiter, returns the whole text and leaves `text` empty.
std::string SplitAtFirst(std::string& text, const std::string& delimiter);

}  // namespace brenvale
