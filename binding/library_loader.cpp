#include "binding/library_loader.h"

#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include "binding/media_api.h"
#include "binding/path_utils.h"
#include "binding/sdl_api.h"

namespace brenvale {
namespace {

struct FunctionSlot {
    const char* name;
    void** slot;
};

#define BRENVALE_FF_SLOT(name) FunctionSlot{#name, reinterpret_cast<void**>(&ff::name)},
#define BRENVALE_SDL_SLOT(name) FunctionSlot{#name, reinterpret_cast<void**>(&sdl::name)},

const std::vector<FunctionSlot> kAvUtilSlots{BRENVALE_AVUTIL_FUNCTIONS(BRENVALE_FF_SLOT)};
const std::vector<FunctionSlot> kSwResampleSlots{BRENVALE_SWRESAMPLE_FUNCTIONS(BRENVALE_FF_SLOT)};
const std::vector<FunctionSlot> kSwScaleSlots{BRENVALE_SWSCALE_FUNCTIONS(BRENVALE_FF_SLOT)};
const std::vector<FunctionSlot> kAvCodecSlots{BRENVALE_AVCODEC_FUNCTIONS(BRENVALE_FF_SLOT)};
const std::vector<FunctionSlot> kAvFormatSlots{BRENVALE_AVFORMAT_FUNCTIONS(BRENVALE_FF_SLOT)};
const std::vector<FunctionSlot> kAvFilterSlots{BRENVALE_AVFILTER_FUNCTIONS(BRENVALE_FF_SLOT)};
const std::vector<FunctionSlot> kAvDeviceSlots{BRENVALE_AVDEVICE_FUNCTIONS(BRENVALE_FF_SLOT)};
const std::vector<FunctionSlot> kSdlSlots{BRENVALE_SDL_FUNCTIONS(BRENVALE_SDL_SLOT)};

#undef BRENVALE_FF_SLOT
#undef BRENVALE_SDL_SLOT

struct LibraryItem {
    const char* name;
    int version;  // major version of the headers built against
    const std::vector<FunctionSlot>* slots;
    void (*set_up)();
};

void RegisterDevices() { ff::avdevice_register_all(); }

// Indexed by LibraryId. Unused ids (6) have no name.
const LibraryItem kLibraries[TFFmpegLoader::kLibraryCount] = {
    {"avcodec", LIBAVCODEC_VERSION_MAJOR, &kAvCodecSlots, nullptr},
    {"avdevice", LIBAVDEVICE_VERSION_MAJOR, &kAvDeviceSlots, RegisterDevices},
    {"avfilter", LIBAVFILTER_VERSION_MAJOR, &kAvFilterSlots, nullptr},
    {"avformat", LIBAVFORMAT_VERSION_MAJOR, &kAvFormatSlots, nullptr},
    {"avutil", LIBAVUTIL_VERSION_MAJOR, &kAvUtilSlots, nullptr},
    {"swscale", LIBSWSCALE_VERSION_MAJOR, &kSwScaleSlots, nullptr},
    {nullptr, -1, nullptr, nullptr},
    {"SDL2-2.0", 0, &kSdlSlots, nullptr},
    {"swresample", LIBSWRESAMPLE_VERSION_MAJOR, &kSwResampleSlots, nullptr},
};

// Dependencies first, so each library finds the ones it needs already loaded.
constexpr int kLoadOrder[] = {4, 8, 5, 0, 3, 2, 1, 7};

// Unloading clears the slots and drops the handle, but the code stays mapped: the libraries
// keep process-wide allocations and helper threads that must not vanish under them.
constexpr int kOpenFlags = RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE;

bool InSet(LibrarySet set, int id) { return (set >> id) & 1U; }

std::string DlError() {
    const char* text = ::dlerror();
    return text ? std::string(text) : std::string("unknown error");
}

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

void ClearSlots(const std::vector<FunctionSlot>& slots) {
    for (const auto& entry : slots) *entry.slot = nullptr;
}

void BindFunctions(const std::vector<FunctionSlot>& slots, void* handle,
                   const std::string& file_name) {
    for (const auto& entry : slots) {
        ::dlerror();
        void* address = ::dlsym(handle, entry.name);
        if (!address) {
            throw std::runtime_error("Load function " + std::string(entry.name) + "@" + file_name +
                                     " error: " + DlError());
        }
        *entry.slot = address;
    }
}

}  // namespace

TFFmpegLoader::TFFmpegLoader() { std::feholdexcept(&saved_fp_environment_); }

TFFmpegLoader::~TFFmpegLoader() {
    // Let a job that still holds the codec lock finish its open or close.
    { std::lock_guard<std::mutex> wait_for_holder(codec_lock_); }
    std::fesetenv(&saved_fp_environment_);
}

void TFFmpegLoader::SetLibraryFolder(const std::string& folder) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    library_folder_ = folder;
}

std::string TFFmpegLoader::LibraryFolder() const {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    return library_folder_;
}

