// Where video hook plug-ins are found and the process-wide list of loaded plug-in libraries.
#pragma once

#include <string>

namespace brenvale {

// For a plug-in path with a folder part: makes that folder current until the end of the scope
// and puts it in front of PATH (once per process). file() is the path to load: made absolute
// before the folder changes, so a relative path still names the same file.
class PluginFolderScope {
public:
    explicit PluginFolderScope(const std::string& path);
    ~PluginFolderScope();
    PluginFolderScope(const PluginFolderScope&) = delete;
    PluginFolderScope& operator=(const PluginFolderScope&) = delete;

    const std::string& file() const { return file_; }

private:
    std::string file_;
    std::string saved_directory_;
    bool changed_ = false;
};

// Returns the handle of the plug-in library `file`, loading it on first use; a library once
// loaded stays loaded for the rest of the process. Paths are compared without regard to case.
// On failure returns nullptr with the loader's text in `error`. Thread-safe.
void* LoadVideoHookLibrary(const std::string& file, std::string& error);

}  // namespace brenvale
