// Run-time loading of the media libraries and SDL into the function slots.
#pragma once

#include <cfenv>
#include <cstdint>
#include <mutex>
#include <string>

namespace brenvale {

// Library ids; bit i of a set mask is library i.
enum class LibraryId : int {
    AvCodec = 0,
    AvDevice = 1,
    AvFilter = 2,
    AvFormat = 3,
    AvUtil = 4,
    SwScale = 5,
    Sdl = 7,
    SwResample = 8,
};

using LibrarySet = std::uint32_t;

constexpr LibrarySet LibraryBit(LibraryId id) { return LibrarySet{1} << static_cast<int>(id); }

constexpr LibrarySet kConverterLibraries =
    LibraryBit(LibraryId::AvCodec) | LibraryBit(LibraryId::AvFilter) |
    LibraryBit(LibraryId::AvFormat) | LibraryBit(LibraryId::AvUtil) |
    LibraryBit(LibraryId::SwScale) | LibraryBit(LibraryId::SwResample);

constexpr LibrarySet kPlayerLibraries =
    LibraryBit(LibraryId::AvCodec) | LibraryBit(LibraryId::AvFormat) |
    LibraryBit(LibraryId::AvUtil) | LibraryBit(LibraryId::SwScale) |
    LibraryBit(LibraryId::Sdl) | LibraryBit(LibraryId::SwResample);

// One process-wide instance (Loader()). Loading and unloading happen on the owner's thread
// before any conversion or playback; the slots are read without locks afterwards.
// A library stays loaded while any successfully loaded set still uses it.
class TFFmpegLoader {
public:
    static constexpr int kLibraryCount = 9;

    TFFmpegLoader();
    ~TFFmpegLoader();
    TFFmpegLoader(const TFFmpegLoader&) = delete;
    TFFmpegLoader& operator=(const TFFmpegLoader&) = delete;

    void SetLibraryFolder(const std::string& folder);
    std::string LibraryFolder() const;

    // All or none: on a failure, the libraries of the set no other loaded set uses are
    // unloaded again and LastError() says why.
    bool LoadLibrarySet(LibrarySet set);
    void UnloadLibrarySet(LibrarySet set);
    bool AreLibrariesLoaded(LibrarySet set) const;
    bool IsLibraryLoaded(LibraryId id) const;
    std::string LastError() const;

    // "lib" + name + ".so." + major version, unless an explicit file name was given.
    std::string FileName(LibraryId id) const;
    void SetExplicitFileName(LibraryId id, const std::string& file_name);
    // Where the loaded library really came from (empty when not loaded).
    std::string LoadedPath(LibraryId id) const;

    // Held around every codec open and close and around stream probing, in every job.
    std::mutex& CodecLock() { return codec_lock_; }

private:
    struct Status {
        std::string explicit_file_name;
        void* handle = nullptr;
        bool bound = false;
        int set_users = 0;  // loaded sets that include this library
    };

    bool LoadOne(int id);
    void UnloadOne(int id);
    void* LoadFromFolder(const std::string& folder, const std::string& file, std::string& error);

    mutable std::recursive_mutex mutex_;  // guards everything below
    std::string library_folder_;
    std::string last_error_;
    Status status_[kLibraryCount];

    std::mutex codec_lock_;
    std::fenv_t saved_fp_environment_{};
};

TFFmpegLoader& Loader();

}  // namespace brenvale
