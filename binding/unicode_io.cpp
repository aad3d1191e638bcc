#include "binding/unicode_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "binding/media_api.h"
#include "binding/unicode_names.h"

namespace brenvale {
namespace {

constexpr int kIoBufferSize = 32768;

struct UnicodeFile {
    int fd = -1;
};

int UnicodeRead(void* opaque, uint8_t* buffer, int size) {
    const auto* file = static_cast<UnicodeFile*>(opaque);
    ssize_t done;
    do {
        done = ::read(file->fd, buffer, static_cast<size_t>(size));
    } while (done < 0 && errno == EINTR);
    if (done < 0) return AVERROR(errno);
    return done == 0 ? AVERROR_EOF : static_cast<int>(done);
}

int UnicodeWrite(void* opaque, uint8_t* buffer, int size) {
    const auto* file = static_cast<UnicodeFile*>(opaque);
    int written = 0;
    while (written < size) {
        const ssize_t done = ::write(file->fd, buffer + written, static_cast<size_t>(size - written));
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) return done < 0 ? AVERROR(errno) : AVERROR(EIO);
        written += static_cast<int>(done);
    }
    return written;
}

int64_t UnicodeSeek(void* opaque, int64_t offset, int whence) {
    const auto* file = static_cast<UnicodeFile*>(opaque);
    if (whence & AVSEEK_SIZE) {
        struct stat st {};
        return ::fstat(file->fd, &st) == 0 ? static_cast<int64_t>(st.st_size) : AVERROR(errno);
    }
    const off_t position = ::lseek(file->fd, offset, whence & ~AVSEEK_FORCE);
    return position < 0 ? AVERROR(errno) : static_cast<int64_t>(position);
}

int OpenFlagsFor(int avio_flags) {
    if ((avio_flags & AVIO_FLAG_READ_WRITE) == AVIO_FLAG_READ_WRITE) return O_RDWR | O_CREAT | O_TRUNC;
    if (avio_flags & AVIO_FLAG_WRITE) return O_WRONLY | O_CREAT | O_TRUNC;
    return O_RDONLY;
}

void FreeUnicodeIo(AVIOContext** io) {
    if (!*io) return;
    auto* file = static_cast<UnicodeFile*>((*io)->opaque);
    if ((*io)->write_flag) ff::avio_flush(*io);
    ff::av_freep(&(*io)->buffer);
    ff::avio_context_free(io);
    if (file) {
        ::close(file->fd);
        delete file;
    }
}

}  // namespace

int OpenUnicodeIo(AVIOContext** io, const std::string& library_name, int flags) {
    *io = nullptr;
    const std::string path = FromLibraryName(library_name);
    const int fd = ::open(path.c_str(), OpenFlagsFor(flags) | O_CLOEXEC, 0666);
    if (fd < 0) return AVERROR(ENOENT);
    auto* buffer = static_cast<unsigned char*>(ff::av_malloc(kIoBufferSize));
    auto* file = new UnicodeFile{fd};
    const int write_flag = (flags & AVIO_FLAG_WRITE) ? 1 : 0;
    *io = buffer ? ff::avio_alloc_context(buffer, kIoBufferSize, write_flag, file, UnicodeRead,
                                          UnicodeWrite, UnicodeSeek)
                 : nullptr;
    if (!*io) {
        ff::av_free(buffer);
        ::close(fd);
        delete file;
        return AVERROR(ENOMEM);
    }
    (*io)->seekable = AVIO_SEEKABLE_NORMAL;
    return 0;
}

bool IsUnicodeIo(const AVIOContext* io) { return io && io->seek == UnicodeSeek; }

int OpenLibraryInput(AVFormatContext** context, const std::string& library_name,
                     const AVInputFormat* format, AVDictionary** options) {
    if (!IsUnicodeName(library_name)) {
        return ff::avformat_open_input(context, library_name.c_str(), format, options);
    }
    AVIOContext* io = nullptr;
    const int opened = OpenUnicodeIo(&io, library_name, AVIO_FLAG_READ);
    if (opened < 0) {
        ff::avformat_free_context(*context);
        *context = nullptr;
        return opened;
    }
    if (!*context) *context = ff::avformat_alloc_context();
    if (!*context) {
        FreeUnicodeIo(&io);
        return AVERROR(ENOMEM);
    }
    (*context)->pb = io;
    (*context)->flags |= AVFMT_FLAG_CUSTOM_IO;
    // On failure the library frees the context but leaves a caller's I/O context alone.
    const int result = ff::avformat_open_input(context, library_name.c_str(), format, options);
    if (result < 0) FreeUnicodeIo(&io);
    return result;
}

void CloseLibraryInput(AVFormatContext** context) {
    if (!*context) return;
    AVIOContext* io = IsUnicodeIo((*context)->pb) ? (*context)->pb : nullptr;
    ff::avformat_close_input(context);
    FreeUnicodeIo(&io);
}

int OpenLibraryOutput(AVIOContext** io, const std::string& library_name, int flags,
                      AVDictionary** options) {
    if (IsUnicodeName(library_name)) return OpenUnicodeIo(io, library_name, flags);
    return ff::avio_open2(io, library_name.c_str(), flags, nullptr, options);
}

void CloseLibraryOutput(AVIOContext** io) {
    if (IsUnicodeIo(*io)) {
        FreeUnicodeIo(io);
    } else {
        ff::avio_closep(io);
    }
}

}  // namespace brenvale
