#pragma once

#include <filesystem>
#include <string>

namespace kelvane::inspect {

// Every message to standard error starts the same way: "kelvane-inspect: ".
// Returns 1, the exit status for a problem with a file.
int complain(const std::string& message);

// Command-line text is UTF-8 on every system (the Windows build reads its
// wide command line): paths are made from it and printed back as UTF-8.
std::filesystem::path pathFromUtf8(const std::string& text);
std::string utf8Text(const std::filesystem::path& path);

}  // namespace kelvane::inspect
