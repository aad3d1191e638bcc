#include "app/catalogue/failure_reason.h"

#include <algorithm>
#include <string_view>

namespace brenvale {
namespace {

struct TPlainWords {
    std::string_view LibraryText;  // how the text of a failed open starts
    std::string_view Words;
};

constexpr TPlainWords kPlainWords[] = {
    {"Error while parsing header", "not a media file, or a damaged one"},
    {"Unknown format", "not a media file, or of a kind the media libraries do not know"},
    {"no such file or directory", "the file does not exist"},
    {"I/O error occurred", "the file could not be read to its end: it is cut short or damaged"},
    {"could not find codec parameters", "its streams could not be read"},
    {"Error while opening file", "the file could not be opened"},
};

std::string OneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\r', ' ');
    std::replace(text.begin(), text.end(), '\n', ' ');
    std::string single;
    for (const char c : text) {
        if (c != ' ' || single.empty() || single.back() != ' ') single += c;
    }
    return single;
}

}  // namespace

std::string ReadableReason(const std::string& file, const std::string& message) {
    std::string text = message;
    if (!file.empty() && text.starts_with(file + ": ")) text.erase(0, file.size() + 2);
    text = OneLine(text);
    for (const TPlainWords& plain : kPlainWords) {
        if (text.starts_with(plain.LibraryText)) return std::string(plain.Words) + " (" + text + ")";
    }
    return text;
}

}  // namespace brenvale