std::string TFFmpegLoader::LastError() const {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    return last_error_;
}

std::string TFFmpegLoader::FileName(LibraryId id) const {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    const int index = static_cast<int>(id);
    if (!status_[index].explicit_file_name.empty()) return status_[index].explicit_file_name;
    const LibraryItem& item = kLibraries[index];
    if (!item.name) return std::string();
    return "lib" + std::string(item.name) + ".so." + std::to_string(item.version);
}

void TFFmpegLoader::SetExplicitFileName(LibraryId id, const std::string& file_name) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    status_[static_cast<int>(id)].explicit_file_name = file_name;
}

std::string TFFmpegLoader::LoadedPath(LibraryId id) const {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    void* handle = status_[static_cast<int>(id)].handle;
    link_map* map = nullptr;
    if (!handle || ::dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || !map) return std::string();
    return map->l_name ? std::string(map->l_name) : std::string();
}

bool TFFmpegLoader::IsLibraryLoaded(LibraryId id) const {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    const Status& status = status_[static_cast<int>(id)];
    return status.handle != nullptr && status.bound;
}

bool TFFmpegLoader::AreLibrariesLoaded(LibrarySet set) const {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (set == 0) return false;
    for (int id = 0; id < kLibraryCount; ++id) {
        if (InSet(set, id) && !IsLibraryLoaded(static_cast<LibraryId>(id))) return false;
    }
    return true;
}

bool TFFmpegLoader::LoadLibrarySet(LibrarySet set) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    for (int id : kLoadOrder) {
        if (!InSet(set, id) || LoadOne(id)) continue;
        for (int loaded : kLoadOrder) {
            if (InSet(set, loaded) && status_[loaded].set_users == 0) UnloadOne(loaded);
        }
        return false;
    }
    for (int id : kLoadOrder) {
        if (InSet(set, id)) ++status_[id].set_users;
    }
    return true;
}

void TFFmpegLoader::UnloadLibrarySet(LibrarySet set) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    // Reverse of the load order: users go before what they use.
    for (auto it = std::rbegin(kLoadOrder); it != std::rend(kLoadOrder); ++it) {
        const int id = *it;
        if (!InSet(set, id)) continue;
        if (status_[id].set_users > 0) --status_[id].set_users;
        if (status_[id].set_users == 0) UnloadOne(id);
    }
}

bool TFFmpegLoader::LoadOne(int id) {
    Status& status = status_[id];
    const LibraryItem& item = kLibraries[id];
    if (!item.name) {
        last_error_ = "Load library: no library has id " + std::to_string(id);
        return false;
    }
    const std::string file_name = FileName(static_cast<LibraryId>(id));
    if (!status.handle) {
        std::string folder = ExtractFolder(file_name);
        const std::string file = ExtractFileName(file_name);
        if (folder.empty() && !library_folder_.empty()) folder = IncludeTrailingSlash(library_folder_);
        std::string error;
        status.handle = LoadFromFolder(folder, file, error);
        if (!status.handle) {
            last_error_ = "Load library " + folder + file + " error: " + error;
            return false;
        }
    }
    if (!status.bound) {
        try {
            BindFunctions(*item.slots, status.handle, file_name);
            if (item.set_up) item.set_up();
            status.bound = true;
        } catch (const std::exception& error) {
            last_error_ = error.what();
        }
    }
    if (!status.bound) {
        UnloadOne(id);
        return false;
    }
    return true;
}

void TFFmpegLoader::UnloadOne(int id) {
    Status& status = status_[id];
    const LibraryItem& item = kLibraries[id];
    if (item.slots) ClearSlots(*item.slots);
    status.bound = false;
    if (status.handle) {
        ::dlclose(status.handle);
        status.handle = nullptr;
    }
}

void* TFFmpegLoader::LoadFromFolder(const std::string& folder, const std::string& file,
                                    std::string& error) {
    ::dlerror();
    if (folder.empty() || !FileExists(folder + file)) {
        void* handle = ::dlopen(file.c_str(), kOpenFlags);
        if (!handle) error = DlError();
        return handle;
    }
    // Plug-ins and helper programs started later look for their libraries on PATH.
    const std::string path = EnvironmentVariable("PATH");
    std::string bare_folder = folder;
    if (bare_folder.size() > 1 && bare_folder.back() == '/') bare_folder.pop_back();
    if (Upper(path).find(Upper(bare_folder)) == std::string::npos) {
        const std::string new_path = path.empty() ? bare_folder : bare_folder + ":" + path;
        ::setenv("PATH", new_path.c_str(), 1);
    }
    const std::string previous_directory = CurrentDirectory();
    SetCurrentDirectory(folder);
    void* handle = ::dlopen((folder + file).c_str(), kOpenFlags);
    if (!handle) error = DlError();
    SetCurrentDirectory(previous_directory);
    return handle;
}

TFFmpegLoader& Loader() {
    static TFFmpegLoader loader;
    return loader;
}

}  // namespace brenvale
