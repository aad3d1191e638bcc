// Opening and closing of library inputs and outputs by their library name
// (ToLibraryName). "unicode:utf8:" names are served by a custom I/O context on the
// file itself; every other name goes to the library's own protocols.
#pragma once

#include <string>

struct AVDictionary;
struct AVFormatContext;
struct AVInputFormat;
struct AVIOContext;

namespace brenvale {

// The I/O context of a "unicode:utf8:" name. flags are AVIO_FLAG_READ / _WRITE /
// _READ_WRITE: read opens an existing file, write creates or truncates it.
// Returns 0, or AVERROR(ENOENT) when the file cannot be opened.
int OpenUnicodeIo(AVIOContext** io, const std::string& library_name, int flags);
bool IsUnicodeIo(const AVIOContext* io);

// avformat_open_input for a library name. *context is null, or a context the caller allocated
// and configured, which is then used. On failure *context is null and nothing leaks.
int OpenLibraryInput(AVFormatContext** context, const std::string& library_name,
                     const AVInputFormat* format, AVDictionary** options);
// avformat_close_input that also frees a unicode I/O context.
void CloseLibraryInput(AVFormatContext** context);

// avio_open2 for a library name, and its close.
int OpenLibraryOutput(AVIOContext** io, const std::string& library_name, int flags,
                      AVDictionary** options);
void CloseLibraryOutput(AVIOContext** io);

}  // namespace brenvale
