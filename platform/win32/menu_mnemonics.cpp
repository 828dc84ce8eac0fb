#include "platform/win32/text.h"

namespace kelvane::platform::win32 {

std::string escapeMenuMnemonics(const std::string& label) {
    std::string escaped;
    escaped.reserve(label.size());
    for (char c : label) {
        if (c == '&') escaped += '&';
        escaped += c;
    }
    return escaped;
}

}  // namespace kelvane::platform::win32
