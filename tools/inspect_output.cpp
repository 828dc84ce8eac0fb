#include "tools/inspect_output.h"

#include <cstdio>

namespace kelvane::inspect {

int complain(const std::string& message) {
    std::fprintf(stderr, "kelvane-inspect: %s\n", message.c_str());
    return 1;
}

std::filesystem::path pathFromUtf8(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string utf8Text(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace kelvane::inspect
