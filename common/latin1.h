#pragma once

#include <string>
#include <string_view>

namespace kelvane {

// Names in the game's files are 8-bit Latin-1; the platform layer and the
// JSON output take UTF-8.
std::string latin1ToUtf8(std::string_view latin1);

}  // namespace kelvane
