#include "engine/video_hook_library.h"

#include <dlfcn.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <mutex>

#include "binding/path_utils.h"

namespace brenvale {
namespace {

std::string UpperCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

std::string WithoutTrailingSlash(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

bool PathHasEntry(std::string path_value, const std::string& folder) {
    while (!path_value.empty()) {
        if (WithoutTrailingSlash(SplitAtFirst(path_value, ":")) == folder) return true;
    }
    return false;
}

std::mutex environment_mutex;

// Whole entries are compared and the old value is kept as it is: Linux paths are case-sensitive.
void PutFolderInPath(const std::string& folder) {
    std::lock_guard<std::mutex> lock(environment_mutex);
    const std::string old_value = EnvironmentVariable("PATH");
    if (PathHasEntry(old_value, folder)) return;
    const std::string new_value = old_value.empty() ? folder : folder + ":" + old_value;
    ::setenv("PATH", new_value.c_str(), 1);
}

void* OpenLibrary(const std::string& file, std::string& error) {
    ::dlerror();
    void* handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* text = ::dlerror();
        error = text ? text : "unknown error";
    }
    return handle;
}

std::mutex list_mutex;

// Upper-cased path -> handle. Never closed: plug-ins stay loaded for the process.
std::map<std::string, void*> loaded_libraries;

}  // namespace

PluginFolderScope::PluginFolderScope(const std::string& path) : file_(path) {
    if (ExtractFolder(path).empty()) return;
    file_ = FullPath(path);
    const std::string folder = WithoutTrailingSlash(ExtractFolder(file_));
    saved_directory_ = CurrentDirectory();
    changed_ = SetCurrentDirectory(folder);
    PutFolderInPath(folder);
}

PluginFolderScope::~PluginFolderScope() {
    if (changed_) SetCurrentDirectory(saved_directory_);
}

void* LoadVideoHookLibrary(const std::string& file, std::string& error) {
    std::lock_guard<std::mutex> lock(list_mutex);
    const std::string key = UpperCase(file);
    if (const auto found = loaded_libraries.find(key); found != loaded_libraries.end()) {
        return found->second;
    }
    void* handle = OpenLibrary(file, error);
    if (handle) loaded_libraries.emplace(key, handle);
    return handle;
}

}  // namespace brenvale
