#include "binding/unicode_names.h"

#include <climits>
#include <cstring>
#include <cwchar>
#include <optional>
#include <vector>

namespace brenvale {
namespace {

constexpr const char kKnownProtocols[] = ":unicode:stream:gopher:http:pipe:rtp:tcp:udp:";

bool IsKnownProtocolUrl(const std::string& name) {
    const auto colon = name.find(':');
    if (colon == std::string::npos) return false;
    const std::string protocol = ":" + name.substr(0, colon) + ":";
    return std::strstr(kKnownProtocols, protocol.c_str()) != nullptr;
}

// Decodes strict UTF-8; nothing for malformed text.
std::optional<std::vector<char32_t>> DecodeUtf8(const std::string& text) {
    std::vector<char32_t> code_points;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3
                                                      : (lead >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || i + length > text.size()) return std::nullopt;
        char32_t value = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return std::nullopt;
            value = (value << 6) | (next & 0x3F);
        }
        code_points.push_back(value);
        i += length;
    }
    return code_points;
}

bool LocaleCanHold(const std::vector<char32_t>& code_points) {
    char buffer[MB_LEN_MAX];
    std::mbstate_t state{};
    for (char32_t c : code_points) {
        if (c < 0x80) continue;
        if (std::wcrtomb(buffer, static_cast<wchar_t>(c), &state) == static_cast<std::size_t>(-1)) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool NeedsUnicodeName(const std::string& name) {
    if (IsKnownProtocolUrl(name)) return false;
    const auto code_points = DecodeUtf8(name);
    // Bytes that are not UTF-8 are already the file system's own name: pass them on.
    return code_points && !LocaleCanHold(*code_points);
}

std::string ToLibraryName(const std::string& name) {
    return NeedsUnicodeName(name) ? kUnicodePrefix + name : name;
}

bool IsUnicodeName(const std::string& library_name) {
    const std::size_t prefix_length = sizeof(kUnicodePrefix) - 1;
    return library_name.size() > prefix_length &&
           library_name.compare(0, prefix_length, kUnicodePrefix) == 0;
}

std::string FromLibraryName(const std::string& library_name) {
    if (!IsUnicodeName(library_name)) return library_name;
    return library_name.substr(sizeof(kUnicodePrefix) - 1);
}

}  // namespace brenvale
