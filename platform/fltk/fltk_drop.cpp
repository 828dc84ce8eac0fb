#include "platform/fltk/fltk_drop.h"

#include <string>

namespace kelvane::platform::fltk {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// %XX becomes the byte it stands for; a '%' not followed by two hex digits
// stays as it is.
std::string percentDecoded(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int high = hexValue(text[i + 1]), low = hexValue(text[i + 2]);
            if (high >= 0 && low >= 0) {
                out += static_cast<char>(high * 16 + low);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

bool hasScheme(std::string_view line) {
    const auto colon = line.find("://");
    if (colon == std::string_view::npos || colon == 0) return false;
    for (std::size_t i = 0; i < colon; ++i) {
        const char c = line[i];
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!letter && !(i > 0 && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'))) return false;
    }
    return true;
}

}  // namespace

std::vector<std::filesystem::path> droppedPaths(std::string_view text) {
    std::vector<std::filesystem::path> paths;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        while (!line.empty() && (line.back() == '\r' || line.back() == '\0')) line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;  // uri-list comments
        constexpr std::string_view kFileScheme = "file://";
        if (line.size() > kFileScheme.size() && line.substr(0, kFileScheme.size()) == kFileScheme) {
            std::string_view rest = line.substr(kFileScheme.size());
            // file://host/path: the path starts at the first slash after the host.
            const auto slash = rest.find('/');
            if (slash == std::string_view::npos) continue;
            paths.emplace_back(percentDecoded(rest.substr(slash)));
        } else if (!hasScheme(line)) {
            paths.emplace_back(std::string(line));
        }
    }
    return paths;
}

}  // namespace kelvane::platform::fltk
