// Texts for failed opens and writes by library error code, shared by the engine, the probe and
// the player.
#pragma once

#include <string>

struct AVInputFormat;

namespace brenvale {

// The message for `code` with the file name filled in. Codes of one meaning share a text:
// unknown format, image name without a number pattern, invalid data ("Error while parsing
// header"), out of memory, input/output error, no such file; anything else is "Error while
// opening file".
std::string open_error_text(const std::string& file_name, int code);

// The message for a failed write: open_error_text for the codes it has a text of its own for,
// otherwise what failed, then the library's text for `code` (a full disk gives "No space left on
// device", where "Error while opening file" would mislead).
std::string write_error_text(const std::string& what, int code);

// The code to hand to open_error_text after OpenLibraryInput failed with `code`. The library
// reports invalid data both when no demuxer recognised the file and when the chosen demuxer
// could not read its header; the first becomes AVERROR_DEMUXER_NOT_FOUND ("Unknown format").
// A forced format always counts as recognised.
int input_open_error_code(int code, const std::string& library_name, const AVInputFormat* format);

}  // namespace brenvale
