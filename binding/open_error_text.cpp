#include "binding/open_error_text.h"

#include <cerrno>

#include "binding/media_api.h"
#include "binding/unicode_io.h"

namespace brenvale {
namespace {

// The table's text for the code; nullptr for the codes it has none of its own for.
const char* error_text_suffix(int code) {
    switch (code) {
        case AVERROR(EILSEQ):
        case AVERROR_DEMUXER_NOT_FOUND:
            return ": Unknown format";
        case AVERROR(EDOM):
            return ": Incorrect image filename syntax.\r\n"
                   "Use '%d' to specify the image number:\r\n"
                   "  for img1.jpg, img2.jpg, ..., use 'img%d.jpg';\r\n"
                   "  for img001.jpg, img002.jpg, ..., use 'img%03d.jpg'.";
        case AVERROR_INVALIDDATA:
        case AVERROR(EINVAL):
            return ": Error while parsing header";
        case AVERROR(ENOMEM):
            return ": memory allocation error occurred";
        case AVERROR(EIO):
        case AVERROR_EOF:  // the file ended inside its header
            return ": I/O error occurred\r\nUsually that means that input file is truncated and/or corrupted.";
        case AVERROR(ENOENT):
            return ": no such file or directory";
        default:
            return nullptr;
    }
}

bool some_demuxer_recognises(const std::string& library_name) {
    AVIOContext* io = nullptr;
    // The probe only reads; the "output" helpers open any library name in the given mode.
    if (OpenLibraryOutput(&io, library_name, AVIO_FLAG_READ, nullptr) < 0) return true;
    const AVInputFormat* format = nullptr;
    const int score = ff::av_probe_input_buffer2(io, &format, library_name.c_str(), nullptr, 0, 0);
    CloseLibraryOutput(&io);
    return score >= 0 && format;
}

}  // namespace

std::string open_error_text(const std::string& file_name, int code) {
    // The name is never used as a format: it may hold '%'.
    const char* suffix = error_text_suffix(code);
    return file_name + (suffix ? suffix : ": Error while opening file");
}

std::string write_error_text(const std::string& what, int code) {
    if (error_text_suffix(code)) return open_error_text(what, code);
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    ff::av_strerror(code, text, sizeof text);
    std::string message = what;
    message.append(": ").append(text);
    return message;
}

int input_open_error_code(int code, const std::string& library_name, const AVInputFormat* format) {
    if (code != AVERROR_INVALIDDATA || format) return code;
    return some_demuxer_recognises(library_name) ? code : AVERROR_DEMUXER_NOT_FOUND;
}

}  // namespace brenvale
