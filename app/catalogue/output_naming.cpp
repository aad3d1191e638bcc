#include "app/catalogue/output_naming.h"

#include <filesystem>
#include <system_error>

#include "app/catalogue/text_rules.h"

namespace brenvale {
namespace {

namespace fs = std::filesystem;

bool SameFile(const std::string& first, const std::string& second) {
    std::error_code error;
    return fs::equivalent(first, second, error);
}

std::string InFolder(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder.ends_with('/')) return folder + name;
    return folder + "/" + name;
}

}  // namespace

bool PathTaken(const std::string& path) {
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

std::string UniqueOutputName(const std::string& path, const std::string& extension, const TNameTaken& taken) {
    const std::string base = fs::path(path).replace_extension().string();
    std::string candidate = base + extension;
    for (int number = 1; taken(candidate); ++number) candidate = base + "-" + std::to_string(number) + extension;
    return candidate;
}

std::string OutputPathFor(const std::string& source, const std::string& folder, const std::string& extension,
                          bool overwrite, const TNameTaken& taken) {
    const std::string trimmed = TrimBlanks(source);
    const std::string in_folder = InFolder(folder, fs::path(trimmed).filename().string());
    if (overwrite) {
        const std::string replaced = fs::path(in_folder).replace_extension(extension).string();
        if (!SameFile(replaced, trimmed)) return replaced;
    }
    return UniqueOutputName(in_folder, extension, [&](const std::string& candidate) {
        return taken(candidate) || SameFile(candidate, trimmed);
    });
}

}  // namespace brenvale
