#include "tests/support/bad_inputs.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/support/test_media.h"
#include "tools/media_generator.h"

namespace brenvale::testing {
namespace {

namespace fs = std::filesystem;
namespace clips = mediagen::clips;

std::string ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// The first `size` bytes of a standard clip.
void WriteHead(const std::string& clip, std::size_t size, const std::string& path) {
    WriteBytes(path, ReadBytes(TestClipPath(clip)).substr(0, size));
}

void PutLittleEndian32(std::string& bytes, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.at(offset + static_cast<std::size_t>(i)) = static_cast<char>(value >> (8 * i));
}

// Where the bytes after the first `tag` start (past its four-byte size), or npos.
std::size_t ChunkBody(const std::string& bytes, const std::string& tag) {
    const std::size_t at = bytes.find(tag);
    return at == std::string::npos ? at : at + 8;
}

bool CanCreateFileIn(const std::string& folder) {
    const std::string probe = folder + "/.write-probe";
    const int file = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (file < 0) return false;
    ::close(file);
    ::unlink(probe.c_str());
    return true;
}

bool RefusesWritesAsFull(const std::string& device) {
    const int fd = open(device.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool full = write(fd, "x", 1) < 0 && errno == ENOSPC;
    close(fd);
    return full;
}

bool SetImmutable(const std::string& folder, bool immutable) {
    const int handle = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (handle < 0) return false;
    int flags = 0;
    bool done = ::ioctl(handle, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = immutable ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = ::ioctl(handle, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(handle);
    return done;
}

}  // namespace

void WriteAbsurdSizeClip(const std::string& path) {
    mediagen::ClipDescription clip;
    clip.name = "absurd_size";
    clip.format = "avi";
    clip.video = mediagen::VideoSpec{"rawvideo", 32, 24, {25, 1}, 5, "yuv420p"};
    mediagen::Generate(clip, path);

    std::string bytes = ReadBytes(path);
    constexpr std::uint32_t kSide = 30000;
    // The main header's width and height, then those of the picture format of the stream.
    const std::size_t main_header = ChunkBody(bytes, "avih");
    PutLittleEndian32(bytes, main_header + 32, kSide);
    PutLittleEndian32(bytes, main_header + 36, kSide);
    const std::size_t picture_format = ChunkBody(bytes, "strf");
    PutLittleEndian32(bytes, picture_format + 4, kSide);
    PutLittleEndian32(bytes, picture_format + 8, kSide);
    WriteBytes(path, bytes);
}

std::vector<BadInput> WriteBadInputs(const std::string& folder) {
    fs::create_directories(folder);
    const auto in = [&](const std::string& name) { return folder + "/" + name; };
    std::vector<BadInput> inputs;

    WriteBytes(in("empty.avi"), "");
    inputs.push_back({"an empty file", in("empty.avi"), false});

    const std::string mp4 = TestClipPath(clips::kMp4H264Aac);
    WriteHead(clips::kMp4H264Aac, fs::file_size(mp4) / 2, in("first-half.mp4"));
    inputs.push_back({"an MP4 cut before its index", in("first-half.mp4"), false});

    const std::string avi = ReadBytes(TestClipPath(clips::kAviMpeg4Mp3));
    WriteHead(clips::kAviMpeg4Mp3, avi.find("movi") + 4, in("headers-only.avi"));
    inputs.push_back({"an AVI cut right after its headers", in("headers-only.avi"), false});

    inputs.push_back({"an AVI cut in the middle", TestClipPath(clips::kTruncated), true});

    fs::copy_file(TestClipPath(clips::kRandomBytes), in("random.mp4"));
    inputs.push_back({"random bytes named .mp4", in("random.mp4"), false});

    fs::copy_file(TestClipPath(clips::kOddSize), in("avi-inside.mp4"));
    inputs.push_back({"an AVI named .mp4", in("avi-inside.mp4"), true});

    std::string text;
    for (int i = 0; i < 200; ++i) text += "This is a text file, not a video.\n";
    WriteBytes(in("notes.avi"), text);
    inputs.push_back({"a text file named .avi", in("notes.avi"), false});

    WriteAbsurdSizeClip(in("absurd-size.avi"));
    inputs.push_back({"an AVI claiming a 30000x30000 picture", in("absurd-size.avi"), false});

    fs::create_directories(in("folder.avi"));
    inputs.push_back({"a folder", in("folder.avi"), false});

    inputs.push_back({"a file that does not exist", in("missing.avi"), false});
    return inputs;
}

std::vector<BadInput> WriteAwkwardlyNamedInputs(const std::string& folder) {
    fs::create_directories(folder);
    std::vector<BadInput> inputs;
    for (const char* name : {"with  two spaces.avi", " leading blank.avi", "it's \"quoted\".avi", "line\nfeed.avi",
                             "\xC3\xA9t\xC3\xA9 \xE5\x8F\x98\xE6\x8D\xA2.avi", "trailing blank.avi "}) {
        const std::string path = folder + "/" + name;
        fs::copy_file(TestClipPath(clips::kOddSize), path);
        inputs.push_back({name, path, true});
    }
    return inputs;
}

bool MakeUnreadable(const std::string& path) {
    fs::permissions(path, fs::perms::none);
    return ::access(path.c_str(), R_OK) != 0;
}

bool MakeReadOnly(const std::string& folder) {
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    if (!CanCreateFileIn(folder)) return true;
    return SetImmutable(folder, true) && !CanCreateFileIn(folder);
}

void MakeWritable(const std::string& folder) {
    SetImmutable(folder, false);
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add);
}

std::string FullDevice(const std::string& folder) {
    if (RefusesWritesAsFull("/dev/full")) return "/dev/full";
    const std::string made = (fs::path(folder) / "full-device").string();
    fs::remove(made);
    constexpr unsigned kMemoryDevices = 1, kFull = 7;
    if (mknod(made.c_str(), S_IFCHR | 0666, makedev(kMemoryDevices, kFull)) == 0 && RefusesWritesAsFull(made))
        return made;
    fs::remove(made);
    return {};
}

}  // namespace brenvale::testing
