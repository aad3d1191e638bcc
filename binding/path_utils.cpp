#include "binding/path_utils.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>

namespace brenvale {

std::string IncludeTrailingSlash(const std::string& path) {
    if (!path.empty() && path.back() == '/') return path;
    return path + "/";
}

std::string ExtractFolder(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string ExtractFileName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ExtractExtension(const std::string& path) {
    const std::string name = ExtractFileName(path);
    const auto dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? std::string() : name.substr(dot);
}

std::string ExtractBaseName(const std::string& path) {
    const std::string name = ExtractFileName(path);
    return name.substr(0, name.size() - ExtractExtension(name).size());
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::int64_t FileSize(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return static_cast<std::int64_t>(st.st_size);
}

std::string CurrentDirectory() {
    std::error_code error;
    auto path = std::filesystem::current_path(error);
    return error ? std::string() : path.string();
}

bool SetCurrentDirectory(const std::string& path) { return ::chdir(path.c_str()) == 0; }

std::string EnvironmentVariable(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    return value ? std::string(value) : std::string();
}

std::string FullPath(const std::string& path) {
    std::error_code error;
    auto full = std::filesystem::absolute(path, error);
    return error ? path : full.lexically_normal().string();
}

std::vector<std::string> ListDirectory(const std::string& folder, DirectoryListOptions options) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (!options.include_hidden && !name.empty() && name[0] == '.') continue;
        std::error_code type_error;
        if (!options.include_directories && entry.is_directory(type_error)) continue;
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string SplitAtFirst(std::string& text, const std::string& delimiter) {
    const auto at = delimiter.empty() ? std::string::npos : text.find(delimiter);
    if (at == std::string::npos) {
        std::string whole;
        whole.swap(text);
        return whole;
    }
    std::string head = text.substr(0, at);
    text.erase(0, at + delimiter.size());
    return head;
}

}  // namespace brenvale
